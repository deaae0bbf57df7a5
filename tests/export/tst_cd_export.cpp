// The player's settings file and media copies, settings kept in the project file, and the
// CD export by script, on temporary program folders.
#include "app/messages.h"
#include "export/cd_export.h"
#include "export/disc_check.h"
#include "export/disc_image.h"
#include "export/export_script.h"
#include "export/output_folders.h"
#include "export/player_settings.h"
#include "export/quiz_data.h"
#include "platform/fs_error.h"
#include "platform/text_codec.h"
#include "store/catalogue.h"
#include "store/project_settings.h"
#include "support/documents.h"
#include "support/export_program.h"
#include "support/golden.h"
#include "support/test_program.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

QByteArray utf16(const QString& text) {
    return encodeUtf16Le(text);
}

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
    void cdPropertyForEveryChoice() {
        // Each choice against its opposite; a half-checked print box prints.
        for (bool first : {true, false}) {
            Program g;
            SettingsChoice c;
            c.firstTemplate = first;
            c.musicOn = !first;
            c.print = first ? Qt::PartiallyChecked : Qt::Unchecked;
            SaveThings(g.p.context(), c, g.project, "BookTXT");
            const QString expected =
                QString("<strings>\r\n\t<Olgoo>%1</Olgoo>\r\n\t<Music>%2</Music>\r\n\t"
                        "<Print>%3</Print>\r\n</strings>")
                    .arg(first ? "1" : "2", first ? "0" : "1", first ? "1" : "0");
            QCOMPARE(readBytes(g.project + "/BookTXT/CDProperty.xml"), utf16(expected));
        }
        SettingsChoice c;
        QCOMPARE(SettingCode(c, 7), QStringLiteral("0"));
    }

    void mediaCopies() {
        Program g;
        SettingsChoice c;
        c.music1 = g.p.path("Resources\\MySound1.mp3"); // as stored, either separator
        c.music2 = g.p.path("Resources/MySound2.mp3");
        c.back = g.p.path("Resources/MyBack.jpg");
        // Music off: no sound copied, none deleted.
        writeBytes(g.project + "/FlashIMG/Sound1.mp3", "old");
        c.musicOn = false;
        SaveThings(g.p.context(), c, g.project, "BookTXT");
        QCOMPARE(readBytes(g.project + "/FlashIMG/Sound1.mp3"), QByteArray("old"));
        QVERIFY(!QFile::exists(g.project + "/FlashIMG/Sound2.mp3"));
        QCOMPARE(readBytes(g.project + "/FlashIMG/Back.jpg"), readBytes(c.back));
        // Music on: both copied over the old ones.
        c.musicOn = true;
        SaveThings(g.p.context(), c, g.project, "BookTXT");
        QCOMPARE(readBytes(g.project + "/FlashIMG/Sound1.mp3"),
                 readBytes(g.p.path("Resources/MySound1.mp3")));
        QCOMPARE(readBytes(g.project + "/FlashIMG/Sound2.mp3"), readBytes(c.music2));
        // The source is the copy itself, under other spellings and through a link.
        const QByteArray back = readBytes(g.project + "/FlashIMG/Back.jpg");
        c.back = g.project + "/FlashIMG/../FlashIMG/Back.jpg";
        SaveThings(g.p.context(), c, g.project, "BookTXT");
        QCOMPARE(readBytes(g.project + "/FlashIMG/Back.jpg"), back);
        QVERIFY(QFile::link(g.project + "/FlashIMG/Back.jpg", g.p.path("link.jpg")));
        c.back = g.p.path("link.jpg");
        SaveThings(g.p.context(), c, g.project, "BookTXT");
        QCOMPARE(readBytes(g.project + "/FlashIMG/Back.jpg"), back);
        QVERIFY(g.p.entries().contains("Back.jpg is already in place."));
        // A missing source keeps the old copy and says so in the log.
        c.back = g.p.path("none.jpg");
        QVERIFY(SaveThings(g.p.context(), c, g.project, "BookTXT"));
        QCOMPARE(readBytes(g.project + "/FlashIMG/Back.jpg"), back);
        QVERIFY(g.p.entries().join('\n').contains("Skipped Back.jpg: file not found: " + c.back));
        // A file that cannot be written: the old files whole, the author told (106).
        const QByteArray settings = readBytes(g.project + "/BookTXT/CDProperty.xml");
        c.back = g.p.path("Resources/MyBack.jpg");
        c.firstTemplate = !c.firstTemplate;
        QDir(g.project + "/FlashIMG").removeRecursively();
        QVERIFY(!SaveThings(g.p.context(), c, g.project, "BookTXT"));
        QVERIFY(g.p.prompts.shown.last().text.startsWith(PayamText(kNoticeSettingsNotSaved)));
        QVERIFY(g.p.prompts.shown.last().text.contains(u8("شاخه پيدا نشد")));
        QDir(g.project + "/BookTXT").removeRecursively();
        QVERIFY(!SaveThings(g.p.context(), c, g.project, "BookTXT"));
        QVERIFY(g.p.entries().join('\n').contains("Settings not saved: Path not found"));
        QVERIFY(!settings.isEmpty());
    }

    // The changes themselves are checked through the widgets (tst_settings_area); here a
    // Settings block that lacks elements, and values that would damage the file.
    void settingsKeptInTheProjectFile() {
        TestProgram p;
        writeBytes(p.path("Projects.xml"),
                   utf16("<Projects>\r\n\t<Count Adad=\"0\">\r\n</Projects>\r\n"));
        QDir().mkpath(p.path("Project 1"));
        NewProjXml(p.context(), p.path("Project 1"), "Export");
        const QString file = p.path("Project 1/Project.xml");
        const QString expected = decodeUtf16Le(readBytes(file));
        // A Settings block without some elements gets them; the blocks go first, where
        // the reader's prefix search finds Music before Music1.
        QString lacking = expected;
        lacking.remove("\t<Music>1</Music>\r\n");
        lacking.remove("\t<Import Path=\"" + p.folder() + "/Zar\">\r\n");
        QVERIFY(!lacking.contains("<Music>") && !lacking.contains("<Import "));
        writeBytes(file, utf16(lacking));
        KeepSetting(p.context(), p.path("Project 1"), "Music", "0");
        KeepSetting(p.context(), p.path("Project 1"), "Import", "Zar");
        const QString now = decodeUtf16Le(readBytes(file));
        QVERIFY(now.contains("<Settings>\r\n\t<Music>0</Music>\r\n\t<Music1 "));
        QVERIFY(now.contains("\t<Import Path=\"Zar\">\r\n</Settings>"));
        // A value that would damage the file is refused.
        const QByteArray before = readBytes(file);
        KeepSetting(p.context(), p.path("Project 1"), "BackPic", "a\"b");
        QCOMPARE(readBytes(file), before);
        QCOMPARE(p.entries().last(), QStringLiteral("Payam number 30 displayed."));
    }

    void scriptGrammar() {
        const QString s = "x\r\n[ Make Folder ]\r\nA\r\nA\\B\r\n\r\n[ Copy File ]\r\n"
                          "  main.exe   =>  root  \r\nlost => root\r\n[ Copy Folder ]\r\n"
                          "only => one\r\n[";
        QCOMPARE(*scriptSection(s, "[ Make Folder ]"), (QStringList{"A", "A\\B"}));
        // The last entry before the next header, with no empty line, is lost.
        QCOMPARE(*scriptSection(s, "[ Copy File ]"), QStringList{"  main.exe   =>  root  "});
        QCOMPARE(scriptSection(s, "[ Copy Folder ]")->size(), 0);
        QCOMPARE(splitCopyEntry("  main.exe   =>  root  ")->source, QStringLiteral("main.exe"));
        QCOMPARE(splitCopyEntry("a=>b=>c")->target, QStringLiteral("b=>c"));
        QVERIFY(!splitCopyEntry("no arrow"));
        // A last section with no "[" after it cannot be cut.
        QVERIFY(!scriptSection("[ Copy File ]\r\na => root\r\n\r\n", "[ Copy File ]"));
        QVERIFY(!scriptSection(s, "[ copy file ]"));
    }

    // The shipped script makes the CD tree it lists; a second export goes beside it.
    void shippedScriptMakesTheTree() {
        Program g;
        g.put("BookTXT/page.htm", utf16("x"));
        g.put("BookTXT/CDProperty.xml", utf16("y"));
        g.put("_xml/BookTitle.xml", utf16("z"));
        g.put("_xml/quiz11.xml", utf16("q"));
        g.put("FlashIMG/Back.jpg", "j");
        g.put("BookTXT/sub/deeper.txt", "not copied"); // only files directly inside
        QCOMPARE(g.exportNow().outcome, ExportOutcome::Exported);
        const QString one = g.exports + "/Export 1";
        const QByteArray tree = treeOf(one).join('\n').toUtf8() + '\n';
        QCOMPARE(tree, golden("export/shipped_tree.txt", tree));
        QCOMPARE(readBytes(one + "/Data/_xml/quiz11.xml"), utf16("q"));
        QCOMPARE(readBytes(one + "/autorun.inf"), readBytes(g.p.path("Resources/autorun.inf")));
        QVERIFY(g.p.prompts.shown.last().text.endsWith(
            QStringLiteral(u"\r\nخروجي گرفته شده آماده رايت بر روي سي\u200Cدي است!\u200F")));
        QStringList ends = g.p.entries().mid(g.p.entries().indexOf("Exporting files..."));
        // The check before the disc: no lessons (a warning), the size (a note).
        const QStringList checked = ends.filter(QRegularExpression("^Disc check: "));
        QCOMPARE(checked.size(), 2);
        QCOMPARE(checked[0], u8("Disc check: هشدار: Data/quizdata.js — لوح درسي ندارد"));
        QVERIFY(
            QRegularExpression(u8("^Disc check: توضيح: [0-9.]+ كيلوبايت — روي يك سي\u200Cدي \\(700 "
                                  "مگابايت\\) جا مي\u200Cشود$"))
                .match(checked[1])
                .hasMatch());
        ends.removeIf([](const QString& e) { return e.startsWith("Disc check: "); });
        QCOMPARE(ends, (QStringList{"Exporting files...", "Payam number 29 displayed.",
                                    "Files exported.", "Exported Main.exe played."}));
        // No main.exe: the page is the player.
        QCOMPARE(g.started, QStringList{one + "/index.html"});
        QCOMPARE(g.exportNow().folder, g.exports + "/Export 2");
        QCOMPARE(treeOf(g.exports + "/Export 2"), treeOf(one));
    }

    // The player's data: every text as the tool wrote it, escaped so it cannot end the
    // script it stands in.
    // The lessons are the project file's that have a quiz file, in its order and under its
    // titles: not a stale line of the index, nor a quiz file a lesson no longer owns.
    void quizDataForThePlayer() {
        Program g;
        // The project's files as the tool writes them: UTF-16 with CR LF, the copies as they are.
        for (const auto& [name, bytes] :
             filesUnder(sourceFile("tests/data/export/quiz_data_project")).asKeyValueRange())
            g.put(name, name.endsWith(".xml")
                            ? utf16(QString::fromUtf8(bytes).replace("\n", "\r\n"))
                            : bytes);
        SettingsChoice c;
        c.firstTemplate = false;
        c.musicOn = false;
        c.print = Qt::Checked;
        c.back = g.p.path("Resources/MyBack.jpg");
        SaveThings(g.p.context(), c, g.project, "BookTXT");
        QCOMPARE(g.exportNow().outcome, ExportOutcome::Exported);
        const QByteArray script = readBytes(g.exports + "/Export 1/Data/quizdata.js");
        QVERIFY(!script.contains('<'));
        QVERIFY(!script.contains("</script>") && !script.contains(QByteArray("\xE2\x80\xA8")));
        // Every lesson, question and setting as the player reads it.
        const qsizetype open = script.indexOf('{'), close = script.lastIndexOf('}');
        QByteArray data = QJsonDocument::fromJson(script.mid(open, close - open + 1))
                              .toJson(QJsonDocument::Indented);
        data.replace(g.p.folder().toUtf8(), "@program");
        QCOMPARE(QString::fromUtf8(data), QString::fromUtf8(golden("export/quiz_data.json", data)));
        QVERIFY(script.startsWith("// Made by Tavrin"));
        QVERIFY(script.contains("\nconst TAVRIN_DATA = {"));
    }

    void playerStartsWhenShipped() {
        Program g;
        writeBytes(g.p.path("Resources/main.exe"), "MZ");
        // "x" is lost: no empty line follows it.
        g.script("[ Make Folder ]\r\nD\r\n\r\n[ Copy Folder ]\r\nx\r\n[ Copy File ]\r\n"
                 "main.exe => root\r\n\r\n[ End ]");
        QCOMPARE(g.exportNow().outcome, ExportOutcome::Exported);
        QCOMPARE(g.started, QStringList{g.exports + "/Export 1/main.exe"});
    }

    void printablePages() {
        Program g;
        g.put("BookTXT/a.htm", utf16("<pgTitle>درس %Matn%</pgTitle><pgMain>متن</pgMain> پايان"));
        g.put("BookTXT/b.HTM", utf16("<pgMain>بي عنوان</pgMain>"));
        g.put("BookTXT/c.html", utf16("not a page"));
        g.put("BookTXT/htm", utf16("<pgTitle>t</pgTitle>name is its extension"));
        // The grey state makes no pages.
        QCOMPARE(g.exportNow(false).outcome, ExportOutcome::Exported);
        QVERIFY(!QFile::exists(g.exports + "/Export 1/Data/BookTXT/a.html"));
        QCOMPARE(g.exportNow(true).outcome, ExportOutcome::Exported);
        const QString pages = g.exports + "/Export 2/Data/BookTXT/";
        const QString templ = decodeUtf16Le(readBytes(g.p.path("Resources/Default.html")));
        QVERIFY(templ.contains("%Title%") && templ.contains("%Matn%") &&
                templ.contains("dir=\"rtl\""));
        const auto page = [&](const QString& title, const QString& body) {
            QString t = templ;
            t.replace("%Title%", title);
            t.replace("%Matn%", body);
            return utf16(t);
        };
        // The title is put in first, so "%Matn%" inside it takes the body too.
        const QString bodyA = u8("<p align=\"right\">متن</p> پايان");
        QCOMPARE(readBytes(pages + "a.html"), page(u8("درس ") + bodyA, bodyA));
        QCOMPARE(readBytes(pages + "b.HTMl"), page("", u8("<p align=\"right\">بي عنوان</p>")));
        QCOMPARE(readBytes(pages + "html"), page("t", "name is its extension"));
        QVERIFY(!QFile::exists(pages + "c.htmll"));
    }

    // The grammar's blind spots, as stored scripts rely on them, and the failures.
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

    // A quiz file that names a file outside the CD is refused the same way.
    void quizFilesStayInside() {
        Program g;
        g.put("Project.xml", utf16("<Reshteh>\r\n\t<Count Adad=\"1\">\r\n\t<Resh1 Name=\"F\">\r\n"
                                   "\t\t<Count Adad=\"1\">\r\n\t<Dars1 Name=\"L\">\r\n</Resh1 >\r\n"
                                   "</Reshteh>\r\n"));
        g.put("_xml/quiz0-0.xml", utf16("<quiz qNo='0-0' IDname='L'>\r\n\t<question0>\r\n"
                                        "\t\t<question No='0'>q</question>\r\n"
                                        "\t\t<img0>../../../../secret.txt</img0>\r\n"
                                        "\t</question0>\r\n"));
        QCOMPARE(g.exportNow().outcome, ExportOutcome::Failed);
        QVERIFY(g.p.entries().join('\n').contains(
            "names a file outside the CD: ../../../../secret.txt"));
        // A lesson titled with half a surrogate pair keeps its place, the half made U+FFFD.
        g.put("Project.xml",
              utf16(QString("<Reshteh>\r\n\t<Count Adad=\"1\">\r\n\t<Resh1 Name=\"F\">"
                            "\r\n\t\t<Count Adad=\"1\">\r\n\t<Dars1 Name=\"") +
                    QChar(0xD83D) + "\">\r\n</Resh1 >\r\n</Reshteh>\r\n"));
        g.put("_xml/quiz0-0.xml",
              utf16(QString("<quiz qNo='0-0' IDname='") + QChar(0xD83D) +
                    "'>\r\n\t<question0>\r\n\t\t<question No='0'>" + QChar(0xD83D) +
                    "</question>\r\n\t\t<img0>quiz0-0-0.jpg"
                    "</img0>\r\n\t</question0>\r\n"));
        g.put("BookTXT/quiz0-0-0.jpg", "j");
        const ExportResult r = g.exportNow();
        QCOMPARE(r.outcome, ExportOutcome::Exported);
        const QByteArray script = readBytes(r.folder + "/Data/quizdata.js");
        const QJsonObject data =
            QJsonDocument::fromJson(
                script.mid(script.indexOf('{'), script.lastIndexOf('}') - script.indexOf('{') + 1))
                .object();
        const QJsonObject lesson = data["lessons"].toArray()[0].toObject();
        QCOMPARE(lesson["title"].toString(), QString(QChar::ReplacementCharacter));
        QCOMPARE(lesson["questions"].toArray()[0].toObject()["images"].toObject()["0"].toString(),
                 QStringLiteral("Data/BookTXT/quiz0-0-0.jpg"));
    }

    // What the files of a project may hold that must not reach a CD as it is: a script
    // saved with LF line ends reads as with CR LF; the tool's working files stay behind; a
    // name this system cannot spell stops the export and is named; an export a kill cut
    // short is removed (and logged) before the next, which takes its number.
    void whatTheFilesHold() {
        Program g;
        writeBytes(g.p.path("Resources/Export.inf"),
                   readBytes(g.p.path("Resources/Export.inf")).replace("\r\n", "\n"));
        g.put("BookTXT/.a.jpg.copy-Ab12Cd", "half");
        g.put("_xml/quiz0-0.xml.x1Y2z3", "half");
        for (const char* own :
             {"_xml/quiz0-0.draft", "_xml/quiz0-0.groups", "_xml/quiz0-1.draft.damaged"})
            g.put(own, "the author's");
        QDir().mkpath(g.exports + "/Export 1.partial/Data");
        QCOMPARE(g.exportNow().outcome, ExportOutcome::Exported);
        const QString one = g.exports + "/Export 1";
        QVERIFY(QFile::exists(one + "/index.html") && QFile::exists(one + "/Data/quizdata.js"));
        QVERIFY(!QFile::exists(one + "/Data/BookTXT/.a.jpg.copy-Ab12Cd"));
        QVERIFY(!QFile::exists(one + "/Data/_xml/quiz0-0.xml.x1Y2z3"));
        for (const char* own : {"quiz0-0.draft", "quiz0-0.groups", "quiz0-1.draft.damaged"})
            QVERIFY(!QFile::exists(one + "/Data/_xml/" + own));
        QVERIFY(!QFile::exists(g.exports + "/Export 1.partial"));
        QVERIFY(g.p.entries().join('\n').contains("Unfinished export removed: "));
        const QByteArray bad("\xff\xfe-bad.jpg");
        const std::string path = (QFile::encodeName(g.project + "/BookTXT/") + bad).toStdString();
        FILE* f = std::fopen(path.c_str(), "w");
        QVERIFY(f);
        std::fclose(f);
        const ExportResult r = g.exportNow();
        QCOMPARE(r.outcome, ExportOutcome::Failed);
        QVERIFY(g.p.entries().join('\n').contains("File name not valid in this system's encoding"));
        QVERIFY(!QFile::exists(g.exports + "/Export 2"));
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
        const auto put = [&](const QString& name, const QByteArray& bytes) {
            QDir().mkpath(QFileInfo(cd + "/" + name).path());
            writeBytes(cd + "/" + name, bytes);
        };
        QJsonObject q{{"n", 0},
                      {"text", "q"},
                      {"answers", QJsonArray{"a", "b"}},
                      {"correct", 2},
                      {"explanation", ""},
                      {"images", QJsonObject{{"0", "Data/BookTXT/quiz0-0-0.png"}}},
                      {"attach", "Data/BookTXT/AB.pdf"},
                      {"sound", QJsonValue()},
                      {"film", QJsonValue()},
                      {"back", QJsonValue()}};
        if (change == "answers []")
            q["answers"] = QJsonArray();
        if (change == "correct 5")
            q["correct"] = 5;
        const QJsonObject data{
            {"lessons", QJsonArray{QJsonObject{
                            {"id", "0-0"}, {"title", u8("علوم")}, {"questions", QJsonArray{q}}}}},
            {"settings", QJsonObject{}},
            {"media", QJsonObject{{"back", QJsonValue()}, {"music", QJsonArray{}}}}};
        put("index.html", "<html>");
        put("autorun.inf", "[autorun]");
        put("Data/quizdata.js",
            "const TAVRIN_DATA = " + QJsonDocument(data).toJson(QJsonDocument::Compact) + ";\n");
        QString index = u8("<strings>\r\n\t<quiz0-0>علوم</quiz0-0>\r\n");
        if (change.startsWith("index "))
            index += change.mid(6).replace("\\t", "\t") + "\r\n";
        put("Data/_xml/BookTitle.xml", encodeUtf16Le(index));
        put("Data/_xml/quiz0-0.xml",
            encodeUtf16Le("<quiz qNo='0-0' "
                          "IDname='x'>\r\n\t<question0>\r\n\t\t<img0>quiz0-0-0.png</"
                          "img0>\r\n\t\t<attach>AB.pdf</attach>\r\n\t</question0>\r\n"));
        put("Data/BookTXT/quiz0-0-0.png", "png");
        put("Data/BookTXT/AB.pdf", "pdf");
        if (change.startsWith("rm "))
            QVERIFY(QFile::remove(cd + "/" + change.mid(3)));
        if (change.startsWith("touch "))
            put(change.mid(6), "x");
        if (change.startsWith("size ")) {
            QFile big(cd + "/Data/BookTXT/big.bin"); // sparse: no disk is filled
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(change.mid(5).toLongLong()));
        }
        const DiscCheck check = checkExport(cd);
        QStringList lines = check.lines();
        QVERIFY2(lines.last().startsWith(u8("توضيح: ")) ||
                     lines.last().contains(u8("سي\u200Cدي")) || lines.last().contains(u8("لوحي")),
                 qPrintable(lines.join('\n')));
        if (!found.contains(u8("لوح جا")) && !found.contains(u8("سي\u200Cدي بزرگ")) &&
            !found.contains(u8("هيچ لوحي")))
            lines.removeLast(); // the size note
        QCOMPARE(lines, found.isEmpty() ? QStringList() : found.split('\n'));
        QCOMPARE(check.hasErrors(), found.startsWith(u8("خطا")));
    }

    void anExportWithErrorsSaysSo() {
        Program g;
        g.put("_xml/BookTitle.xml", utf16(u8("<strings>\r\n\t<quiz0-0>درس</quiz0-0>\r\n")));
        QCOMPARE(g.exportNow().outcome, ExportOutcome::Exported);
        // The list came through the prompts (a scripted one shows it as a notice) with 111
        // under it, not in a box after it.
        const auto& list = g.p.prompts.shown.last();
        QCOMPARE(list.caption, u8("بررسي لوح"));
        QCOMPARE(list.text.split("\r\n").mid(0, 2),
                 (QStringList{u8("اين خروجي پيش از رايت بايد درست شود:"),
                              u8("خطا: درس «درس» — فايل آزمون ندارد")}));
        QCOMPARE(
            list.text.split("\r\n").last(),
            u8("خروجي گرفته شد، ولي براي رايت روي لوح آماده نيست: فهرست بررسي را ببينيد!\u200F"));
        QVERIFY(g.p.entries().contains("Payam number 111 displayed."));
        const auto check = checkExport(g.exports + "/Export 1");
        QVERIFY(check.hasErrors());
        QVERIFY_THROWS_EXCEPTION(FsError, checkExport(g.p.path("nowhere")));
    }

    // The disc image of the shipped sample's export, with a Persian name holding a ZWNJ and a
    // name of 100 letters, read back file for file by libisofs and by xorriso; a cancelled or
    // failed image leaves no file.
    void discImage() {
        // Under the usual umask, what the export writes is for others to read too.
        const mode_t umaskBefore = ::umask(022);
        Program g;
        for (const auto& [name, bytes] :
             filesUnder(sourceFile("dist/catalogue/Sample")).asKeyValueRange())
            g.put(name, bytes);
        g.put(u8("BookTXT/درس\u200Cها.txt"), "zwnj");
        g.put("BookTXT/" + QString(96, u'a') + ".txt", "long");
        g.put("BookTXT/big.bin", QByteArray(3 << 20, 'b'));
        const ExportResult made = g.exportNow();
        QCOMPARE(made.outcome, ExportOutcome::Exported);
        // The project's title goes with the export: the window and the command line label
        // the disc from it alike.
        QCOMPARE(exportTitle(made.folder), u8("نمونه: آزمون پايه هفتم"));
        QDirIterator tree(made.folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                          QDirIterator::Subdirectories);
        int entries = 0;
        while (tree.hasNext()) {
            const QFileInfo entry(tree.next());
            struct stat st {};
            QVERIFY(::stat(QFile::encodeName(entry.filePath()).constData(), &st) == 0);
            QCOMPARE(st.st_mode & 07777, entry.isDir() ? 0755u : 0644u);
            ++entries;
        }
        QVERIFY(entries > 10);
        // Another user of the machine opens the CD's page.
        QFile::setPermissions(g.p.folder(), QFile::permissions(g.p.folder()) | QFile::ReadOther |
                                                QFile::ExeOther | QFile::ReadGroup |
                                                QFile::ExeGroup);
        if (::geteuid() == 0 && !QStandardPaths::findExecutable("setpriv").isEmpty()) {
            QProcess nobody;
            nobody.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "cat",
                                     made.folder + "/index.html"});
            QVERIFY(nobody.waitForFinished(30000));
            QCOMPARE(nobody.exitCode(), 0);
            QCOMPARE(nobody.readAllStandardOutput(), readBytes(made.folder + "/index.html"));
        }
        const QString iso = g.p.path("cd.iso");
        QList<qint64> steps;
        const ImageResult image = makeDiscImage(made.folder, iso, volumeLabel(u8("نمونه Grade 7")),
                                                [&](qint64 done, qint64) {
                                                    steps << done;
                                                    return true;
                                                });
        QCOMPARE(image.outcome, ImageOutcome::Made);
        QVERIFY2(image.readBackMatched, qPrintable(image.description));
        QCOMPARE(image.files, int(filesUnder(made.folder).size()));
        QVERIFY(steps.size() >= 3 && std::is_sorted(steps.begin(), steps.end()));
        // Read back by another reader: every file's name and bytes.
        if (!QStandardPaths::findExecutable("xorriso").isEmpty()) {
            const QString out = g.p.path("read-back");
            QProcess xorriso;
            xorriso.start("xorriso", {"-osirrox", "on", "-indev", iso, "-extract", "/", out});
            QVERIFY(xorriso.waitForFinished(60000) && xorriso.exitCode() == 0);
            QCOMPARE(filesUnder(out), filesUnder(made.folder));
            // Every file 0644 and every folder 0755 on the disc.
            QProcess modes;
            modes.start("xorriso", {"-indev", iso, "-find", "/", "-exec", "lsdl"});
            QVERIFY(modes.waitForFinished(60000) && modes.exitCode() == 0);
            const QStringList listed =
                QString::fromUtf8(modes.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
            QVERIFY(listed.size() > 10);
            for (const QString& line : listed)
                QVERIFY2(line.startsWith("-rw-r--r--") || line.startsWith("drwxr-xr-x"),
                         qPrintable(line));
            QProcess pvd;
            pvd.start("xorriso", {"-indev", iso, "-pvd_info"});
            QVERIFY(pvd.waitForFinished(60000));
            QVERIFY(
                QString::fromUtf8(pvd.readAllStandardOutput()).contains("Volume Id    : GRADE_7"));
        }
        // A file changed after the image: the read-back says which.
        writeBytes(made.folder + "/index.html", "changed");
        QCOMPARE(compareImage(iso, made.folder),
                 QStringLiteral("Differs in the image: index.html"));
        // Cancelled at the first step, or into a folder that is not there: no file left.
        const QString again = g.p.path("again.iso");
        QCOMPARE(
            makeDiscImage(made.folder, again, "X", [](qint64, qint64) { return false; }).outcome,
            ImageOutcome::Cancelled);
        QCOMPARE(makeDiscImage(made.folder, g.p.path("none/x.iso"), "X").outcome,
                 ImageOutcome::Failed);
        // Into the folder it images: refused before anything is written there.
        const auto files = filesUnder(made.folder);
        const ImageResult inside = makeDiscImage(made.folder, made.folder + "/inside.iso", "X");
        QCOMPARE(inside.outcome, ImageOutcome::Failed);
        QVERIFY(inside.description.startsWith("The image may not be inside the folder"));
        QCOMPARE(filesUnder(made.folder), files);
        QCOMPARE(QDir(g.p.folder()).entryList({"*.iso*"}, QDir::Files), QStringList{"cd.iso"});
        // The volume label: Latin-safe, at most 32, never empty.
        QCOMPARE(volumeLabel(u8("علوم پايه 7 - Grade 7")), QStringLiteral("7_GRADE_7"));
        QCOMPARE(volumeLabel(u8("علوم")), QStringLiteral("TAVRIN_CD"));
        QCOMPARE(volumeLabel(QString(40, u'x')), QString(32, u'X'));
        ::umask(umaskBefore);
    }
};

QTEST_GUILESS_MAIN(CdExportTest)
#include "tst_cd_export.moc"
