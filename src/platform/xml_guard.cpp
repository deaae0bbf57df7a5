#include "platform/xml_guard.h"

#include <QXmlStreamReader>

namespace tavrin {

bool declaresEntities(const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            if (!reader.entityDeclarations().isEmpty())
                return true;
            break;
        case QXmlStreamReader::StartElement:
        case QXmlStreamReader::Invalid:
            return false; // a DTD comes before the first element
        default:
            break;
        }
    }
    return false;
}

bool looksLikeXml(const QByteArray& data) {
    qsizetype i = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < data.size() &&
           (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    // UTF-16 XML begins with a byte order mark or a zero byte beside the '<'.
    return (i < data.size() && data[i] == '<') || data.startsWith("\xFF\xFE") ||
           data.startsWith("\xFE\xFF");
}

} // namespace tavrin
