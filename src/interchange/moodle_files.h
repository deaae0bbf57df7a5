#pragma once

#include <QRegularExpression>
#include <QString>
#include <QUrl>

namespace tavrin::moodle {

// How a question's text names one of its files.
inline const QString kPluginFile = QStringLiteral("@@PLUGINFILE@@/");

inline QString fileUrl(const QString& name) {
    return kPluginFile + QString::fromUtf8(QUrl::toPercentEncoding(name));
}

inline bool isPicture(const QString& name) {
    static const QRegularExpression picture(QStringLiteral("\\.(png|jpe?g|gif|bmp|webp|svg)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return picture.match(name).hasMatch();
}

} // namespace tavrin::moodle
