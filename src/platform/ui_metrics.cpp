#include "platform/ui_metrics.h"

#include <QStringList>

namespace tavrin {

QFont persianFont(qreal pointSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Vazirmatn"),
                      QStringLiteral("Noto Sans Arabic"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace tavrin
