#pragma once

#include <QString>

namespace tavrin {

inline const QString kAppTitle = QStringLiteral("Tavrin");
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 90;
// Caption of the numbered notices as the code and the log know it.
inline const QString kMainCaption = QStringLiteral("Moxaly");
// What the author reads in its place: the main window's title, the task bar and the title of
// every box captioned kMainCaption (or not captioned at all).
inline const QString kShownCaption = QStringLiteral(u"تورین");

// The eight names the other windows split on "|".
QString LoadBookConfig();

} // namespace tavrin
