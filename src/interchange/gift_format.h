#pragma once

#include "interchange/travel_questions.h"

#include <QByteArray>

namespace tavrin {

// GIFT (UTF-8): a "$CATEGORY:" line for each category, then each question as
// "::title::text{ =right ~wrong ####explanation }" with "~ = # { } : \" escaped; a question
// without answers as a description. Pictures and attachments cannot travel in GIFT: the
// file says so in comments, one for the file and one before each question that has any.
// Texts in Persian letters (persianLetters).
QByteArray giftText(const TravelSet& set);
// Whether giftText writes the question: not one whose every answer shows nothing but its
// pictures (a GIFT answer can hold no picture), which stays out with a comment saying so.
bool giftCarries(const TravelQuestion& question);

// The multiple-choice and true/false questions of a GIFT file (descriptions come as
// questions without answers), under the categories it declares; every other question is
// listed as skipped with its title. Throws std::invalid_argument for a file that is not
// GIFT text (not UTF-8, or a question left open).
TravelSet readGift(const QByteArray& bytes);

// An answer's picture as GIFT writes it in words, "[تصویر: name]" (no name when the picture
// was missing): where the words stand in the text and the name they give.
struct PictureWords {
    qsizetype start = 0, end = 0;
    QString name;
};
QList<PictureWords> pictureWordsIn(const QString& text);

// A GIFT text: every special character with a backslash before it.
QString giftEscaped(const QString& text);

} // namespace tavrin
