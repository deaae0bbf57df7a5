#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace tavrin {

class Context;
struct EntryTable;

// What MakeBook needs of the main window at the moment it runs.
struct BookRequest {
    QString projectPath;
    int fieldIndex = -1; // 0-based rows of ReshB and DarsB
    int lessonIndex = -1;
    QString lessonTitle;
    QString creditElement;
    QString checkSnippet; // the correct-answer mark (Resources/check.bin)
    // Runs after the files are made and before message 4: the window's heading and hiding.
    std::function<void()> beforeNotice;
};

enum class BookOutcome { Made, NoFolders, Declined, Failed };

// Writes the lesson's quiz file "quiz" + id + ".xml" and its line in BookTitle.xml in
// _xml, and copies the questions' files into BookTXT; then message 4 and an empty table.
// A failure is logged (57): copies made stay, the previous quiz file stays whole.
BookOutcome MakeBook(Context& context, EntryTable& table, const BookRequest& request);

// The formatter's heading: "سؤالات درس " + lesson + " در رشته " + field.
QString bookHeading(const QString& lessonTitle, const QString& fieldTitle);

// The book id of a field and lesson row: "1-3".
QString bookId(int fieldIndex, int lessonIndex);

// A page name: 14 characters of "0" to "9" and "A" to "Y" from the context's random source.
QString NewN(Context& context);

// The picture data of a mark snippet (its first picture); empty when it holds none.
QByteArray markPicture(const QString& markRtf);

} // namespace tavrin
