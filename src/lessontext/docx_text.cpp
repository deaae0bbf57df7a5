#include "lessontext/docx_text.h"

#include "platform/fs_error.h"
#include "platform/xml_guard.h"
#include "richtext/rich_text_writer.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <utility>
#include <zip.h>

namespace tavrin {

namespace {

// A list's start is a count, not a length: bounded so that counting on cannot overflow.
constexpr int kLargestStart = 1000000;

// A part may not be larger than this once unpacked: a small zip must not fill the memory.
constexpr zip_uint64_t kLargestPart = 64u * 1024u * 1024u;
// All the pictures the text holds, as RTF writes them (hex, each time one is shown).
constexpr qsizetype kLargestPictures = 128 * 1024 * 1024;

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
            throw FsError(QStringLiteral("Word document part too large (over %1 MB): %2")
                              .arg(kLargestPart / (1024 * 1024))
                              .arg(name));
        zip_file_t* file = zip_fopen(zip_, utf8.constData(), 0);
        if (!file)
            throw FsError(QStringLiteral("Damaged Word document: %1").arg(name));
        QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
        const zip_int64_t read = zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        if (read < 0 || zip_uint64_t(read) != stat.size)
            throw FsError(QStringLiteral("Damaged Word document: %1").arg(name));
        if (name.endsWith(QLatin1StringView(".xml")) || name.endsWith(QLatin1StringView(".rels")))
            if (declaresEntities(data))
                throw FsError(QStringLiteral("Word document declares entities: %1").arg(name));
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

// Walks a part's elements in order: ended(name) at each end, started(name) at each start
// (the reader stands on it).
template <typename Ended, typename Started>
void walkElements(QXmlStreamReader& xml, Ended ended, Started started) {
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement)
            ended(xml.name());
        else if (token == QXmlStreamReader::StartElement)
            started(xml.name());
    }
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
        readStyles();
        readNotes(QStringLiteral("footnotes"), QLatin1StringView("footnote"), footnotes_);
        readNotes(QStringLiteral("endnotes"), QLatin1StringView("endnote"), endnotes_);
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
    struct Paragraph {
        bool rtl = false;
        QString listId;
        int listLevel = 0;
        bool listed = false;
        QString content; // RTF of the runs
    };

    struct PendingNote {
        int number = 0;
        QList<Paragraph> paragraphs;
    };

    struct ListLevel {
        QString format = QStringLiteral("decimal");
        QString text; // "%1." when not said
        int start = 1;
    };

    struct List {
        QString abstractId;
        QHash<int, int> starts; // levels restarted by this list
    };

    // What a paragraph style gives, its own; resolvedStyle fills in what it inherits.
    struct Style {
        QString basedOn;
        QString listId;     // empty: none of its own
        int listLevel = -1; // -1: none of its own
        int rtl = -1;       // -1: not said
    };

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
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship")
                continue;
            const QString target = attribute(xml, QLatin1StringView("Target")).toString();
            relations_.insert(attribute(xml, QLatin1StringView("Id")).toString(), target);
            const QStringView type = attribute(xml, QLatin1StringView("Type"));
            partsByType_.insert(type.mid(type.lastIndexOf(u'/') + 1).toString(), target);
        }
    }

    // A part the main part names by its kind ("numbering", "styles", "footnotes"), or where
    // Word puts it; empty when the package has none.
    QString partOf(const QString& kind) const {
        const QString target = partsByType_.value(kind, kind + QStringLiteral(".xml"));
        if (target.contains(QLatin1StringView("..")))
            return {};
        const QString path = besideMain(target);
        return package_.has(path) ? path : QString();
    }

    // numbering.xml: each list level's number format, its text ("%1."), its start; each list
    // (numId) its abstract list, whose counts it shares, and the starts it overrides.
    void readNumbering() {
        const QString name = partOf(QStringLiteral("numbering"));
        if (name.isEmpty())
            return;
        QXmlStreamReader xml(package_.part(name));
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
                ListLevel& l = abstractLevels_[abstractId][level];
                if (n == u"numFmt")
                    l.format = val;
                else if (n == u"lvlText")
                    l.text = val;
                else if (n == u"start")
                    l.start = qBound(0, val.toInt(), kLargestStart);
            }
        });
    }

    // styles.xml: what a paragraph style gives its paragraphs (a list, a direction), its own
    // or from the styles it is based on; the default paragraph style for paragraphs without.
    void readStyles() {
        const QString name = partOf(QStringLiteral("styles"));
        if (name.isEmpty())
            return;
        QXmlStreamReader xml(package_.part(name));
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

    static bool switchedOnAttribute(const QXmlStreamReader& xml, const char* name) {
        const QStringView v = attribute(xml, QLatin1StringView(name));
        return v == u"1" || v == u"true" || v == u"on";
    }

    // A style with what it inherits filled in; a loop of bases ends where it starts again.
    Style resolvedStyle(QString id) const {
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

    // footnotes.xml and endnotes.xml: each note's paragraphs, its number mark left as a
    // placeholder that the note's number takes when it is written.
    void readNotes(const QString& kind, QLatin1StringView element,
                   QHash<QString, QList<Paragraph>>& notes) {
        const QString name = partOf(kind);
        if (name.isEmpty())
            return;
        QXmlStreamReader xml(package_.part(name));
        while (xml.readNextStartElement()) {
            if (xml.name() == kind)
                continue;
            if (xml.name() != element ||
                !attribute(xml, QLatin1StringView("type")).isEmpty()) { // separators
                xml.skipCurrentElement();
                continue;
            }
            const QString id = attribute(xml, QLatin1StringView("id")).toString();
            QList<Paragraph>& paragraphs = notes[id];
            while (xml.readNextStartElement()) {
                if (xml.name() == u"p") {
                    Paragraph p;
                    paragraph(xml, p);
                    paragraphs.append(p);
                } else {
                    xml.skipCurrentElement();
                }
            }
        }
    }

    // One level deeper into nested content for as long as it lives; too deep is refused, as
    // each level is a call.
    class Deeper {
    public:
        explicit Deeper(int& depth) : depth_(depth) {
            if (++depth_ > kDeepestXml) {
                --depth_;
                throw FsError(QStringLiteral("Word document nested too deeply (over %1 levels)")
                                  .arg(kDeepestXml));
            }
        }
        ~Deeper() { --depth_; }
        Deeper(const Deeper&) = delete;
        Deeper& operator=(const Deeper&) = delete;

    private:
        int& depth_;
    };

    // Paragraphs and tables of the body, a table cell, or a content control.
    void blockContent(QXmlStreamReader& xml) {
        const Deeper deeper(depth_);
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

    void paragraph(QXmlStreamReader& xml, Paragraph& p) {
        Direct direct;
        bool styled = false; // the properties come first; the style is applied after them
        while (xml.readNextStartElement()) {
            if (xml.name() == u"pPr" && !styled) {
                paragraphProperties(xml, direct);
                continue;
            }
            if (!styled)
                applyStyle(direct, p);
            styled = true;
            inlineContent(xml, p.content);
        }
        if (!styled)
            applyStyle(direct, p);
    }

    // What a paragraph's own properties say, before its style fills in the rest.
    struct Direct {
        QString style;
        int rtl = -1;
        QString listId;
        int listLevel = -1;
    };

    void paragraphProperties(QXmlStreamReader& xml, Direct& d) {
        while (xml.readNextStartElement()) {
            const QStringView n = xml.name();
            if (n == u"bidi") {
                d.rtl = switchedOn(xml) ? 1 : 0;
                xml.skipCurrentElement();
            } else if (n == u"pStyle") {
                d.style = attribute(xml, QLatin1StringView("val")).toString();
                xml.skipCurrentElement();
            } else if (n == u"numPr") {
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"ilvl")
                        d.listLevel = attribute(xml, QLatin1StringView("val")).toInt();
                    else if (xml.name() == u"numId")
                        d.listId = attribute(xml, QLatin1StringView("val")).toString();
                    xml.skipCurrentElement();
                }
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    void applyStyle(const Direct& d, Paragraph& p) const {
        const Style style = resolvedStyle(d.style.isEmpty() ? defaultStyle_ : d.style);
        p.rtl = (d.rtl >= 0 ? d.rtl : style.rtl) == 1;
        p.listId = d.listId.isEmpty() ? style.listId : d.listId;
        p.listLevel = qBound(0, d.listLevel >= 0 ? d.listLevel : qMax(style.listLevel, 0), 8);
        // numId 0 takes a style's numbering away.
        p.listed = !p.listId.isEmpty() && p.listId != u"0";
    }

    // What may stand in a paragraph: runs, and the elements that hold runs.
    void inlineContent(QXmlStreamReader& xml, QString& out) {
        const Deeper deeper(depth_);
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
        const Deeper deeper(depth_);
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
            } else if (n == u"footnoteReference" || n == u"endnoteReference") {
                flush();
                noteReference(n == u"footnoteReference" ? footnotes_ : endnotes_,
                              attribute(xml, QLatin1StringView("id")).toString(), out);
                xml.skipCurrentElement();
            } else if (n == u"footnoteRef" || n == u"endnoteRef") {
                // A note's own number, in the note: its number is known when it is written.
                out += kNoteNumber;
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
        // Each picture is read and written out once, however often the text shows it.
        const QString key = path + QStringLiteral("|%1x%2").arg(cx).arg(cy);
        auto made = pictures_.find(key);
        if (made == pictures_.end()) {
            QString rtf;
            if (package_.has(path))
                picture(package_.part(path), cx, cy, rtf);
            made = pictures_.insert(key, rtf);
        }
        picturesSize_ += made->size();
        if (picturesSize_ > kLargestPictures)
            throw FsError(QStringLiteral("Word document too large: its pictures pass %1 MB")
                              .arg(kLargestPictures / (1024 * 1024)));
        out += *made;
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
        rows(xml, tableRtl);
    }

    // A table's rows, also those inside content controls.
    void rows(QXmlStreamReader& xml, bool& tableRtl) {
        const Deeper deeper(depth_);
        while (xml.readNextStartElement()) {
            const QStringView n = xml.name();
            if (n == u"tblPr") {
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"bidiVisual")
                        tableRtl = switchedOn(xml);
                    xml.skipCurrentElement();
                }
            } else if (n == u"tr") {
                row(xml, tableRtl);
            } else if (n == u"sdt" || n == u"sdtContent" || n == u"customXml") {
                rows(xml, tableRtl);
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    // A row's cells joined by " | " on one line; a cell's own paragraphs stay paragraphs, so
    // a cell of several ends the line at each break.
    struct RowText {
        QList<Paragraph> lines{Paragraph()};
        bool cellStarted = false; // a paragraph with text in the cell being read
    };

    void row(QXmlStreamReader& xml, bool tableRtl) {
        RowText text;
        text.lines.last().rtl = tableRtl;
        bool first = true;
        cells(xml, text, first);
        for (Paragraph& line : text.lines) {
            line.rtl = line.rtl || tableRtl;
            writeParagraph(line);
        }
    }

    void cells(QXmlStreamReader& xml, RowText& text, bool& first) {
        const Deeper deeper(depth_);
        while (xml.readNextStartElement()) {
            const QStringView n = xml.name();
            if (n == u"tc") {
                if (!first)
                    text.lines.last().content += QLatin1StringView(" | ");
                first = false;
                text.cellStarted = false;
                cellContent(xml, text);
            } else if (n == u"sdt" || n == u"sdtContent" || n == u"customXml") {
                cells(xml, text, first);
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    void cellContent(QXmlStreamReader& xml, RowText& text) {
        const Deeper deeper(depth_);
        while (xml.readNextStartElement()) {
            const QStringView n = xml.name();
            if (n == u"p") {
                Paragraph p;
                paragraph(xml, p);
                const QString shown = markedContent(p);
                if (shown.isEmpty())
                    continue;
                if (text.cellStarted) {
                    text.lines.append(Paragraph());
                    text.lines.last().rtl = p.rtl;
                }
                text.cellStarted = true;
                text.lines.last().content += shown;
                text.lines.last().rtl = text.lines.last().rtl || p.rtl;
            } else if (n == u"tbl") {
                // A table inside a cell: its rows follow as paragraphs of their own.
                table(xml);
            } else if (n == u"sdt" || n == u"sdtContent" || n == u"customXml") {
                cellContent(xml, text);
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    // The mark Word shows before a list item: its level's text with each "%N" the count of
    // level N in that level's format. Lists of one abstract list share their counts.
    QString listMark(const Paragraph& p) {
        const List list = lists_.value(p.listId);
        const QString key =
            list.abstractId.isEmpty() ? QStringLiteral("#") + p.listId : list.abstractId;
        const QHash<int, ListLevel> levels = abstractLevels_.value(list.abstractId);
        QList<int>& counts = listCounts_[key];
        const auto startOf = [&](int level) {
            return list.starts.value(level, levels.value(level).start);
        };
        if (!startedLists_.contains(p.listId)) {
            startedLists_.insert(p.listId);
            // A list that overrides a start begins its levels again there.
            for (auto it = list.starts.begin(); it != list.starts.end(); ++it)
                if (it.key() < counts.size())
                    counts.resize(it.key());
        }
        if (counts.size() <= p.listLevel) {
            while (counts.size() < p.listLevel)
                counts.append(startOf(int(counts.size())));
            counts.append(startOf(p.listLevel));
        } else {
            ++counts[p.listLevel];
        }
        // A level's count starts again under each item of the level above.
        counts.resize(p.listLevel + 1);
        const ListLevel level = levels.value(p.listLevel);
        if (level.format == u"bullet")
            return QStringLiteral(u"\u2022 ");
        QString text =
            level.text.isNull() ? QStringLiteral("%%1.").arg(p.listLevel + 1) : level.text;
        static const QRegularExpression place(QStringLiteral("%([1-9])"));
        QString mark;
        qsizetype from = 0;
        for (auto it = place.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const int n = m.captured(1).toInt() - 1;
            mark += text.mid(from, m.capturedStart() - from);
            if (n <= p.listLevel)
                mark += listNumber(counts.value(n), levels.value(n).format, p.rtl);
            from = m.capturedEnd();
        }
        mark += text.mid(from);
        return mark.trimmed().isEmpty() ? QString() : mark + u' ';
    }

    // A list number as a format shows it; a decimal number in a right-to-left (Persian) item
    // in Persian digits.
    static QString listNumber(int n, const QString& format, bool rtl) {
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

    static QString roman(int n) {
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

    // A paragraph's runs with its list mark, if it is a list item, in front.
    QString markedContent(const Paragraph& p) {
        QString out;
        if (p.listed) {
            const QString mark = listMark(p);
            if (!mark.isEmpty()) {
                out += p.rtl ? QLatin1StringView("{\\rtlch ") : QLatin1StringView("{\\ltrch ");
                appendRtfText(mark, out);
                out += u'}';
            }
        }
        return out + p.content;
    }

    // The mark of a note's reference, and the note taken to come after the paragraph.
    void noteReference(const QHash<QString, QList<Paragraph>>& notes, const QString& id,
                       QString& out) {
        const auto note = notes.find(id);
        if (note == notes.end())
            return;
        // A note named twice (not Word's doing) keeps its first number and is written once:
        // a small file must not make a large text.
        const QString key = QString::number(quintptr(&notes)) + u'/' + id;
        if (const auto seen = noteNumbers_.find(key); seen != noteNumbers_.end()) {
            out += QStringLiteral("{\\ltrch [%1]}").arg(*seen);
            return;
        }
        const int number = ++notesSeen_;
        noteNumbers_.insert(key, number);
        out += QStringLiteral("{\\ltrch [%1]}").arg(number);
        pendingNotes_.append({number, *note});
    }

    void writeParagraph(const Paragraph& p) {
        body_ += p.rtl ? QLatin1StringView("\\pard\\rtlpar\\qr ")
                       : QLatin1StringView("\\pard\\ltrpar\\ql ");
        body_ += markedContent(p);
        body_ += QLatin1StringView("\\par\r\n");
        // The notes of a paragraph follow it, each marked with its number.
        const QList<PendingNote> notes = std::exchange(pendingNotes_, {});
        for (const PendingNote& note : notes) {
            bool numbered = false;
            for (Paragraph np : note.paragraphs) {
                const QString mark = QStringLiteral("{\\ltrch [%1]}").arg(note.number);
                numbered = numbered || np.content.contains(kNoteNumber);
                np.content.replace(kNoteNumber, mark);
                if (!numbered) {
                    np.content.prepend(mark + QStringLiteral("{\\ltrch  }"));
                    numbered = true;
                }
                writeParagraph(np);
            }
        }
    }

    // Where a note's own number stands until it is written: no RTF holds this character raw.
    static constexpr QChar kNoteNumber = QChar(0x0001);

    const Package& package_;
    QHash<QString, QString> relations_;
    QString main_ = QStringLiteral("word/document.xml");
    QString folder_ = QStringLiteral("word/");
    QHash<QString, QString> partsByType_;
    QHash<QString, QHash<int, ListLevel>> abstractLevels_;
    QHash<QString, List> lists_;
    QHash<QString, QList<int>> listCounts_;
    QSet<QString> startedLists_;
    QHash<QString, Style> styles_;
    QString defaultStyle_;
    QHash<QString, QList<Paragraph>> footnotes_, endnotes_;
    QList<PendingNote> pendingNotes_;
    QHash<QString, int> noteNumbers_; // by part and id
    int notesSeen_ = 0;
    int depth_ = 0;
    QHash<QString, QString> pictures_; // by part and shown size: its RTF
    qsizetype picturesSize_ = 0;
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
