#include "formatter/docx_text.h"

#include "platform/fs_error.h"
#include "richtext/rich_text_writer.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QXmlStreamReader>
#include <zip.h>

namespace tavrin {

namespace {

// A part may not be larger than this once unpacked: a small zip must not fill the memory.
constexpr zip_uint64_t kLargestPart = 256u * 1024u * 1024u;

class Package {
public:
    explicit Package(const QByteArray& bytes) : bytes_(bytes) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source =
            zip_source_buffer_create(bytes_.constData(), zip_uint64_t(bytes_.size()), 0, &error);
        if (source)
            zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!zip_) {
            const QString why = QString::fromUtf8(zip_error_strerror(&error));
            if (source)
                zip_source_free(source);
            zip_error_fini(&error);
            throw FsError(QStringLiteral("Not a Word document (damaged zip: %1)").arg(why));
        }
        zip_error_fini(&error);
    }
    ~Package() { zip_discard(zip_); }
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    bool has(const QString& name) const {
        return zip_name_locate(zip_, name.toUtf8().constData(), 0) >= 0;
    }

    QByteArray part(const QString& name) const {
        const QByteArray utf8 = name.toUtf8();
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat(zip_, utf8.constData(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
            throw FsError(QStringLiteral("Not a Word document (no %1)").arg(name));
        if (stat.size > kLargestPart)
            throw FsError(QStringLiteral("Word document part too large: %1").arg(name));
        zip_file_t* file = zip_fopen(zip_, utf8.constData(), 0);
        if (!file)
            throw FsError(QStringLiteral("Damaged Word document: %1").arg(name));
        QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
        const zip_int64_t read = zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        if (read < 0 || zip_uint64_t(read) != stat.size)
            throw FsError(QStringLiteral("Damaged Word document: %1").arg(name));
        return data;
    }

private:
    QByteArray bytes_; // the zip reads from it until it is closed
    zip_t* zip_ = nullptr;
};

QStringView attribute(const QXmlStreamReader& xml, QLatin1StringView name) {
    for (const QXmlStreamAttribute& a : xml.attributes()) {
        if (a.name() == name)
            return a.value();
    }
    return {};
}

// An on/off property such as <w:b/> or <w:b w:val="0"/>.
bool switchedOn(const QXmlStreamReader& xml) {
    const QStringView v = attribute(xml, QLatin1StringView("val"));
    return v.isEmpty() || !(v == u"0" || v == u"false" || v == u"off" || v == u"none");
}

struct RunFormat {
    bool bold = false, italic = false, underline = false, rtl = false, hidden = false;
    int colour = 0; // index in the colour table, 0 = automatic
};

class Converter {
public:
    explicit Converter(const Package& package) : package_(package) {}

    QString run() {
        findMainPart();
        readRelations();
        readNumbering();
        QXmlStreamReader xml(package_.part(main_));
        while (xml.readNextStartElement()) {
            if (xml.name() == u"document")
                continue;
            if (xml.name() == u"body")
                blockContent(xml);
            else
                xml.skipCurrentElement();
        }
        if (xml.hasError())
            throw FsError(QStringLiteral("Damaged Word document (line %1: %2)")
                              .arg(xml.lineNumber())
                              .arg(xml.errorString()));
        QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1256\\deff0"
                                     "{\\fonttbl{\\f0\\fnil\\fcharset178 Tahoma;}}{\\colortbl;");
        for (const QRgb c : colours_)
            out += QStringLiteral("\\red%1\\green%2\\blue%3;")
                       .arg(qRed(c))
                       .arg(qGreen(c))
                       .arg(qBlue(c));
        out += QLatin1StringView("}\r\n");
        out += body_;
        out += u'}';
        return out;
    }

private:
    // The document's main part, as the package's relationships name it (a package may keep it
    // elsewhere than word/document.xml); the parts it names lie beside it.
    void findMainPart() {
        const QString packageRels = QStringLiteral("_rels/.rels");
        if (package_.has(packageRels)) {
            QXmlStreamReader xml(package_.part(packageRels));
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement ||
                    xml.name() != u"Relationship" ||
                    !attribute(xml, QLatin1StringView("Type"))
                         .endsWith(QLatin1StringView("/officeDocument")))
                    continue;
                QString target = attribute(xml, QLatin1StringView("Target")).toString();
                if (target.startsWith(u'/'))
                    target.remove(0, 1);
                if (!target.isEmpty() && !target.contains(QLatin1StringView("..")) &&
                    package_.has(target))
                    main_ = target;
                break;
            }
        }
        folder_ = main_.left(main_.lastIndexOf(u'/') + 1);
    }

    // A part the main part names, by its target there.
    QString besideMain(const QString& target) const {
        return target.startsWith(u'/') ? target.mid(1) : folder_ + target;
    }

    void readRelations() {
        const QString name = folder_ + QStringLiteral("_rels/") + main_.mid(folder_.size()) +
                             QStringLiteral(".rels");
        if (!package_.has(name))
            return;
        QXmlStreamReader xml(package_.part(name));
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Relationship")
                relations_.insert(attribute(xml, QLatin1StringView("Id")).toString(),
                                  attribute(xml, QLatin1StringView("Target")).toString());
        }
    }

    // numbering.xml: which list levels are bullets; the rest are numbered.
    void readNumbering() {
        const QString name = besideMain(QStringLiteral("numbering.xml"));
        if (!package_.has(name))
            return;
        QXmlStreamReader xml(package_.part(name));
        QHash<QString, QHash<int, QString>> abstractFormats;
        QString abstractId, numId;
        int level = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QStringView n = xml.name();
            const QString val = attribute(xml, QLatin1StringView("val")).toString();
            if (n == u"abstractNum")
                abstractId = attribute(xml, QLatin1StringView("abstractNumId")).toString();
            else if (n == u"lvl")
                level = attribute(xml, QLatin1StringView("ilvl")).toInt();
            else if (n == u"numFmt" && !abstractId.isEmpty())
                abstractFormats[abstractId][level] = val;
            else if (n == u"num")
                numId = attribute(xml, QLatin1StringView("numId")).toString();
            else if (n == u"abstractNumId" && !numId.isEmpty())
                listFormats_[numId] = abstractFormats.value(val);
        }
    }

    // Paragraphs and tables of the body, a table cell, or a content control.
    void blockContent(QXmlStreamReader& xml) {
        while (xml.readNextStartElement()) {
            const QStringView n = xml.name();
            if (n == u"p") {
                Paragraph p;
                paragraph(xml, p);
                writeParagraph(p);
            } else if (n == u"tbl") {
                table(xml);
            } else if (n == u"sdt" || n == u"sdtContent" || n == u"customXml" || n == u"ins") {
                blockContent(xml);
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    struct Paragraph {
        bool rtl = false;
        QString listId;
        int listLevel = 0;
        bool listed = false;
        QString content; // RTF of the runs
    };

    void paragraph(QXmlStreamReader& xml, Paragraph& p) {
        while (xml.readNextStartElement()) {
            if (xml.name() == u"pPr")
                paragraphProperties(xml, p);
            else
                inlineContent(xml, p.content);
        }
    }

    void paragraphProperties(QXmlStreamReader& xml, Paragraph& p) {
        while (xml.readNextStartElement()) {
            const QStringView n = xml.name();
            if (n == u"bidi") {
                p.rtl = switchedOn(xml);
                xml.skipCurrentElement();
            } else if (n == u"numPr") {
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"ilvl")
                        p.listLevel = attribute(xml, QLatin1StringView("val")).toInt();
                    else if (xml.name() == u"numId")
                        p.listId = attribute(xml, QLatin1StringView("val")).toString();
                    xml.skipCurrentElement();
                }
                // numId 0 takes a style's numbering away.
                p.listed = !p.listId.isEmpty() && p.listId != u"0";
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    // What may stand in a paragraph: runs, and the elements that hold runs.
    void inlineContent(QXmlStreamReader& xml, QString& out) {
        const QStringView n = xml.name();
        if (n == u"r") {
            run(xml, out);
        } else if (n == u"hyperlink" || n == u"ins" || n == u"smartTag" || n == u"sdt" ||
                   n == u"sdtContent" || n == u"fldSimple" || n == u"customXml" || n == u"moveTo") {
            while (xml.readNextStartElement())
                inlineContent(xml, out);
        } else if (n == u"AlternateContent") {
            alternateContent(xml, out);
        } else {
            // Deletions, comments' ranges, bookmarks, proofing marks: nothing to show.
            xml.skipCurrentElement();
        }
    }

    // The first choice is taken; the fallback repeats it for older readers.
    void alternateContent(QXmlStreamReader& xml, QString& out) {
        bool taken = false;
        while (xml.readNextStartElement()) {
            if (!taken && (xml.name() == u"Choice" || xml.name() == u"Fallback")) {
                taken = true;
                while (xml.readNextStartElement())
                    inlineContent(xml, out);
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    void run(QXmlStreamReader& xml, QString& out) {
        RunFormat f;
        QString text;
        const auto flush = [&] {
            if (text.isEmpty() || f.hidden || inFieldCode())
                return text.clear();
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
            text.clear();
        };
        while (xml.readNextStartElement()) {
            const QStringView n = xml.name();
            if (n == u"rPr") {
                runProperties(xml, f);
            } else if (n == u"t") {
                text += xml.readElementText();
            } else if (n == u"tab") {
                text += u'\t';
                xml.skipCurrentElement();
            } else if (n == u"br" || n == u"cr") {
                // A line break inside a paragraph would be one character in the box but a
                // paragraph end once written: it becomes a blank.
                text += u' ';
                xml.skipCurrentElement();
            } else if (n == u"noBreakHyphen") {
                text += u'-';
                xml.skipCurrentElement();
            } else if (n == u"fldChar") {
                flush();
                field(attribute(xml, QLatin1StringView("fldCharType")));
                xml.skipCurrentElement();
            } else if (n == u"drawing" || n == u"pict") {
                flush();
                if (!f.hidden && !inFieldCode())
                    drawing(xml, out);
                else
                    xml.skipCurrentElement();
            } else if (n == u"AlternateContent") {
                flush();
                alternateContent(xml, out);
            } else {
                // instrText, delText, commentReference, footnote marks...
                xml.skipCurrentElement();
            }
        }
        flush();
    }

    void runProperties(QXmlStreamReader& xml, RunFormat& f) {
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
                f.colour = colourIndex(attribute(xml, QLatin1StringView("val")));
            xml.skipCurrentElement();
        }
    }

    int colourIndex(QStringView value) {
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

    // Field codes: the instruction between begin and separate is not shown, the result is.
    void field(QStringView type) {
        if (type == u"begin")
            fields_.append(true);
        else if (type == u"separate" && !fields_.isEmpty())
            fields_.last() = false;
        else if (type == u"end" && !fields_.isEmpty())
            fields_.removeLast();
    }
    bool inFieldCode() const { return fields_.contains(true); }

    void drawing(QXmlStreamReader& xml, QString& out) {
        QString embed;
        qint64 cx = 0, cy = 0;
        int open = 1; // the drawing element itself
        while (open > 0 && !xml.atEnd()) {
            const QXmlStreamReader::TokenType t = xml.readNext();
            if (t == QXmlStreamReader::StartElement) {
                ++open;
                if (xml.name() == u"extent" && cx == 0) {
                    cx = attribute(xml, QLatin1StringView("cx")).toLongLong();
                    cy = attribute(xml, QLatin1StringView("cy")).toLongLong();
                } else if ((xml.name() == u"blip" || xml.name() == u"imagedata") &&
                           embed.isEmpty()) {
                    embed = attribute(xml, QLatin1StringView("embed")).toString();
                    if (embed.isEmpty())
                        embed = attribute(xml, QLatin1StringView("id")).toString();
                }
            } else if (t == QXmlStreamReader::EndElement) {
                --open;
            }
        }
        const QString target = relations_.value(embed);
        if (target.isEmpty() || target.contains(QLatin1StringView("..")))
            return;
        const QString path = besideMain(target);
        if (!package_.has(path))
            return;
        picture(package_.part(path), cx, cy, out);
    }

    static void picture(QByteArray data, qint64 cx, qint64 cy, QString& out) {
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

    void table(QXmlStreamReader& xml) {
        bool tableRtl = false;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"tblPr") {
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"bidiVisual")
                        tableRtl = switchedOn(xml);
                    xml.skipCurrentElement();
                }
            } else if (xml.name() == u"tr") {
                row(xml, tableRtl);
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    // One paragraph a row: each cell's paragraphs joined by a blank, the cells by " | ".
    void row(QXmlStreamReader& xml, bool tableRtl) {
        Paragraph line;
        line.rtl = tableRtl;
        bool first = true;
        while (xml.readNextStartElement()) {
            if (xml.name() != u"tc") {
                xml.skipCurrentElement();
                continue;
            }
            if (!first)
                line.content += QLatin1StringView(" | ");
            first = false;
            bool firstParagraph = true;
            while (xml.readNextStartElement()) {
                if (xml.name() == u"p") {
                    Paragraph p;
                    paragraph(xml, p);
                    if (!firstParagraph && !p.content.isEmpty())
                        line.content += u' ';
                    firstParagraph = firstParagraph && p.content.isEmpty();
                    line.content += p.content;
                    line.rtl = line.rtl || p.rtl;
                } else if (xml.name() == u"tbl") {
                    // A table inside a cell: its rows follow as paragraphs of their own.
                    table(xml);
                } else {
                    xml.skipCurrentElement();
                }
            }
        }
        writeParagraph(line);
    }

    QString listMark(const Paragraph& p) {
        const QString format = listFormats_.value(p.listId).value(p.listLevel);
        QList<int>& counts = listCounts_[p.listId];
        if (counts.size() <= p.listLevel)
            counts.resize(p.listLevel + 1);
        // A level's count starts again under each item of the level above.
        counts.resize(p.listLevel + 1);
        ++counts[p.listLevel];
        if (format == u"bullet")
            return QStringLiteral(u"\u2022 ");
        if (format == u"none")
            return {};
        return QString::number(counts[p.listLevel]) + QStringLiteral(". ");
    }

    void writeParagraph(const Paragraph& p) {
        body_ += p.rtl ? QLatin1StringView("\\pard\\rtlpar\\qr ")
                       : QLatin1StringView("\\pard\\ltrpar\\ql ");
        if (p.listed) {
            const QString mark = listMark(p);
            if (!mark.isEmpty()) {
                body_ += p.rtl ? QLatin1StringView("{\\rtlch ") : QLatin1StringView("{\\ltrch ");
                appendRtfText(mark, body_);
                body_ += u'}';
            }
        }
        body_ += p.content;
        body_ += QLatin1StringView("\\par\r\n");
    }

    const Package& package_;
    QHash<QString, QString> relations_;
    QString main_ = QStringLiteral("word/document.xml");
    QString folder_ = QStringLiteral("word/");
    QHash<QString, QHash<int, QString>> listFormats_;
    QHash<QString, QList<int>> listCounts_;
    QList<QRgb> colours_;
    QList<bool> fields_; // open fields: true while in the instruction
    QString body_;
};

} // namespace

QString docxToRtf(const QByteArray& docx) {
    const Package package(docx);
    return Converter(package).run();
}

} // namespace tavrin
