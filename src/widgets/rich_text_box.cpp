#include "widgets/rich_text_box.h"

#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "platform/ui_metrics.h"
#include "richtext/author_letters.h"
#include "richtext/rich_text_document.h"
#include "richtext/rich_text_reader.h"
#include "richtext/rich_text_writer.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace tavrin {

namespace {

// Both names are in use for RTF on the clipboard.
const QString kRtfMime = QStringLiteral("text/rtf");
const QString kRtfMimeAlias = QStringLiteral("application/rtf");

// In place when the text is the caller's to give: every step shortens it or keeps its length.
QString paragraphsOf(QString plain) {
    plain.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n"));
    plain.replace(u'\r', u'\n');
    plain.remove(QChar::ObjectReplacementCharacter);
    return plain;
}

} // namespace

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(10));
    document()->setDefaultFont(font());
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(Qt::RightToLeft);
    document()->setDefaultTextOption(option);
    new AuthorLetters(document());
}

AuthorLetters* RichTextBox::letters() const {
    return AuthorLetters::in(document());
}

QString RichTextBox::shownText(QString text, std::vector<AuthorLetters::Letter>& changed) const {
    if (!letters())
        return text;
    return AuthorLetters::shown(std::move(text), &changed);
}

void RichTextBox::recordLetters(int at, std::vector<AuthorLetters::Letter>& changed) {
    if (AuthorLetters* l = letters())
        l->record(at, std::move(changed));
}

void RichTextBox::showLetters(int from, int to, bool joinPrevious) {
    if (AuthorLetters* l = letters())
        l->showRange(from, to, joinPrevious);
}

int RichTextBox::toBoxPosition(int documentPosition) const {
    const QTextBlock block = document()->findBlock(documentPosition);
    const AuthorLetters* letters = AuthorLetters::of(document());
    return documentPosition + std::max(block.blockNumber(), 0) -
           (letters ? letters->marksBefore(documentPosition) : 0);
}

int RichTextBox::toDocumentPosition(int boxPosition) const {
    const QTextDocument* doc = document();
    const AuthorLetters* letters = AuthorLetters::of(doc);
    const auto marks = [letters](int at) { return letters ? letters->marksBefore(at) : 0; };
    // Paragraph n starts at box position position(n) + n less the isolates before it; find
    // the last one at or before.
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        const int start = doc->findBlockByNumber(mid).position();
        if (start + mid - marks(start) <= boxPosition)
            low = mid;
        else
            high = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(low);
    const int start = block.position();
    const int offset = std::max(boxPosition - (start + low - marks(start)), 0);
    // Past the isolates before it, and outside any isolate at its edge: before one that opens
    // there, after one that closes there. A selection of a formula then holds both of its
    // isolates, and what is typed after it stands outside.
    int at = start + offset;
    for (int guard = 0; guard < 1 << 20; ++guard) {
        const int next = start + offset + marks(at) - marks(start);
        if (next == at)
            break;
        at = next;
    }
    const int end = start + block.length() - 1;
    while (letters && at < end && doc->characterAt(at) == QChar(0x2069))
        ++at;
    return std::min(at, end);
}

QString RichTextBox::textBetween(int from, int to) const {
    // The author's letters, whatever the box shows.
    const AuthorLetters* letters = AuthorLetters::of(document());
    QString out;
    QTextBlock block = document()->findBlock(from);
    while (block.isValid() && block.position() <= to) {
        const int start = std::max(from, block.position());
        const int stop = std::min(to, block.position() + block.length() - 1);
        if (block.position() > from)
            out += QLatin1StringView("\r\n");
        if (stop > start) {
            QString piece = block.text().mid(start - block.position(), stop - start);
            if (letters)
                letters->restore(start, piece);
            out += piece;
        }
        if (block.position() + block.length() > to)
            break;
        block = block.next();
    }
    return out;
}

QString RichTextBox::text() const {
    return textBetween(0, document()->characterCount() - 1);
}

void RichTextBox::setText(const QString& text) {
    // Plain text has no formats: not even those of the caret's place in the old text, which
    // setPlainText would give to all of it.
    setCurrentCharFormat(QTextCharFormat());
    std::vector<AuthorLetters::Letter> changed;
    const QString shown = shownText(paragraphsOf(text), changed);
    if (AuthorLetters* l = letters())
        l->clear();
    QTextEdit::setPlainText(shown);
    recordLetters(0, changed);
    if (AuthorLetters* l = letters())
        l->rescan();
}

void RichTextBox::setText(QString text, Qt::Alignment alignment) {
    const QPointer<QTextDocument> old = document();
    auto* fresh = freshDocument();
    // The old lesson is let go first: two lessons in memory at once is the peak otherwise.
    old->clear();
    fresh->setUndoRedoEnabled(false);
    // Each paragraph is made with the alignment: aligning them one by one afterwards was
    // nine tenths of a lesson's loading.
    QTextCursor c(fresh);
    QTextBlockFormat format;
    format.setAlignment(alignment);
    c.setBlockFormat(format);
    std::vector<AuthorLetters::Letter> changed;
    c.insertText(AuthorLetters::shown(paragraphsOf(std::move(text)), &changed));
    fresh->setUndoRedoEnabled(old->isUndoRedoEnabled());
    showDocument(fresh, old);
    recordLetters(0, changed);
    if (AuthorLetters* l = letters())
        l->rescan();
}

void RichTextBox::replaceAllText(const QString& text, Qt::Alignment alignment) {
    QTextDocument* doc = document();
    // The caret goes home first. The new text is put after the old and the old then removed,
    // so neither step moves the caret: a caret pushed along by the insertion would have all
    // of the text laid out at once to be shown.
    setTextCursor(QTextCursor(doc));
    // Without a page size the layout waits; given it back, it lays the new text out as a
    // document filled anew, a screen at a time.
    const QSizeF page = doc->pageSize();
    doc->setPageSize(QSizeF());
    QTextBlockFormat format;
    format.setAlignment(alignment);
    QTextCursor c(doc);
    c.beginEditBlock();
    c.setBlockFormat(format); // the first paragraph is the one the new text ends up in
    c.movePosition(QTextCursor::End);
    c.insertBlock(format, QTextCharFormat());
    const int start = c.position();
    std::vector<AuthorLetters::Letter> changed;
    c.insertText(shownText(paragraphsOf(text), changed));
    c.setPosition(0);
    c.setPosition(start, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    c.endEditBlock();
    recordLetters(0, changed);
    doc->setPageSize(page);
}

QString RichTextBox::rtf() const {
    return documentToRtf(document());
}

void RichTextBox::setRtf(const QString& rtf, const Prepare& prepare) {
    if (!looksLikeRtf(rtf)) {
        setText(rtf);
        return;
    }
    replaceDocument(rtf, false, prepare);
}

QTextDocument* RichTextBox::freshDocument() {
    auto* fresh = new QTextDocument(this);
    fresh->setDefaultFont(document()->defaultFont());
    fresh->setDefaultTextOption(document()->defaultTextOption());
    fresh->setUndoRedoEnabled(document()->isUndoRedoEnabled());
    new AuthorLetters(fresh);
    return fresh;
}

void RichTextBox::showDocument(QTextDocument* fresh, const QPointer<QTextDocument>& old) {
    setDocument(fresh);
    // The first document belongs to the edit control, which deletes it; later ones are ours.
    if (old && old->parent() == this)
        delete old.data();
}

void RichTextBox::replaceDocument(QStringView rtf, bool rawBytes, const Prepare& prepare) {
    const QPointer<QTextDocument> old = document();
    auto* fresh = freshDocument();
    setDocumentRtf(fresh, rtf, rawBytes);
    if (prepare)
        prepare(fresh);
    // Shown in Persian letters as part of the load: nothing for undo to take back.
    const bool undo = fresh->isUndoRedoEnabled();
    fresh->setUndoRedoEnabled(false);
    if (AuthorLetters* l = AuthorLetters::in(fresh))
        l->showRange(0, fresh->characterCount() - 1);
    fresh->setUndoRedoEnabled(undo);
    showDocument(fresh, old);
    if (AuthorLetters* l = letters())
        l->rescan();
}

int RichTextBox::textLength() const {
    return toBoxPosition(document()->characterCount() - 1);
}

int RichTextBox::selectionStart() const {
    return toBoxPosition(textCursor().selectionStart());
}

int RichTextBox::selectionLength() const {
    const QTextCursor c = textCursor();
    return toBoxPosition(c.selectionEnd()) - toBoxPosition(c.selectionStart());
}

void RichTextBox::setSelection(int start, int length) {
    const int total = textLength();
    const int from = std::clamp(start, 0, total);
    const int to = std::clamp(from + std::max(length, 0), from, total);
    QTextCursor c(document());
    c.setPosition(toDocumentPosition(from));
    c.setPosition(toDocumentPosition(to), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichTextBox::selectedText() const {
    const QTextCursor c = textCursor();
    return textBetween(c.selectionStart(), c.selectionEnd());
}

void RichTextBox::replaceSelection(const QString& text) {
    QTextCursor c = textCursor();
    const int at = c.selectionStart();
    std::vector<AuthorLetters::Letter> changed;
    c.insertText(shownText(paragraphsOf(text), changed));
    recordLetters(at, changed);
    setTextCursor(c);
}

QString RichTextBox::selectedRtf() const {
    const QTextCursor c = textCursor();
    return documentToRtf(document(), c.selectionStart(), c.selectionEnd());
}

void RichTextBox::replaceSelectionRtf(const QString& rtf) {
    if (!looksLikeRtf(rtf)) {
        replaceSelection(rtf);
        return;
    }
    QTextCursor c = textCursor();
    const int at = c.selectionStart();
    insertRtf(c, rtf);
    showLetters(at, c.position(), true);
    setTextCursor(c);
}

QMimeData* RichTextBox::createMimeDataFromSelection() const {
    auto* mime = new QMimeData;
    mime->setText(paragraphsOf(selectedText()));
    mime->setData(kRtfMime, selectedRtf().toLatin1());
    return mime;
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasFormat(kRtfMime) || source->hasFormat(kRtfMimeAlias) || source->hasText();
}

void RichTextBox::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ShiftModifier) && !isReadOnly()) {
        textCursor().insertBlock();
        ensureCursorVisible();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier && !isReadOnly()) {
        redo();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void RichTextBox::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly())
        return;
    const QString format = source->hasFormat(kRtfMime) ? kRtfMime : kRtfMimeAlias;
    const QByteArray rtf = source->data(format);
    QTextCursor c = textCursor();
    const int at = c.selectionStart();
    if (looksLikeRtf(rtf)) {
        insertRtf(c, rtfTextFromBytes(rtf), true);
        showLetters(at, c.position(), true);
    } else if (source->hasText()) {
        std::vector<AuthorLetters::Letter> changed;
        c.insertText(shownText(paragraphsOf(source->text()), changed));
        recordLetters(at, changed);
    }
    setTextCursor(c);
    ensureCursorVisible();
}

void RichTextBox::setSelectionAlignment(Qt::Alignment alignment) {
    const QTextCursor selection = textCursor();
    alignParagraphs(selection.selectionStart(), selection.selectionEnd(), alignment);
}

void RichTextBox::alignAll(Qt::Alignment alignment) {
    alignParagraphs(0, document()->characterCount() - 1, alignment);
}

void RichTextBox::alignParagraphs(int from, int to, Qt::Alignment alignment) {
    QTextBlockFormat format;
    format.setAlignment(alignment);
    // Only the paragraphs that are not so already, in one edit, and without moving the
    // caret: a lesson just loaded is aligned, and merging its thousands of paragraphs again,
    // or laying all of them out to show a selection, is what cost.
    QTextCursor c(document());
    c.beginEditBlock();
    const QTextBlock last = document()->findBlock(to);
    for (QTextBlock b = document()->findBlock(from); b.isValid(); b = b.next()) {
        if (b.blockFormat().alignment() != alignment) {
            c.setPosition(b.position());
            c.mergeBlockFormat(format);
        }
        if (b == last)
            break;
    }
    c.endEditBlock();
}

void RichTextBox::loadFile(const QString& path) {
    const QByteArray bytes = readWholeFile(path);
    if (!looksLikeRtf(bytes)) {
        setText(decodeAnsi(bytes));
        return;
    }
    replaceDocument(rtfTextFromBytes(bytes), true);
}

} // namespace tavrin
