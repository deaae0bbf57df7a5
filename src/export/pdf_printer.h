#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace tavrin {

// A page of the program's own HTML printed to PDF by the browser engine, A4 with no margins
// (the page's CSS lays out its sheets). The page says it is ready by setting
// window.paperDone (its laying out waits for fonts and pictures), or window.paperFailed
// with the reason.
struct PrintJob {
    QString html; // a file
    QString pdf;  // written whole and safely
};

// Prints the jobs, a few at a time, and returns when all are written; progress is told the
// number done. Needs a QGuiApplication (no display: the offscreen platform serves). Throws
// FsError naming the first page that did not load, lay out or write.
void printPages(const QList<PrintJob>& jobs, const std::function<void(int)>& progress = {});

} // namespace tavrin
