#pragma once

#include "interchange/travel_questions.h"

#include <QByteArray>

namespace tavrin {

// Moodle XML (UTF-8): a category question for each category and a multichoice question for
// each question with answers (single answer, fraction 100 on the right one and 0 on the
// rest, the explanation as general feedback), a description for one without. Texts are
// right-to-left HTML in CDATA, in Persian letters; the answers' pictures, the background
// picture and the attachments go inside as "@@PLUGINFILE@@" files in base64.
QByteArray moodleXml(const TravelSet& set, bool shuffleAnswers);

// The multichoice (one right answer), true/false and description questions of a Moodle XML
// file, their pictures as image marks or attachments; every other question is listed as
// skipped with its title. Throws std::invalid_argument for a file that is not Moodle XML.
TravelSet readMoodleXml(const QByteArray& bytes);

} // namespace tavrin
