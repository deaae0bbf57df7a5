#include "formatter/formatter_window.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "app/texts.h"
#include "formatter/formatter_host.h"
#include "lesson/capture_commands.h"
#include "lesson/lesson_draft.h"
#include "lesson/lesson_resume.h"
#include "lesson/quiz_book.h"
#include "lesson/quiz_reopen.h"
#include "lesson/text_procedures.h"
#include "lessontext/lesson_texts.h"
#include "platform/calendar.h"
#include "platform/fs_error.h"
#include "undo/edit_names.h"
#include "widgets/busy_cursor.h"
#include "widgets/persian_ui.h"
#include "widgets/rich_text_box.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>

namespace tavrin {

namespace {

const QString kAskMakeBeforeClosing =
    QStringLiteral(u"سؤالهاي ثبت\u200Cشده هنوز در فايل آزمون ساخته نشده\u200Cاند.\r\n"
                   u"پيش از بستن، فايل ساخته شود؟\u200F");

} // namespace

FormatterWindow::FormatterWindow(Context& context, FormatterHost& host)
    : QWidget(nullptr, Qt::Window), context_(context), host_(host),
      history_(context, &host.edits()) {
    buildControls();
    buildEdits();
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(100);
    connect(&timer1_, &QTimer::timeout, this, [this] { timer1Tick(); });
}

FormatterWindow::~FormatterWindow() {
    // The history goes with the window: what it says as it empties is for nobody.
    history_.stack().disconnect(this);
}

void FormatterWindow::Doit() {
    if (isVisible()) {
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
        reopenFor(host_.session());
        return;
    }
    // The steps belong to the lesson they were taken in.
    const Session& chosen = host_.session();
    if (chosen.projectPath != lesson_.projectPath || chosen.fieldIndex != lesson_.fieldIndex ||
        chosen.lessonIndex != lesson_.lessonIndex)
        forgetEdits();
    lesson_ = chosen;
    runTrapped(context_, kFailOpenFormatter, [this] {
        context_.log().LogMe(QStringLiteral("Format started."));
        bookConfig_ = host_.bookConfig().split(u'|');
        NameNevis();
        ResetA();
        chek_->setChecked(true);
        Mright();
        FileList();
        imgSnippet_ = readSnippet(context_.programFolder(), QStringLiteral("img.bin"));
        checkSnippet_ = readSnippet(context_.programFolder(), QStringLiteral("check.bin"));
    });
    resumeLesson();
    show();
    recordLayout();
    timer1_.start();
}

bool FormatterWindow::hasUnmadeEntries() const {
    return unmade_ && !table_.SoalText[0].isEmpty();
}

QString FormatterWindow::lessonId() const {
    if (lesson_.projectPath.isEmpty() || lesson_.fieldIndex < 0 || lesson_.lessonIndex < 0)
        return {};
    return bookId(lesson_.fieldIndex, lesson_.lessonIndex);
}

void FormatterWindow::reopenFor(const Session& chosen) {
    if (chosen.projectPath == lesson_.projectPath && chosen.fieldIndex == lesson_.fieldIndex &&
        chosen.lessonIndex == lesson_.lessonIndex)
        return;
    if (hasUnmadeEntries()) {
        bepayamWithLine(context_, kNoticeFormatterStays,
                        texts::kFormatterLessonLine.arg(lesson_.lessonTitle, lesson_.fieldTitle));
        return;
    }
    runTrapped(context_, kFailOpenFormatter, [&] {
        lesson_ = chosen;
        forgetEdits();
        context_.log().LogMe(QStringLiteral("Format moved to another lesson."));
        NameNevis();
        ResetA();
        com_[kOpenGroup]->setText(groupButtonCaption(table_.OpenGroups));
    });
    resumeLesson();
}

void FormatterWindow::resumeLesson() {
    const QString id = lessonId();
    if (id.isEmpty())
        return;
    const QString project = lesson_.projectPath;
    std::optional<ResumedLesson> resumed = resumeDraft(context_, project, id);
    if (!resumed) {
        const BusyCursor busy;
        resumed = reopenLesson(context_, project, id, checkSnippet_, imgSnippet_);
    }
    if (!resumed)
        return;
    table_ = std::move(resumed->table);
    outline_ = std::move(resumed->outline);
    unmade_ = unmade_ || resumed->fromDraft;
    com_[kOpenGroup]->setText(groupButtonCaption(table_.OpenGroups));
    showOutline();
    restoreBox(resumed->box);
}

// The lesson box as the draft kept it, what was filed already out of it; a draft of an
// earlier version kept none, and the box stays as it is.
void FormatterWindow::restoreBox(const Draft::Box& box) {
    if (box.text.isEmpty())
        return;
    const BusyCursor busy;
    if (box.rich)
        matn_->setRtf(box.text);
    else
        matn_->setText(box.text, Qt::AlignRight | Qt::AlignAbsolute);
    openedFileName = box.file;
    openedRich_ = box.rich;
    Mright();
    matn_->document()->clearUndoRedoStacks();
    ++boxGeneration_;
    showEditTexts();
    context_.log().LogMe(QStringLiteral("Lesson box restored from the draft: %1").arg(box.file));
}

void FormatterWindow::tableChanged() {
    unmade_ = true;
    ++tableRevision_;
    const QString id = lessonId();
    if (id.isEmpty())
        return;
    try {
        if (const int revision = matn_->document()->revision(); revision != keptRevision_) {
            keptBox_ = openedRich_ ? matn_->rtf() : matn_->text();
            keptRevision_ = revision;
        }
        saveDraft(lesson_.projectPath, id,
                  {table_, outline_, context_.now(), {openedFileName, keptBox_, openedRich_}});
    } catch (const FsError& e) {
        reportFailure(context_, kFailSaveDraft, e.description());
    }
}

bool FormatterWindow::settleUnmadeEntries() {
    if (!isVisible() || !hasUnmadeEntries())
        return true;
    switch (context_.prompts().askYesNoCancel(kMainCaption, kAskMakeBeforeClosing)) {
    case Answer::Yes:
        lastBook_ = BookOutcome::Failed;
        command(kMakeFile);
        return lastBook_ == BookOutcome::Made;
    case Answer::No:
        context_.log().LogMe(QStringLiteral("Filed entries discarded."));
        if (!lessonId().isEmpty())
            removeDraft(lesson_.projectPath, lessonId());
        table_.clear();
        IndexEmpty();
        unmade_ = false;
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

void FormatterWindow::closeEvent(QCloseEvent* event) {
    if (!settleUnmadeEntries()) {
        event->ignore();
        return;
    }
    timer1_.stop();
    context_.log().LogMe(QStringLiteral("Format ended."));
    event->accept();
}

void FormatterWindow::NameNevis() {
    runTrapped(context_, kFailHeading, [this] {
        const QString text = bookHeading(lesson_.lessonTitle, lesson_.fieldTitle);
        if (bookLabel_->text() != text)
            bookLabel_->setText(text);
    });
}

void FormatterWindow::ResetA() {
    runTrapped(context_, kFailResetA, [this] {
        table_.clear();
        unmade_ = false;
        IndexEmpty();
    });
}

void FormatterWindow::IndexEmpty() {
    runTrapped(context_, kFailIndexEmpty, [this] {
        outline_.clear();
        bindex_->clear();
    });
}

int FormatterWindow::FileList() {
    books_->clear();
    const auto names = tavrin::FileList(context_, host_.session().inputFolder);
    if (!names)
        return 0;
    books_->addItems(*names);
    return int(names->size());
}

void FormatterWindow::Mright() {
    matn_->alignAll(Qt::AlignRight | Qt::AlignAbsolute);
    matn_->setCaret(0);
}

void FormatterWindow::loadText(int row) {
    QListWidgetItem* item = books_->item(row);
    if (!item)
        return;
    if (item->text().isEmpty())
        item->setSelected(false);
    context_.log().LogMe(QStringLiteral("Opening a text file..."));
    LessonText text;
    try {
        text = whileBusy([folder = host_.session().inputFolder, name = item->text()] {
            return readLessonText(folder, name);
        });
    } catch (const FsError& e) {
        // The box keeps the text it had.
        reportFailure(context_, kFailLoadLessonText, e.description());
        bepayamBecause(context_, kNoticeLessonTextNotRead, e.description());
        return;
    }
    openedFileName = item->text();
    openedRich_ = text.rich;
    const BusyCursor busy;
    if (!text.rich) {
        matn_->setText(std::move(text.text), Qt::AlignRight | Qt::AlignAbsolute);
    } else {
        if (text.rawBytes)
            matn_->setRtfBytes(text.text, repDocument);
        else
            matn_->setRtf(text.text, repDocument);
    }
    Mright();
    // A text just opened has nothing to undo: the first undo must not take it away.
    matn_->document()->clearUndoRedoStacks();
    ++boxGeneration_;
    showEditTexts();
    // Once per file: what of its equations stayed a mark or a picture.
    if (!text.notes.isEmpty())
        bepayamWithLine(context_, kNoticeEquationsKept, text.notes.join(QStringLiteral("\r\n")));
}

void FormatterWindow::DoPara() {
    context_.log().LogMe(QStringLiteral("Cutting end of paragraphs..."));
    const WordsPerLine read = readWordsPerLine(chnd_->text());
    if (read.words == 0) {
        reportFailure(context_, kFailReflow,
                      QStringLiteral("Type mismatch: \"%1\"").arg(chnd_->text()));
        sayBesideWordsBox(read.why);
        return;
    }
    const int words = read.words;
    const QString reflowed =
        whileBusy([text = matn_->text(), words, join = hazP_->isChecked(),
                   marks = noghte_->isChecked()] { return reflowText(text, words, join, marks); });
    const BusyCursor busy;
    // One undo step gives the text before the reflow back.
    matn_->replaceAllText(reflowed, Qt::AlignRight | Qt::AlignAbsolute);
    matn_->setCaret(0);
}

// ---- capture commands ------------------------------------------------------------------

void FormatterWindow::command(int index) {
    context_.log().LogMe(QStringLiteral("Format number %1 clicked.").arg(index));
    // Filing takes a selection: none (a second click on a button whose first took the text
    // away, say) files nothing and replaces nothing.
    const bool takesText = index == kExplanation || index == kQuestion || index == kAnswers ||
                           index == kOpenGroup || index == kRemoveText;
    if (takesText && matn_->selectedText().trimmed().isEmpty()) {
        bepayam(context_, kNoticeSelectTextFirst);
        return;
    }
    CaptureResult result;
    const LessonState before = state();
    std::optional<FileChange> made; // what making the quiz file writes, kept to be undone
    WholeBox wholeBox;
    boxStepsBefore_ = -1;
    try {
        const Selection selection{matn_->selectedText(), matn_->selectedRtf()};
        switch (index) {
        case kExplanation:
            result = fileExplanation(context_, table_, outline_, selection);
            break;
        case kQuestion:
            result = fileQuestion(context_, table_, outline_, selection);
            break;
        case kAnswers:
            result = fileAnswers(context_, table_, outline_, selection);
            break;
        case kRemoveText:
            matn_->replaceSelection(QString());
            break;
        case kOpenGroup:
            result = openGroup(context_, table_, outline_, selection);
            com_[kOpenGroup]->setText(groupButtonCaption(table_.OpenGroups));
            break;
        case kCloseGroup:
            result = closeGroup(context_, table_, outline_);
            if (result.outcome == CaptureOutcome::Filed)
                com_[kOpenGroup]->setText(groupButtonCaption(table_.OpenGroups));
            break;
        case kMakeFile: {
            BookRequest request;
            request.projectPath = lesson_.projectPath;
            request.fieldIndex = lesson_.fieldIndex;
            request.lessonIndex = lesson_.lessonIndex;
            request.lessonTitle = lesson_.lessonTitle;
            request.creditElement = bookConfig_.value(6);
            request.checkSnippet = checkSnippet_;
            request.beforeNotice = [this] {
                NameNevis();
                hide();
            };
            host_.session().bookId = bookId(request.fieldIndex, request.lessonIndex);
            const BusyCursor busy;
            made = history_.keep({lesson_.projectPath, {QStringLiteral(".")}, false, false, {}});
            wholeBox = {openedRich_ ? matn_->rtf() : matn_->text(), openedRich_};
            lastBook_ = MakeBook(context_, table_, request);
            // Declined or failed: the window stays as the author left it.
            if (lastBook_ != BookOutcome::Made) {
                if (made)
                    made->discard();
                return;
            }
            unmade_ = false;
            IndexEmpty();
            putWholeBox({}, false);
            const LessonState after = state();
            history_.push(edits::kMakeQuiz, std::move(made),
                          [this, before, after, wholeBox](bool back) {
                              // The files bring the draft back, or take it away.
                              showState(back ? before : after, false);
                              putWholeBox(wholeBox, back);
                          });
            markPushed(boxMark());
            break;
        }
        default:
            break;
        }
    } catch (const std::exception& e) {
        if (made)
            made->discard();
        reportFailure(context_, kFailCaptureCommand, QString::fromUtf8(e.what()));
        return;
    }
    // The outline shows the table; a refused command changes neither, nor the text.
    if (result.outcome == CaptureOutcome::QuestionFirst ||
        result.outcome == CaptureOutcome::NothingToClose ||
        result.outcome == CaptureOutcome::Failed)
        return;
    showOutline();
    if (result.selectLine >= 0)
        bindex_->setCurrentRow(result.selectLine);
    if (index != kCloseGroup)
        afterCommand(index);
    // The draft once the box has lost what was filed; text taken out of the box alone goes
    // into a draft there is already.
    if ((index != kRemoveText && index != kMakeFile) || (index == kRemoveText && unmade_))
        tableChanged();
    // Taking text out of the box alone is the box's own edit, undone by its own keys.
    if (index == kRemoveText || index == kMakeFile)
        return;
    const QString name = index == kQuestion      ? edits::kQuestion
                         : index == kAnswers     ? edits::kAnswers
                         : index == kExplanation ? edits::kExplanation
                         : index == kCloseGroup  ? edits::kCloseGroup
                                                 : edits::kOpenGroup + quoted(table_.GroupTitle);
    pushFiling(name, before, boxMark(boxStepsBefore_));
}

void FormatterWindow::showOutline() {
    // A part taken from several paragraphs shows on one line, its paragraphs (the answers)
    // parted by commas: numbers in a row would otherwise read as one.
    const auto shown = [](QString line) {
        static const QRegularExpression breaks(QStringLiteral("\\s*\r\n\\s*"));
        return formulasIsolated(line.replace(breaks, QStringLiteral(u"، ")));
    };
    if (bindex_->count() != outline_.size()) {
        bindex_->clear();
        for (const QString& line : outline_)
            bindex_->addItem(shown(line));
        return;
    }
    for (int i = 0; i < outline_.size(); ++i) {
        if (bindex_->item(i)->text() != shown(outline_[i]))
            bindex_->item(i)->setText(shown(outline_[i]));
    }
}

void FormatterWindow::afterCommand(int index) {
    // The box keeps its place: the author files the next piece from where the last one was.
    QScrollBar* bar = matn_->verticalScrollBar();
    const int place = bar->value();
    if (chek_->isChecked() && index != kRemoveText && matn_->selectionLength() > 0) {
        // The box's undo of this is the filing's step's: the outline goes back with it.
        boxStepsBefore_ = matn_->document()->availableUndoSteps();
        matn_->replaceSelection(QString());
    }
    matn_->setCaret(matn_->selectionStart());
    bar->setValue(place);
}

} // namespace tavrin
