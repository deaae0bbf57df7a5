#include "app/identity.h"

#include <QStringList>

namespace tavrin {

QString LoadBookConfig() {
    return QStringList{QStringLiteral("BookTXT"),
                       QStringLiteral("_xml"),
                       QStringLiteral("BookTitle.xml"),
                       QStringLiteral("pgTitle"),
                       QStringLiteral("pgMain"),
                       QStringLiteral("pgMain"),
                       QStringLiteral("<aBook0>Designed by: Orvanta</aBook0>"),
                       QStringLiteral("htm")}
        .join(QLatin1Char('|'));
}

} // namespace tavrin
