#pragma once

#include <QStringList>
#include <cstdio>

namespace tavrin {

class Context;

// "tavrin print-exam --project FOLDER --out FOLDER [--versions N] [--seed N] [--field N
// [--lesson N]] [--title T] [--school S] [--class C] [--teacher T] [--date D] [--minutes M]
// [--columns 1|2] [--font-size PT] [--keep-answer-order] [--html FOLDER]": the exam on paper
// as PDF (fields and lessons from 1; without them the comprehensive exam's budget). Needs
// the browser engine, never a display. Exit 0 when written, 1 on bad input, 2 when a file
// cannot be read or written.
int printExamCommand(Context& context, const QStringList& arguments, std::FILE* out,
                     std::FILE* err);

} // namespace tavrin
