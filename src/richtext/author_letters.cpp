#include "richtext/author_letters.h"

#include "platform/formula_text.h"
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

constexpr QChar kIsolate(0x2066);
constexpr QChar kIsolateEnd(0x2069);

bool isMark(QChar c) {
    return c == kIsolate || c == kIsolateEnd;
}

// Where a text's formulas start and end: an isolate opens before each start and closes after
// each end. A formula over a paragraph's end is left as it is.
std::vector<qsizetype> formulaEdges(const QString& text) {
    std::vector<qsizetype> edges;
    if (!hasFormula(text))
        return edges;
    for (const TextPiece& p : formulaPieces(text)) {
        if (p.kind == TextPiece::Text || p.source.contains(u'\n'))
            continue;
        edges.push_back(p.start);
        edges.push_back(p.start + p.source.size());
    }
    return edges;
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
    return document
               ? document->findChild<const AuthorLetters*>(QString(), Qt::FindDirectChildrenOnly)
               : nullptr;
}

AuthorLetters* AuthorLetters::in(QTextDocument* document) {
    return document ? document->findChild<AuthorLetters*>(QString(), Qt::FindDirectChildrenOnly)
                    : nullptr;
}

QString AuthorLetters::shown(QString text, std::vector<Letter>* changed) {
    // The edges first: the mapping below is done in place, on the text itself.
    const std::vector<qsizetype> edges = formulaEdges(text);
    QString same = persianSameLength(std::move(text), changed);
    if (edges.empty())
        return same;
    // Each isolate before a letter moves it on by one.
    if (changed)
        for (Letter& l : *changed)
            l.position += int(std::upper_bound(edges.begin(), edges.end(), qsizetype(l.position)) -
                              edges.begin());
    QString out;
    out.reserve(same.size() + qsizetype(edges.size()));
    std::size_t edge = 0;
    for (qsizetype i = 0; i <= same.size(); ++i) {
        for (; edge < edges.size() && edges[edge] == i; ++edge)
            out += edge % 2 == 0 ? kIsolate : kIsolateEnd;
        if (i < same.size())
            out += same[i];
    }
    return out;
}

void AuthorLetters::record(int at, std::vector<Letter> changed) {
    if (changed.empty())
        return;
    for (Letter& l : changed)
        l.position += at;
    if (letters_.empty()) {
        letters_ = std::move(changed);
        return;
    }
    const auto place =
        std::lower_bound(letters_.begin(), letters_.end(), changed.front().position, byPosition);
    letters_.insert(place, changed.begin(), changed.end());
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
        const QString same = persianSameLength(text, &inBlock);
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
            c.insertText(same.mid(first, length), format);
            i = j;
        }
        // The isolates, from the last so that the places before stay where they were; each
        // letter after an isolate moves on by one.
        const std::vector<qsizetype> edges = formulaEdges(text);
        for (std::size_t e = edges.size(); e-- > 0;) {
            const int at = start + int(edges[e]);
            c.setPosition(at);
            c.insertText(QString(e % 2 == 0 ? kIsolate : kIsolateEnd),
                         formatAt(c, std::max(at - 1, b.position())));
        }
        for (Letter& l : inBlock) {
            const auto before = std::upper_bound(edges.begin(), edges.end(), l.position);
            l.position += start + int(before - edges.begin());
        }
        to += int(edges.size());
        found.insert(found.end(), inBlock.begin(), inBlock.end());
    }
    c.endEditBlock();
    record(0, std::move(found));
}

void AuthorLetters::restore(int from, QString& text) const {
    auto l = std::lower_bound(letters_.begin(), letters_.end(), from, byPosition);
    for (; l != letters_.end() && l->position < from + text.size(); ++l)
        text[l->position - from] = QChar(l->author);
    text.removeIf(isMark);
}

void AuthorLetters::clear() {
    letters_.clear();
    marks_.clear();
    removed_.clear();
}

int AuthorLetters::marksBefore(int position) const {
    return int(std::lower_bound(marks_.begin(), marks_.end(), position) - marks_.begin());
}

void AuthorLetters::rescan() {
    marks_.clear();
    scanMarks(0, document_->characterCount());
}

void AuthorLetters::scanMarks(int from, int to) {
    std::vector<int> found;
    for (QTextBlock b = document_->findBlock(from); b.isValid() && b.position() < to;
         b = b.next()) {
        const QString text = b.text();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const int at = b.position() + int(i);
            if (at >= from && at < to && isMark(text[i]))
                found.push_back(at);
        }
    }
    if (found.empty())
        return;
    marks_.insert(std::lower_bound(marks_.begin(), marks_.end(), found.front()), found.begin(),
                  found.end());
}

void AuthorLetters::changed(int position, int removed, int added) {
    // A document given a layout, or filled anew, announces its whole text as added: its
    // letters stay (one filled anew is cleared first) and its isolates are read again. (A
    // real insertion never adds the last paragraph's end, which every document has.)
    if (position == 0 && removed == 0 && added == document_->characterCount()) {
        rescan();
        return;
    }
    // The isolates of the range are read again from what now stands there.
    {
        const auto first = std::lower_bound(marks_.begin(), marks_.end(), position);
        const auto last = std::lower_bound(first, marks_.end(), position + removed);
        for (auto m = marks_.erase(first, last); m != marks_.end(); ++m)
            *m += added - removed;
        scanMarks(position, position + added);
    }
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
            record(position, std::move(r->letters));
            removed_.erase(std::next(r).base());
        }
        break;
    }
}

} // namespace tavrin
