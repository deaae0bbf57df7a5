#pragma once

#include "app/messages.h"
#include "platform/persian_text.h"

#include <QString>
#include <cstdio>

namespace tavrin {

// A verb's failure on err: "tavrin VERB: description", then its cause in Persian as the
// windows say it.
inline void printFailure(std::FILE* err, const char* verb, const QString& description) {
    std::fprintf(
        err, "tavrin %s: %s\n%s\n", verb, description.toUtf8().constData(),
        persianShown(persianCause(description), Digits::InPersianText).toUtf8().constData());
}

} // namespace tavrin
