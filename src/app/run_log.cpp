#include "app/run_log.h"

#include "app/context.h"
#include "app/identity.h"

namespace tavrin {

void logRunStart(Context& context) {
    const QString crlf = QStringLiteral("\r\n");
    context.log().LogMe(QStringLiteral("Closing last log.") + crlf + crlf +
                        QString(22, QLatin1Char('=')) + crlf);
    context.log().LogMe(QStringLiteral("%1 v%2.%3.%4 started.")
                            .arg(kAppTitle)
                            .arg(kVersionMajor)
                            .arg(kVersionMinor)
                            .arg(kVersionRevision));
}

void logRunEnd(Context& context) {
    context.log().LogMe(kMainCaption + QStringLiteral(" ended."));
}

} // namespace tavrin
