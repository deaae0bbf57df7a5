#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace tavrin {

// A page of the program's own HTML printed to PDF by the browser engine's module.
struct PrintJob {
    QString html; // a file
    QString pdf;  // written whole and safely
};

// Prints the jobs, a few at a time, and returns when all are written; progress is told the
// number done. The pages may read files inside the `readable` folders (their own and the
// pictures') only. Needs a QGuiApplication (no display: the offscreen platform serves).
// Throws FsError naming the first page that did not load, lay out or write. Returns, a job
// each, what its page measured of its layout (JSON; empty when it measured nothing).
// A page is stopped and the printing refused past this.
inline constexpr int kMostPageSeconds = 180;
QList<QByteArray> printPages(const QList<PrintJob>& jobs, const QStringList& readable,
                             const std::function<void(int)>& progress = {},
                             int mostSeconds = kMostPageSeconds);

} // namespace tavrin
