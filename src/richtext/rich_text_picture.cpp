#include "richtext/rich_text_picture.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImageReader>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>
#include <QtEndian>
#include <algorithm>

namespace tavrin {

namespace {

enum PictureProperty {
    kKind = QTextFormat::UserProperty + 0x5254,
    kData,
    kPicw,
    kPich,
    kGoalWidth,
    kGoalHeight,
    kScaleX,
    kScaleY,
    kMode,
    kBits,
    kWidthBytes,
    kPlanes,
};

// No picture is shown larger than this; hostile goal sizes would otherwise ask for huge
// layouts.
constexpr int kMaxSide = 4000;
constexpr int kPlaceholderSide = 32;

// A DIB in RTF lacks the 14-byte file header that image readers expect.
QImage decodeDib(const QByteArray& dib) {
    if (dib.size() < 40)
        return {};
    const auto* d = reinterpret_cast<const uchar*>(dib.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(d);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    quint32 colours = 0;
    quint16 bits = 0;
    quint32 compression = 0;
    if (headerSize == 12) {
        bits = qFromLittleEndian<quint16>(d + 10);
        if (bits <= 8)
            colours = 1u << bits;
    } else {
        bits = qFromLittleEndian<quint16>(d + 14);
        compression = qFromLittleEndian<quint32>(d + 16);
        colours = qFromLittleEndian<quint32>(d + 32);
        if (colours == 0 && bits <= 8)
            colours = 1u << bits;
    }
    const quint32 entry = headerSize == 12 ? 3 : 4;
    quint32 masks = (compression == 3 && headerSize == 40) ? 12 : 0;
    const quint64 offset = 14ull + headerSize + quint64(colours) * entry + masks;
    if (offset > quint64(dib.size()) + 14)
        return {};
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<quint32>(quint32(dib.size() + 14), file.data() + 2);
    qToLittleEndian<quint32>(quint32(offset), file.data() + 10);
    file += dib;
    return QImage::fromData(file, "BMP");
}

// A device-dependent bitmap: rows top down, widthBytes each, no palette. Monochrome and
// true-colour bitmaps carry their colours; palette-based ones depend on the screen that
// wrote them and stay placeholders.
QImage decodeDeviceBitmap(const RtfPicture& p) {
    const int bits = p.bitsPerPixel;
    if (p.picw <= 0 || p.pich <= 0 || p.picw > kMaxSide || p.pich > kMaxSide ||
        (bits != 1 && bits != 24 && bits != 32))
        return {};
    const qint64 stride = p.widthBytes > 0 ? p.widthBytes : (qint64(p.picw) * bits + 15) / 16 * 2;
    if (stride * 8 < qint64(p.picw) * bits || stride * p.pich > p.data.size())
        return {};
    QImage image(p.picw, p.pich, QImage::Format_RGB32);
    const auto* data = reinterpret_cast<const uchar*>(p.data.constData());
    for (int y = 0; y < p.pich; ++y) {
        const uchar* row = data + stride * y;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < p.picw; ++x) {
            if (bits == 1) {
                out[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            } else {
                const uchar* px = row + x * (bits / 8);
                out[x] = qRgb(px[2], px[1], px[0]);
            }
        }
    }
    return image;
}

// PNG and JPEG are read at no more than their shown size; JPEG scales while decoding.
QImage decodeCompressed(const RtfPicture& picture, const char* format) {
    QBuffer buffer;
    buffer.setData(picture.data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize own = reader.size();
    if (own.isValid()) {
        const QSize shown = pictureDisplaySize(picture, own);
        if (shown.width() < own.width() || shown.height() < own.height())
            reader.setScaledSize(shown);
    }
    return reader.read();
}

QImage decode(const RtfPicture& picture) {
    switch (picture.kind) {
    case RtfPictureKind::Png:
        return decodeCompressed(picture, "PNG");
    case RtfPictureKind::Jpeg:
        return decodeCompressed(picture, "JPEG");
    case RtfPictureKind::Dib:
        return decodeDib(picture.data);
    case RtfPictureKind::DeviceBitmap:
        return decodeDeviceBitmap(picture);
    default:
        return {};
    }
}

QImage placeholder() {
    QImage image(kPlaceholderSide, kPlaceholderSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(230, 230, 230));
    QPainter painter(&image);
    painter.setPen(QColor(150, 150, 150));
    painter.drawRect(0, 0, kPlaceholderSide - 1, kPlaceholderSide - 1);
    painter.drawLine(0, 0, kPlaceholderSide - 1, kPlaceholderSide - 1);
    painter.drawLine(0, kPlaceholderSide - 1, kPlaceholderSide - 1, 0);
    return image;
}

int scaled(int twips, int percent) {
    const qint64 pixels = (qint64(twips) * std::max(percent, 1) / 100 + 7) / 15;
    return int(std::clamp<qint64>(pixels, 1, kMaxSide));
}

// Metafile sizes are in hundredths of a millimetre.
int himetricToPixels(int himetric) {
    return std::clamp(int(qint64(himetric) * 96 / 2540), 1, kMaxSide);
}

} // namespace

QImage pictureImage(const RtfPicture& picture) {
    QImage image = decode(picture);
    if (image.isNull())
        return placeholder();
    const QSize shown = pictureDisplaySize(picture, image.size());
    if (shown.width() < image.width() || shown.height() < image.height())
        image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QSize pictureDisplaySize(const RtfPicture& picture, QSize shown) {
    const bool metafile =
        picture.kind == RtfPictureKind::WindowsMetafile || picture.kind == RtfPictureKind::Emf;
    auto side = [&](int goal, int own, int scale, int image) {
        if (goal > 0)
            return scaled(goal, scale);
        if (own > 0)
            return metafile ? himetricToPixels(own) : std::clamp(own, 1, kMaxSide);
        return std::clamp(image, 1, kMaxSide);
    };
    return {side(picture.goalWidth, picture.picw, picture.scaleX, shown.width()),
            side(picture.goalHeight, picture.pich, picture.scaleY, shown.height())};
}

QTextImageFormat pictureFormat(QTextDocument* document, const RtfPicture& picture) {
    const QImage image = pictureImage(picture);
    const QSize size = pictureDisplaySize(picture, image.size());
    // Equal pictures share one resource; the name is their content's hash.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArray::number(int(picture.kind)));
    hash.addData(picture.data);
    const QString name = QStringLiteral("rtfpic:") + QString::fromLatin1(hash.result().toHex());
    if (document->resource(QTextDocument::ImageResource, QUrl(name)).isNull())
        document->addResource(QTextDocument::ImageResource, QUrl(name), QVariant(image));

    QTextImageFormat format;
    format.setName(name);
    format.setWidth(size.width());
    format.setHeight(size.height());
    format.setProperty(kKind, int(picture.kind));
    format.setProperty(kData, picture.data);
    format.setProperty(kPicw, picture.picw);
    format.setProperty(kPich, picture.pich);
    format.setProperty(kGoalWidth, picture.goalWidth);
    format.setProperty(kGoalHeight, picture.goalHeight);
    format.setProperty(kScaleX, picture.scaleX);
    format.setProperty(kScaleY, picture.scaleY);
    format.setProperty(kMode, picture.metafileMode);
    format.setProperty(kBits, picture.bitsPerPixel);
    format.setProperty(kWidthBytes, picture.widthBytes);
    format.setProperty(kPlanes, picture.planes);
    return format;
}

RtfPicture pictureOf(const QTextDocument* document, const QTextImageFormat& format) {
    RtfPicture picture;
    if (format.hasProperty(kKind)) {
        picture.kind = RtfPictureKind(format.intProperty(kKind));
        picture.data = format.property(kData).toByteArray();
        picture.picw = format.intProperty(kPicw);
        picture.pich = format.intProperty(kPich);
        picture.goalWidth = format.intProperty(kGoalWidth);
        picture.goalHeight = format.intProperty(kGoalHeight);
        picture.scaleX = format.intProperty(kScaleX);
        picture.scaleY = format.intProperty(kScaleY);
        picture.metafileMode = format.intProperty(kMode);
        picture.bitsPerPixel = format.intProperty(kBits);
        picture.widthBytes = format.intProperty(kWidthBytes);
        picture.planes = format.intProperty(kPlanes);
        return picture;
    }
    const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image = resource.value<QImage>();
    if (image.isNull())
        image = QImage(format.name());
    if (image.isNull())
        image = placeholder();
    QBuffer buffer(&picture.data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    picture.kind = RtfPictureKind::Png;
    picture.picw = image.width();
    picture.pich = image.height();
    const int width = format.width() > 0 ? int(format.width()) : image.width();
    const int height = format.height() > 0 ? int(format.height()) : image.height();
    picture.goalWidth = width * 15;
    picture.goalHeight = height * 15;
    return picture;
}

} // namespace tavrin
