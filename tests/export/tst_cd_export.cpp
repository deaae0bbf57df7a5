// The player's settings file and media copies, settings kept in the project file, and the
// CD export by script, on temporary program folders.
#include "export/cd_export.h"
#include "export/disc_check.h"
#include "export/disc_image.h"
#include "export/player_settings.h"
#include "export/quiz_data.h"
#include "platform/fs_error.h"
#include "platform/text_codec.h"
#include "store/catalogue.h"
#include "store/project_settings.h"
#include "support/documents.h"
#include "support/export_program.h"
#include "support/golden.h"
#include "support/program_steps.h"
#include "support/test_program.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

using Program = ExportProgram;

// Every file and folder below a folder, relative, sorted.
QStringList treeOf(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(folder).relativeFilePath(it.next());
    out.sort();
    return out;
}

// The files of a folder of tests/data as the tool writes them: its .xml files in UTF-16 with
// CR LF (kept there as UTF-8 with LF), the others as they are.
void copyAsWritten(const QString& data, const QString& to) {
    QMap<QString, QByteArray> files = filesUnder(sourceFile("tests/data/" + data));
    for (auto&& [name, bytes] : files.asKeyValueRange()) // bytes: the map's own
        if (name.endsWith(".xml"))
            bytes = encodeUtf16Le(QString::fromUtf8(bytes).replace("\n", "\r\n"));
    putFiles(to, files);
}

class CancelAfter final : public ExportProgress {
public:
    explicit CancelAfter(int files) : files_(files) {}
    bool advance(const QString&, qint64, qint64, int filesDone, int) override {
        return filesDone < files_;
    }

private:
    int files_;
};

} // namespace

class CdExportTest : public QObject {
    Q_OBJECT
private slots:
    void scenarios_data() { fileRows("export", ".steps"); }
    void scenarios() {
        QFETCH(QString, name);
        Program g;
        SettingsChoice choice;
        ExportResult made;
        runProgramSteps(
            g.p, "export/" + name, [&] { return g.project; },
            [&](const QString& verb, const QString& a, const QString& b, const QString& c,
                const QString&, qsizetype&, bool& known) {
                known = true;
                if (verb == "choice") { // a setting as the settings area would give it
                    if (a == "music")
                        choice.musicOn = b == "on";
                    else if (a == "print")
                        choice.print = b == "checked"  ? Qt::Checked
                                       : b == "partly" ? Qt::PartiallyChecked
                                                       : Qt::Unchecked;
                    else if (a == "template")
                        choice.firstTemplate = b == "first";
                    else
                        (a == "music1"   ? choice.music1
                         : a == "music2" ? choice.music2
                                         : choice.back) = b;
                } else if (verb == "save-things") {
                    QCOMPARE(SaveThings(g.p.context(), choice, g.project, "BookTXT"), a == "yes");
                } else if (verb == "new-project-file") {
                    NewProjXml(g.p.context(), g.project, a);
                } else if (verb == "keep-setting") {
                    KeepSetting(g.p.context(), g.project, a, b);
                } else if (verb == "unspellable") { // a file in folder a, its name no UTF-8
                    const QByteArray name =
                        QFile::encodeName(g.project + '/' + a) + "/\xff\xfe.jpg";
                    FILE* f = std::fopen(name.constData(), "w");
                    QVERIFY(f && std::fclose(f) == 0);
                } else if (verb == "script") {
                    g.script(a);
                } else if (verb == "copy-as-written") {
                    copyAsWritten(a, g.project);
                } else if (verb == "player-data") { // the last export's, against tests/data/a
                    const QByteArray script = readBytes(made.folder + "/Data/quizdata.js");
                    QByteArray data =
                        QJsonDocument::fromJson(
                            script.mid(script.indexOf('{'),
                                       script.lastIndexOf('}') - script.indexOf('{') + 1))
                            .toJson(QJsonDocument::Indented);
                    data.replace(g.p.folder().toUtf8(), "@program");
                    QCOMPARE(QString::fromUtf8(data), QString::fromUtf8(golden(a, data)));
                } else if (verb == "lf-script") { // the shipped script saved with LF line ends
                    const QString script = g.p.path("Resources/Export.inf");
                    writeBytes(script, readBytes(script).replace("\r\n", "\n"));
                } else if (verb == "export") { // its outcome, the folder made, "printable"
                    made = g.exportNow(c == "printable");
                    const QStringList outcomes{"exported", "noscript", "failed", "cancelled"};
                    QCOMPARE(outcomes.value(int(made.outcome)), a);
                    if (!b.isEmpty())
                        QCOMPARE(made.folder, b);
                } else if (verb == "export-title") { // the last export's, for its disc's label
                    QCOMPARE(exportTitle(made.folder), a);
                } else if (verb == "modes") { // under the last export: each file a, folder b
                    QDirIterator tree(made.folder, QDir::AllEntries | QDir::NoDotAndDotDot,
                                      QDirIterator::Subdirectories);
                    while (tree.hasNext()) {
                        const QFileInfo entry(tree.next());
                        struct stat st {};
                        QVERIFY(::stat(QFile::encodeName(entry.filePath()).constData(), &st) == 0);
                        QCOMPARE(QString::number(st.st_mode & 07777, 8), entry.isDir() ? b : a);
                    }
                } else if (verb == "read-as-nobody") { // a file of the last export, as root can
                    QFile::setPermissions(g.p.folder(), QFile::permissions(g.p.folder()) |
                                                            QFile::ReadOther | QFile::ExeOther);
                    if (::geteuid() != 0 || QStandardPaths::findExecutable("setpriv").isEmpty())
                        return;
                    QProcess nobody;
                    nobody.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                             "cat", made.folder + '/' + a});
                    QVERIFY(nobody.waitForFinished(30000) && nobody.exitCode() == 0);
                    QCOMPARE(nobody.readAllStandardOutput(), readBytes(made.folder + '/' + a));
                } else if (verb == "disc-image") { // the last export's, labelled b, read back
                    QList<qint64> steps;
                    const ImageResult image = makeDiscImage(
                        made.folder, g.p.path(a), volumeLabel(b), [&](qint64 done, qint64) {
                            steps << done;
                            return c != "cancel";
                        });
                    if (!c.isEmpty()) { // "cancel" at the first step, or "fail"
                        QCOMPARE(int(image.outcome), int(c == "cancel" ? ImageOutcome::Cancelled
                                                                       : ImageOutcome::Failed));
                        return;
                    }
                    QCOMPARE(image.outcome, ImageOutcome::Made);
                    QVERIFY2(image.readBackMatched, qPrintable(image.description));
                    QCOMPARE(image.files, int(filesUnder(made.folder).size()));
                    QVERIFY(steps.size() >= 3 && std::is_sorted(steps.begin(), steps.end()));
                } else if (verb == "xorriso-reads") { // image a: the last export's files, b and c
                    const QString out = g.p.path("read-back");
                    QProcess xorriso;
                    xorriso.start("xorriso",
                                  {"-osirrox", "on", "-indev", g.p.path(a), "-extract", "/", out});
                    QVERIFY(xorriso.waitForFinished(60000) && xorriso.exitCode() == 0);
                    QCOMPARE(filesUnder(out), filesUnder(made.folder));
                    xorriso.start("xorriso",
                                  {"-indev", g.p.path(a), "-find", "/", "-exec", "lsdl"});
                    QVERIFY(xorriso.waitForFinished(60000) && xorriso.exitCode() == 0);
                    const QStringList listed = QString::fromUtf8(xorriso.readAllStandardOutput())
                                                   .split('\n', Qt::SkipEmptyParts);
                    QVERIFY(listed.size() > 10);
                    for (const QString& line : listed)
                        QVERIFY2(line.startsWith(b) || line.startsWith(c), qPrintable(line));
                } else if (verb == "image-differs") { // image a against the last export
                    QCOMPARE(compareImage(g.p.path(a), made.folder), b);
                } else if (verb == "volume-label") {
                    QCOMPARE(volumeLabel(a), b);
                } else if (verb == "started") { // the player the last export started
                    QCOMPARE(g.started.value(g.started.size() - 1), a);
                } else if (verb == "tree") { // a folder's files against tests/data/b
                    const QByteArray tree = treeOf(g.p.path(a.mid(2))).join('\n').toUtf8() + '\n';
                    QCOMPARE(tree, golden(b, tree));
                } else if (verb == "page") { // a printable page of the last export
                    QString page = decodeUtf16Le(readBytes(g.p.path("Resources/Default.html")));
                    page.replace("%Title%", b).replace("%Matn%", c);
                    QCOMPARE(readBytes(made.folder + "/" + a), encodeUtf16Le(page));
                } else if (verb == "log-ends") { // from the last export's start, without the check
                    QStringList ends = g.p.entries();
                    ends = ends.mid(ends.lastIndexOf("Exporting files..."));
                    ends.removeIf([](const QString& e) { return e.startsWith("Disc check: "); });
                    QCOMPARE(ends.join(u'|'), a);
                } else {
                    known = false;
                }
            });
    }

    // The script's grammar, its blind spots as stored scripts rely on them, and the failures.
    void scriptsAndFailures_data() {
        tableData("export/scripts.tsv", {"script", "outcome", "tree", "says", "logged"});
    }
    void scriptsAndFailures() {
        QFETCH(QString, script);
        QFETCH(QString, outcome);
        QFETCH(QString, tree);
        QFETCH(QString, says);
        QFETCH(QString, logged);
        Program g;
        if (script == "-")
            QFile::remove(g.p.path("Resources/Export.inf"));
        else
            g.script(script);
        const ExportResult r = g.exportNow();
        const QStringList outcomes{"exported", "noscript", "failed", "cancelled"};
        QCOMPARE(outcomes.value(int(r.outcome)), outcome);
        if (tree != "*")
            QCOMPARE(treeOf(r.folder.isEmpty() ? g.exports : r.folder).join(';'), tree);
        if (!says.isEmpty())
            QCOMPARE(g.p.prompts.shown.last().text, says);
        QVERIFY(g.p.entries().join('\n').contains(logged));
        if (r.outcome == ExportOutcome::Failed) {
            QCOMPARE(g.p.entries().last(), QStringLiteral("Payam number 28 displayed."));
            QVERIFY(!g.p.entries().contains("Files exported."));
        }
    }

    // Nothing written outside the new export folder, nothing read from outside Resources or
    // the project: a script that tries is an error of the script (28, the line in the log).
    void scriptsStayInside_data() {
        tableData("export/scripts_stay_inside.tsv", {"entries", "line"});
    }
    void scriptsStayInside() {
        QFETCH(QString, entries);
        QFETCH(QString, line);
        Program g;
        QDir().mkpath(g.p.path("beside"));
        writeBytes(g.p.path("beside/secret.txt"), "secret");
        QFile::link(g.p.path("beside/secret.txt"), g.project + "/BookTXT/linked.txt");
        g.script(entries + "[ End ]");
        const QStringList around = treeOf(g.p.folder());
        const QByteArray css = readBytes(g.p.path("Resources/player.css"));
        const ExportResult r = g.exportNow();
        QCOMPARE(r.outcome, ExportOutcome::Failed);
        QVERIFY(g.p.entries().join('\n').contains("Export stopped at \"" + line + "\""));
        QCOMPARE(g.p.entries().last(), QStringLiteral("Payam number 28 displayed."));
        // Around the export, the same files, the resource whole; no export that looks done.
        QStringList now = treeOf(g.p.folder());
        now.removeIf([](const QString& f) { return f.startsWith("out/") || f == "Vonk.txt"; });
        QStringList was = around;
        was.removeIf([](const QString& f) { return f.startsWith("out/") || f == "Vonk.txt"; });
        QCOMPARE(now, was);
        QCOMPARE(readBytes(g.p.path("Resources/player.css")), css);
        QVERIFY(!QFile::exists(g.exports + "/Export 1"));
    }

    // Cancel stops: no partial file, no message 29, no player; what was made stays.
    void cancelLeavesNoPartialFile() {
        Program g;
        const QByteArray big(20 << 20, 'x');
        g.put("BookTXT/a.bin", big);
        g.put("BookTXT/b.bin", big);
        g.put("BookTXT/c.bin", big);
        CancelAfter after(1);
        const ExportResult r = g.exportNow(false, &after);
        QCOMPARE(r.outcome, ExportOutcome::Cancelled);
        const QStringList files = QDir(r.folder + "/Data/BookTXT").entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QCOMPARE(QFileInfo(r.folder + "/Data/BookTXT/" + files[0]).size(), qint64(big.size()));
        QCOMPARE(g.p.entries().last(), QStringLiteral("Export cancelled by user."));
        for (const auto& shown : g.p.prompts.shown)
            QVERIFY(!shown.text.contains(u8("آماده رايت")));
    }

    // The check before the disc on a good export and on one crafted fault at a time; an
    // export with an error says so in place of message 29, and the list is shown.
    void checkBeforeTheDisc_data() { tableData("export/disc_check.tsv", {"change", "found"}); }
    void checkBeforeTheDisc() {
        QFETCH(QString, change);
        QFETCH(QString, found);
        TestProgram p;
        const QString cd = p.path("Export 1");
        copyAsWritten("export/disc_check_cd", cd);
        const auto edit = [&](const QString& file, const QString& from, const QString& to) {
            const QString text = QString::fromUtf8(readBytes(cd + "/" + file));
            writeBytes(cd + "/" + file, QString(text).replace(from, to).toUtf8());
        };
        if (change.startsWith("data ")) // a text of the player data put for another
            edit("Data/quizdata.js", change.mid(5).section(" => ", 0, 0),
                 change.section(" => ", 1));
        if (change.startsWith("index "))
            writeBytes(cd + "/Data/_xml/BookTitle.xml",
                       readBytes(cd + "/Data/_xml/BookTitle.xml") +
                           encodeUtf16Le(change.mid(6).replace("\\t", "\t") + "\r\n").mid(2));
        if (change.startsWith("rm "))
            QVERIFY(QFile::remove(cd + "/" + change.mid(3)));
        if (change.startsWith("touch "))
            writeBytes(cd + "/" + change.mid(6), "x");
        if (change.startsWith("size ")) {
            QFile big(cd + "/Data/BookTXT/big.bin"); // sparse: no disk is filled
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(change.mid(5).toLongLong()));
        }
        const DiscCheck check = checkExport(cd);
        QCOMPARE(check.lines(), found.split('\n'));
        QCOMPARE(check.hasErrors(), found.startsWith(u8("خطا")));
    }
};

QTEST_GUILESS_MAIN(CdExportTest)
#include "tst_cd_export.moc"
