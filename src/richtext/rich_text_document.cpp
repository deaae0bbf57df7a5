#include "richtext/rich_text_document.h"

#include "richtext/rich_text_picture.h"
#include "richtext/rich_text_reader.h"

#include <QTextCursor>
#include <QTextDocument>

namespace tavrin {

namespace {

Qt::Alignment alignmentOf(RtfAlign align) {
    switch (align) {
    case RtfAlign::Left:
        return Qt::AlignLeft | Qt::AlignAbsolute;
    case RtfAlign::Right:
        return Qt::AlignRight | Qt::AlignAbsolute;
    case RtfAlign::Center:
        return Qt::AlignHCenter;
    case RtfAlign::Justify:
        return Qt::AlignJustify;
    case RtfAlign::None:
        break;
    }
    return {};
}

class DocumentSink final : public RtfSink {
public:
    DocumentSink(QTextCursor& cursor, const RtfTables& tables, bool wholeDocument)
        : cursor_(cursor), tables_(tables), whole_(wholeDocument), atEnd_(cursor.atEnd()),
          originalBlock_(cursor.blockFormat()) {}

    void text(const QString& run, const RtfCharFormat& format) override {
        cursor_.insertText(run, charFormat(format));
    }

    void paragraphEnd(const RtfParaFormat& format) override {
        applyBlockFormat(format);
        cursor_.insertBlock();
        broke_ = true;
    }

    void picture(const RtfPicture& picture, const RtfCharFormat& format) override {
        QTextImageFormat image = pictureFormat(cursor_.document(), picture);
        image.merge(charFormat(format));
        cursor_.insertImage(image);
    }

    void finish(const RtfParaFormat& lastParagraph) override {
        // Inline RTF leaves its paragraph alone. Paragraphs inserted before existing text
        // give that text its own format back; at the end of the document nothing follows,
        // so the RTF's last paragraph keeps the RTF's format.
        if (whole_ || (broke_ && atEnd_))
            applyBlockFormat(lastParagraph);
        else if (broke_)
            cursor_.setBlockFormat(originalBlock_);
    }

private:
    QTextCursor& cursor_;
    const RtfTables& tables_;
    bool whole_;
    bool atEnd_;
    bool broke_ = false;
    QTextBlockFormat originalBlock_;
    RtfCharFormat lastKey_;
    QTextCharFormat last_;
    bool haveLast_ = false;

    const QTextCharFormat& charFormat(const RtfCharFormat& f) {
        if (haveLast_ && lastKey_ == f)
            return last_;
        QTextCharFormat c;
        if (f.font >= 0 && f.font != tables_.defaultFont) {
            const QString name = tables_.fonts.value(f.font).name;
            if (!name.isEmpty())
                c.setFontFamilies({name});
        }
        if (f.halfPoints > 0)
            c.setFontPointSize(f.halfPoints / 2.0);
        if (f.bold)
            c.setFontWeight(QFont::Bold);
        if (f.italic)
            c.setFontItalic(true);
        if (f.underline)
            c.setFontUnderline(true);
        if (f.strike)
            c.setFontStrikeOut(true);
        if (f.vertical == RtfVertical::Super)
            c.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (f.vertical == RtfVertical::Sub)
            c.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        if (f.color > 0 && f.color < tables_.colors.size() && tables_.colors[f.color].isValid())
            c.setForeground(tables_.colors[f.color]);
        if (f.background > 0 && f.background < tables_.colors.size() &&
            tables_.colors[f.background].isValid())
            c.setBackground(tables_.colors[f.background]);
        lastKey_ = f;
        last_ = c;
        haveLast_ = true;
        return last_;
    }

    void applyBlockFormat(const RtfParaFormat& f) {
        QTextBlockFormat block = cursor_.blockFormat();
        if (f.align == RtfAlign::None)
            block.clearProperty(QTextFormat::BlockAlignment);
        else
            block.setAlignment(alignmentOf(f.align));
        if (f.direction == RtfDirection::None)
            block.clearProperty(QTextFormat::LayoutDirection);
        else
            block.setLayoutDirection(f.direction == RtfDirection::RightToLeft ? Qt::RightToLeft
                                                                              : Qt::LeftToRight);
        cursor_.setBlockFormat(block);
    }
};

void read(QTextCursor& cursor, QStringView rtf, bool rawBytes, bool whole) {
    RtfTables tables;
    DocumentSink sink(cursor, tables, whole);
    readRtf(rtf, rawBytes, sink, tables);
}

} // namespace

void setDocumentRtf(QTextDocument* document, QStringView rtf, bool rawBytes) {
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setCharFormat(QTextCharFormat());
    read(cursor, rtf, rawBytes, true);
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
}

void insertRtf(QTextCursor& cursor, QStringView rtf, bool rawBytes) {
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    read(cursor, rtf, rawBytes, false);
    cursor.endEditBlock();
}

} // namespace tavrin
