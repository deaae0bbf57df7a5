#pragma once

#include <QString>

namespace tavrin {

class Context;
class StoreView;

// The projects catalogue "Projects.xml" beside the program, and new project folders.
QString cataloguePath(const Context& context);

void ReadProj(Context& context, StoreView& view);
// False when the title is refused (notice 30); true otherwise, created or not.
bool NewProj(Context& context, StoreView& view, const QString& title);
void NewProjXml(Context& context, const QString& folder, const QString& title);
void AddProj(Context& context, StoreView& view, const QString& folder);
void DelProj(Context& context, StoreView& view, int number);

} // namespace tavrin
