#pragma once

#include <QString>

namespace tavrin {

// The formatter's string work on Persian lesson text. CR LF is the line break, RLM is
// U+200F, a blank is U+0020.

// Clean-up of a loaded lesson text: "&nbsp;" and "<ircMAIN>" become blanks, "</ircMAIN>"
// a line break, blanks next to line breaks go, alef maksura becomes yeh, and "!", "." and
// ":" get an RLM after them.
QString Rep(QString text);

// The reflow of DoPara on a text: with joinLines the lines of each paragraph are joined
// (an empty line ends a paragraph, a literal "#0#" becomes a break); with breakAtMarks a
// line starts after ".", "!" and "؟"; then a line break goes after every wordsPerLine
// words, as the original counts them (the last few blanks of a long paragraph may not be
// reached).
QString reflowText(QString text, int wordsPerLine, bool joinLines, bool breakAtMarks);

// The words-per-line box's text read as the reflow takes it: Latin, Persian or Arabic-Indic
// digits, 10 to 30. Outside that range it is 22; text that is no number gives 0. why says,
// in Persian, what was wrong (empty when nothing was).
struct WordsPerLine {
    int words = 0;
    QString why;
};
WordsPerLine readWordsPerLine(const QString& typed);

// One-line form: line breaks become blanks, pairs of blanks become one in a single pass,
// blanks at both ends go.
QString RemCrLf(const QString& text);
// The text without leading line breaks. (Neither this nor BeBor can fail on a string, so
// their failure codes 58 and 65 are never reported.)
QString DelCrLf(const QString& text);
// The short form for an outline line.
QString BeBor(const QString& text, int length);

} // namespace tavrin
