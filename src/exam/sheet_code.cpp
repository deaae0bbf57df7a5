#include "exam/sheet_code.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <QUrl>

namespace tavrin {

namespace {

const QString kPrefix = QStringLiteral("tavrin-paper");
const QString kForm = QStringLiteral("2");

QString encoded(const QString& text) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString decoded(const QString& text) {
    return QUrl::fromPercentEncoding(text.toLatin1());
}

} // namespace

QString encodeSheetCode(const SheetCode& code) {
    return QStringList{kPrefix,
                       kForm,
                       QString::number(code.version),
                       QString::number(code.seed),
                       QString::number(code.page),
                       code.digest,
                       encoded(code.number),
                       encoded(code.name),
                       encoded(code.project)}
        .join(u'|');
}

std::optional<SheetCode> decodeSheetCode(const QString& text) {
    const QStringList parts = text.split(u'|');
    if (parts.size() != 9 || parts[0] != kPrefix || parts[1] != kForm)
        return std::nullopt;
    for (const QString& part : parts)
        for (const QChar c : part)
            if (c.unicode() < 0x21 || c.unicode() > 0x7e)
                return std::nullopt; // the code is ASCII: anything else was misread
    SheetCode code;
    bool ok[3] = {};
    code.version = parts[2].toInt(&ok[0]);
    code.seed = parts[3].toUInt(&ok[1]);
    code.page = parts[4].toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || code.version < 1 || code.page < 1 || parts[5].isEmpty())
        return std::nullopt;
    code.digest = parts[5];
    code.number = decoded(parts[6]);
    code.name = decoded(parts[7]);
    code.project = decoded(parts[8]);
    return code;
}

QString examDigest(const QJsonObject& record) {
    QJsonArray versions;
    for (const QJsonValue& v : record.value(QStringLiteral("versions")).toArray()) {
        const QJsonObject version = v.toObject();
        versions.append(
            QJsonObject{{QStringLiteral("version"), version[QStringLiteral("version")]},
                        {QStringLiteral("questions"), version[QStringLiteral("questions")]}});
    }
    const QJsonObject drawn{{QStringLiteral("project"), record[QStringLiteral("project")]},
                            {QStringLiteral("seed"), record[QStringLiteral("seed")]},
                            {QStringLiteral("versions"), versions}};
    // Compact JSON orders an object's keys: one text for one draw.
    const QByteArray hash = QCryptographicHash::hash(
        QJsonDocument(drawn).toJson(QJsonDocument::Compact), QCryptographicHash::Sha256);
    return QString::fromLatin1(hash.toHex().left(16));
}

} // namespace tavrin
