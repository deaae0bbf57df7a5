#include "richtext/rich_text_document.h"

#include "richtext/rich_text_picture.h"
#include "richtext/rich_text_reader.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

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

QTextListFormat::Style listStyleOf(RtfList list) {
    switch (list) {
    case RtfList::Decimal:
        return QTextListFormat::ListDecimal;
    case RtfList::LowerAlpha:
        return QTextListFormat::ListLowerAlpha;
    case RtfList::UpperAlpha:
        return QTextListFormat::ListUpperAlpha;
    case RtfList::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case RtfList::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    case RtfList::Bullet:
    case RtfList::None:
        break;
    }
    return QTextListFormat::ListDisc;
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
        if (whole_ || (broke_ && atEnd_)) {
            // The empty paragraph after a list's last "\\par" is no list item.
            RtfParaFormat last = lastParagraph;
            if (cursor_.block().length() <= 1)
                last.list = RtfList::None;
            applyBlockFormat(last);
        } else if (broke_)
            cursor_.setBlockFormat(originalBlock_);
    }

private:
    QTextCursor& cursor_;
    const RtfTables& tables_;
    bool whole_;
    bool atEnd_;
    bool broke_ = false;
    QTextBlockFormat originalBlock_;
    // The list the last paragraph joined; a paragraph of the same kind joins it too.
    QTextList* list_ = nullptr;
    RtfParaFormat listKey_;
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
        applyList(f);
    }

    // A new block inherits the list of the one before; only list paragraphs keep one.
    void applyList(const RtfParaFormat& f) {
        QTextList* current = cursor_.currentList();
        if (f.list == RtfList::None) {
            if (current) {
                current->remove(cursor_.block());
                QTextBlockFormat plain = cursor_.blockFormat();
                plain.setIndent(0);
                cursor_.setBlockFormat(plain);
            }
            list_ = nullptr;
            return;
        }
        const bool same = list_ && listKey_.list == f.list && listKey_.listId == f.listId &&
                          listKey_.listLevel == f.listLevel;
        if (same) {
            if (current != list_) {
                if (current)
                    current->remove(cursor_.block());
                list_->add(cursor_.block());
            }
            return;
        }
        if (current)
            current->remove(cursor_.block());
        QTextListFormat format;
        format.setStyle(listStyleOf(f.list));
        format.setIndent(f.listLevel + 1);
        list_ = cursor_.createList(format);
        listKey_ = f;
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
