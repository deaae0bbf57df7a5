#include "exam/question_history.h"

#include "exam/question_bank.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "platform/safe_save.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {
// A record of another program's making is never read past this.
constexpr qint64 kLargestAnalysisFile = 16 * 1024 * 1024;
} // namespace

QString analysisFolder(const QString& projectFolder) {
    return QDir(projectFolder).filePath(QStringLiteral("Analysis"));
}

QString analysisFilePath(const QString& projectFolder, const QString& key) {
    return QDir(analysisFolder(projectFolder)).filePath(key + QStringLiteral(".json"));
}

QString examKey(const QByteArray& identifying) {
    return QString::fromLatin1(
        QCryptographicHash::hash(identifying, QCryptographicHash::Sha256).toHex().left(16));
}

void rememberAnalysis(const QString& projectFolder, const QString& key, const QString& examName,
                      const QDateTime& when, const Analysis& analysis) {
    QJsonObject questions;
    for (const ItemFigures& i : analysis.items) {
        QJsonObject q{{QStringLiteral("facility"), std::round(i.facility * 100) / 100},
                      {QStringLiteral("wrongKey"), i.wrongKey()}};
        if (i.discrimination)
            q.insert(QStringLiteral("discrimination"), std::round(*i.discrimination * 1000) / 1000);
        questions.insert(i.question.id, q);
    }
    const QJsonObject record{{QStringLiteral("exam"), examName},
                             {QStringLiteral("when"), when.toString(Qt::ISODate)},
                             {QStringLiteral("students"), analysis.test.students},
                             {QStringLiteral("questions"), questions}};
    QDir().mkpath(analysisFolder(projectFolder));
    saveWholeFile(analysisFilePath(projectFolder, key), QJsonDocument(record).toJson());
}

QMap<QString, QuestionHistory> questionHistory(const QString& projectFolder) {
    struct Seen {
        QString when;
        double facility;
        std::optional<double> discrimination;
        bool wrongKey;
    };
    QMap<QString, QList<Seen>> seen;
    const QDir folder(analysisFolder(projectFolder));
    for (const QFileInfo& f : folder.entryInfoList({QStringLiteral("*.json")}, QDir::Files)) {
        if (f.isSymLink() || f.size() > kLargestAnalysisFile)
            continue;
        QFile file(f.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject record = QJsonDocument::fromJson(file.readAll()).object();
        const QString when = record.value(QStringLiteral("when")).toString();
        const QJsonObject questions = record.value(QStringLiteral("questions")).toObject();
        for (auto it = questions.begin(); it != questions.end(); ++it) {
            const QJsonObject q = it.value().toObject();
            if (!q.value(QStringLiteral("facility")).isDouble())
                continue;
            Seen s{when, q.value(QStringLiteral("facility")).toDouble(), std::nullopt,
                   q.value(QStringLiteral("wrongKey")).toBool()};
            if (q.value(QStringLiteral("discrimination")).isDouble())
                s.discrimination = q.value(QStringLiteral("discrimination")).toDouble();
            seen[it.key()].append(s);
        }
    }
    QMap<QString, QuestionHistory> out;
    for (auto it = seen.begin(); it != seen.end(); ++it) {
        QList<Seen>& exams = it.value();
        std::stable_sort(exams.begin(), exams.end(),
                         [](const Seen& a, const Seen& b) { return a.when < b.when; });
        QuestionHistory h;
        h.exams = int(exams.size());
        double d = 0;
        int defined = 0;
        for (const Seen& s : exams) {
            h.facility += s.facility / h.exams;
            if (s.discrimination) {
                d += *s.discrimination;
                ++defined;
            }
        }
        if (defined)
            h.discrimination = d / defined;
        h.wrongKey = exams.last().wrongKey;
        out.insert(it.key(), h);
    }
    return out;
}

std::optional<QuestionHistory> historyOfQuestion(Context& context, const QString& projectFolder,
                                                 int field, int lesson, const QString& text) {
    // Most projects have analysed nothing: no quiz file is read for them.
    const QMap<QString, QuestionHistory> all = questionHistory(projectFolder);
    if (all.isEmpty() || text.trimmed().isEmpty())
        return std::nullopt;
    const QuestionBank bank = readQuestionBank(context, projectFolder);
    for (const BankLesson& l : bank.lessons)
        if (l.field == field && l.lesson == lesson)
            for (const BankQuestion& q : l.questions)
                if (q.text.trimmed() == text.trimmed() && all.contains(q.id))
                    return all.value(q.id);
    return std::nullopt;
}

QString historyText(const QuestionHistory& h) {
    QString text = QStringLiteral(u"دشواری %1٪").arg(std::lround(h.facility));
    if (h.discrimination)
        text += QStringLiteral(u" · تمیز %1")
                    .arg(QString::number(*h.discrimination, 'f', 2).replace(u'.', u'٫'));
    text += QStringLiteral(u" · %1 آزمون").arg(h.exams);
    if (h.wrongKey)
        text += QStringLiteral(u" · کلید مشکوک");
    return persianShown(text, Digits::InPersianText);
}

} // namespace tavrin
