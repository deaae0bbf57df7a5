#pragma once

#include <QList>
#include <QString>

namespace tavrin {

// What the check before the disc found in an export folder.
struct Finding {
    enum Kind { Error, Warning, Note };
    Kind kind = Error;
    QString about; // the lesson and question, or the file, it is about
    QString text;  // in Persian
};

struct DiscCheck {
    QList<Finding> findings; // errors first, then warnings, then notes
    qint64 totalBytes = 0;
    bool hasErrors() const;
    // One line a finding: "خطا", "هشدار" or "توضيح", what it is about, what was found.
    QStringList lines() const;
};

constexpr qint64 kCdBytes = 737280000LL;       // 700 MB, 80 minutes
constexpr qint64 kDvdBytes = 4700000000LL;     // 4.7 GB
constexpr qint64 kDualDvdBytes = 8500000000LL; // 8.5 GB, two layers

// Checks an export folder before it goes to a disc: every file the player data and the quiz
// files name is there; every lesson has a quiz file with questions, each with answers and a
// correct mark; the total against a CD, a DVD and a dual-layer DVD; every name fits Joliet
// (103 characters), holds nothing a disc refuses, and differs from its neighbours by more
// than letter case; autorun.inf and index.html at the top. Reads only; throws FsError when
// the folder cannot be read.
DiscCheck checkExport(const QString& exportFolder);

} // namespace tavrin
