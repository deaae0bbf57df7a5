#pragma once

#include <QByteArray>

namespace tavrin {

// Whether an XML text declares entities in its DTD. The formats the tool reads never do, and
// one entity named many times grows a small file without bound: such a file is refused.
bool declaresEntities(const QByteArray& xml);

// Whether bytes are an XML text (a tag first, after a byte order mark and spaces), so that a
// part is checked by what it holds, not by its name.
bool looksLikeXml(const QByteArray& data);

// Elements deeper than this are refused by the readers of others' XML: no real file nests so,
// and each level costs the reader.
inline constexpr int kDeepestXml = 256;

} // namespace tavrin
