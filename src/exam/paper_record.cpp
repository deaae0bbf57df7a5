#include "exam/paper_record.h"

#include "exam/sheet_code.h"
#include "exam/sheet_scoring.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/persian_text.h"
#include "platform/text_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace tavrin {

namespace {

QString digestOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FsError::at(file.errorString(), path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        throw FsError::at(file.errorString(), path);
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace

QJsonObject printedFiles(const QString& folder, const QStringList& names) {
    QJsonObject files;
    for (const QString& name : names)
        files.insert(name, digestOf(folder + u'/' + name));
    return files;
}

QStringList recordedFiles(const QString& examFolder) {
    QJsonObject record;
    try {
        record = QJsonDocument::fromJson(readInputFile(QDir::fromNativeSeparators(examFolder) +
                                                           QStringLiteral("/exam.json"),
                                                       kLargestExamRecord))
                     .object();
    } catch (const FsError&) {
        return {}; // no record that reads: nothing of an earlier printing to remove
    }
    QStringList names = record.value(QStringLiteral("files")).toObject().keys();
    if (names.isEmpty()) // a record printed before files were named: its versions' files
        for (qsizetype v = 1; v <= record.value(QStringLiteral("versions")).toArray().size(); ++v)
            names << QStringLiteral("booklet-%1.pdf").arg(v)
                  << QStringLiteral("sheet-%1.pdf").arg(v);
    names.removeIf([](const QString& n) { return n.contains(u'/') || n.contains(u'\\'); });
    return names;
}

QByteArray checkedExamRecord(const QString& examFolder) {
    const QString folder = QDir::fromNativeSeparators(examFolder);
    const QString path = folder + QStringLiteral("/exam.json");
    if (!fileExists(path))
        throw FsError::at(QStringLiteral("No exam record (exam.json) in the exam's folder"), path);
    // A regular file of a stated size: a link to a device or a pipe is no record.
    const QByteArray record = readInputFile(path, kLargestExamRecord);
    const QJsonObject whole = QJsonDocument::fromJson(record).object();
    // The digest its sheets' QR codes carry: a record changed since would score them wrong.
    if (const QString digest = whole.value(QStringLiteral("digest")).toString();
        whole.contains(QStringLiteral("digest")) && digest != examDigest(whole))
        throw BadSheet(
            0,
            QStringLiteral("%1 was changed after it was printed (its digest is not "
                           "its sheets'); print the exam again")
                .arg(QDir::toNativeSeparators(path)),
            QStringLiteral(u"%1 پس از چاپ تغییر کرده است (چکیدهٔ آن با "
                           u"پاسخ‌برگ‌ها "
                           u"نمی‌خواند)؛ آزمون را دوباره چاپ کنید.")
                .arg(leftToRight(QDir::toNativeSeparators(path))));
    const QJsonObject files = whole.value(QStringLiteral("files")).toObject();
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString file = folder + u'/' + it.key();
        if (it.key().contains(u'/') || !fileExists(file))
            throw BadSheet(
                0,
                QStringLiteral("exam.json names %1, which is not in %2: the exam "
                               "is not whole; print it again")
                    .arg(it.key(), QDir::toNativeSeparators(folder)),
                QStringLiteral(
                    u"exam.json پروندهٔ %1 را نام می‌برد که در %2 نیست: "
                    u"آزمون کامل نیست؛ دوباره چاپش کنید.")
                    .arg(leftToRight(it.key()), leftToRight(QDir::toNativeSeparators(folder))));
        if (digestOf(file) != it.value().toString())
            throw BadSheet(0,
                           QStringLiteral("%1 is not the one exam.json was printed with: "
                                          "the folder mixes two printings; print it again")
                               .arg(QDir::toNativeSeparators(file)),
                           QStringLiteral(u"%1 همانی نیست که exam.json با آن چاپ شد: پوشه "
                                          u"دو چاپ را با هم دارد؛ دوباره چاپش کنید.")
                               .arg(leftToRight(QDir::toNativeSeparators(file))));
    }
    return record;
}

} // namespace tavrin
