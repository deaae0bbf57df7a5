#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace tavrin {

// exam.json names the files it was printed with and each one's SHA-256, so a record is never
// scored beside booklets of another printing.

// {"name": "sha256 in hex", …} of these files of the folder. Throws FsError.
QJsonObject printedFiles(const QString& folder, const QStringList& names);

// An exam record is small (a few hundred bytes a question); past this it is no record.
inline constexpr qint64 kLargestExamRecord = 64ll << 20;

// The files an earlier printing's exam.json says it wrote into the folder, read leniently
// (none when there is no readable record).
QStringList recordedFiles(const QString& examFolder);

// The folder's exam.json when every file it names is there with the same bytes (a record
// written before files were named is taken as it is). Throws FsError when it cannot be read
// and BadSheet (line 0) naming the file that does not match.
QByteArray checkedExamRecord(const QString& examFolder);

} // namespace tavrin
