#include "paper/analysis_report.h"

#include "app/activity_log.h"
#include "app/context.h"
#include "exam/analysis_csv.h"
#include "exam/question_history.h"
#include "exam/sheet_input.h"
#include "export/quiz_data.h"
#include "paper/out_folder.h"
#include "paper/paper_pages.h"
#include "paper/pdf_printer.h"
#include "platform/calendar.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/safe_save.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QScopeGuard>
#include <QUrl>
#include <algorithm>
#include <numeric>

namespace tavrin {

namespace {

const QString kAnalysing = QStringLiteral(".tavrin-analysing");
const QStringList kFiles{QStringLiteral("items.csv"), QStringLiteral("test.csv"),
                         QStringLiteral("students.csv"), QStringLiteral("report.html"),
                         QStringLiteral("report.pdf")};

QJsonValue figure(const std::optional<double>& v) {
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

} // namespace

QJsonObject reportData(const QuestionBank& bank, const Analysis& a, const QString& examName,
                       const QString& date) {
    const TestFigures& t = a.test;
    const QJsonObject test{{QStringLiteral("students"), t.students},
                           {QStringLiteral("questions"), t.questions},
                           {QStringLiteral("mean"), t.mean},
                           {QStringLiteral("median"), t.median},
                           {QStringLiteral("sd"), t.sd},
                           {QStringLiteral("min"), t.min},
                           {QStringLiteral("max"), t.max},
                           {QStringLiteral("skewness"), t.skewness},
                           {QStringLiteral("kurtosis"), t.kurtosis},
                           {QStringLiteral("kr20"), figure(t.kr20)},
                           {QStringLiteral("sem"), figure(t.sem)}};
    QJsonArray items;
    int number = 0;
    for (const ItemFigures& i : a.items) {
        QJsonArray flags;
        for (const ItemFlag f : i.flags)
            flags.append(QJsonObject{{QStringLiteral("words"), flagWords(f)},
                                     {QStringLiteral("reason"), flagReason(f)}});
        QJsonArray chose;
        for (const int c : i.chose)
            chose.append(c);
        items.append(
            QJsonObject{{QStringLiteral("n"), ++number},
                        {QStringLiteral("id"), i.question.id},
                        {QStringLiteral("text"), i.question.text},
                        {QStringLiteral("answers"), QJsonArray::fromStringList(i.question.answers)},
                        {QStringLiteral("options"), int(i.question.answers.size())},
                        {QStringLiteral("images"), pictureUrls(i.question)},
                        {QStringLiteral("key"), i.question.marked},
                        {QStringLiteral("facility"), i.facility},
                        {QStringLiteral("discrimination"), figure(i.discrimination)},
                        {QStringLiteral("pointBiserial"), figure(i.pointBiserial)},
                        {QStringLiteral("upperLower"), i.upperLower},
                        {QStringLiteral("chose"), chose},
                        {QStringLiteral("flags"), flags}});
    }
    QList<int> byRank(a.students.size());
    std::iota(byRank.begin(), byRank.end(), 0);
    std::stable_sort(byRank.begin(), byRank.end(),
                     [&](int x, int y) { return a.students[x].rank < a.students[y].rank; });
    QJsonArray students, percents;
    for (const int s : byRank) {
        const StudentFigures& f = a.students[s];
        students.append(QJsonObject{{QStringLiteral("name"), f.name},
                                    {QStringLiteral("version"), f.version},
                                    {QStringLiteral("right"), f.right},
                                    {QStringLiteral("wrong"), f.wrong},
                                    {QStringLiteral("blank"), f.blank},
                                    {QStringLiteral("percent"), double(f.percent) / 100.0},
                                    {QStringLiteral("taraz"), f.taraz},
                                    {QStringLiteral("rank"), f.rank}});
        percents.append(double(f.percent) / 100.0);
    }
    return {{QStringLiteral("title"), bank.title},
            {QStringLiteral("exam"), examName},
            {QStringLiteral("date"), date},
            {QStringLiteral("penalty"),
             QJsonArray{bank.scoring.penalty.taken, bank.scoring.penalty.per}},
            {QStringLiteral("test"), test},
            {QStringLiteral("items"), items},
            {QStringLiteral("students"), students},
            {QStringLiteral("percents"), percents}};
}

QString reportHtml(const QString& resourcesFolder, const QJsonObject& data) {
    return programPage(resourcesFolder, QStringLiteral("report.css"), QStringLiteral("REPORT"),
                       data, QStringLiteral("report.js"));
}

QStringList analysisFilesIn(const QString& folder) {
    QStringList found;
    for (const QString& name : kFiles)
        if (QFileInfo(QDir(folder).filePath(name)).exists() ||
            QFileInfo(QDir(folder).filePath(name)).isSymLink())
            found.append(name);
    return found;
}

QStringList writeAnalysis(Context& context, const QuestionBank& bank, const Analysis& analysis,
                          const QString& examName, const QString& outFolder) {
    const QString out = QDir::fromNativeSeparators(outFolder);
    makeFolders(out);
    refuseLinks(out, kFiles, "report");
    const QString work = out + u'/' + kAnalysing;
    removeWorkingFolder(work, "report");
    makeFolder(work);
    QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto cleanup = qScopeGuard([&work] { QDir(work).removeRecursively(); });
    const QString resources = DoSlash(context.programFolder()) + QStringLiteral("Resources");
    const QString date = ShamsiDate(context.now()).section(u' ', 0, 0);
    saveWholeFile(work + QStringLiteral("/items.csv"), itemsCsv(analysis));
    saveWholeFile(work + QStringLiteral("/test.csv"), testCsv(analysis));
    saveWholeFile(work + QStringLiteral("/students.csv"), studentsCsv(analysis));
    // The page kept beside its PDF reads the program's scripts where they are.
    saveWholeFile(work + QStringLiteral("/report.html"),
                  reportHtml(resources, reportData(bank, analysis, examName, date)).toUtf8());
    QStringList readable{work, out, resources};
    for (const ItemFigures& i : analysis.items)
        for (const QString& picture : i.question.images)
            if (const QString folder = QFileInfo(picture).absolutePath();
                !readable.contains(folder))
                readable.append(folder);
    printPages({{work + QStringLiteral("/report.html"), work + QStringLiteral("/report.pdf")}},
               readable);
    {
        DiskFlush disk(work);
        disk.flush();
    }
    refuseLinks(out, kFiles, "report"); // once more: the printing took its time
    for (const QString& name : kFiles) {
        if (fileExists(out + u'/' + name))
            deleteFile(out + u'/' + name);
        renameFile(work + u'/' + name, out + u'/' + name);
    }
    flushFolderEntry(out + QStringLiteral("/report.pdf"));
    context.log().LogMe(QStringLiteral("Item analysis written: %1 students, %2 questions, in %3")
                            .arg(analysis.test.students)
                            .arg(analysis.test.questions)
                            .arg(QDir::toNativeSeparators(out)));
    return kFiles;
}

AnalysedExam analyseExam(Context& context, const QString& project, const QString& examFolder,
                         const QString& answers, const QString& outFolder) {
    // The window's choice too: the report never goes among the project's or the program's files.
    for (const QString& folder : {project, context.programFolder()})
        if (isInside(QFileInfo(outFolder).absoluteFilePath(), fromStoredPath(folder)))
            throw FsError::at(QStringLiteral("The report's folder lies inside the project's or "
                                             "the program's folder"),
                              QDir::toNativeSeparators(outFolder));
    AnalysedExam done;
    done.bank = readQuestionBank(context, project, QFileInfo(QDir::cleanPath(project)).fileName());
    SheetMatrix matrix;
    QByteArray record;
    readAnswerSheets(
        done.bank, answers, examFolder,
        [&](SheetRows& rows, const ExamSheetRows* mapped) {
            matrix = readSheetMatrix(done.bank, rows, done.bank.scoring.penalty, mapped);
        },
        &record);
    done.analysis = analyseSheets(matrix);
    done.name = examFolder.isEmpty() ? QFileInfo(answers).completeBaseName()
                                     : QFileInfo(QDir::cleanPath(examFolder)).fileName();
    writeAnalysis(context, done.bank, done.analysis, done.name, outFolder);
    // What identifies the exam in the project's memory: its printing's record, or the sheets
    // of an exam in the bank's order; analysed again, it replaces its own figures.
    // The record as the sheets were read through it, never read and checked twice.
    const QByteArray identifying =
        examFolder.isEmpty() ? readInputFile(answers, kLargestAnswerSheets) : record;
    rememberAnalysis(project, examKey(identifying), done.name, context.now(), done.analysis);
    return done;
}

} // namespace tavrin
