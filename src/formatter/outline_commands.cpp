// The formatter window's outline editing: opening an entry in the question editor, filling
// the editor from it, writing it back, removing it, and the two marks put into answers.
#include "app/context.h"
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "editor/question_editor.h"
#include "exam/question_history.h"
#include "formatter/formatter_host.h"
#include "formatter/formatter_window.h"
#include "interchange/question_files.h"
#include "lesson/capture_commands.h"
#include "lesson/outline_editing.h"
#include "lesson/question_check.h"
#include "lesson/question_import.h"
#include "lesson/quiz_book.h"
#include "lesson/text_procedures.h"
#include "lesson/to_txt.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "richtext/rich_text_picture.h"
#include "undo/edit_names.h"
#include "widgets/busy_cursor.h"
#include "widgets/rich_text_box.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tavrin {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kAskRemoveQuestion = QStringLiteral(u"آيا اين سؤال به طور كامل حذف شود؟\u200F");

// Every paragraph right to left and right-aligned, the caret home. Paragraphs that the
// RTF left without a direction are given one too.
void rightToLeft(RichTextBox* box) {
    box->selectAll();
    QString rtf = box->selectedRtf();
    rtf.replace(QStringLiteral("\\ltrpar"), QStringLiteral("\\rtlpar"));
    box->replaceSelectionRtf(rtf);
    QTextCursor all(box->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setLayoutDirection(Qt::RightToLeft);
    format.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    all.mergeBlockFormat(format);
    box->setCaret(0);
}

// Removes every correct-answer mark (a picture of the mark's bytes) from the box; gives the
// box position that was at, moved back past the marks removed before it.
int withoutMarks(RichTextBox* box, const QByteArray& mark, int at) {
    QTextDocument* document = box->document();
    int documentAt = box->toDocumentPosition(at);
    QList<int> marks;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat() || pictureOf(document, format.toImageFormat()).data != mark)
                continue;
            for (int i = 0; i < fragment.length(); ++i)
                marks.append(fragment.position() + i);
        }
    }
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (auto it = marks.crbegin(); it != marks.crend(); ++it) {
        cursor.setPosition(*it);
        cursor.setPosition(*it + 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        if (*it < documentAt)
            --documentAt;
    }
    cursor.endEditBlock();
    return box->toBoxPosition(documentAt);
}

// The place of the line break ending the paragraph before the caret's, or 0.
int previousLineBreak(const RichTextBox* box) {
    const QString text = box->text();
    const int caret = box->selectionStart();
    const qsizetype at = text.lastIndexOf(kCrLf, std::max(caret - 1, 0));
    return at < 0 ? 0 : int(at);
}

// Answers with no line break get a blank and one, so a mark has a paragraph to stand by.
void ensureLineBreak(RichTextBox* box) {
    if (box->text().contains(kCrLf))
        return;
    const int caret = box->selectionStart();
    box->setCaret(box->textLength());
    box->replaceSelection(QStringLiteral(" ") + kCrLf);
    box->setCaret(caret);
}

} // namespace

void FormatterWindow::openEntry() {
    runTrapped(context_, kFailOpenEntry, [this] {
        context_.log().LogMe(QStringLiteral("Opening an Onvan..."));
        const QList<QListWidgetItem*> selected = bindex_->selectedItems();
        table_.CurrentEntry = selected.isEmpty() ? -1 : bindex_->row(selected.first());
        if (table_.CurrentEntry < 0 || table_.SoalText[table_.CurrentEntry] == kEndTitleEntry)
            return;
        // Whatever the editor saved or removed is one step, named for the entry it opened on.
        const LessonState before = state();
        const int revision = tableRevision_;
        const QString question = RemCrLf(table_.SoalText[table_.CurrentEntry]).trimmed();
        const QString entry =
            question.size() > 40 ? question.left(40).trimmed() + QChar(0x2026) : question;
        QuestionEditor editor(context_, *this, this);
        editor_ = &editor;
        editor.exec();
        editor_ = nullptr;
        if (tableRevision_ != revision)
            pushFiling((outline_.size() < before.outline.size() ? edits::kRemoveEntry
                                                                : edits::kEditEntry) +
                           quoted(entry),
                       before, boxMark());
    });
}

void FormatterWindow::ShowEdit(QuestionEditor& editor) {
    runTrapped(context_, kFailShowEdit, [&] {
        const int k = table_.CurrentEntry;
        if (k < 0) {
            bepayam(context_, kNoticeNothingToEdit);
            return;
        }
        editor.clearBackground();
        editor.Soal()->setRtf(table_.SoalText[k]);
        editor.Soal()->setReadOnly(table_.SoalText[k] == kIdentityEntry ||
                                   table_.SoalText[k] == kMainTitleEntry);
        editor.Javab()->setRtf(table_.JavabRtf[k]);
        editor.Tozih()->setRtf(table_.TozihRtf[k]);
        for (RichTextBox* box : {editor.Soal(), editor.Javab(), editor.Tozih()})
            rightToLeft(box);
        editor.picB()->setText(table_.AttachPath[k]);
        editor.soutB()->setText(table_.SoundPath[k]);
        editor.filmB()->setText(table_.FilmPath[k]);
        editor.setBackPath(table_.BackPath[k]);
        editor.setCancelled(!table_.Cancelled[k].isEmpty());
        // Read only when the project has analysed an exam: the text as the quiz file holds it.
        std::optional<QuestionHistory> history;
        if (QFileInfo(analysisFolder(lesson_.projectPath)).isDir())
            history = historyOfQuestion(context_, lesson_.projectPath, lesson_.fieldIndex,
                                        lesson_.lessonIndex,
                                        RemCrLf(ToTXT(context_, table_.SoalText[k])));
        editor.setHistory(history ? historyText(*history) : QString());
        editor.TgDo();
    });
}

void FormatterWindow::DoEdit(QuestionEditor& editor) {
    runTrapped(context_, kFailDoEdit, [&] {
        context_.log().LogMe(QStringLiteral("Editing an Onvan..."));
        const int k = table_.CurrentEntry;
        saveEntry(context_, table_, outline_, k,
                  {editor.Soal()->text(), editor.Javab()->rtf(), editor.Tozih()->rtf(),
                   editor.picB()->text(), editor.soutB()->text(), editor.filmB()->text(),
                   editor.backPath(), editor.cancelled()});
        tableChanged();
        showOutline();
        editor.Soal()->setReadOnly(false);
        editor.accept();
        if (!isGroupLine(table_.SoalText[k]) &&
            moreThanFourAnswers(answerLines(context_, table_.JavabRtf[k])))
            bepayam(context_, kNoticeMoreThanFour);
    });
}

void FormatterWindow::Ohazf(QuestionEditor& editor) {
    runTrapped(context_, kFailRemoveEntry, [&] {
        context_.log().LogMe(QStringLiteral("Removing an Onvan..."));
        if (!context_.prompts().askYesNo(kMainCaption, kAskRemoveQuestion, Default::No)) {
            context_.log().LogMe(QStringLiteral("Aborted by user!"));
            return;
        }
        removeFiledEntry(table_, outline_, table_.CurrentEntry);
        tableChanged();
        showOutline();
        ShowEdit(editor);
    });
}

void FormatterWindow::DoIMG(QuestionEditor& editor) {
    runTrapped(context_, kFailPutMark, [&] {
        context_.log().LogMe(QStringLiteral("Inserting image inside the text..."));
        if (imgSnippet_.isEmpty()) {
            bepayam(context_, kNoticeNoMarkSnippet);
            return;
        }
        // Closing the picker without a choice inserts nothing, not the last one again.
        ChosenImagePath.clear();
        ChosenImagePath =
            pickFile(QStringLiteral("IMG"), folders::kPicturePattern).value_or(QString());
        if (ChosenImagePath.isEmpty() || !fileExists(fromStoredPath(ChosenImagePath)))
            return;
        if (table_.ImageCounter >= EntryTable::kImages)
            throw std::out_of_range("Subscript out of range (image " +
                                    std::to_string(table_.ImageCounter) + ")");
        table_.ImagePaths[table_.ImageCounter] = ChosenImagePath;
        // At the caret, inside the answer it stands in: a line of its own would be an answer
        // of its own, and the last one would be lost when the entry is kept.
        RichTextBox* javab = editor.Javab();
        javab->replaceSelectionRtf(imgSnippet_);
        javab->replaceSelection(QStringLiteral("{%1}").arg(table_.ImageCounter));
        ++table_.ImageCounter;
    });
}

QString FormatterWindow::imageFile(int n) const {
    return n >= 0 && n < EntryTable::kImages ? fromStoredPath(table_.ImagePaths[n]) : QString();
}

void FormatterWindow::importQuestionsFile() {
    context_.log().LogMe(QStringLiteral("Importing questions..."));
    const QString id = lessonId();
    if (id.isEmpty())
        return;
    const auto file = pickFile(QStringLiteral("QuestionsIn"), QStringLiteral("*.gift;*.txt;*.xml"));
    if (!file)
        return;
    const QString path = fromStoredPath(*file);
    const QString name = QFileInfo(path).fileName();
    QString why;
    try {
        // Read off the window's thread: a large file keeps the window painted.
        const TravelSet set = whileBusy([path] { return readQuestionsFile(path); });
        const BusyCursor busy;
        const LessonState before = state();
        // The pictures it copies into BookTXT go again with its undo.
        std::optional<FileChange> copies =
            history_.keep({lesson_.projectPath, {folders::kBookTxt}, false, false, {}});
        const ImportResult result = importQuestions(
            context_, table_, outline_, set, {lesson_.projectPath, id, checkSnippet_, imgSnippet_});
        if (result.questions > 0) {
            tableChanged();
            const LessonState after = state();
            history_.push(
                edits::kImport + quoted(name), std::move(copies),
                [this, before, after](bool back) { showState(back ? before : after, true); });
            markPushed(boxMark());
        } else if (copies) {
            copies->discard();
        }
        showOutline();
        if (bindex_->count() > 0)
            bindex_->scrollToItem(bindex_->item(bindex_->count() - 1));
        com_[kOpenGroup]->setText(groupButtonCaption(table_.OpenGroups));
        context_.log().LogMe(QStringLiteral("Questions imported from %1: %2, %3 skipped.")
                                 .arg(name)
                                 .arg(result.questions)
                                 .arg(result.skipped.size()));
        QList<Prompts::Line> lines;
        for (const SkippedQuestion& s : result.skipped)
            lines.append({Prompts::Mark::Warning,
                          QStringLiteral(u"آورده نشد: «%1» (%2)").arg(s.title, s.reason)});
        for (const QString& note : result.notes)
            lines.append({Prompts::Mark::Note, note});
        const QString heading =
            QStringLiteral(
                u"%1 سؤال از فايل «%2» به فهرست افزوده شد.‏")
                .arg(result.questions)
                .arg(name);
        if (lines.isEmpty())
            context_.prompts().notice(kMainCaption, heading);
        else
            context_.prompts().showList(kMainCaption, heading, lines);
        return;
    } catch (const std::invalid_argument& e) {
        why = QString::fromUtf8(e.what());
    } catch (const FsError& e) {
        why = e.description();
    } catch (const std::bad_alloc&) {
        why = QStringLiteral("Not enough memory: ") + path;
    }
    reportFailure(context_, kFailQuestionsIn, why);
    bepayamBecause(context_, kNoticeQuestionsNotImported, why);
}

void FormatterWindow::DoCor(QuestionEditor& editor) {
    runTrapped(context_, kFailPutMark, [&] {
        context_.log().LogMe(QStringLiteral("Check correct answer..."));
        if (checkSnippet_.isEmpty()) {
            bepayam(context_, kNoticeNoMarkSnippet);
            return;
        }
        RichTextBox* javab = editor.Javab();
        ensureLineBreak(javab);
        int at = previousLineBreak(javab);
        if (at != 0)
            at += 2;
        // Only one answer is marked: the marks before go, the answers' pictures stay.
        javab->setCaret(withoutMarks(javab, markPicture(checkSnippet_), at));
        javab->replaceSelectionRtf(checkSnippet_);
        rightToLeft(javab);
    });
}

} // namespace tavrin
