#pragma once

// The lesson windows as an author meets them: the main window with a project, a field and a
// lesson, and the formatter opened for the lesson by the data-entry button; the shipped lesson
// texts in Zar/ (and a file that is none), media files in media/.
#include "support/documents.h"
#include "support/test_program.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QListWidget;
class QWidget;

namespace tavrin {
class FormatterWindow;
class MainWindow;
class QuestionEditor;
class RichTextBox;
} // namespace tavrin

namespace tavrin::test {

class ProgramSteps;

struct LessonWindows {
    TestProgram p;
    std::unique_ptr<MainWindow> main;
    FormatterWindow* f = nullptr;
    RichTextBox* matn = nullptr;
    QListWidget* bindex = nullptr;
    QWidget* modal = nullptr;      // the dialog a "modal" block works in, searched first
    ProgramSteps* steps = nullptr; // the steps of the table being run
    QList<int> greys;              // the grey levels "record-greys" saw a control take
    explicit LessonWindows(Prompts* real = nullptr, const QString& field = u8("علوم"),
                           const QString& lesson = u8("درس يك"));
    // The main window alone over an empty catalogue: no project, no formatter.
    struct Bare {
        Prompts* real = nullptr;
    };
    explicit LessonWindows(Bare);
    // The main window over projects of these titles, with the shipped Resources.
    struct Projects {
        QStringList titles;
        Prompts* real = nullptr;
    };
    explicit LessonWindows(const Projects& projects);
    // The program started again over the same folder.
    void restart();
    ~LessonWindows();
    // The main window's data-entry button, as the pointer reaches and clicks it.
    void dataEntry();
    // A click on a row of the main window's lesson list.
    void pickLesson(int row);
    QListWidget* books();
    // A click on a lesson text of the list.
    void load(const QString& name);
    // Selects the paragraph holding this text, as a drag over it would.
    void select(const QString& what);
    // A click on the formatter's button ComN.
    void click(int index);
    QStringList outline() const;
    // The pointer as a hand moves it: a pixel at a time through the window system, so each
    // move reaches the control under it and whatever that control passes on.
    void moveByHand(QPoint from, QPoint to, const std::function<void()>& eachStep = {});
    QPoint at(QWidget* w) const;
    // Files a question, its answers and its explanation through the window's own commands.
    void fileQuestion(const QString& q, const QString& answers, const QString& why);
    // Opens row r of the outline by a click, and works the editor with the handler.
    void open(int row, std::function<void(QuestionEditor*)> handler);
};

// A widget of the formatter (when open) or the main window, by its name.
QWidget* widgetNamed(LessonWindows& t, const QString& name);

// A scenario of tests/data/<relative>, one step a line (a verb, then its arguments, parted by
// tabs; "\\r\\n" and the like stand for their characters): the author's actions in the
// formatter and its question editor, and what must then be true. An unknown verb fails.
// "open N" works the editor of row N with the steps up to "end".
void runSteps(LessonWindows& t, const QString& relative);

} // namespace tavrin::test
