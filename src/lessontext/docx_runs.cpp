#include "lessontext/docx_runs.h"

#include "lessontext/docx_package.h"
#include "richtext/rich_text_writer.h"

#include <QXmlStreamReader>

namespace tavrin::docx {

int RunColours::indexOf(QStringView value) {
    if (value.size() != 6)
        return 0;
    bool ok = false;
    const uint rgb = value.toUInt(&ok, 16);
    if (!ok)
        return 0;
    const QRgb c = qRgb(int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF);
    qsizetype at = colours_.indexOf(c);
    if (at < 0) {
        colours_.append(c);
        at = colours_.size() - 1;
    }
    return int(at) + 1;
}

QString RunColours::table() const {
    QString out;
    for (const QRgb c : colours_)
        out +=
            QStringLiteral("\\red%1\\green%2\\blue%3;").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
    return out;
}

void readRunProperties(QXmlStreamReader& xml, RunFormat& f, RunColours& colours) {
    while (xml.readNextStartElement()) {
        const QStringView n = xml.name();
        if (n == u"b")
            f.bold = switchedOn(xml);
        else if (n == u"i")
            f.italic = switchedOn(xml);
        else if (n == u"u")
            f.underline = switchedOn(xml);
        else if (n == u"rtl")
            f.rtl = switchedOn(xml);
        else if (n == u"vanish" || n == u"specVanish" || n == u"webHidden")
            f.hidden = f.hidden || switchedOn(xml);
        else if (n == u"color")
            f.colour = colours.indexOf(attribute(xml, QLatin1StringView("val")));
        xml.skipCurrentElement();
    }
}

void appendRunRtf(const RunFormat& f, const QString& text, QString& out) {
    out += u'{';
    if (f.bold)
        out += QLatin1StringView("\\b");
    if (f.italic)
        out += QLatin1StringView("\\i");
    if (f.underline)
        out += QLatin1StringView("\\ul");
    if (f.colour > 0)
        out += QStringLiteral("\\cf%1").arg(f.colour);
    out += f.rtl ? QLatin1StringView("\\rtlch ") : QLatin1StringView("\\ltrch ");
    appendRtfText(text, out);
    out += u'}';
}

} // namespace tavrin::docx
