#include "support/program_steps.h"

#include "app/messages.h"
#include "platform/text_codec.h"
#include "support/documents.h"
#include "support/docx_fixture.h"
#include "support/full_disk.h"
#include "support/golden.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QXmlStreamReader>
#include <QtTest>
#include <sys/stat.h>

namespace tavrin::test {

namespace {

QByteArray unzipped(const QString& zip, const QString& entry) {
    QProcess unzip;
    unzip.start("unzip", {"-p", zip, entry});
    unzip.waitForFinished(30000);
    return unzip.readAllStandardOutput();
}

void removeAt(const QString& path) {
    QFileInfo(path).isDir() ? void(QDir(path).removeRecursively()) : void(QFile::remove(path));
}

// The files under a folder as the author has them: an undo's trash is none of them.
QMap<QString, QByteArray> authorsFiles(const QString& folder) {
    QMap<QString, QByteArray> files = filesUnder(folder);
    files.removeIf([](const auto& f) { return f.key().startsWith(".trash/"); });
    return files;
}

} // namespace

ProgramSteps::ProgramSteps(TestProgram& p, std::function<QString()> project)
    : p_(p), project_(std::move(project)) {}

ProgramSteps::~ProgramSteps() {
    if (umaskBefore_)
        ::umask(*umaskBefore_);
}

QString ProgramSteps::at(const QString& path) const {
    if (QDir::isAbsolutePath(path))
        return path;
    return path.startsWith("@/") ? p_.path(path.mid(2)) : project_() + '/' + path;
}

void ProgramSteps::take(const QString& verb, const QString& a, const QString& b, const QString& c,
                        const QString& where, bool& known) {
    known = true;
    const auto& shown = p_.prompts.shown;
    const auto text = [&](const QString& path) { return decodeUtf16Le(readBytes(path)); };
    const bool yes = b != "no";
    // A project's files, or the program folder's as "@/...".
    if (verb == "golden-utf16") { // a UTF-16 file against tests/data/b ("@program")
        QString now = text(at(a));
        QCOMPARE(readBytes(at(a)), encodeUtf16Le(now)); // with its mark, nothing lost
        now.replace(p_.folder(), "@program");
        QCOMPARE(now, QString::fromUtf8(golden(b, now.toUtf8())));
    } else if (verb == "file-lacks") {
        QVERIFY2(!text(at(a)).contains(b), qPrintable(where));
    } else if (verb == "rewrite") { // a UTF-16 file's text with one thing put for another
        const QString was = text(at(a));
        QVERIFY2(was.contains(b), qPrintable(where)); // a step that changes nothing is wrong
        writeBytes(at(a), encodeUtf16Le(QString(was).replace(b, c)));
    } else if (verb == "occurs") { // how often a UTF-8 file holds a text
        QCOMPARE(int(readBytes(at(a)).count(b.toUtf8())), c.toInt());
    } else if (verb == "larger") {
        QVERIFY2(QFileInfo(at(a)).size() > b.toLongLong(), qPrintable(where));
    } else if (verb == "folder") {
        QCOMPARE(QFileInfo(at(a)).isDir(), yes);
    } else if (verb == "remove") {
        removeAt(at(a));
    } else if (verb == "make-folder") {
        QVERIFY(QDir().mkpath(p_.path(a)));
    } else if (verb == "copy-sample") { // the shipped sample project's files into a folder
        putFiles(p_.path(a), filesUnder(sourceFile("dist/catalogue/Sample")));
    } else if (verb == "copy-data") { // a file of tests/data into the program folder
        QDir().mkpath(QFileInfo(p_.path(b)).path());
        QVERIFY(QFile::copy(sourceFile("tests/data/" + a), p_.path(b)));
    } else if (verb == "copy-data-folder") { // every file of tests/data/a into b
        const QString from = sourceFile("tests/data/" + a + '/');
        for (const QString& file : QDir(from).entryList(QDir::Files))
            QFile::copy(from + file, p_.path(b + '/' + file));
    } else if (verb == "make-docx") { // a Word document of the body in tests/data/b
        writeDocx(p_.path(a), QString::fromUtf8(readBytes(sourceFile("tests/data/" + b))),
                  pngOf(40, 20));
    } else if (verb == "unzip") { // an entry of a zip into a file of the program folder
        writeBytes(p_.path(c), unzipped(p_.path(a), b));
    } else if (verb == "zip-has") { // an entry of a zip holds a text
        QVERIFY2(unzipped(p_.path(a), b).contains(c.toUtf8()), qPrintable(where));
    } else if (verb == "write") {
        QDir().mkpath(QFileInfo(at(a)).path());
        writeBytes(at(a), encodeUtf16Le(b));
    } else if (verb == "write-bytes") {
        QDir().mkpath(QFileInfo(at(a)).path());
        writeBytes(at(a), b.toUtf8());
    } else if (verb == "link") { // b made a link to a
        QVERIFY(QFile::link(at(a), at(b)));
    } else if (verb == "mode") { // a file's permission bits, in octal
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(at(a)).constData(), &st) == 0);
        QCOMPARE(QString::number(st.st_mode & 0777, 8), b);
    } else if (verb == "write-ansi") { // in 1256, as the old editors wrote
        writeBytes(at(a), encodeAnsi(b));
    } else if (verb == "hex") {
        QCOMPARE(QString::fromLatin1(readBytes(at(a)).toHex()), b);
    } else if (verb == "write-hex") {
        writeBytes(at(a), QByteArray::fromHex(b.toLatin1()));
    } else if (verb == "keep-files") { // every file under a, for "same-files" (kept as b)
        keptFiles_.insert(b.isEmpty() ? a : b, authorsFiles(at(a)));
    } else if (verb == "same-files") {
        QCOMPARE(authorsFiles(at(a)), keptFiles_.value(b.isEmpty() ? a : b));
    } else if (verb == "keep") {
        kept_.insert(a, readBytes(at(a)));
    } else if (verb == "unchanged") {
        QVERIFY2(readBytes(at(a)) == kept_.value(a), qPrintable(where));
    } else if (verb == "bytes") {
        QCOMPARE(readBytes(at(a)), b.toUtf8());
    } else if (verb == "exists") {
        QVERIFY2(QFile::exists(at(a)) == yes, qPrintable(where));
    } else if (verb == "file-has") {
        QVERIFY2(text(at(a)).contains(b), qPrintable(where));
    } else if (verb == "file-is") {
        QCOMPARE(text(at(a)), b);
    } else if (verb == "file-count") { // hidden ones too
        QCOMPARE(int(QDir(at(a)).entryList(QDir::Files | QDir::Hidden).size()), b.toInt());
    } else if (verb == "files") { // the files of a folder, hidden ones too, sorted, "|" between
        QCOMPARE(QDir(at(a)).entryList(QDir::Files | QDir::Hidden, QDir::Name).join(u'|'), b);
    } else if (verb == "file-starts") {
        QVERIFY2(text(at(a)).startsWith(b), qPrintable(where));
    } else if (verb == "golden") { // a UTF-8 file against tests/data/b
        const QByteArray bytes = readBytes(at(a));
        QCOMPARE(QString::fromUtf8(bytes), QString::fromUtf8(golden(b, bytes)));
    } else if (verb == "well-formed") { // XML, to a strict reader
        QXmlStreamReader strict(readBytes(at(a)));
        while (!strict.atEnd())
            strict.readNext();
        QVERIFY2(!strict.hasError(), qPrintable(strict.errorString()));
    } else if (verb == "same-bytes") {
        QCOMPARE(readBytes(at(a)), readBytes(at(b)));
    } else if (verb == "same-as-data") {
        QCOMPARE(readBytes(at(a)), readBytes(sourceFile("tests/data/" + b)));
    } else if (verb == "files-like") { // the files of folder a that match b: c ("|" between)
        QCOMPARE(QDir(at(a)).entryList({b}, QDir::Files, QDir::Name).join(u'|'), c);
    } else if (verb == "umask") { // until the steps end
        const mode_t before = ::umask(mode_t(a.toUInt(nullptr, 8)));
        umaskBefore_ = umaskBefore_.value_or(before);
    } else if (verb == "write-size") { // a file of b bytes, all 'b' or the letter c
        writeBytes(at(a), QByteArray(b.toInt(), c.isEmpty() ? 'b' : c.at(0).toLatin1()));
        // The prompts: answers to come, and what was shown.
    } else if (verb == "answers") {
        for (const QString& answer : a.split(','))
            p_.prompts.answers << (answer == "yes");
    } else if (verb == "choose") {
        p_.prompts.choices << (a == "yes" ? Answer::Yes : a == "no" ? Answer::No : Answer::Cancel);
    } else if (verb == "mark") {
        mark_ = shown.size();
    } else if (verb == "notices-since-mark") {
        QCOMPARE(shown.size() - mark_, qsizetype(a.toInt()));
    } else if (verb == "notice-at") { // the Nth notice since "mark"
        QCOMPARE(shown.value(mark_ + a.toInt()).text, b);
    } else if (verb == "notice") {
        QCOMPARE(shown.last().text, a);
    } else if (verb == "notice-has") {
        QVERIFY2(shown.last().text.contains(a), qPrintable(where));
    } else if (verb == "notice-ends") {
        QVERIFY2(shown.last().text.endsWith(a), qPrintable(where));
    } else if (verb == "notice-starts") { // the last notice, or the one b back
        QVERIFY2(shown.value(shown.size() - 1 - b.toInt()).text.startsWith(a), qPrintable(where));
    } else if (verb == "notice-starts-payam") {
        QVERIFY2(shown.last().text.startsWith(PayamText(a.toInt())), qPrintable(where));
    } else if (verb == "caption") {
        QCOMPARE(shown.last().caption, a);
    } else if (verb == "notice-payam") { // the notice, and a line under it
        QCOMPARE(shown.last().text,
                 PayamText(a.toInt()) + (b.isEmpty() ? QString() : "\r\n" + b + QChar(0x200F)));
    } else if (verb == "asked-starting-on") { // the last question, or the one b back
        const auto& asked = shown.value(shown.size() - 1 - b.toInt());
        if (asked.kind == QLatin1String("question3"))
            QCOMPARE(asked.start3, a == "yes"  ? Answer::Yes
                                   : a == "no" ? Answer::No
                                               : Answer::Cancel);
        else
            QCOMPARE(asked.start, a == "yes" ? Default::Yes : Default::No);
    } else if (verb == "last-kind") {
        QCOMPARE(shown.last().kind, a);
        // The log and the clock.
    } else if (verb == "mark-log") {
        logMark_ = p_.entries().size();
    } else if (verb == "log-same") { // nothing logged since "mark-log"
        QCOMPARE(p_.entries().size(), logMark_);
    } else if (verb == "log-since-mark") { // the entries since "mark-log", "|" between
        QCOMPARE(p_.entries().mid(logMark_).join(u'|'), a);
    } else if (verb == "log-last") {
        QCOMPARE(p_.entries().last(), a);
    } else if (verb == "log-starts") {
        QVERIFY2(p_.entries().last().startsWith(a), qPrintable(where));
    } else if (verb == "log-has") {
        QVERIFY2(p_.entries().join('\n').contains(a), qPrintable(where));
    } else if (verb == "log-lacks") {
        QVERIFY2(!p_.entries().join('\n').contains(a), qPrintable(where));
    } else if (verb == "log-count") {
        QCOMPARE(int(p_.entries().count(a)), b.toInt());
    } else if (verb == "file-limit") { // the disk full past a bytes, or "none"
        limitFileSize(a == "none" ? -1 : a.toLongLong());
    } else if (verb == "minutes-pass") {
        p_.clock.time = p_.clock.time.addSecs(60 * a.toInt());
    } else {
        known = false;
    }
}

void eachStep(TestProgram& p, const QList<QStringList>& rows, const QString& name,
              const QString& inside, const Step& step) {
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        const auto arg = [&](int n) {
            return invisible(row.value(n)).replace(QStringLiteral("@program"), p.folder());
        };
        const QString where = name + ": " + inside + row.join(' ');
        step(row[0], arg(1), arg(2), arg(3), where, r);
        if (QTest::currentTestFailed()) {
            qWarning("at %s", qPrintable(where));
            return;
        }
    }
}

void runProgramSteps(TestProgram& p, const QString& relative,
                     const std::function<QString()>& project, const OwnStep& own,
                     const QMap<QString, QString>& names) {
    ProgramSteps steps(p, project);
    eachStep(p, tableRows(relative), QFileInfo(relative).fileName(), "",
             [&](const QString& verb, QString a, QString b, QString c, const QString& where,
                 qsizetype& r) {
                 for (auto n = names.begin(); n != names.end(); ++n) {
                     a.replace(n.key(), n.value());
                     b.replace(n.key(), n.value());
                     c.replace(n.key(), n.value());
                 }
                 bool known = false;
                 own(verb, a, b, c, where, r, known);
                 if (!known)
                     steps.take(verb, a, b, c, where, known);
                 if (!known)
                     QFAIL(qPrintable("unknown step: " + where));
             });
}

} // namespace tavrin::test
