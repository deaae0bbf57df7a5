#pragma once

#include <QString>
#include <QStringList>

class QXmlStreamReader;

namespace tavrin::docx {

// A Word equation (m:oMath inline, m:oMathPara display) as TeX. What cannot be turned is kept
// in the TeX as a visible mark and named in `lost`, never dropped.
struct OmmlTex {
    QString tex; // without delimiters
    bool display = false;
    QStringList lost;
};

// The m:oMath or m:oMathPara element the reader stands on, read to its end. `depth` counts
// nesting against the document's bound (FsError when too deep).
OmmlTex ommlToTex(QXmlStreamReader& xml, int& depth);

// The same over the text of one element (an equation or a part of one), namespaces declared or not
// (tests, tools).
OmmlTex ommlToTex(const QString& element);

// The mark a part of an equation that could not be turned leaves.
inline constexpr char16_t kLostMark[] = u"\\boxed{?}";

} // namespace tavrin::docx
