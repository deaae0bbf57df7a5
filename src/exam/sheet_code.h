#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

namespace tavrin {

// What an answer sheet's QR code says of the page it is printed on: which printing (the
// exam record's digest, the seed), which version and page, and for a class list's sheet the
// student it was printed for. A page is never read against another printing's key.
struct SheetCode {
    QString project;
    int version = 0; // from 1
    quint32 seed = 0;
    int page = 0;   // from 1
    QString digest; // examDigest of the record it was printed with
    QString number; // the class list's: empty when the student fills in the grid
    QString name;
};

// "tavrin-paper|2|version|seed|page|digest|number|name|project", the free texts
// percent-encoded so that a '|' in a name or title cannot move a field.
QString encodeSheetCode(const SheetCode& code);
// The code of that form; nullopt for any other text.
std::optional<SheetCode> decodeSheetCode(const QString& text);

// A short digest of what a record says is drawn (project, seed, the versions' questions and
// options), the same before and after the sheets' layouts and the files' digests are added.
QString examDigest(const QJsonObject& record);

} // namespace tavrin
