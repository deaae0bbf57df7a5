#include "lessontext/docx_pictures.h"

#include "lessontext/docx_package.h"
#include "platform/fs_error.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QXmlStreamReader>

namespace tavrin::docx {

namespace {

// All the pictures the text holds, as RTF writes them (hex, each time one is shown).
constexpr qsizetype kLargestPictures = 128 * 1024 * 1024;

void picture(QByteArray data, qint64 cx, qint64 cy, QString& out) {
    const char* kind = nullptr;
    if (data.startsWith("\x89PNG"))
        kind = "\\pngblip";
    else if (data.startsWith("\xFF\xD8"))
        kind = "\\jpegblip";
    QSize size;
    {
        QBuffer buffer(&data);
        QImageReader reader(&buffer);
        size = reader.size();
    }
    if (!kind) {
        // GIF, BMP and the like go in as PNG; what cannot be decoded is left out.
        const QImage image = QImage::fromData(data);
        if (image.isNull())
            return;
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        image.save(&png, "PNG");
        data = png.data();
        size = image.size();
        kind = "\\pngblip";
    }
    if (!size.isValid())
        return;
    // EMU to twips: 914400 a inch, 1440 twips a inch.
    const qint64 wGoal = cx > 0 ? cx / 635 : size.width() * 15;
    const qint64 hGoal = cy > 0 ? cy / 635 : size.height() * 15;
    out += QStringLiteral("{\\pict%1\\picw%2\\pich%3\\picwgoal%4\\pichgoal%5\r\n")
               .arg(QLatin1StringView(kind))
               .arg(size.width())
               .arg(size.height())
               .arg(wGoal)
               .arg(hGoal);
    out += QString::fromLatin1(data.toHex());
    out += u'}';
}

} // namespace

QString Pictures::drawing(QXmlStreamReader& xml, QString& out, const QString& part) {
    QString embed, alt;
    qint64 cx = 0, cy = 0;
    int open = 1; // the drawing element itself
    while (open > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType t = xml.readNext();
        if (t == QXmlStreamReader::StartElement) {
            ++open;
            if (xml.name() == u"extent" && cx == 0) {
                cx = attribute(xml, QLatin1StringView("cx")).toLongLong();
                cy = attribute(xml, QLatin1StringView("cy")).toLongLong();
            } else if ((xml.name() == u"docPr" || xml.name() == u"shape") && alt.isEmpty()) {
                // Word's description of the picture, or the older drawing's alt text.
                alt = attribute(xml, QLatin1StringView(xml.name() == u"docPr" ? "descr" : "alt"))
                          .toString()
                          .simplified();
                if (alt.isEmpty() && xml.name() == u"docPr")
                    alt = attribute(xml, QLatin1StringView("title")).toString().simplified();
            } else if ((xml.name() == u"blip" || xml.name() == u"imagedata") && embed.isEmpty()) {
                embed = attribute(xml, QLatin1StringView("embed")).toString();
                if (embed.isEmpty())
                    embed = attribute(xml, QLatin1StringView("id")).toString();
            }
        } else if (t == QXmlStreamReader::EndElement) {
            --open;
        }
    }
    const QString path = package_.partByRelation(embed, part);
    if (path.isEmpty())
        return alt;
    // Each picture is read and written out once, however often the text shows it.
    const QString key = path + QStringLiteral("|%1x%2").arg(cx).arg(cy);
    auto made = made_.find(key);
    if (made == made_.end()) {
        QString rtf;
        if (package_.has(path))
            picture(package_.part(path), cx, cy, rtf);
        made = made_.insert(key, rtf);
    }
    size_ += made->size();
    if (size_ > kLargestPictures)
        throw FsError(QStringLiteral("Word document too large: its pictures pass %1 MB")
                          .arg(kLargestPictures / (1024 * 1024)));
    out += *made;
    return alt;
}

} // namespace tavrin::docx
