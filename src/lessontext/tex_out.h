#pragma once

#include <QString>

namespace tavrin {

// TeX built piece by piece, knowing where its last run of Latin letters begins, so that
// a command is never run together with a letter after it (a space ends it). Each piece
// is looked at once: a long run of letters costs its length, not its square.
class TexOut {
public:
    // In a run of the equation's own letters any letter ends a command; between parts,
    // only a Latin one.
    void append(const QString& piece, bool anyLetterEnds = false) {
        if (piece.isEmpty())
            return;
        if (piece[0].isLetter() && (anyLetterEnds || piece[0].unicode() < 128) && endsInCommand()) {
            text_ += u' ';
            tail_ = text_.size();
        }
        qsizetype i = piece.size() - 1;
        while (i >= 0 && latinLetter(piece[i]))
            --i;
        if (i >= 0)
            tail_ = text_.size() + i + 1;
        text_ += piece;
    }
    const QString& text() const { return text_; }

private:
    static bool latinLetter(QChar c) { return c.isLetter() && c.unicode() < 128; }
    bool endsInCommand() const {
        return tail_ > 0 && tail_ < text_.size() && text_[tail_ - 1] == u'\\';
    }
    QString text_;
    qsizetype tail_ = 0; // where the trailing Latin letters begin
};

} // namespace tavrin
