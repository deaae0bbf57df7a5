#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace tavrin::docx {

// The characters of Word's equations as TeX knows them: Greek letters, operators, arrows
// and relations by their commands.
const QHash<char32_t, QString>& symbols();

// Word writes math letters as the Mathematical Alphanumeric Symbols (U+1D400..): each
// becomes its plain letter, in the style its block gives.
struct Styled {
    char32_t plain = 0;
    const char* style = nullptr; // "mathbf", "mathbb"...; nullptr for italic or none
};
Styled alphanumeric(char32_t c);

// A Persian (or Arabic) letter, digit or the non-joiner: written as \text{…} in a formula.
bool persian(char32_t c);

// The function names TeX writes upright by their own commands (\sin, \log, …).
const QStringList& functionNames();

} // namespace tavrin::docx
