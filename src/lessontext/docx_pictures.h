#pragma once

#include <QHash>
#include <QString>

class QXmlStreamReader;

namespace tavrin::docx {

class Package;

// A Word document's inline pictures as RTF: PNG and JPEG as they are, other kinds that decode
// as PNG, at the size the document shows them. Each picture is read and written out once,
// however often the text shows it, and all the pictures a text holds are bounded.
class Pictures {
public:
    explicit Pictures(const Package& package) : package_(package) {}
    // A drawing (or VML picture) element the reader stands on, read to its end; its picture
    // added to out, found through the relationships of the part being read (the main part
    // when empty). Gives the picture's alternative text. Throws FsError when the pictures
    // pass the bound.
    QString drawing(QXmlStreamReader& xml, QString& out, const QString& part = {});

private:
    const Package& package_;
    QHash<QString, QString> made_; // by part and shown size: its RTF
    qsizetype size_ = 0;
};

} // namespace tavrin::docx
