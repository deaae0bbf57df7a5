#pragma once

#include <QList>
#include <QRgb>
#include <QString>
#include <QStringView>

class QXmlStreamReader;

namespace tavrin::docx {

// How a run of a Word paragraph is shown, as far as the lesson box keeps it.
struct RunFormat {
    bool bold = false, italic = false, underline = false, rtl = false, hidden = false;
    int colour = 0; // index in the colour table, 0 = automatic
};

// The colours the runs use, each given its place in the RTF colour table as first met.
class RunColours {
public:
    // "RRGGBB" to its place from 1; 0 (automatic) for anything else.
    int indexOf(QStringView hex);
    // The table's entries after its automatic one: "\red…\green…\blue…;" each.
    QString table() const;

private:
    QList<QRgb> colours_;
};

// A run's properties (w:rPr, the reader on it) read into f, to the element's end.
void readRunProperties(QXmlStreamReader& xml, RunFormat& f, RunColours& colours);

// A run's text as RTF in its format, a group of its own.
void appendRunRtf(const RunFormat& f, const QString& text, QString& out);

} // namespace tavrin::docx
