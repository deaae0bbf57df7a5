#pragma once

#include <QString>

namespace tavrin {

class Context;
class StoreView;

// Lessons: the Dars elements inside the selected field of the project file.
void ReadDars(Context& context, StoreView& view);
// False when the title is refused (notice 30); true otherwise, created or not.
bool NewDars(Context& context, StoreView& view, const QString& title);
void DelDars(Context& context, StoreView& view, int number);

} // namespace tavrin
