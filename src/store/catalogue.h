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
// The folder of project number (1-based) whose catalogue path is this. A folder that is gone
// is said with its path; where a folder of its name stands in the program folder (the
// portable folder was moved), the author is offered it and Yes keeps it in the catalogue.
// Empty when there is no folder to read.
QString findMovedProject(Context& context, int number, const QString& path);

} // namespace tavrin
