#include "exam/sheet_layout.h"

#include "exam/sheet_scoring.h"

#include <QJsonArray>
#include <QSet>
#include <cmath>

namespace tavrin {

namespace {

[[noreturn]] void refuse(const QString& what) {
    throw BadSheet(
        0, QStringLiteral("The answer sheet's layout in exam.json %1; print it again").arg(what),
        QStringLiteral(
            u"چیدمان پاسخ‌برگ در exam.json درست نیست (%1)؛ دوباره "
            u"چاپش کنید.")
            .arg(what));
}

double number(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble() || !std::isfinite(v.toDouble()))
        refuse(QStringLiteral("has no number \"%1\"").arg(QLatin1String(key)));
    return v.toDouble();
}

} // namespace

SheetLayout sheetLayoutOf(const QJsonObject& json, const QList<int>& optionsPerQuestion) {
    SheetLayout layout;
    layout.width = number(json, "width");
    layout.height = number(json, "height");
    if (layout.width < 50 || layout.width > 1000 || layout.height < 50 || layout.height > 1000)
        refuse(QStringLiteral("has a page of %1 x %2 mm").arg(layout.width).arg(layout.height));
    const QRectF paper(0, 0, layout.width, layout.height);
    const auto inside = [&](QPointF at, double r) {
        return r > 0 && paper.contains(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r));
    };
    QSet<int> placed; // question * 8 + option
    for (const QJsonValue& p : json.value(QStringLiteral("pages")).toArray()) {
        const QJsonObject page = p.toObject();
        SheetPage out;
        for (const char* corner : {"tl", "tr", "br", "bl"}) {
            bool found = false;
            for (const QJsonValue& m : page.value(QStringLiteral("marks")).toArray()) {
                const QJsonObject mark = m.toObject();
                if (mark.value(QStringLiteral("corner")).toString() != QLatin1String(corner))
                    continue;
                const SheetMark sm{QLatin1String(corner),
                                   QPointF(number(mark, "x"), number(mark, "y")),
                                   number(mark, "size")};
                if (!inside(sm.at, sm.size / 2))
                    refuse(QStringLiteral("puts corner %1 off the paper").arg(sm.corner));
                out.marks.append(sm);
                found = true;
                break;
            }
            if (!found)
                refuse(QStringLiteral("has no corner %1 on page %2")
                           .arg(QLatin1String(corner))
                           .arg(layout.pages.size() + 1));
        }
        const QJsonObject qr = page.value(QStringLiteral("qr")).toObject();
        out.qr = QRectF(number(qr, "x"), number(qr, "y"), number(qr, "size"), number(qr, "size"));
        if (out.qr.width() <= 0 || !paper.contains(out.qr))
            refuse(QStringLiteral("puts the QR code off the paper"));
        for (const QJsonValue& b : page.value(QStringLiteral("bubbles")).toArray()) {
            const QJsonObject o = b.toObject();
            SheetBubble sb{int(number(o, "question")), int(number(o, "option")),
                           QPointF(number(o, "x"), number(o, "y")), number(o, "r")};
            if (sb.question < 1 || sb.question > optionsPerQuestion.size() || sb.option < 1 ||
                sb.option > optionsPerQuestion[sb.question - 1] || !inside(sb.at, sb.r) ||
                placed.contains(sb.question * 8 + sb.option))
                refuse(QStringLiteral("places option %1 of question %2 wrongly")
                           .arg(sb.option)
                           .arg(sb.question));
            placed.insert(sb.question * 8 + sb.option);
            out.bubbles.append(sb);
        }
        QSet<int> numbers;
        for (const QJsonValue& b : page.value(QStringLiteral("number")).toArray()) {
            const QJsonObject o = b.toObject();
            NumberBubble nb{int(number(o, "digit")), int(number(o, "value")),
                            QPointF(number(o, "x"), number(o, "y")), number(o, "r")};
            if (nb.digit < 0 || nb.digit >= kNumberDigits || nb.value < 0 || nb.value > 9 ||
                !inside(nb.at, nb.r) || numbers.contains(nb.digit * 10 + nb.value))
                refuse(QStringLiteral("places the student number's bubbles wrongly"));
            numbers.insert(nb.digit * 10 + nb.value);
            out.number.append(nb);
        }
        if (numbers.size() != kNumberDigits * 10)
            refuse(QStringLiteral("has %1 of the student number's 80 bubbles on page %2")
                       .arg(numbers.size())
                       .arg(layout.pages.size() + 1));
        layout.pages.append(out);
    }
    qsizetype options = 0;
    for (const int n : optionsPerQuestion)
        options += n;
    if (layout.pages.isEmpty() || placed.size() != options)
        refuse(QStringLiteral("places %1 of the %2 options").arg(placed.size()).arg(options));
    return layout;
}

} // namespace tavrin
