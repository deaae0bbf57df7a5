#include "support/docx_fixture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <list>
#include <zip.h>

namespace tavrin::test {

void writeZip(const QString& path, const QMap<QString, QByteArray>& parts) {
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        qFatal("zip_open %d", error);
    std::list<QByteArray> kept; // libzip reads them at zip_close
    for (auto it = parts.begin(); it != parts.end(); ++it) {
        kept.push_back(it.value());
        zip_source_t* source =
            zip_source_buffer(zip, kept.back().constData(), zip_uint64_t(kept.back().size()), 0);
        if (!source ||
            zip_file_add(zip, it.key().toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0)
            qFatal("zip_file_add %s", zip_strerror(zip));
    }
    if (zip_close(zip) != 0)
        qFatal("zip_close %s", zip_strerror(zip));
}

void writeDocx(const QString& path, const QString& body, const QByteArray& png, const QString& main,
               const QMap<QString, QString>& beside) {
    const QString folder = main.left(main.lastIndexOf(u'/') + 1);
    const QByteArray w = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
    QMap<QString, QByteArray> parts;
    parts["[Content_Types].xml"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Default Extension=\"png\" ContentType=\"image/png\"/>"
        "<Override PartName=\"/" +
        main.toUtf8() +
        "\" "
        "ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
    parts["_rels/.rels"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"" +
        main.toUtf8() + "\"/></Relationships>";
    parts[folder + "_rels/" + main.mid(folder.size()) + ".rels"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rIdPic1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" "
        "Target=\"media/image1.png\"/>";
    for (auto part = beside.begin(); part != beside.end(); ++part) {
        const QByteArray kind = part.key().section(u'.', 0, 0).toUtf8();
        parts[folder + "_rels/" + main.mid(folder.size()) + ".rels"] +=
            "<Relationship Id=\"rId" + kind +
            "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" +
            kind + "\" Target=\"" + part.key().toUtf8() + "\"/>";
        parts[folder + part.key()] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:" + kind + " " +
                                     w + ">" + part.value().toUtf8() + "</w:" + kind + ">";
    }
    parts[folder + "_rels/" + main.mid(folder.size()) + ".rels"] += "</Relationships>";
    if (!beside.contains("numbering.xml"))
        parts[folder + "numbering.xml"] =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:numbering " + w +
            "><w:abstractNum w:abstractNumId=\"10\"><w:lvl w:ilvl=\"0\"><w:numFmt "
            "w:val=\"bullet\"/>"
            "</w:lvl></w:abstractNum><w:abstractNum w:abstractNumId=\"20\"><w:lvl w:ilvl=\"0\">"
            "<w:numFmt w:val=\"decimal\"/></w:lvl></w:abstractNum>"
            "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"10\"/></w:num>"
            "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"20\"/></w:num></w:numbering>";
    parts[main] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document " + w +
        " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
        " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
        " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\">"
        "<w:body>" +
        body.toUtf8() + "</w:body></w:document>";
    if (!png.isEmpty())
        parts[folder + "media/image1.png"] = png;
    writeZip(path, parts);
}

QByteArray pngOf(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

} // namespace tavrin::test
