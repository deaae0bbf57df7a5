#pragma once

#include <QString>
#include <functional>

namespace tavrin {

class Context;

// Notices of this tool beyond the numbered table: a delete refused because the list no
// longer matched the file, and a second start on a program folder already in use.
constexpr int kNoticeStaleList = 103;
constexpr int kNoticeSecondInstance = 104;
// Answers of more than four paragraphs filed or saved: they are kept, the author is told.
constexpr int kNoticeMoreThanFour = 105;
// The player's settings or media could not be written (the old ones stay), and a quiz
// file that could not be made (nothing changed): both with why on a second line.
constexpr int kNoticeSettingsNotSaved = 106;
constexpr int kNoticeBookNotMade = 107;

// Notice 31 asks for the question before its answers; as a failure code 31 is only logged.
constexpr int kNoticeFileQuestionFirst = 31;

// Numbers bepayam logs as failures: 32 and up, but the notices 101 to 107.
bool isFailureCode(int number);
// The notice text of a number; empty where the number has none.
QString PayamText(int number);

// Shows a numbered notice as an OK box captioned "Moxaly", or logs a failure code.
// Failure codes of 100 and above have no text and show nothing.
void bepayam(Context& context, int number);

// A notice with a second line saying why, in Persian (the failed export's 28).
void bepayamBecause(Context& context, int number, const QString& description);
// The Persian line for a failure description such as "Permission denied: /x" or
// "\"entry\": Disk full: /x": the kind of failure, then what it happened to.
QString persianCause(const QString& description);

// The failure convention: store the description in ErrText and report the code.
void reportFailure(Context& context, int code, const QString& description);

// Runs a handler under its failure code: whatever it throws is reported, nothing escapes.
void runTrapped(Context& context, int code, const std::function<void()>& body);

} // namespace tavrin
