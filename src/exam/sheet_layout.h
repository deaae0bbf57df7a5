#pragma once

#include <QJsonObject>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

namespace tavrin {

// Where a printed answer sheet put its marks, as the page that drew it measured them
// (exam.json's versions[i].sheet): millimetres from each page's top-left corner. The reader
// of scanned sheets knows the sheet from this alone.
struct SheetBubble {
    int question = 0; // the printed number, from 1
    int option = 0;   // the printed option, 1 to 4
    QPointF at;
    double r = 0;
};
struct NumberBubble {
    int digit = 0; // the place in the student's number from the left, 0 to 7
    int value = 0; // 0 to 9
    QPointF at;
    double r = 0;
};
struct SheetMark {
    QString corner; // "tl", "tr", "br", "bl"
    QPointF at;     // its centre
    double size = 0;
};
struct SheetPage {
    QList<SheetMark> marks; // the four corners, in the order tl, tr, br, bl
    QRectF qr;
    QList<SheetBubble> bubbles;
    QList<NumberBubble> number;
};
struct SheetLayout {
    double width = 0, height = 0;
    QList<SheetPage> pages;
};

inline constexpr int kNumberDigits = 8;

// The layout of a record's version; throws BadSheet (line 0) naming what is missing or does
// not fit: a sheet must place each of its questions' options once, the number's 80 bubbles
// and four corners on every page, all inside the paper.
SheetLayout sheetLayoutOf(const QJsonObject& layout, const QList<int>& optionsPerQuestion);

} // namespace tavrin
