#include "widgets/picture_icons.h"

#include <QPainter>
#include <QPainterPath>

namespace tavrin {
namespace {

void drawHelp(QPainter& p, int s, const QColor& ink) {
    p.setPen(QPen(ink, s / 14.0));
    p.drawEllipse(QRectF(s * 0.12, s * 0.12, s * 0.76, s * 0.76));
    QFont f = p.font();
    f.setPixelSize(int(s * 0.5));
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, QStringLiteral("?"));
}

void drawDataEntry(QPainter& p, int s, const QColor& ink) {
    p.setPen(QPen(ink, s / 18.0));
    const QRectF page(s * 0.2, s * 0.12, s * 0.5, s * 0.72);
    p.drawRoundedRect(page, s * 0.04, s * 0.04);
    for (int i = 0; i < 4; ++i) {
        const qreal y = s * (0.28 + 0.12 * i);
        p.drawLine(QPointF(s * 0.28, y), QPointF(s * 0.62, y));
    }
    // A pencil across the page's corner.
    QPainterPath pencil;
    pencil.moveTo(s * 0.86, s * 0.46);
    pencil.lineTo(s * 0.56, s * 0.86);
    pencil.lineTo(s * 0.5, s * 0.9);
    pencil.lineTo(s * 0.52, s * 0.82);
    pencil.lineTo(s * 0.8, s * 0.42);
    pencil.closeSubpath();
    p.setBrush(ink);
    p.drawPath(pencil);
}

void drawOutput(QPainter& p, int s, const QColor& ink) {
    p.setPen(QPen(ink, s / 18.0));
    p.drawEllipse(QRectF(s * 0.12, s * 0.12, s * 0.76, s * 0.76));
    p.drawEllipse(QRectF(s * 0.4, s * 0.4, s * 0.2, s * 0.2));
    p.drawArc(QRectF(s * 0.24, s * 0.24, s * 0.52, s * 0.52), 30 * 16, 60 * 16);
}

void drawBrowse(QPainter& p, int s, const QColor& ink) {
    p.setPen(QPen(ink, 1.2));
    p.setBrush(ink.lighter(170));
    QPainterPath folder;
    folder.moveTo(s * 0.1, s * 0.3);
    folder.lineTo(s * 0.4, s * 0.3);
    folder.lineTo(s * 0.48, s * 0.38);
    folder.lineTo(s * 0.9, s * 0.38);
    folder.lineTo(s * 0.9, s * 0.8);
    folder.lineTo(s * 0.1, s * 0.8);
    folder.closeSubpath();
    p.drawPath(folder);
}

} // namespace

QPixmap drawPictureIcon(PictureIcon icon, bool hover, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QColor ink(110, 110, 110);
    if (hover) {
        switch (icon) {
        case PictureIcon::Help:
            ink = QColor(30, 110, 200);
            break;
        case PictureIcon::DataEntry:
            ink = QColor(20, 140, 80);
            break;
        case PictureIcon::Output:
            ink = QColor(200, 100, 20);
            break;
        case PictureIcon::Browse:
            ink = QColor(190, 150, 40);
            break;
        }
    }
    switch (icon) {
    case PictureIcon::Help:
        drawHelp(p, size, ink);
        break;
    case PictureIcon::DataEntry:
        drawDataEntry(p, size, ink);
        break;
    case PictureIcon::Output:
        drawOutput(p, size, ink);
        break;
    case PictureIcon::Browse:
        drawBrowse(p, size, hover ? ink : QColor(190, 150, 40));
        break;
    }
    return pixmap;
}

} // namespace tavrin
