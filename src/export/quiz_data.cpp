#include "export/quiz_data.h"

#include "app/message_numbers.h"
#include "app/messages.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/safe_save.h"
#include "platform/text_codec.h"
#include "store/fields.h"
#include "store/own_labels.h"
#include "store/quiz_file.h"
#include "store/store_common.h"
#include "store/tag_text.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace tavrin {

namespace {

// A file of the Data folder by its path there, as the player names it: "Data/...".
QJsonValue fileOrNull(const QString& data, const QString& relative) {
    return fileExists(data + u'/' + relative) ? QJsonValue(QStringLiteral("Data/") + relative)
                                              : QJsonValue();
}

// A copy a quiz file names: a plain name in Data/BookTXT; one that would lead the player
// out of the CD is a failure of the export.
QJsonValue copyOrNull(const QString& folder, const QString& name, int n) {
    if (!isPlainFileName(name))
        throw FsError(
            QStringLiteral("Question %1 names a file outside the CD: %2").arg(n).arg(name));
    return fileOrNull(folder, QStringLiteral("BookTXT/") + name);
}

QJsonObject question(Context& context, const QuizBlock& read, const QString& folder) {
    const int n = read.number;
    const QString& block = read.body;
    if (!read.closed)
        reportFailure(context, kFailReadBlock,
                      QStringLiteral("Closing tag </question%1> not found").arg(n));
    QuizQuestion own = blockQuestion(read);
    // The player numbers the questions and letters the answers (shuffled in an exam): the
    // author's own are taken off, and named for the check before the disc.
    const OwnLabels taken = takeOwnLabels(own.text, own.answers);
    QJsonObject q;
    q[QStringLiteral("n")] = n;
    if (block.contains(QStringLiteral("\t\t<question No='%1'>").arg(n)))
        q[QStringLiteral("text")] = own.text;
    q[QStringLiteral("answers")] = QJsonArray::fromStringList(own.answers);
    if (taken.any())
        q[QStringLiteral("ownLabels")] = ownLabelsText(taken);
    q[QStringLiteral("correct")] = own.marked;
    bool unmarked = false;
    quizLine(block, kUnmarkedTag, &unmarked);
    if (unmarked)
        q[QStringLiteral("unmarked")] = true;
    if (own.cancelled)
        q[QStringLiteral("cancelled")] = true;
    q[QStringLiteral("explanation")] = own.explanation;
    QJsonObject images;
    static const QRegularExpression image(QStringLiteral("\t\t<img(\\d+)>"));
    auto it = image.globalMatch(block);
    while (it.hasNext()) {
        const QString number = it.next().captured(1);
        const QString name = quizLine(block, QStringLiteral("img") + number);
        images[number] = copyOrNull(folder, name, n);
    }
    q[QStringLiteral("images")] = images;
    for (const char* kind : {"attach", "sound", "film", "back"}) {
        bool found = false;
        const QString name = quizLine(block, QLatin1String(kind), &found);
        q[QLatin1String(kind)] = found ? copyOrNull(folder, name, n) : QJsonValue();
    }
    return q;
}

} // namespace

PlayerScoring playerScoring(Context& context, const QString& projectText) {
    PlayerScoring scoring;
    scoring.settings = scoringSettings(readSettings(context, projectText));
    scoring.fieldTitles = projectFieldTitles(context, projectText);
    return scoring;
}

QString scriptJson(const QJsonObject& object) {
    QString json = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    json.replace(u'<', QStringLiteral("\\u003c"));
    json.replace(u'>', QStringLiteral("\\u003e"));
    json.replace(QChar(0x2028), QStringLiteral("\\u2028"));
    json.replace(QChar(0x2029), QStringLiteral("\\u2029"));
    return json;
}

QString quizDataScript(Context& context, const QString& dataFolder,
                       const QList<LessonRef>& projectLessons, const ExamSettings& exam,
                       const std::optional<int>& passMark, const QString& projectTitle,
                       const PlayerScoring& scoring) {
    const ScoringSettings& rule = scoring.settings;
    const QString folder = QDir::fromNativeSeparators(dataFolder);
    const QString xml = folder + QStringLiteral("/_xml/");
    QJsonArray lessons;
    QJsonArray leftOut; // lessons without a quiz file, for the check to name
    // The home page groups the lessons under their fields when there is more than one.
    const bool grouped = scoring.fieldTitles.size() > 1;
    for (const LessonRef& ref : projectLessons) {
        const QString id = ref.id();
        const QString quizPath = xml + QStringLiteral("quiz") + id + QStringLiteral(".xml");
        if (!fileExists(quizPath)) {
            leftOut.append(withoutLoneSurrogates(ref.title));
            continue;
        }
        // Invalid UTF-16 would make the expressions below match nothing: the lesson is kept.
        const QString quiz = withoutLoneSurrogates(store::readIfThere(quizPath));
        QJsonObject lesson;
        lesson[QStringLiteral("id")] = id;
        lesson[QStringLiteral("title")] = withoutLoneSurrogates(ref.title);
        if (rule.given)
            lesson[QStringLiteral("field")] = ref.field;
        if (grouped)
            lesson[QStringLiteral("fieldTitle")] =
                withoutLoneSurrogates(scoring.fieldTitles.value(ref.field));
        QJsonArray questions;
        for (const QuizBlock& block : quizBlocks(quiz))
            questions.append(question(context, block, folder));
        lesson[QStringLiteral("questions")] = questions;
        lessons.append(lesson);
    }
    const QString settingsText =
        store::readIfThere(folder + QStringLiteral("/BookTXT/CDProperty.xml"));
    QJsonObject settings;
    settings[QStringLiteral("template")] =
        Wsre(context, settingsText, QStringLiteral("Olgoo")) == QLatin1String("2") ? 2 : 1;
    settings[QStringLiteral("music")] =
        Wsre(context, settingsText, QStringLiteral("Music")) == QLatin1String("1");
    settings[QStringLiteral("print")] =
        Wsre(context, settingsText, QStringLiteral("Print")) == QLatin1String("1");
    settings[QStringLiteral("exam")] = QJsonObject{{QStringLiteral("on"), exam.on},
                                                   {QStringLiteral("minutes"), exam.minutes},
                                                   {QStringLiteral("count"), exam.count}};
    if (!projectTitle.isEmpty())
        settings[QStringLiteral("title")] = withoutLoneSurrogates(projectTitle);
    if (passMark)
        settings[QStringLiteral("lms")] = QJsonObject{{QStringLiteral("passMark"), *passMark}};
    if (rule.given) {
        QJsonObject weights;
        for (auto it = rule.weights.begin(); it != rule.weights.end(); ++it)
            weights[QString::number(it.key())] = it.value();
        settings[QStringLiteral("scoring")] = QJsonObject{
            {QStringLiteral("penalty"), QJsonArray{rule.penalty.taken, rule.penalty.per}},
            {QStringLiteral("weights"), weights},
            {QStringLiteral("passMark"), rule.passMark},
            {QStringLiteral("passMarkSet"), rule.passMarkSet}};
        QJsonObject budget;
        for (auto it = rule.budget.begin(); it != rule.budget.end(); ++it)
            budget[it.key()] = it.value();
        settings[QStringLiteral("fullExam")] =
            QJsonObject{{QStringLiteral("on"), rule.fullExam},
                        {QStringLiteral("title"), withoutLoneSurrogates(rule.fullExamTitle)},
                        {QStringLiteral("minutes"), rule.fullExamMinutes},
                        {QStringLiteral("budget"), budget}};
    }
    QJsonObject media;
    media[QStringLiteral("back")] = fileOrNull(folder, QStringLiteral("FlashIMG/Back.jpg"));
    QJsonArray music;
    for (const char* name : {"FlashIMG/Sound1.mp3", "FlashIMG/Sound2.mp3"}) {
        const QJsonValue file = fileOrNull(folder, QLatin1String(name));
        if (!file.isNull())
            music.append(file);
    }
    media[QStringLiteral("music")] = music;
    QJsonObject data;
    data[QStringLiteral("lessons")] = lessons;
    if (!leftOut.isEmpty())
        data[QStringLiteral("leftOut")] = leftOut;
    if (rule.given) {
        QJsonArray fields;
        for (const QString& title : scoring.fieldTitles)
            fields.append(withoutLoneSurrogates(title));
        data[QStringLiteral("fields")] = fields;
    }
    data[QStringLiteral("settings")] = settings;
    data[QStringLiteral("media")] = media;
    const QString json = scriptJson(data);
    return QStringLiteral("// Made by Tavrin's export: the lessons, quizzes and settings of this "
                          "CD.\nconst TAVRIN_DATA = ") +
           json + QStringLiteral(";\n");
}

QByteArray quizDataFor(Context& context, const QString& dataFolder, const QString& projectPath) {
    const QString project = store::readIfThere(store::projectFilePath(projectPath));
    const QList<LessonRef> lessons = projectLessons(context, project);
    const ExamSettings exam = examSettings(readSettings(context, project));
    const QString title = Wste(context, project, QStringLiteral("Proj"), QStringLiteral("Name"));
    return quizDataScript(context, dataFolder, lessons, exam, std::nullopt, title,
                          playerScoring(context, project))
        .toUtf8();
}

void writeQuizData(Context& context, const QString& exportFolder, const QString& projectPath) {
    const QString data = QDir::fromNativeSeparators(exportFolder) + QStringLiteral("/Data");
    if (!folderExists(data))
        return;
    saveWholeFile(data + QStringLiteral("/quizdata.js"), quizDataFor(context, data, projectPath));
}

QString exportTitle(const QString& exportFolder) {
    QFile file(QDir(exportFolder).filePath(QStringLiteral("Data/quizdata.js")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray script = file.read(64 << 20);
    const qsizetype from = script.indexOf('=');
    const qsizetype to = script.lastIndexOf(';');
    if (from < 0 || to <= from)
        return {};
    const QJsonDocument json = QJsonDocument::fromJson(script.mid(from + 1, to - from - 1));
    return json.object()
        .value(QStringLiteral("settings"))
        .toObject()
        .value(QStringLiteral("title"))
        .toString();
}

} // namespace tavrin
