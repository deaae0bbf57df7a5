#pragma once

#include <QString>

namespace tavrin {

class Context;

// Makes sure "BookTXT", "_xml", "BookIMG" and "FlashIMG" exist one level below the
// project folder. A failure is logged with code 50 and the caller goes on.
void MakeDirs(Context& context, const QString& projectPath, const QString& bookTxtDir,
              const QString& xmlDir);

} // namespace tavrin
