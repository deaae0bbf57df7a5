#pragma once

#include <QStringList>
#include <cstdio>

namespace tavrin {

// "tavrin check EXPORT_FOLDER": the check before the disc, one finding a line (UTF-8) on out.
// Exit 0 with no error, 1 with errors, 2 when it cannot run (the reason on err). Needs no
// display, takes no lock, writes nothing.
int checkCommand(const QStringList& arguments, std::FILE* out, std::FILE* err);

// "tavrin image EXPORT_FOLDER OUT.iso": the check, then the image, then its read-back. Exit 0
// only when the image was made and read back the same; 1 when the check found errors (no
// image is made) or the read-back differed; 2 when it cannot run or write.
int imageCommand(const QStringList& arguments, std::FILE* out, std::FILE* err);

} // namespace tavrin
