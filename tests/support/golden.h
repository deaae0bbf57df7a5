#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavrin::test {

// The expected file tests/data/<relative>. With TAVRIN_UPDATE_GOLDEN=1 in the environment
// the file is written from what the code gives instead (then read it before committing).
// Returns the expected bytes; compare them with QCOMPARE where the test stands.
QByteArray golden(const QString& relative, const QByteArray& actual);

// The rows of a table in tests/data/<relative>: UTF-8, one row a line, cells parted by tabs;
// empty lines and lines starting with "#" left out. The first cell names the row.
QList<QStringList> tableRows(const QString& relative);

// The files of a folder of tests/data whose names end in one of the endings, sorted.
QStringList dataFiles(const QString& folder, const QStringList& endings);

// A text with its control characters written out ("\r", "\n", "\x0b"), so that an expected
// file shows them.
QString visible(const QString& text);

} // namespace tavrin::test
