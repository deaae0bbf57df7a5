#pragma once

#include <QString>

namespace tavrin {

class Context;

// Failure codes: 31 and up, but 101 and 102, which are notices.
bool isFailureCode(int number);
// The notice text of a number; empty where the number has none.
QString PayamText(int number);

// Shows a numbered notice as an OK box captioned "Moxaly", or logs a failure code.
// Failure codes of 100 and above have no text and show nothing.
void bepayam(Context& context, int number);

// The failure convention: store the description in ErrText and report the code.
void reportFailure(Context& context, int code, const QString& description);

} // namespace tavrin
