#pragma once

#include "platform/persian_text.h"

#include <QObject>
#include <QString>
#include <vector>

class QTextDocument;

namespace tavrin {

// A document that shows Persian letters where its author's text has others: Persian yeh and
// kaf for the Arabic ones, Persian digits for Latin and Arabic-Indic ones inside Persian
// text, one character for one. The author's letters are kept beside the document, moved
// with its edits, so that what is taken out of it (its text, its RTF) is what the author
// wrote; a letter typed or pasted later is the author's as it was typed. A document that
// is laid out tells its changes only once an edit block ends: record after it.
// A formula is shown inside a left-to-right isolate (U+2066 … U+2069), so that a right-to-left
// paragraph does not mirror its delimiters: the isolates are the document's own, never
// taken out with its text, and the positions of the text leave them out (marksBefore).
class AuthorLetters : public QObject {
    Q_OBJECT
public:
    // Belongs to the document and follows its edits.
    explicit AuthorLetters(QTextDocument* document);
    // The document's own, or nullptr when it shows the author's letters as they are.
    static const AuthorLetters* of(const QTextDocument* document);
    static AuthorLetters* in(QTextDocument* document);

    // Its position is the document's; a text's own before it is recorded.
    using Letter = LetterChange;
    // The text as shown, and where it differs from the author's (positions in the text shown,
    // its isolates counted).
    static QString shown(QString text, std::vector<Letter>* changed);
    // The differences of a text just put at document position at.
    void record(int at, std::vector<Letter> changed);
    // The document's range [from, to) shown in Persian letters, in place and in one edit
    // (joined to the edit before it when asked), its author's letters recorded: for text that
    // came in with its formats (RTF).
    void showRange(int from, int to, bool joinPrevious = false);
    // A piece of the document's text that starts at document position from, given back its
    // author's letters and without the isolates.
    void restore(int from, QString& text) const;
    // How many isolate marks stand before a document position.
    int marksBefore(int position) const;
    // The marks found again in the whole document: after it was filled without a layout,
    // which tells no changes.
    void rescan();
    // Before the document is filled anew in a way that tells no removal (setPlainText).
    void clear();

private:
    void changed(int position, int removed, int added);

    struct Removed {
        int position, length;
        std::vector<Letter> letters; // from position
    };
    static constexpr std::size_t kRemovedKept = 32;

    // The marks in [from, to) of the document, added in order.
    void scanMarks(int from, int to);

    QTextDocument* document_;
    std::vector<Letter> letters_;  // by position
    std::vector<int> marks_;       // the isolates' positions, in order
    std::vector<Removed> removed_; // the latest last
};

} // namespace tavrin
