#include "lessontext/docx_text.h"

#include "lessontext/docx_lists.h"
#include "lessontext/docx_package.h"
#include "lessontext/docx_pictures.h"
#include "lessontext/docx_runs.h"
#include "lessontext/omml_tex.h"
#include "platform/fs_error.h"
#include "richtext/rich_text_writer.h"

#include <QColor>
#include <QHash>
#include <QScopeGuard>
#include <QXmlStreamReader>
#include <utility>

namespace tavrin {

namespace {

using docx::attribute;
using docx::Deeper;
using docx::Lists;
using docx::Package;
using docx::Pictures;
using docx::switchedOn;

using docx::RunColours;
using docx::RunFormat;

class Converter {
public:
    explicit Converter(const Package& package) : package_(package), pictures_(package) {}

    QString run() {
        if (const QString numbering = package_.partOf(QStringLiteral("numbering"));
            !numbering.isEmpty())
            lists_.readNumbering(package_.part(numbering));
        if (const QString styles = package_.partOf(QStringLiteral("styles")); !styles.isEmpty())
            lists_.readStyles(package_.part(styles));
        readNotes(QStringLiteral("footnotes"), QLatin1StringView("footnote"), footnotes_);
        readNotes(QStringLiteral("endnotes"), QLatin1StringView("endnote"), endnotes_);
        QXmlStreamReader xml(package_.part(package_.mainPart()));
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
        out += colours_.table();
        out += QLatin1StringView("}\r\n");
        out += body_;
        out += u'}';
        return out;
    }

    DocxNotes notes() const { return notes_; }

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

    // footnotes.xml and endnotes.xml: each note's paragraphs, its number mark left as a
    // placeholder that the note's number takes when it is written.
    void readNotes(const QString& kind, QLatin1StringView element,
                   QHash<QString, QList<Paragraph>>& notes) {
        const QString name = package_.partOf(kind);
        if (name.isEmpty())
            return;
        QXmlStreamReader xml(package_.part(name));
        // A note's pictures are named by the notes part's own relationships.
        part_ = name;
        const auto back = qScopeGuard([this] { part_.clear(); });
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
                rows(xml);
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
        const Lists::Style style = lists_.style(d.style);
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
        } else if (n == u"oMath" || n == u"oMathPara") {
            equation(xml, out);
        } else {
            // Deletions, comments' ranges, bookmarks, proofing marks: nothing to show.
            xml.skipCurrentElement();
        }
    }

    // An equation as its TeX between the delimiters every reader of the texts knows, left to
    // right in its paragraph.
    void equation(QXmlStreamReader& xml, QString& out) {
        const docx::OmmlTex formula = docx::ommlToTex(xml, depth_);
        for (const QString& lost : formula.lost)
            if (!notes_.lostParts.contains(lost))
                notes_.lostParts.append(lost);
        if (formula.tex.isEmpty())
            return;
        out += QLatin1StringView("{\\ltrch ");
        appendRtfText(formula.display ? QStringLiteral("\\[") + formula.tex + QStringLiteral("\\]")
                                      : QStringLiteral("\\(") + formula.tex + QStringLiteral("\\)"),
                      out);
        out += u'}';
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
            docx::appendRunRtf(f, text, out);
            text.clear();
        };
        while (xml.readNextStartElement()) {
            const QStringView n = xml.name();
            if (n == u"rPr") {
                docx::readRunProperties(xml, f, colours_);
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
            } else if (n == u"object") {
                // An equation object of an older Word: its preview picture, and the author told.
                flush();
                ++notes_.equationObjects;
                if (!f.hidden && !inFieldCode())
                    pictures_.drawing(xml, out, part_);
                else
                    xml.skipCurrentElement();
            } else if (n == u"drawing" || n == u"pict") {
                flush();
                if (!f.hidden && !inFieldCode()) {
                    // The picture's description beside it, as a reader of the text expects.
                    if (const QString alt = pictures_.drawing(xml, out, part_); !alt.isEmpty())
                        text += QStringLiteral(" (") + alt + u')';
                } else {
                    xml.skipCurrentElement();
                }
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

    // A table's rows, also those inside content controls (a table's properties come first).
    void rows(QXmlStreamReader& xml, bool tableRtl = false) {
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
                rows(xml);
            } else if (n == u"sdt" || n == u"sdtContent" || n == u"customXml") {
                cellContent(xml, text);
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    // A paragraph's runs with its list mark, if it is a list item, in front.
    QString markedContent(const Paragraph& p) {
        QString out;
        if (p.listed) {
            const QString mark = lists_.nextMark(p.listId, p.listLevel, p.rtl);
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
    Lists lists_;
    Pictures pictures_;
    QString part_; // the part being read, when not the main part
    QHash<QString, QList<Paragraph>> footnotes_, endnotes_;
    QList<PendingNote> pendingNotes_;
    QHash<QString, int> noteNumbers_; // by part and id
    int notesSeen_ = 0;
    int depth_ = 0;
    RunColours colours_;
    QList<bool> fields_; // open fields: true while in the instruction
    QString body_;
    DocxNotes notes_;
};

} // namespace

QString docxToRtf(const QByteArray& docx, DocxNotes* notes) {
    const Package package(docx);
    Converter converter(package);
    QString rtf = converter.run();
    if (notes)
        *notes = converter.notes();
    return rtf;
}

} // namespace tavrin
