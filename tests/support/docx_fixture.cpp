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

// A part of the package as tests/data/docx holds it (built in), its "@name"s filled in.
QByteArray templated(const char* name, const QMap<QByteArray, QByteArray>& fill) {
    QFile file(QStringLiteral(":/docx/") + QLatin1String(name));
    QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (bytes.isEmpty())
        qFatal("no docx template %s", name);
    for (auto it = fill.begin(); it != fill.end(); ++it)
        bytes.replace(it.key(), it.value());
    return bytes;
}

void writeDocx(const QString& path, const QString& body, const QByteArray& png, const QString& main,
               const QMap<QString, QString>& beside) {
    const QString folder = main.left(main.lastIndexOf(u'/') + 1);
    QMap<QString, QByteArray> parts;
    parts["[Content_Types].xml"] = templated("content_types.xml", {{"@main", main.toUtf8()}});
    parts["_rels/.rels"] = templated("package_rels.xml", {{"@main", main.toUtf8()}});
    QByteArray relationships;
    for (auto part = beside.begin(); part != beside.end(); ++part) {
        // A part's own relationships, as they are.
        if (part.key().endsWith(QLatin1String(".rels"))) {
            parts[folder + "_rels/" + part.key()] = part.value().toUtf8();
            continue;
        }
        const QByteArray kind = part.key().section(u'.', 0, 0).toUtf8();
        relationships +=
            templated("relationship.xml", {{"@kind", kind}, {"@target", part.key().toUtf8()}});
        parts[folder + part.key()] =
            templated("part.xml", {{"@kind", kind}, {"@text", part.value().toUtf8()}});
    }
    parts[folder + "_rels/" + main.mid(folder.size()) + ".rels"] =
        templated("main_rels.xml", {{"@relationships", relationships}});
    if (!beside.contains("numbering.xml"))
        parts[folder + "numbering.xml"] = templated("numbering.xml", {});
    parts[main] = templated("document.xml", {{"@body", body.toUtf8()}});
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
