#pragma once

#include "richtext/rich_text_format.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace tavrin {

// Text is taken as RTF when it opens a group with a control word ("{\rtf1..." or a fragment
// such as "{\pict...}"), leading white space aside; anything else is plain text.
bool looksLikeRtf(QStringView text);
bool looksLikeRtf(const QByteArray& bytes);

// Reads RTF into the sink. The reader never fails: malformed input gives what could be read.
// With rawBytes the text holds the file's bytes one per QChar (Latin-1), and bytes of 0x80 and
// above are decoded through the current font's code page, as RichEdit writes them; otherwise
// characters above ASCII are taken as the letters they are.
void readRtf(QStringView text, bool rawBytes, RtfSink& sink, RtfTables& tables);
void readRtfBytes(const QByteArray& bytes, RtfSink& sink, RtfTables& tables);
// A file's bytes as the raw-byte text readRtf takes: one QChar per byte, a UTF-8 mark dropped.
QString rtfTextFromBytes(const QByteArray& bytes);

} // namespace tavrin
