#include "paper/paper_memory.h"

#include "platform/safe_save.h"
#include "platform/text_file.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavrin {

namespace {
QString memoryFile(const QString& projectPath) {
    return QDir(projectPath).filePath(QStringLiteral("paper.json"));
}
} // namespace

RememberedPaper rememberedPaper(const QString& projectPath, const PaperChoices& first,
                                const QString& folder) {
    RememberedPaper r{first, folder};
    const QJsonObject o =
        QJsonDocument::fromJson(readKeptFile(memoryFile(projectPath), 1 << 16)).object();
    const auto text = [&](const char* key, QString& into) {
        if (o.value(QLatin1String(key)).isString())
            into = o.value(QLatin1String(key)).toString().left(kLongestPaperHeader);
    };
    const auto number = [&](const char* key, int& into, int least, int most) {
        const int n = o.value(QLatin1String(key)).toInt(0);
        if (n >= least && n <= most)
            into = n;
    };
    text("school", r.choices.school);
    text("class", r.choices.className);
    text("teacher", r.choices.teacher);
    number("versions", r.choices.versions, 1, 4);
    number("columns", r.choices.columns, 1, 2);
    number("fontSize", r.choices.fontSize, kLeastPaperFont, kMostPaperFont);
    number("minutes", r.choices.minutes, 1, 999);
    if (o.value(QStringLiteral("shuffleAnswers")).isBool())
        r.choices.shuffleAnswers = o.value(QStringLiteral("shuffleAnswers")).toBool();
    text("folder", r.folder);
    return r;
}

void rememberPaper(const QString& projectPath, const PaperChoices& chosen, const QString& folder) {
    const QJsonObject o{{QStringLiteral("school"), chosen.school},
                        {QStringLiteral("class"), chosen.className},
                        {QStringLiteral("teacher"), chosen.teacher},
                        {QStringLiteral("versions"), chosen.versions},
                        {QStringLiteral("columns"), chosen.columns},
                        {QStringLiteral("fontSize"), chosen.fontSize},
                        {QStringLiteral("minutes"), chosen.minutes},
                        {QStringLiteral("shuffleAnswers"), chosen.shuffleAnswers},
                        {QStringLiteral("folder"), folder}};
    saveWholeFile(memoryFile(projectPath), QJsonDocument(o).toJson(QJsonDocument::Indented));
}

} // namespace tavrin
