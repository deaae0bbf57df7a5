#include "formatter/formatter_window.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "formatter/capture_commands.h"
#include "formatter/formatter_host.h"
#include "formatter/lesson_texts.h"
#include "formatter/quiz_book.h"
#include "formatter/text_procedures.h"
#include "platform/busy_cursor.h"
#include "platform/fs_error.h"
#include "richtext/rich_text_box.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace tavrin {

namespace {

const QString kAskMakeBeforeClosing =
    QStringLiteral(u"سؤالهاي ثبت\u200Cشده هنوز در فايل آزمون ساخته نشده\u200Cاند.\r\n"
                   u"پيش از بستن، فايل ساخته شود؟\u200F");

} // namespace

FormatterWindow::FormatterWindow(Context& context, FormatterHost& host)
    : QWidget(nullptr, Qt::Window), context_(context), host_(host) {
    buildControls();
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(100);
    connect(&timer1_, &QTimer::timeout, this, [this] { timer1Tick(); });
}

FormatterWindow::~FormatterWindow() = default;

void FormatterWindow::Doit() {
    if (isVisible()) {
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
        return;
    }
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
    show();
    recordLayout();
    timer1_.start();
}

bool FormatterWindow::hasUnmadeEntries() const {
    return !table_.SoalText[0].isEmpty();
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
        table_.clear();
        IndexEmpty();
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
        const Session& session = host_.session();
        const QString text = bookHeading(session.lessonTitle, session.fieldTitle);
        if (bookLabel_->text() != text)
            bookLabel_->setText(text);
    });
}

void FormatterWindow::ResetA() {
    runTrapped(context_, kFailResetA, [this] {
        table_.clear();
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
    matn_->setCaret(0);
    matn_->selectAll();
    matn_->setSelectionAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    matn_->setCaret(0);
}

void FormatterWindow::loadText(int row) {
    QListWidgetItem* item = books_->item(row);
    if (!item)
        return;
    if (item->text().isEmpty())
        item->setSelected(false);
    context_.log().LogMe(QStringLiteral("Opening a text file..."));
    openedFileName = item->text();
    QString text;
    try {
        text = whileBusy([folder = host_.session().inputFolder, name = openedFileName] {
            return readLessonText(folder, name);
        });
    } catch (const FsError& e) {
        reportFailure(context_, kFailLoadLessonText, e.description());
        return;
    }
    const BusyCursor busy;
    matn_->setText(text);
    Mright();
    // A text just opened has nothing to undo: the first undo must not take it away.
    matn_->document()->clearUndoRedoStacks();
}

void FormatterWindow::DoPara() {
    context_.log().LogMe(QStringLiteral("Cutting end of paragraphs..."));
    bool ok = false;
    const int words = chnd_->text().trimmed().toInt(&ok);
    if (!ok) {
        reportFailure(context_, kFailReflow,
                      QStringLiteral("Type mismatch: \"%1\"").arg(chnd_->text()));
        return;
    }
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
    CaptureResult result;
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
            request.projectPath = host_.session().projectPath;
            request.fieldIndex = host_.session().fieldIndex;
            request.lessonIndex = host_.session().lessonIndex;
            request.lessonTitle = host_.session().lessonTitle;
            request.creditElement = bookConfig_.value(6);
            request.checkSnippet = checkSnippet_;
            request.beforeNotice = [this] {
                NameNevis();
                hide();
            };
            host_.session().bookId = bookId(request.fieldIndex, request.lessonIndex);
            const BusyCursor busy;
            lastBook_ = MakeBook(context_, table_, request);
            // Declined or failed: the window stays as the author left it.
            if (lastBook_ != BookOutcome::Made)
                return;
            IndexEmpty();
            matn_->replaceAllText(QString(), Qt::AlignRight | Qt::AlignAbsolute);
            break;
        }
        default:
            break;
        }
    } catch (const std::exception& e) {
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
}

void FormatterWindow::showOutline() {
    // A part taken from several paragraphs shows on one line, as a list line does.
    const auto shown = [](QString line) {
        return line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
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
    if (chek_->isChecked() && index != kRemoveText && matn_->selectionLength() > 0)
        matn_->replaceSelection(QString());
    matn_->setCaret(0);
}

} // namespace tavrin
