#pragma once

#include "interchange/travel_questions.h"

#include <QString>

namespace tavrin {

// A GIFT or Moodle XML file's questions; the format by its content (XML starts with "<").
// Throws std::invalid_argument for a file of neither, FsError when it cannot be read.
TravelSet readQuestionsFile(const QString& path);

} // namespace tavrin
