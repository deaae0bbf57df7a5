#include "export/question_export.h"

#include "app/context.h"
#include "exam/scoring_settings.h"
#include "export/scorm_package.h"
#include "interchange/gift_format.h"
#include "interchange/moodle_xml.h"
#include "platform/safe_save.h"
#include "platform/text_file.h"
#include "store/fields.h"
#include "store/project_settings.h"
#include "store/store_common.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cstring>
#include <stdexcept>

namespace tavrin {

namespace {
const char* const kSuffixes[] = {".gift", ".xml", ".zip"};
} // namespace

QString questionsSuffix(QuestionFormat format) {
    return QLatin1String(kSuffixes[int(format)]);
}

QString withQuestionsSuffix(QString path, QuestionFormat format) {
    for (const char* suffix : kSuffixes) {
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            path.chop(qsizetype(std::strlen(suffix)));
    }
    return path + questionsSuffix(format);
}

QuestionsOut defaultQuestionsOut(const QString& projectPath, TravelScope chosen,
                                 const QString& exportFolder, const QString& projectName) {
    QuestionsOut out;
    out.projectPath = projectPath;
    out.scope = {chosen.lesson >= 0 || chosen.field >= 0 ? chosen.field : -1,
                 chosen.lesson >= 0 ? chosen.lesson : -1};
    const QString folder =
        QDir(QFileInfo(exportFolder).isDir() ? exportFolder : projectPath).absolutePath();
    QString name = projectName.isEmpty() ? QStringLiteral("questions") : projectName;
    static const QRegularExpression refused(QStringLiteral("[\\\\/:*?\"<>|]"));
    name.replace(refused, QStringLiteral("-"));
    out.out = QDir(folder).filePath(name + questionsSuffix(out.format));
    return out;
}

namespace {
QString questionsMemory(const QString& projectPath) {
    return QDir(projectPath).filePath(QStringLiteral("questions.json"));
}
} // namespace

QuestionsOut rememberedQuestionsOut(const QString& projectPath, QuestionsOut first,
                                    TravelScope selected) {
    const QJsonObject o =
        QJsonDocument::fromJson(readKeptFile(questionsMemory(projectPath), 1 << 16)).object();
    const int format = o.value(QStringLiteral("format")).toInt(-1);
    if (format >= int(QuestionFormat::Gift) && format <= int(QuestionFormat::Scorm)) {
        first.format = QuestionFormat(format);
        first.out = withQuestionsSuffix(first.out, first.format);
    }
    const QString scope = o.value(QStringLiteral("scope")).toString();
    if (scope == QLatin1String("project"))
        first.scope = {-1, -1};
    else if (scope == QLatin1String("field") && selected.field >= 0)
        first.scope = {selected.field, -1};
    else if (scope == QLatin1String("lesson") && selected.lesson >= 0)
        first.scope = {selected.field, selected.lesson};
    if (o.value(QStringLiteral("scoPerLesson")).isBool())
        first.scoPerLesson = o.value(QStringLiteral("scoPerLesson")).toBool();
    return first;
}

void rememberQuestionsOut(const QString& projectPath, const QuestionsOut& chosen) {
    const QString scope = chosen.scope.lesson >= 0  ? QStringLiteral("lesson")
                          : chosen.scope.field >= 0 ? QStringLiteral("field")
                                                    : QStringLiteral("project");
    const QJsonObject o{{QStringLiteral("format"), int(chosen.format)},
                        {QStringLiteral("scope"), scope},
                        {QStringLiteral("scoPerLesson"), chosen.scoPerLesson}};
    saveWholeFile(questionsMemory(projectPath), QJsonDocument(o).toJson(QJsonDocument::Indented));
}

QuestionsWritten writeQuestions(Context& context, const QuestionsOut& request) {
    context.log().LogMe(QStringLiteral("Writing questions to %1").arg(request.out));
    QuestionsWritten written;
    if (request.format == QuestionFormat::Scorm) {
        written.lessons =
            makeScormPackage(context, {request.projectPath, request.scope, request.scoPerLesson,
                                       request.passMark, request.out});
        return written;
    }
    const bool gift = request.format == QuestionFormat::Gift;
    // GIFT carries no file: none is read.
    TravelSet set = projectQuestions(context, request.projectPath, request.scope,
                                     gift ? FileBytes::NamesOnly : FileBytes::Read);
    const QString document = readUtf16File(store::projectFilePath(request.projectPath));
    const ProjectSettings settings = readSettings(context, document);
    // The project's penalty, as each wrong answer's negative fraction.
    if (const Penalty penalty = scoringSettings(settings).penalty; !penalty.none()) {
        const PlatformFraction fraction = platformFraction(penalty);
        set.wrongFraction = fraction.text;
        if (!fraction.exact)
            context.log().LogMe(QStringLiteral("The platforms have no grade of -%1 of an answer: "
                                               "%2% written")
                                    .arg(penaltyText(penalty), fraction.text));
    }
    if (set.questions.isEmpty())
        throw std::invalid_argument("no lesson in the choice has made questions");
    QByteArray bytes;
    if (gift) {
        bytes = giftText(set);
    } else {
        bytes = moodleXml(set, examSettings(settings).on);
    }
    saveWholeFile(request.out, bytes);
    written.questions = int(set.questions.size());
    for (const TravelQuestion& q : set.questions)
        written.leftOut += gift && (!q.pictures.isEmpty() || q.hasAttachments()) ? 1 : 0;
    context.log().LogMe(QStringLiteral("Questions written: %1").arg(written.questions));
    return written;
}

} // namespace tavrin
