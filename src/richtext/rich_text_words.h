#pragma once

#include <QtGlobal>
#include <string_view>

namespace tavrin::rtf {

// The RTF control words the reader acts on, each with what it does; every other word is
// Unknown and passed by.
enum class Word : quint8 {
    Unknown,
    // document
    Rtf,
    Ansicpg,
    Deff,
    Uc,
    U,
    Bin,
    // destinations
    Fonttbl,
    Colortbl,
    Pict,
    Shppict,
    Upr,
    Ud,
    SkipDest,
    TextDest,
    ListText, // \pntext, \listtext: the label a list paragraph starts with
    Pn,       // the paragraph numbering group
    PnStyle,  // \pnlvlblt, \pndec ... inside it
    Ls,
    Ilvl,
    // tables
    F,
    Fcharset,
    Cpg,
    Red,
    Green,
    Blue,
    // breaks and characters
    Par,
    Line,
    Tab,
    Cell,
    Symbol,
    // paragraph
    Pard,
    Rtlpar,
    Ltrpar,
    Ql,
    Qr,
    Qc,
    Qj,
    // character
    Plain,
    B,
    I,
    Ul,
    Ulnone,
    Strike,
    Fs,
    Cf,
    Cb,
    Super,
    Sub,
    Nosupersub,
    V,
    // picture
    Pngblip,
    Jpegblip,
    Dibitmap,
    Wbitmap,
    Wmetafile,
    Emfblip,
    Macpict,
    Pmmetafile,
    Picw,
    Pich,
    Picwgoal,
    Pichgoal,
    Picscalex,
    Picscaley,
    Wbmbitspixel,
    Wbmplanes,
    Wbmwidthbytes,
};

struct WordEntry {
    std::string_view name;
    Word word;
    char16_t symbol = 0; // the character a Symbol word stands for
};

// The entry of a control word's name; Unknown's for a word the reader does not act on.
const WordEntry& lookup(std::string_view name);

} // namespace tavrin::rtf
