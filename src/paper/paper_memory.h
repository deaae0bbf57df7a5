#pragma once

#include "paper/paper_exam.h"

#include <QString>

namespace tavrin {

// What the paper exam's dialog was last confirmed with for a project, the header's school,
// class and teacher, the versions and the layout, and the folder, kept in the project's
// folder ("paper.json", never copied to the CD). The title, date, seed and questions stay
// the dialog's own first offer.
struct RememberedPaper {
    PaperChoices choices;
    QString folder;
};
// The first offer with what was kept laid over it; the offer as it is when nothing was kept
// or the file does not read.
RememberedPaper rememberedPaper(const QString& projectPath, const PaperChoices& first,
                                const QString& folder);
// A safe save; throws FsError.
void rememberPaper(const QString& projectPath, const PaperChoices& chosen, const QString& folder);

} // namespace tavrin
