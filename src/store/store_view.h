#pragma once

#include <QString>
#include <QStringList>

namespace tavrin {

enum class StoreList { Projects, Fields, Lessons };

// The Settings block of a project file, as read (values verbatim).
struct ProjectSettings {
    QString music1;
    QString music2;
    QString backPic;
    QString exportPath;
    QString importPath;
    QString olgoo;
    QString music;
    QString printable;
    // The exam the CD offers; empty in a project made before they were kept.
    QString examOn;
    QString examMinutes;
    QString examCount;
    // How exams are scored and the comprehensive exam; empty in a project made before.
    QString penalty;
    QString fullExam;
    QString fullExamTitle;
    QString fullExamMinutes;
    QString fullExamBudget; // "1-1:5 1-2:3": lesson id, questions drawn
    QString fieldWeights;   // "1:4 2:3": field, weight
    QString passMark;
};

// What the store procedures need of the main window: its three lists, the selection, the
// project folder and the settings controls. The store never sees a widget.
class StoreView {
public:
    virtual ~StoreView() = default;
    // Empties the list, then fills it with these entries.
    virtual void setEntries(StoreList list, const QStringList& entries) = 0;
    // Selects an entry as the user's click would, with everything the click does.
    virtual void selectEntry(StoreList list, int index) = 0;
    // -1 when nothing is selected.
    virtual int selectedIndex(StoreList list) const = 0;
    virtual QString selectedText(StoreList list) const = 0;

    virtual QString projectPath() const = 0;
    virtual void setProjectPath(const QString& path) = 0;
    virtual void setInputFolder(const QString& path) = 0;
    virtual void showSettings(const ProjectSettings& settings) = 0;
};

} // namespace tavrin
