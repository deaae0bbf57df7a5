#pragma once

#include "app/session.h"
#include "editor/question_editor_host.h"
#include "lesson/entry_table.h"
#include "lesson/lesson_draft.h"
#include "lesson/quiz_book.h"
#include "undo/edit_history.h"
#include "widgets/fading_panel.h"

#include <QHash>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QKeyEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class QUndoCommand;

namespace tavrin {

class Context;
class FormatterHost;
class QuestionEditor;
class RichTextBox;

// "Format data": the lesson texts of the input folder, the lesson text box, the capture
// commands that file questions into EntryTable, its outline, and the quiz file. Modeless.
// It belongs to the lesson it was opened for until it is closed or that lesson is made: the
// main window's list may move on meanwhile (its heading, draft and quiz file do not).
class FormatterWindow : public QWidget, public QuestionEditorHost {
    Q_OBJECT
public:
    FormatterWindow(Context& context, FormatterHost& host);
    ~FormatterWindow() override;

    // Opening: the steps of the window's load, then shown.
    void Doit();

    // Procedures other windows call.
    void NameNevis();
    void ResetA();
    void IndexEmpty();
    int FileList();
    void Mright();
    void DoPara();
    // The capture command of a Com button or function key.
    void command(int index);

    // The outline's entries in the question editor: opened on a mouse release over the
    // outline, filled, written back, removed; and the two marks put into its answers.
    void openEntry();
    void ShowEdit(QuestionEditor& editor) override;
    void DoEdit(QuestionEditor& editor) override;
    void Ohazf(QuestionEditor& editor) override;
    void DoIMG(QuestionEditor& editor) override;
    void DoCor(QuestionEditor& editor) override;
    std::optional<QString> pickFile(const QString& purpose, const QString& pattern) override;
    QString imageFile(int n) const override;
    // A GIFT or Moodle XML file's questions appended as entries; what was left out listed.
    void importQuestionsFile();
    // Entries filed or changed and not yet made into a quiz file.
    bool hasUnmadeEntries() const;
    // Before the window (or the program) closes with such entries: Yes makes the quiz file
    // first, No discards them, Cancel stays. True when the window may close.
    bool settleUnmadeEntries();

    // The question editor while it is open, else null.
    QuestionEditor* editor() const { return editor_; }

    // The input-path panel, faded in by the main window's Timer2.
    FadingPanel& inputPanel() { return inputPanel_; }
    // The main window was restored: so is this window, and its minimise watch resumes.
    void restoreWithMain();

    EntryTable& table() { return table_; }

    // The window's edits of its lesson that can be taken back and done again; they stay while
    // the window comes back to the same lesson and go when it takes another, or the lessons
    // are renumbered under it.
    EditHistory& edits() { return history_; }
    void forgetEdits();
    // Undo (true) or redo: the lesson box's own typing first, then the window's steps.
    void undoEdit(bool undo);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildOutline();
    void buildInputTexts();
    void buildCommandStrip();
    void buildParagraphOptions();
    void recordResizeRules();
    void recordLayout();
    void placeWordsBox();
    void loadText(int row);
    void afterCommand(int index);
    // The lesson's entries when the window opens: its draft, if the author goes on from it,
    // else its made quiz file.
    void resumeLesson();
    // After every change of the table: the draft is written, the entries are unmade.
    void tableChanged();
    // The lesson the window files for ("F-L"), empty when none is chosen.
    QString lessonId() const;
    // Opened again while shown: a window with unmade entries stays on its lesson and says
    // so; one without takes the lesson the main window now shows.
    void reopenFor(const Session& chosen);
    // Shows the outline lines in bindex, each on one line.
    void showOutline();
    void pointerOverBooks();
    void chooseInputFolder();
    void chndFocus(bool in);
    // Why the words-per-line box's text was not taken, shown beside it.
    void sayBesideWordsBox(const QString& why);
    void timer1Tick();

    // What the window's steps put back: the entries, the outline and whether they are made.
    struct LessonState {
        EntryTable table;
        QStringList outline;
        bool unmade = false;
    };
    LessonState state() const;
    // A step's state shown again; a draft follows, except where the step's files put it.
    void showState(const LessonState& state, bool writeDraft);
    // Where a step leaves the lesson box's own undo: the box's steps below it (its taking
    // out of text among them) are the step's, those above it the author's typing since.
    struct BoxMark {
        int steps = 0;  // the box's undo steps after the step
        int before = 0; // and before it: fewer when the step took its text out of the box
        int generation = 0;
    };
    // The mark of a step just made; before: the box's steps before it (-1: it left the box).
    BoxMark boxMark(int before = -1) const;
    // The box's own next undo (or redo) comes before the window's next step.
    bool boxTakesNext(bool undo) const;
    void moveBox(const BoxMark& mark, bool back);
    // The lesson box as a making of the quiz file found it, and put back by its undo.
    struct WholeBox {
        QString text;
        bool rich = false;
    };
    void putWholeBox(const WholeBox& box, bool back);
    // The step of a command that filed from the state before it.
    void pushFiling(const QString& name, const LessonState& before, const BoxMark& mark);
    void markPushed(const BoxMark& mark);
    void buildEdits();
    void showEditTexts();
    // An undo or redo key in the lesson box: the window decides whose step it takes.
    static std::optional<bool> undoKey(const QKeyEvent* key);

    Context& context_;
    FormatterHost& host_;
    EditHistory history_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QToolButton* editMenu_ = nullptr;
    QHash<const QUndoCommand*, BoxMark> marks_;
    int boxStepsBefore_ = -1; // the box's undo steps before the last command took its text
    int boxGeneration_ = 0;   // a new text in the box: earlier steps' marks stand nowhere
    int tableRevision_ = 0;   // counts tableChanged, so an editor's session knows it changed
    Session lesson_;          // the project, field and lesson the window was opened for
    EntryTable table_;
    QStringList outline_;
    QString imgSnippet_, checkSnippet_;
    QStringList bookConfig_;

    QLabel* bookLabel_ = nullptr;
    QFrame* frame1_ = nullptr;
    QFrame* frame2_ = nullptr;
    QFrame* frame3_ = nullptr;
    QFrame* frame7_ = nullptr;
    QFrame* shape1_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label6_ = nullptr;
    QListWidget* books_ = nullptr;
    QListWidget* bindex_ = nullptr;
    RichTextBox* matn_ = nullptr;
    QCheckBox* chek_ = nullptr;
    QCheckBox* hazP_ = nullptr;
    QCheckBox* p22_ = nullptr;
    QCheckBox* noghte_ = nullptr;
    QLineEdit* chnd_ = nullptr;
    QToolButton* hazC_ = nullptr;
    QToolButton* importQ_ = nullptr;
    std::array<QPushButton*, 12> com_{};

    // The resize rules: each control's base rectangle and which sides follow dW and dH.
    struct Rule {
        QWidget* widget;
        QRect base;
        bool left, top, width, height;
    };
    QList<Rule> rules_;
    QSize base_;
    QTimer timer1_;
    QuestionEditor* editor_ = nullptr;
    FadingPanel inputPanel_;  // Frame7 with Label6, outlined by Shape1
    QString ChosenImagePath;  // the picture the file picker gave for an image mark
    QString openedFileName;   // the lesson text loaded last
    bool openedRich_ = false; // it was rich text: the draft keeps the box as RTF
    // The box as the draft keeps it, made again only when the box has changed since.
    int keptRevision_ = -1;
    QString keptBox_;
    void restoreBox(const Draft::Box& box);
    BookOutcome lastBook_ = BookOutcome::Failed;
    bool unmade_ = false; // the table differs from the lesson's quiz file
};

} // namespace tavrin
