#pragma once

#include "richtext/author_letters.h"

#include <QPointer>
#include <QTextEdit>
#include <functional>
#include <vector>

namespace tavrin {

// A rich text box that speaks the coordinates of the text algorithms: its text joins
// paragraphs with CR LF, and positions count that CR LF as two characters. A picture is one
// character (U+FFFC) in the text, so text and positions always agree. It shows Persian
// letters where the text it is given has Arabic ones or Latin digits in Persian words
// (AuthorLetters); its text, selections and RTF give back the letters it was given.
class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget* parent = nullptr);

    QString text() const;
    // Plain text in place of everything; CR LF, CR and LF all end a paragraph.
    void setText(const QString& text);
    // Plain text in place of everything, every paragraph made with the alignment; no undo.
    void setText(QString text, Qt::Alignment alignment);
    // Plain text in place of everything with every paragraph aligned, as one undo step; the
    // caret at the start.
    void replaceAllText(const QString& text, Qt::Alignment alignment);
    QString rtf() const;
    // Work on a document just read, in the author's letters, before the box shows it.
    using Prepare = std::function<void(QTextDocument*)>;
    // RTF replaces everything; text that is not RTF is set as plain text.
    void setRtf(const QString& rtf, const Prepare& prepare = {});
    // RTF as a file's bytes, one character each, in place of everything.
    void setRtfBytes(const QString& rtf, const Prepare& prepare = {}) {
        replaceDocument(rtf, true, prepare);
    }

    int textLength() const;
    int selectionStart() const;
    int selectionLength() const;
    // Positions beyond the text are clamped; a position between CR and LF means the end of
    // that paragraph.
    void setSelection(int start, int length);
    void setCaret(int position) { setSelection(position, 0); }

    QString selectedText() const;
    void replaceSelection(const QString& text);
    QString selectedRtf() const;
    void replaceSelectionRtf(const QString& rtf);

    // Every paragraph the selection touches.
    void setSelectionAlignment(Qt::Alignment alignment);
    // Every paragraph; the caret and the selection stay.
    void alignAll(Qt::Alignment alignment);

    // Loads an RTF file (a plain file is shown as 1256 text). Throws FsError when the file
    // cannot be read.
    void loadFile(const QString& path);

    int toBoxPosition(int documentPosition) const;
    int toDocumentPosition(int boxPosition) const;

protected:
    // Shift+Enter ends the paragraph like Enter: a line break inside a paragraph would be
    // one character here but a paragraph end (two) once written and read back. Ctrl+Y
    // redoes, as it does on the platform the authors come from, beside this one's keys.
    void keyPressEvent(QKeyEvent* event) override;
    // The clipboard carries RTF beside the plain text, so formats and pictures survive a copy
    // between boxes, and RTF from other editors pastes with its formats.
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    QString textBetween(int from, int to) const;
    // The document's AuthorLetters, if it has them; text to put in it as it shows it, and
    // the differences recorded once it is in; a range put in with its formats shown.
    AuthorLetters* letters() const;
    QString shownText(QString text, std::vector<AuthorLetters::Letter>& changed) const;
    void recordLetters(int at, std::vector<AuthorLetters::Letter>& changed);
    void showLetters(int from, int to, bool joinPrevious);
    // Builds new content off screen and shows it in one step: filling the shown document
    // in place makes the box lay out every paragraph at once, eight times slower.
    void replaceDocument(QStringView rtf, bool rawBytes, const Prepare& prepare = {});
    void alignParagraphs(int from, int to, Qt::Alignment alignment);
    // A new empty document with this box's defaults, and putting one in place of the old.
    QTextDocument* freshDocument();
    void showDocument(QTextDocument* fresh, const QPointer<QTextDocument>& old);
};

} // namespace tavrin
