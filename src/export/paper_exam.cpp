#include "export/paper_exam.h"

#include "app/activity_log.h"
#include "app/context.h"
#include "export/paper_pages.h"
#include "export/pdf_printer.h"
#include "platform/calendar.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/safe_save.h"

#include <QDir>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace tavrin {

PaperChoices defaultPaperChoices(Context& context, const ScoringSettings& scoring, int field,
                                 int lesson) {
    PaperChoices c;
    if (scoring.fullExam && !scoring.budget.isEmpty()) {
        c.scope = {PaperScope::Kind::Budget, 0, 0};
        c.title = scoring.fullExamTitle;
        c.minutes = scoring.fullExamMinutes;
    } else if (lesson >= 0) {
        c.scope = {PaperScope::Kind::Lesson, std::max(field, 0), lesson};
    } else {
        c.scope = {PaperScope::Kind::Field, std::max(field, 0), 0};
    }
    c.date = ShamsiDate(context.now()).section(u' ', 0, 0);
    return c;
}

PaperWritten writePaperExam(Context& context, const QString& projectPath,
                            const QString& projectTitle, const QString& outFolder,
                            const PaperChoices& choices, const QString& htmlFolder,
                            const std::function<void(int, int)>& progress) {
    return writePaperExam(context, paperBank(context, projectPath, projectTitle), outFolder,
                          choices, htmlFolder, progress);
}

PaperWritten writePaperExam(Context& context, const PaperBank& bank, const QString& outFolder,
                            const PaperChoices& choices, const QString& htmlFolder,
                            const std::function<void(int, int)>& progress) {
    const PaperExam exam =
        drawPaperExam(bank, choices.scope, choices.versions, choices.seed, choices.shuffleAnswers);
    const QString out = QDir::fromNativeSeparators(outFolder);
    if (!folderExists(out))
        makeFolder(out);
    QTemporaryDir temporary;
    const QString pages = htmlFolder.isEmpty() ? temporary.path() : htmlFolder;
    if (htmlFolder.isEmpty() && !temporary.isValid())
        throw FsError(QStringLiteral("No temporary folder for the pages"));
    if (!folderExists(pages))
        makeFolder(pages);
    const QString resources = DoSlash(context.programFolder()) + QStringLiteral("Resources");
    PaperWritten written;
    written.versions = int(exam.versions.size());
    written.questions = int(exam.questions.size());
    QList<PrintJob> jobs;
    const auto add = [&](const QString& name, const QJsonObject& data) {
        const QString html = pages + u'/' + name + QStringLiteral(".html");
        saveWholeFile(html, paperHtml(resources, data).toUtf8());
        jobs.append({html, out + u'/' + name + QStringLiteral(".pdf")});
        written.files.append(name + QStringLiteral(".pdf"));
    };
    for (int v = 1; v <= written.versions; ++v) {
        add(QStringLiteral("booklet-%1").arg(v), bookletData(bank, exam, choices, v));
        add(QStringLiteral("sheet-%1").arg(v), sheetData(bank, exam, choices, v));
    }
    add(QStringLiteral("key"), keyData(bank, exam, choices));
    add(QStringLiteral("explanations"), explanationsData(bank, exam, choices));
    const int total = int(jobs.size()) + 1;
    printPages(jobs, [&](int done) {
        if (progress)
            progress(done, total);
    });
    saveWholeFile(out + QStringLiteral("/exam.json"),
                  QJsonDocument(examRecord(exam, bank.title)).toJson(QJsonDocument::Indented));
    written.files.append(QStringLiteral("exam.json"));
    if (progress)
        progress(total, total);
    // An earlier exam's later versions would be taken for this one's.
    static const QRegularExpression versioned(QStringLiteral("^(booklet|sheet)-(\\d+)\\.pdf$"));
    for (const QString& name : fileNames(out, {QStringLiteral("*.pdf")})) {
        const auto m = versioned.match(name);
        if (m.hasMatch() && m.captured(2).toInt() > written.versions)
            deleteFile(out + u'/' + name);
    }
    context.log().LogMe(
        QStringLiteral("Paper exam written: %1 versions of %2 questions, seed %3, in %4")
            .arg(written.versions)
            .arg(written.questions)
            .arg(exam.seed)
            .arg(QDir::toNativeSeparators(out)));
    return written;
}

} // namespace tavrin
