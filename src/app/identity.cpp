#include "app/identity.h"

#include "platform/project_folders.h"

#include <QStringList>

namespace tavrin {

QString LoadBookConfig() {
    return QStringList{folders::kBookTxt,
                       folders::kXml,
                       QStringLiteral("BookTitle.xml"),
                       QStringLiteral("pgTitle"),
                       QStringLiteral("pgMain"),
                       QStringLiteral("pgMain"),
                       QStringLiteral("<aBook0>Designed by: Orvanta</aBook0>"),
                       QStringLiteral("htm")}
        .join(QLatin1Char('|'));
}

} // namespace tavrin
