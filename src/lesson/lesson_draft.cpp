#include "lesson/lesson_draft.h"

#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/safe_save.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavrin {

namespace {

constexpr int kFormat = 1;

const QLatin1StringView kFields[] = {QLatin1StringView("soal"),  QLatin1StringView("javab"),
                                     QLatin1StringView("tozih"), QLatin1StringView("attach"),
                                     QLatin1StringView("sound"), QLatin1StringView("film"),
                                     QLatin1StringView("back"),  QLatin1StringView("cancelled")};

template <class Table> auto fieldsOf(Table& t) {
    return std::array{&t.SoalText,  &t.JavabRtf, &t.TozihRtf, &t.AttachPath,
                      &t.SoundPath, &t.FilmPath, &t.BackPath, &t.Cancelled};
}

[[noreturn]] void damaged(const QString& why) {
    throw FsError(QStringLiteral("Damaged draft (%1)").arg(why));
}

} // namespace

int Draft::questions() const {
    int n = 0;
    for (const QString& soal : table.SoalText) {
        if (soal.isEmpty())
            break;
        n += isGroupLine(soal) ? 0 : 1;
    }
    return n;
}

QByteArray draftBytes(const Draft& draft) {
    const EntryTable& t = draft.table;
    QJsonArray entries;
    for (int k = 0; k < EntryTable::kEntries && !t.SoalText[k].isEmpty(); ++k) {
        QJsonObject entry;
        const auto fields = fieldsOf(t);
        for (size_t f = 0; f < fields.size(); ++f) {
            if (!(*fields[f])[k].isEmpty())
                entry.insert(kFields[f], (*fields[f])[k]);
        }
        entries.append(entry);
    }
    QJsonObject images;
    for (int i = 0; i < EntryTable::kImages; ++i) {
        if (!t.ImagePaths[i].isEmpty())
            images.insert(QString::number(i), t.ImagePaths[i]);
    }
    const QJsonObject root{
        {QStringLiteral("format"), kFormat},
        {QStringLiteral("saved"), draft.saved.toString(Qt::ISODate)},
        {QStringLiteral("entries"), entries},
        {QStringLiteral("images"), images},
        {QStringLiteral("entryCount"), t.EntryCount},
        {QStringLiteral("openGroups"), t.OpenGroups},
        {QStringLiteral("groupTitle"), t.GroupTitle},
        {QStringLiteral("imageCounter"), t.ImageCounter},
        {QStringLiteral("questionOpen"), t.questionOpen},
        {QStringLiteral("outline"), QJsonArray::fromStringList(draft.outline)},
        {QStringLiteral("lessonFile"), draft.box.file},
        {QStringLiteral("lessonBox"), draft.box.text},
        {QStringLiteral("lessonRich"), draft.box.rich},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Draft draftFromBytes(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        damaged(QStringLiteral("at %1: %2").arg(error.offset).arg(error.errorString()));
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toInt() != kFormat)
        damaged(QStringLiteral("unknown format"));
    Draft draft;
    EntryTable& t = draft.table;
    const QJsonArray entries = root.value(QStringLiteral("entries")).toArray();
    if (entries.size() > EntryTable::kEntries)
        damaged(QStringLiteral("too many entries"));
    const auto fields = fieldsOf(t);
    for (qsizetype k = 0; k < entries.size(); ++k) {
        const QJsonObject entry = entries[k].toObject();
        for (size_t f = 0; f < fields.size(); ++f)
            (*fields[f])[k] = entry.value(kFields[f]).toString();
        if (t.SoalText[k].isEmpty())
            damaged(QStringLiteral("entry %1 without a question").arg(k));
    }
    const QJsonObject images = root.value(QStringLiteral("images")).toObject();
    for (auto it = images.begin(); it != images.end(); ++it) {
        bool ok = false;
        const int i = it.key().toInt(&ok);
        if (!ok || i < 0 || i >= EntryTable::kImages)
            damaged(QStringLiteral("image %1").arg(it.key()));
        t.ImagePaths[i] = it.value().toString();
    }
    t.EntryCount = root.value(QStringLiteral("entryCount")).toInt();
    t.OpenGroups = root.value(QStringLiteral("openGroups")).toInt();
    t.GroupTitle = root.value(QStringLiteral("groupTitle")).toString();
    t.ImageCounter = root.value(QStringLiteral("imageCounter")).toInt();
    t.questionOpen = root.value(QStringLiteral("questionOpen")).toBool();
    if (t.EntryCount < 0 || t.EntryCount > entries.size() || t.OpenGroups < 0 ||
        t.ImageCounter < 0 || t.ImageCounter > EntryTable::kImages ||
        (t.questionOpen && t.EntryCount >= entries.size()))
        damaged(QStringLiteral("counters"));
    for (const QJsonValue& line : root.value(QStringLiteral("outline")).toArray())
        draft.outline.append(line.toString());
    draft.saved =
        QDateTime::fromString(root.value(QStringLiteral("saved")).toString(), Qt::ISODate);
    draft.box = {root.value(QStringLiteral("lessonFile")).toString(),
                 root.value(QStringLiteral("lessonBox")).toString(),
                 root.value(QStringLiteral("lessonRich")).toBool()};
    return draft;
}

QString draftPath(const QString& projectPath, const QString& id) {
    return DoSlashStrict(projectPath) + folders::kXml + nativeSeparator() + folders::draftName(id);
}

void saveDraft(const QString& projectPath, const QString& id, const Draft& draft) {
    saveWholeFile(draftPath(projectPath, id), draftBytes(draft));
}

std::optional<Draft> readDraft(const QString& projectPath, const QString& id) {
    const QString path = draftPath(projectPath, id);
    if (!fileExists(path))
        return std::nullopt;
    try {
        return draftFromBytes(readWholeFile(path));
    } catch (const FsError& e) {
        throw FsError::at(e.description(), path);
    }
}

void removeDraftFile(const QString& projectPath, const QString& id) {
    QFile::remove(draftPath(projectPath, id));
}

void removeDraft(const QString& projectPath, const QString& id) {
    removeDraftFile(projectPath, id);
    // The imported questions' files went with the draft's entries, or were made.
    QDir pages(QDir(projectPath).filePath(folders::kBookTxt));
    for (const QString& name : pages.entryList({folders::importName(id, QStringLiteral("*"))},
                                               QDir::Files | QDir::Hidden))
        pages.remove(name);
}

void putDraftAside(const QString& projectPath, const QString& id) {
    const QString path = draftPath(projectPath, id);
    const QString aside = path + QStringLiteral(".damaged");
    QFile::remove(aside);
    if (!QFile::rename(path, aside))
        throw FsError::at(QStringLiteral("Permission denied"), path);
}

} // namespace tavrin
