#pragma once

#include <QString>

namespace tavrin {

class Context;
class StoreView;
struct ProjectSettings;

// Fields of study: the Reshteh block of the selected project's file.
void ReadResh(Context& context, StoreView& view);
// False when the title is refused (notice 30); true otherwise, created or not.
bool NewResh(Context& context, StoreView& view, const QString& title);
void DelResh(Context& context, StoreView& view, int number);
// The Settings block of a project file's text.
ProjectSettings readSettings(Context& context, const QString& document);

} // namespace tavrin
