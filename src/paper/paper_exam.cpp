#include "paper/paper_exam.h"

#include "app/activity_log.h"
#include "app/context.h"
#include "exam/paper_record.h"
#include "exam/sheet_code.h"
#include "exam/sheet_layout.h"
#include "exam/sheet_scoring.h"
#include "paper/out_folder.h"
#include "paper/paper_pages.h"
#include "paper/pdf_printer.h"
#include "platform/calendar.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "platform/safe_save.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QScopeGuard>
#include <tuple>

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
    return writePaperExam(context, readQuestionBank(context, projectPath, projectTitle), outFolder,
                          choices, htmlFolder, progress);
}

namespace {

const QString kPrinting = QStringLiteral(".tavrin-printing");

const QRegularExpression& versionedName() {
    static const QRegularExpression versioned(QStringLiteral("^(booklet|sheet)-(\\d+)\\.pdf$"));
    return versioned;
}

bool examFileName(const QString& name) {
    return name == u"exam.json" || name == u"key.pdf" || name == u"explanations.pdf" ||
           versionedName().match(name).hasMatch();
}

// What one exam may hold, each refused with its place.
void checkBounds(const PaperExam& exam) {
    if (exam.questions.size() > kMostPaperQuestions)
        throw NothingToPrint(
            QStringLiteral("%1 questions are more than an exam may hold (%2)")
                .arg(exam.questions.size())
                .arg(kMostPaperQuestions),
            persianShown(QStringLiteral(u"%1 سؤال بیش از گنجایش یک آزمون (%2 سؤال) است.")
                             .arg(exam.questions.size())
                             .arg(kMostPaperQuestions),
                         Digits::AlsoBare));
    qint64 whole = 0;
    for (const BankQuestion& q : exam.questions) {
        qsizetype length = q.text.size() + q.explanation.size();
        for (const QString& a : q.answers)
            length += a.size();
        whole += length;
        if (length > kLongestPaperQuestion)
            throw NothingToPrint(QStringLiteral("Question %1 is longer than %2 characters")
                                     .arg(q.id)
                                     .arg(kLongestPaperQuestion),
                                 QStringLiteral(u"سؤال \u2066%1\u2069 از %2 نویسه بلندتر است.")
                                     .arg(q.id, persianShown(QString::number(kLongestPaperQuestion),
                                                             Digits::AlsoBare)));
    }
    if (whole > kLongestPaperExam)
        throw NothingToPrint(
            QStringLiteral("The exam's questions are longer than %1 characters together")
                .arg(kLongestPaperExam),
            persianShown(
                QStringLiteral(u"سؤال‌های آزمون روی هم از %1 نویسه "
                               u"بلندترند.")
                    .arg(kLongestPaperExam),
                Digits::AlsoBare));
}

// A picture the pages would show as a broken icon: the exam is not printed without it. As
// every reader of the project's files, it reads nothing from outside the project, through a
// link or "..".
void checkPictures(const PaperExam& exam, const QString& project) {
    for (const BankQuestion& q : exam.questions)
        for (auto it = q.images.begin(); it != q.images.end(); ++it)
            if (!project.isEmpty() && !isInside(it.value(), project))
                throw FsError::at(QStringLiteral("Picture %1 of question %2 leaves the project "
                                                 "folder")
                                      .arg(it.key())
                                      .arg(q.id),
                                  QDir::toNativeSeparators(it.value()));
            else if (const QSize size = QImageReader(it.value()).size();
                     qint64(size.width()) * size.height() > kMostPicturePixels)
                throw FsError::at(QStringLiteral("Picture %1 of question %2 is larger than %3 "
                                                 "megapixels (%4 x %5)")
                                      .arg(it.key())
                                      .arg(q.id)
                                      .arg(kMostPicturePixels / 1000000)
                                      .arg(size.width())
                                      .arg(size.height()),
                                  QDir::toNativeSeparators(it.value()));
            else if (!fileExists(it.value()))
                throw FsError::at(
                    QStringLiteral("Picture %1 of question %2 is missing").arg(it.key()).arg(q.id),
                    QDir::toNativeSeparators(it.value()));
}

// Each version's sheet as its page measured it, checked whole: a reader of the scans finds
// every bubble from this. The sheets are the jobs 1, 3, 5, … (booklet, sheet per version).
void addSheetLayouts(QJsonObject& record, const PaperExam& exam, const QList<QByteArray>& layouts) {
    QJsonArray versions = record.value(QStringLiteral("versions")).toArray();
    for (int v = 0; v < versions.size(); ++v) {
        QJsonParseError error{};
        const QJsonObject layout =
            QJsonDocument::fromJson(layouts.value(2 * v + 1), &error).object();
        QList<int> options;
        for (const QList<int>& o : exam.versions[v].options)
            options.append(int(o.size()));
        try {
            if (error.error != QJsonParseError::NoError)
                throw BadSheet(0, QStringLiteral("the page measured no layout"), {});
            sheetLayoutOf(layout, options);
        } catch (const BadSheet& bad) {
            throw NothingToPrint(
                QStringLiteral("The answer sheet of version %1 was not laid out as it must be "
                               "read back: %2")
                    .arg(v + 1)
                    .arg(bad.why()),
                QStringLiteral(u"پاسخ‌برگ نسخهٔ %1 چنان که باید خوانده شود چیده "
                               u"نشد.")
                    .arg(versionName(v + 1)));
        }
        QJsonObject version = versions[v].toObject();
        version.insert(QStringLiteral("sheet"), layout);
        versions[v] = version;
    }
    record.insert(QStringLiteral("versions"), versions);
}

} // namespace

QStringList paperExamFilesIn(const QString& folder) {
    QStringList found;
    for (const QString& name :
         QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name))
        if (examFileName(name))
            found.append(name);
    return found;
}

PaperWritten writePaperExam(Context& context, const QuestionBank& bank, const QString& outFolder,
                            const PaperChoices& choices, const QString& htmlFolder,
                            const std::function<void(int, int)>& progress) {
    for (const auto& [field, name, persian] : {std::tuple{&choices.title, "title", u"عنوان"},
                                               std::tuple{&choices.school, "school", u"مدرسه"},
                                               std::tuple{&choices.className, "class", u"کلاس"},
                                               std::tuple{&choices.teacher, "teacher", u"دبیر"},
                                               std::tuple{&choices.date, "date", u"تاریخ"}})
        if (field->size() > kLongestPaperHeader)
            throw NothingToPrint(
                QStringLiteral("The exam's %1 is longer than %2 characters")
                    .arg(QLatin1String(name))
                    .arg(kLongestPaperHeader),
                QStringLiteral(u"%1 آزمون از %2 نویسه بلندتر است.")
                    .arg(QString::fromUtf16(persian),
                         persianShown(QString::number(kLongestPaperHeader), Digits::AlsoBare)));
    // A question left out is drawn as one that cannot be scored; the others keep their places.
    QuestionBank drawn = bank;
    for (BankLesson& l : drawn.lessons)
        for (BankQuestion& q : l.questions)
            if (choices.leaveOut.contains(q.id))
                q.marked = 0;
    const PaperExam exam =
        drawPaperExam(drawn, choices.scope, choices.versions, choices.seed, choices.shuffleAnswers);
    checkBounds(exam);
    checkPictures(exam, bank.folder);
    const QString out = QDir::fromNativeSeparators(outFolder);
    makeFolders(out);
    // What an earlier printing of this folder wrote, as its record names it: only those of
    // its files that this one does not replace are removed, never a file the tool did not write.
    const QStringList earlier = recordedFiles(out);
    QStringList names{QStringLiteral("key.pdf"), QStringLiteral("explanations.pdf"),
                      QStringLiteral("exam.json")};
    for (int v = 1; v <= int(exam.versions.size()); ++v)
        names << QStringLiteral("booklet-%1.pdf").arg(v) << QStringLiteral("sheet-%1.pdf").arg(v);
    refuseLinks(out, names + earlier, "exam");
    // Printed whole in a working folder of the exam's own, readable by its owner only, then
    // put in place: the record last, so it never stands beside booklets of another printing.
    const QString work = out + u'/' + kPrinting;
    removeWorkingFolder(work, "exam");
    makeFolder(work);
    QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto cleanup = qScopeGuard([&work] { QDir(work).removeRecursively(); });
    const QString pages = htmlFolder.isEmpty() ? work : QDir::fromNativeSeparators(htmlFolder);
    makeFolders(pages);
    const QString resources = DoSlash(context.programFolder()) + QStringLiteral("Resources");
    PaperWritten written;
    written.versions = int(exam.versions.size());
    written.questions = int(exam.questions.size());
    QList<PrintJob> jobs;
    const auto add = [&](const QString& name, const QJsonObject& data) {
        const QString html = pages + u'/' + name + QStringLiteral(".html");
        saveWholeFile(html, paperHtml(resources, data).toUtf8());
        jobs.append({html, work + u'/' + name + QStringLiteral(".pdf")});
        written.files.append(name + QStringLiteral(".pdf"));
    };
    for (int v = 1; v <= written.versions; ++v) {
        add(QStringLiteral("booklet-%1").arg(v), bookletData(bank, exam, choices, v));
        add(QStringLiteral("sheet-%1").arg(v), sheetData(bank, exam, choices, v));
    }
    add(QStringLiteral("key"), keyData(bank, exam, choices));
    add(QStringLiteral("explanations"), explanationsData(bank, exam, choices));
    const int total = int(jobs.size()) + 1;
    // The pages read their own folder, the program's scripts and fonts, and the pictures.
    QStringList readable{pages, resources};
    for (const BankQuestion& q : exam.questions)
        for (const QString& picture : q.images)
            if (const QString folder = QFileInfo(picture).absolutePath();
                !readable.contains(folder))
                readable.append(folder);
    const QList<QByteArray> layouts = printPages(jobs, readable, [&](int done) {
        if (progress)
            progress(done, total);
    });
    QJsonObject record = examRecord(exam, bank.title);
    record.insert(QStringLiteral("digest"), examDigest(record));
    addSheetLayouts(record, exam, layouts);
    record.insert(QStringLiteral("files"), printedFiles(work, written.files));
    saveWholeFile(work + QStringLiteral("/exam.json"),
                  QJsonDocument(record).toJson(QJsonDocument::Indented));
    {
        DiskFlush disk(work);
        disk.flush();
    }
    refuseLinks(out, names + earlier, "exam"); // once more: the printing took its time
    // The earlier record goes first: until the new one is in place the folder scores nothing.
    const QString recordPath = out + QStringLiteral("/exam.json");
    if (fileExists(recordPath))
        deleteFile(recordPath);
    for (const QString& name : std::as_const(written.files))
        renameFile(work + u'/' + name, out + u'/' + name);
    // An earlier exam's later versions would be taken for this one's.
    for (const QString& name : earlier)
        if (!written.files.contains(name) && examFileName(name) && fileExists(out + u'/' + name))
            deleteFile(out + u'/' + name);
    renameFile(work + QStringLiteral("/exam.json"), recordPath);
    flushFolderEntry(recordPath);
    written.files.append(QStringLiteral("exam.json"));
    if (progress)
        progress(total, total);
    for (const BankQuestion& q : exam.questions)
        if (q.ownLabels.any()) {
            written.labelsTaken.append(q.id + QStringLiteral(": ") + ownLabelsText(q.ownLabels));
            context.log().LogMe(QStringLiteral("Own number and labels taken off %1")
                                    .arg(written.labelsTaken.last()));
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
