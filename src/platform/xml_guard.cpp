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

} // namespace tavrin
