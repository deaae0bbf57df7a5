#pragma once

#include "app/messages.h"
#include "platform/fs_error.h"
#include "platform/persian_text.h"
#include "store/quiz_file.h"

#include <QString>
#include <cstdio>
#include <new>
#include <stdexcept>

namespace tavrin {

// A verb's failure on err: "tavrin VERB: description", then its cause in Persian as the
// windows say it.
inline void printFailure(std::FILE* err, const char* verb, const QString& description) {
    std::fprintf(
        err, "tavrin %s: %s\n%s\n", verb, description.toUtf8().constData(),
        persianShown(persianCause(description), Digits::InPersianText).toUtf8().constData());
}

// Bad input: exit 1 with the reason.
struct BadInput {
    QString reason;
};

// A verb's body run with its failures said on err: exit 1 for bad input, 2 for a file that
// cannot be read or written (or memory that runs out).
template <typename Body> int runVerb(const char* verb, std::FILE* err, Body body) {
    try {
        return body();
    } catch (const BadInput& bad) {
        std::fprintf(err, "tavrin %s: %s\n", verb, bad.reason.toUtf8().constData());
        return 1;
    } catch (const std::invalid_argument& bad) {
        std::fprintf(err, "tavrin %s: %s\n", verb, bad.what());
        return 1;
    } catch (const UnreadableQuiz& quiz) {
        std::fprintf(err, "tavrin %s: line %d of %s does not read\n", verb, quiz.line(),
                     quiz.name().toUtf8().constData());
        return 2;
    } catch (const FsError& e) {
        // The cause in Persian too, as the window says it.
        printFailure(err, verb, e.description());
        return 2;
    } catch (const std::bad_alloc&) {
        std::fprintf(err, "tavrin %s: Not enough memory\n", verb);
        return 2;
    }
}

} // namespace tavrin
