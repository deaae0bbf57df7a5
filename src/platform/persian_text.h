#pragma once

#include <QString>
#include <vector>

namespace tavrin {

// Which Latin digits become Persian: those inside Persian text (nearest letters Persian, none
// Latin: a bare number such as 3×10^8 stays as written), those too that stand alone (the
// windows, where every number is read in Persian), or none (a manifest's machinery).
enum class Digits { InPersianText, AlsoBare, Untouched };

// A text as a Persian reader expects it: Persian yeh and kaf in place of the Arabic ones,
// a zero-width non-joiner where Persian spelling puts one (a right-to-left mark written
// inside a word, a plural "ها" after a final "ه", the prefixes and compounds of the
// tool's own texts), Arabic-Indic digits as Persian ones, and Latin digits as Persian
// only where the nearest letters are Persian, never beside a Latin letter. Image marks
// such as "{3}" keep their digits.
QString persianShown(const QString& text, Digits digits);

// A character persianSameLength shows in place of another: where, and the one it was.
struct LetterChange {
    int position;
    char16_t author;
};

// persianShown's letters and digits (InPersianText) without the non-joiners it adds: one
// character for one, so a box can show it in place of the author's text; in place, each
// change told in order when asked.
QString persianSameLength(QString text, std::vector<LetterChange>* changed = nullptr);

// Text that reads left to right inside Persian text (a path, an identifier, a formula) as a
// left-to-right isolate: its order kept, its digits and letters shown as written.
QString leftToRight(const QString& text);
// A path inside a line of Persian text (a notice, a question, a verb's Persian line): with
// the platform's separators, in a left-to-right isolate.
QString pathInLine(const QString& path);

// A path as a box shows it: each folder's name kept apart by left-to-right marks around the
// separators and before the ending, so a path of Persian and Latin names reads in its order
// in a left-to-right box. pathTyped takes the marks away again.
QString pathShown(const QString& path);
QString pathTyped(QString shown);

// Persian and Arabic-Indic digits as Latin ones, as a number typed on a Persian keyboard is
// read; everything else as it stands.
QString latinDigits(QString text);

// The nearest letter Windows-1256 holds for a character it lacks (Persian yeh and kaf as
// the Arabic ones, Persian digits as ASCII), or the character itself.
char32_t nearestAnsiLetter(char32_t c);

} // namespace tavrin
