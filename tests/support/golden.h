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

// Adds a QString column for each name and a row for each line of the table (its first cell
// the row's name, then one cell a column, each read through invisible()).
void tableData(const QString& relative, const QStringList& columns);

// A file by its recipe: pieces parted by " | ", "PIECE*N" a piece N times over, "{n}" in it
// standing for its count; each piece read through invisible().
QByteArray recipeBytes(const QString& recipe);

// A "name" column and a row for each file of the folder of tests/data with that ending.
void fileRows(const QString& folder, const QString& ending);

// The files of a folder of tests/data whose names end in one of the endings, sorted.
QStringList dataFiles(const QString& folder, const QStringList& endings);

// A text with its control characters written out ("\r", "\n", "\x0b"), so that an expected
// file shows them.
QString visible(const QString& text);
// Back from visible(): "\r", "\n", "\t", "\\", "\xNN" and "\uNNNN" become their characters.
QString invisible(const QString& text);

} // namespace tavrin::test
