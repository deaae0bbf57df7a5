#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace tavrin::test {

// A zip of these parts (name -> bytes), written by libzip: a .docx when the parts are a
// Word document's.
void writeZip(const QString& path, const QMap<QString, QByteArray>& parts);

// A Word document of these body paragraphs and tables (WordprocessingML inside <w:body>),
// with its content types, its relations (rIdPic1 -> word/media/image1.png when a picture is
// given) and a numbering part (numId 1 bullets, numId 2 decimal numbers). The main part is
// where the package's relationships say, the others beside it. Each part of beside
// ("styles.xml", "footnotes.xml", a "numbering.xml" of its own) is the inside of its root
// element, related to the main part by the kind its name says; one ending ".rels" is a part's
// own relationships, written as it is into _rels/.
void writeDocx(const QString& path, const QString& body, const QByteArray& png = {},
               const QString& main = QStringLiteral("word/document.xml"),
               const QMap<QString, QString>& beside = {});

// A small PNG picture of this size.
QByteArray pngOf(int width, int height);

} // namespace tavrin::test
