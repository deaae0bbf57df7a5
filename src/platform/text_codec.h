#pragma once

#include <QByteArray>
#include <QString>

namespace tavrin {

// The ANSI code page of the data files is Windows-1256 on every system.
bool ansiCodecAvailable();
QString decodeAnsi(const QByteArray& bytes);
// Characters that 1256 cannot hold become their nearest letter there (Persian yeh as the
// Arabic one), or "?" where it has none (one per code point).
QByteArray encodeAnsi(const QString& text);

// UTF-16 little-endian with the byte-order mark FF FE.
QByteArray encodeUtf16Le(const QString& text);
// Skips a leading FF FE; a trailing odd byte is dropped.
QString decodeUtf16Le(const QByteArray& bytes);

// The text with every unpaired surrogate (invalid UTF-16, which regular expressions and
// JSON refuse) replaced by U+FFFD.
QString withoutLoneSurrogates(QString text);

// The text with every character XML 1.0 forbids left out (control characters but tab, line
// feed and carriage return; U+FFFE, U+FFFF; unpaired surrogates): an author's vertical tab
// would make a whole file unreadable to an XML reader.
QString xmlSafe(const QString& text);

} // namespace tavrin
