#pragma once

#include <QString>

namespace tavrin {

inline const QString kAppTitle = QStringLiteral("Tavrin");
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 90;
// Caption of the main window and of the numbered notices.
inline const QString kMainCaption = QStringLiteral("Moxaly");

// The eight names the other windows split on "|".
QString LoadBookConfig();

} // namespace tavrin
