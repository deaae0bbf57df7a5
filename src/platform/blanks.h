#pragma once

#include <QString>

namespace tavrin {

// The text without blanks (U+0020 only, not tabs or line breaks) at either end.
inline QString trimBlanks(const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    return text.mid(from, to - from);
}

} // namespace tavrin
