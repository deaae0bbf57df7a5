#pragma once

// The RTF reader's own insides, shared by its files: the state a group keeps and the
// reader that walks the text. Nothing outside richtext/ includes this.
#include "richtext/rich_text_codepage.h"
#include "richtext/rich_text_reader.h"
#include "richtext/rich_text_words.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <vector>

namespace tavrin::rtf {

enum class Dest : quint8 { Text, Skip, FontTable, ColorTable, Pict, ListLabel, PnGroup };

struct State {
    RtfCharFormat chr;
    RtfParaFormat para;
    Dest dest = Dest::Text;
    Dest beforeUpr = Dest::Text;
    bool hidden = false;
    int uc = 1;
};

class Reader {
public:
    Reader(QStringView in, bool raw, RtfSink& sink, RtfTables& tables)
        : p_(in.data()), end_(in.data() + in.size()), raw_(raw), sink_(sink), tables_(tables) {}

    void run();

private:
    // input
    const QChar* p_;
    const QChar* end_;
    bool raw_;
    RtfSink& sink_;
    RtfTables& tables_;

    std::vector<State> stack_;
    std::size_t overflow_ = 0;
    State overflowBase_; // the state at the cap, restored as those groups close
    bool rootClosed_ = false;
    State st_;
    int docCodePage_ = 1252;
    CodePages codePages_;

    QString run_;
    RtfCharFormat runFormat_;
    QByteArray pendingBytes_;
    int pendingCodePage_ = 0;
    int skip_ = 0;
    bool starNext_ = false;
    const QChar* openedAt_ = nullptr; // just after the last "{"; "\*" counts only there

    int fontNumber_ = -1;
    int fontCodePage_ = 0;
    QByteArray fontName_;  // bytes not yet decoded
    QString fontNameText_; // what is decoded so far
    int red_ = -1, green_ = -1, blue_ = -1;

    QString listLabel_;               // the label of the paragraph being read
    RtfList pnStyle_ = RtfList::None; // what the open numbering group asks for

    RtfPicture pict_;
    std::size_t pictDepth_ = 0;
    int nibble_ = -1;

    bool inText() const { return st_.dest == Dest::Text && !st_.hidden; }
    int currentCodePage() const;

    void openGroup();
    void closeGroup();
    void controlWord();
    void controlSymbol(QChar c);
    void apply(Word w, bool hasParam, int param);
    void plainChars();
    void pictChars();

    void addByte(uchar b);
    void addChar(QChar c);
    void appendText(QStringView text);
    void flushBytes();
    void flushRun();
    void paragraph();
    RtfParaFormat paragraphFormat();
    void readBin(int count);

    void decodeFontName();
    void commitFont();
    void commitColor();
    void startPicture();
    void finishPicture();
};

// The list a paragraph belongs to, read off its label when nothing else says.
RtfList listOfLabel(const QString& label);

} // namespace tavrin::rtf
