#include "lessontext/docx_lists.h"

#include "lessontext/docx_package.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <utility>

namespace tavrin::docx {

namespace {

// A list's start is a count, not a length: bounded so that counting on cannot overflow.
constexpr int kLargestStart = 1000000;

QString roman(int n) {
    if (n < 1 || n > 3999)
        return QString::number(n);
    static const std::pair<int, const char*> parts[] = {
        {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
        {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"}};
    QString out;
    for (const auto& [value, letters] : parts)
        for (; n >= value; n -= value)
            out += QLatin1StringView(letters);
    return out;
}

// A list number as a format shows it; a decimal number in a right-to-left (Persian) item
// in Persian digits.
QString listNumber(int n, const QString& format, bool rtl) {
    static const QString persianDigits = QStringLiteral(u"۰۱۲۳۴۵۶۷۸۹");
    const auto digits = [](int v, const QString& set) {
        QString out = QString::number(v);
        for (QChar& c : out)
            if (c.isDigit())
                c = set[c.digitValue()];
        return out;
    };
    const auto letters = [](int v, const QString& alphabet) {
        if (v < 1 || v > 26 * 30) // Word's "aaa…" runs would grow without end
            return QString::number(v);
        const int size = int(alphabet.size());
        return QString(alphabet[(v - 1) % size]).repeated((v - 1) / size + 1);
    };
    if (format == u"lowerLetter" || format == u"upperLetter") {
        const QString a = letters(n, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
        return format == u"upperLetter" ? a.toUpper() : a;
    }
    if (format == u"lowerRoman" || format == u"upperRoman") {
        const QString r = roman(n);
        return format == u"lowerRoman" ? r.toLower() : r;
    }
    if (format == u"arabicAbjad")
        return letters(n, QStringLiteral(u"ابجدهوزحطیکلمنسعفصقرشتثخذضظغ"));
    if (format == u"arabicAlpha")
        return letters(n, QStringLiteral(u"ابتثجحخدذرزسشصضطظعغفقکلمنهوی"));
    if (format == u"hindiNumbers" || (rtl && format != u"decimalZero"))
        return digits(n, persianDigits);
    if (format == u"decimalZero")
        return n < 10 && n >= 0 ? QStringLiteral("0") + QString::number(n) : QString::number(n);
    return QString::number(n);
}

} // namespace

void Lists::readNumbering(const QByteArray& part) {
    QXmlStreamReader xml(part);
    QString abstractId, numId;
    int level = 0;
    bool inOverride = false;
    const auto ended = [&](QStringView n) {
        if (n == u"abstractNum")
            abstractId.clear();
        else if (n == u"num")
            numId.clear();
        else if (n == u"lvlOverride")
            inOverride = false;
    };
    walkElements(xml, ended, [&](QStringView n) {
        const QString val = attribute(xml, QLatin1StringView("val")).toString();
        if (n == u"abstractNum") {
            abstractId = attribute(xml, QLatin1StringView("abstractNumId")).toString();
        } else if (n == u"num") {
            numId = attribute(xml, QLatin1StringView("numId")).toString();
        } else if (n == u"lvl" || n == u"lvlOverride") {
            level = qBound(0, attribute(xml, QLatin1StringView("ilvl")).toInt(), 8);
            inOverride = inOverride || n == u"lvlOverride";
        } else if (n == u"abstractNumId" && !numId.isEmpty()) {
            lists_[numId].abstractId = val;
        } else if (n == u"startOverride" && !numId.isEmpty()) {
            lists_[numId].starts.insert(level, qBound(0, val.toInt(), kLargestStart));
        } else if (!abstractId.isEmpty() && !inOverride) {
            Level& l = abstractLevels_[abstractId][level];
            if (n == u"numFmt")
                l.format = val;
            else if (n == u"lvlText")
                l.text = val;
            else if (n == u"start")
                l.start = qBound(0, val.toInt(), kLargestStart);
        }
    });
}

void Lists::readStyles(const QByteArray& part) {
    QXmlStreamReader xml(part);
    QString id;
    bool inParagraphProperties = false;
    const auto ended = [&](QStringView n) {
        if (n == u"style")
            id.clear();
        else if (n == u"pPr")
            inParagraphProperties = false;
    };
    walkElements(xml, ended, [&](QStringView n) {
        const QString val = attribute(xml, QLatin1StringView("val")).toString();
        if (n == u"style") {
            id = attribute(xml, QLatin1StringView("type")) == u"paragraph"
                     ? attribute(xml, QLatin1StringView("styleId")).toString()
                     : QString();
            if (!id.isEmpty() && switchedOnAttribute(xml, "default"))
                defaultStyle_ = id;
        } else if (id.isEmpty()) {
            return;
        } else if (n == u"basedOn") {
            styles_[id].basedOn = val;
        } else if (n == u"pPr") {
            inParagraphProperties = true;
        } else if (inParagraphProperties && n == u"numId") {
            styles_[id].listId = val;
        } else if (inParagraphProperties && n == u"ilvl") {
            styles_[id].listLevel = val.toInt();
        } else if (inParagraphProperties && n == u"bidi") {
            styles_[id].rtl = switchedOn(xml) ? 1 : 0;
        }
    });
}

Lists::Style Lists::style(const QString& of) const {
    QString id = of.isEmpty() ? defaultStyle_ : of;
    Style out;
    for (int depth = 0; depth < 16 && styles_.contains(id); ++depth) {
        const Style& s = styles_[id];
        if (out.listId.isEmpty())
            out.listId = s.listId;
        if (out.listLevel < 0)
            out.listLevel = s.listLevel;
        if (out.rtl < 0)
            out.rtl = s.rtl;
        id = s.basedOn;
    }
    return out;
}

QString Lists::nextMark(const QString& listId, int listLevel, bool rtl) {
    const List list = lists_.value(listId);
    const QString key = list.abstractId.isEmpty() ? QStringLiteral("#") + listId : list.abstractId;
    const QHash<int, Level> levels = abstractLevels_.value(list.abstractId);
    QList<int>& counts = counts_[key];
    const auto startOf = [&](int level) {
        return list.starts.value(level, levels.value(level).start);
    };
    if (!started_.contains(listId)) {
        started_.insert(listId);
        // A list that overrides a start begins its levels again there.
        for (auto it = list.starts.begin(); it != list.starts.end(); ++it)
            if (it.key() < counts.size())
                counts.resize(it.key());
    }
    if (counts.size() <= listLevel) {
        while (counts.size() < listLevel)
            counts.append(startOf(int(counts.size())));
        counts.append(startOf(listLevel));
    } else {
        ++counts[listLevel];
    }
    // A level's count starts again under each item of the level above.
    counts.resize(listLevel + 1);
    const Level level = levels.value(listLevel);
    if (level.format == u"bullet")
        return QStringLiteral(u"\u2022 ");
    QString text = level.text.isNull() ? QStringLiteral("%%1.").arg(listLevel + 1) : level.text;
    static const QRegularExpression place(QStringLiteral("%([1-9])"));
    QString mark;
    qsizetype from = 0;
    for (auto it = place.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const int n = m.captured(1).toInt() - 1;
        mark += text.mid(from, m.capturedStart() - from);
        if (n <= listLevel)
            mark += listNumber(counts.value(n), levels.value(n).format, rtl);
        from = m.capturedEnd();
    }
    mark += text.mid(from);
    return mark.trimmed().isEmpty() ? QString() : mark + u' ';
}

} // namespace tavrin::docx
