#pragma once

#include "app/message_numbers.h"

#include <QString>
#include <functional>

namespace tavrin {

class Context;

// Numbers bepayam logs as failures: 32 and up, but the tool's own notices from 101.
bool isFailureCode(int number);
// The notice text of a number; empty where the number has none.
QString PayamText(int number);

// Shows a numbered notice as an OK box captioned "Moxaly", or logs a failure code.
// Failure codes of 100 and above have no text and show nothing.
void bepayam(Context& context, int number);

// A notice with a second line saying why, in Persian (the failed export's 28).
void bepayamBecause(Context& context, int number, const QString& description);
// A notice with a second line of the caller's (a Persian line).
void bepayamWithLine(Context& context, int number, const QString& line);
// The Persian line for a failure description such as "Permission denied: /x" or
// "\"entry\": Disk full: /x": the kind of failure, then what it happened to.
QString persianCause(const QString& description);

// The failure convention: store the description in ErrText and report the code.
void reportFailure(Context& context, int code, const QString& description);

// Runs a handler under its failure code: whatever it throws is reported, nothing escapes.
void runTrapped(Context& context, int code, const std::function<void()>& body);

} // namespace tavrin
