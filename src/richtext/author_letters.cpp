#include "richtext/author_letters.h"

#include "platform/persian_text.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace tavrin {

namespace {

bool byPosition(const AuthorLetters::Letter& a, int position) {
    return a.position < position;
}

// The letter a box shows for the author's.
QChar shownLetter(char16_t c) {
    if (c == 0x064A || c == 0x0649)
        return QChar(0x06CC);
    if (c == 0x0643)
        return QChar(0x06A9);
    if (c >= 0x0660 && c <= 0x0669)
        return QChar(0x06F0 + (c - 0x0660));
    if (c >= u'0' && c <= u'9')
        return QChar(0x06F0 + (c - u'0'));
    return QChar(c);
}

// The characters' format at a document position.
QTextCharFormat formatAt(QTextCursor& c, int position) {
    c.setPosition(position + 1);
    return c.charFormat();
}

} // namespace

AuthorLetters::AuthorLetters(QTextDocument* document) : QObject(document), document_(document) {
    connect(document, &QTextDocument::contentsChange, this, &AuthorLetters::changed);
}

const AuthorLetters* AuthorLetters::of(const QTextDocument* document) {
    return document ? document->findChild<const AuthorLetters*>(QString(),
                                                                Qt::FindDirectChildrenOnly)
                    : nullptr;
}

AuthorLetters* AuthorLetters::in(QTextDocument* document) {
    return document ? document->findChild<AuthorLetters*>(QString(), Qt::FindDirectChildrenOnly)
                    : nullptr;
}

QString AuthorLetters::shown(QString text, std::vector<Letter>* changed) {
    const QString out = persianSameLength(text);
    if (changed) {
        changed->clear();
        for (qsizetype i = 0; i < out.size(); ++i)
            if (out[i] != text[i])
                changed->push_back({int(i), text[i].unicode()});
    }
    return out;
}

void AuthorLetters::record(int at, const std::vector<Letter>& changed) {
    if (changed.empty())
        return;
    std::vector<Letter> moved;
    moved.reserve(changed.size());
    for (const Letter& l : changed)
        moved.push_back({l.position + at, l.author});
    // A whole document's load comes in order after everything else: no merge needed.
    if (letters_.empty() || letters_.back().position < moved.front().position) {
        letters_.insert(letters_.end(), moved.begin(), moved.end());
        return;
    }
    const auto place = std::lower_bound(letters_.begin(), letters_.end(),
                                        moved.front().position, byPosition);
    letters_.insert(place, moved.begin(), moved.end());
}

void AuthorLetters::showRange(int from, int to, bool joinPrevious) {
    std::vector<Letter> found;
    QTextCursor c(document_);
    if (joinPrevious)
        c.joinPreviousEditBlock();
    else
        c.beginEditBlock();
    for (QTextBlock b = document_->findBlock(from); b.isValid() && b.position() < to;
         b = b.next()) {
        const int start = std::max(from, b.position());
        const int stop = std::min(to, b.position() + b.length() - 1);
        if (stop <= start)
            continue;
        std::vector<Letter> inBlock;
        const QString text = b.text().mid(start - b.position(), stop - start);
        const QString out = shown(text, &inBlock);
        // Run by run, each with the formats it has: the fragments stay as they were.
        for (std::size_t i = 0; i < inBlock.size();) {
            const int first = inBlock[i].position;
            const QTextCharFormat format = formatAt(c, start + first);
            std::size_t j = i + 1;
            while (j < inBlock.size() && inBlock[j].position == inBlock[j - 1].position + 1 &&
                   formatAt(c, start + inBlock[j].position) == format)
                ++j;
            const int length = inBlock[j - 1].position + 1 - first;
            c.setPosition(start + first);
            c.setPosition(start + first + length, QTextCursor::KeepAnchor);
            c.insertText(out.mid(first, length), format);
            i = j;
        }
        for (Letter& l : inBlock)
            l.position += start;
        found.insert(found.end(), inBlock.begin(), inBlock.end());
    }
    c.endEditBlock();
    record(0, found);

}

void AuthorLetters::restore(int from, QString& text) const {
    auto l = std::lower_bound(letters_.begin(), letters_.end(), from, byPosition);
    for (; l != letters_.end() && l->position < from + text.size(); ++l)
        text[l->position - from] = QChar(l->author);
}

void AuthorLetters::changed(int position, int removed, int added) {
    // A document given a layout announces its whole text as added: nothing changed. (A real
    // insertion never adds the last paragraph's end, which every document has.)
    if (position == 0 && removed == 0 && added == document_->characterCount())
        return;
    auto first = std::lower_bound(letters_.begin(), letters_.end(), position, byPosition);
    auto last = std::lower_bound(first, letters_.end(), position + removed, byPosition);
    if (removed == added) {
        // A change of formats comes as the same length removed and added: the letters that
        // are still there stay the author's.
        last = letters_.erase(std::remove_if(first, last,
                                             [&](const Letter& l) {
                                                 return document_->characterAt(l.position) !=
                                                        shownLetter(l.author);
                                             }),
                              last);
        return;
    }
    if (first != last) {
        // Kept a while: the text may come back by an undo, its letters with it.
        Removed gone{position, removed, {}};
        for (auto l = first; l != last; ++l)
            gone.letters.push_back({l->position - position, l->author});
        removed_.push_back(std::move(gone));
        if (removed_.size() > kRemovedKept)
            removed_.erase(removed_.begin());
    }
    last = letters_.erase(first, last);
    for (auto l = last; l != letters_.end(); ++l)
        l->position += added - removed;
    if (added == 0)
        return;
    for (auto r = removed_.rbegin(); r != removed_.rend(); ++r) {
        if (r->position != position || r->length != added)
            continue;
        const bool same = std::all_of(r->letters.begin(), r->letters.end(), [&](const Letter& l) {
            return document_->characterAt(position + l.position) == shownLetter(l.author);
        });
        if (same) {
            record(position, r->letters);
            removed_.erase(std::next(r).base());
        }
        break;
    }
}

} // namespace tavrin
