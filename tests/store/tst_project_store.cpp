#include "app/messages.h"
#include "app/texts.h"
#include "platform/text_codec.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/lessons.h"
#include "store/store_view.h"
#include "support/fake_view.h"
#include "support/test_program.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace tavrin;
using tavrin::test::FakeView;
using tavrin::test::readBytes;
using tavrin::test::TestProgram;
using tavrin::test::writeBytes;

namespace {

QByteArray utf16(const QString& s) {
    return encodeUtf16Le(s);
}

const QString kEmptyCatalogue =
    QStringLiteral("<Projects>\r\n\t<Count Adad=\"0\">\r\n</Projects>\r\n");

struct Store {
    TestProgram p;
    FakeView view{p.context()};
    QString catalogue() const { return p.path("Projects.xml"); }
    Store() { writeBytes(catalogue(), utf16(kEmptyCatalogue)); }
    QString projectFile() const { return view.path + "/Project.xml"; }
    QString project() const { return decodeUtf16Le(readBytes(projectFile())); }
    void newProject(const QString& title) { NewProj(p.context(), view, title); }
};

QString newProjectFile(const QString& app, const QString& title, const QString& when) {
    const QString r = app + "/Resources/";
    return "<XML:? Project: Tavrin CD Maker/>\r\n<Project>\r\n\t<Proj Name=\"" + title +
           "\" DateCreated=\"" + when +
           "\">\r\n</Project>\r\n<Reshteh>\r\n\t<Count Adad=\"0\">\r\n</Reshteh>\r\n<Settings>\r\n"
           "\t<Music>1</Music>\r\n\t<Music1 Path=\"" +
           r + "MySound1.mp3\">\r\n\t<Music2 Path=\"" + r +
           "MySound2.mp3\">\r\n\t<Olgoo>1</Olgoo>\r\n\t<BackPic Path=\"" + r +
           "MyBack.jpg\">\r\n\t<Printable>0</Printable>\r\n\t<Export Path=\"" + app +
           "/Export\">\r\n\t<Import Path=\"" + app + "/Zar\">\r\n</Settings>\r\n";
}

} // namespace

class ProjectStoreTest : public QObject {
    Q_OBJECT
private slots:
    void emptyCatalogueListsTwoEmptyEntries() {
        Store s;
        ReadProj(s.p.context(), s.view);
        QCOMPARE(s.view.lists[0], (QStringList{"", ""}));
        QCOMPARE(s.p.entries(), QStringList{"Reading projects..."});
    }

    void newProjectWritesCatalogueAndProjectFile() {
        Store s;
        s.newProject(QStringLiteral(u"آزمون اول"));
        const QString folder = s.p.folder() + "/Project 1";
        QCOMPARE(readBytes(s.catalogue()),
                 utf16("<Projects>\r\n\t<Count Adad=\"1\">\r\n\t<Proj1 Name=\"" +
                       QStringLiteral(u"آزمون اول") + "\" Path=\"" + folder +
                       "\" DateCreated=\"1386/9/13 9:05\">\r\n</Projects>\r\n"));
        QCOMPARE(
            readBytes(folder + "/Project.xml"),
            utf16(newProjectFile(s.p.folder(), QStringLiteral(u"آزمون اول"), "1386/9/13 9:05")));
        QCOMPARE(s.view.lists[0], (QStringList{QStringLiteral(u"آزمون اول"), "", ""}));
        QCOMPARE(s.view.selected[0], 0);
        QCOMPARE(s.view.path, folder);
        QCOMPARE(s.view.lists[1], (QStringList{"", ""}));
        // The defaults reach the settings controls.
        QVERIFY(s.view.settings.music1.endsWith("Resources/MySound1.mp3"));
        QCOMPARE(s.view.settings.olgoo, QStringLiteral("1"));
        QCOMPARE(s.view.settings.music, QStringLiteral("1"));
        QCOMPARE(s.view.settings.printable, QStringLiteral("0"));
        QCOMPARE(s.view.input, s.p.folder() + "/Zar");
        QCOMPARE(s.p.entries(),
                 (QStringList{"Creating project...", "Node Proj1 added.", "Value Path added.",
                              "Value DateCreated added.", "Value Adad updated.",
                              "Project file created.", "Reading projects...",
                              "Reading this project...", "Project number 1 created."}));
    }

    void newProjectSkipsTakenFolders() {
        Store s;
        s.newProject("A");
        QDir(s.p.folder()).mkdir("Project 2");
        QDir(s.p.folder()).mkdir("Project 3");
        s.newProject("B");
        QVERIFY(QFile::exists(s.p.path("Project 4/Project.xml")));
        const QString text = decodeUtf16Le(readBytes(s.catalogue()));
        QVERIFY(text.contains("\t<Proj2 Name=\"B\" Path=\"" + s.p.path("Project 4") + "\""));
        QVERIFY(text.contains("<Count Adad=\"2\">"));
    }

    void refusedTitlesCreateNothing() {
        Store s;
        s.newProject(QString());
        s.newProject("Say \"hi\"");
        s.newProject("a<b");
        QCOMPARE(readBytes(s.catalogue()), utf16(kEmptyCatalogue));
        QVERIFY(!QFile::exists(s.p.path("Project 1")));
        QCOMPARE(s.p.prompts.shown.size(), 2);
        QCOMPARE(s.p.prompts.shown[0].text,
                 QStringLiteral(u"عنوان نبايد شامل \" يا < يا > يا = باشد!\u200F"));
        QCOMPARE(s.p.entries(), (QStringList{"Creating project...", "Creating project...",
                                             "Payam number 30 displayed.", "Creating project...",
                                             "Payam number 30 displayed."}));
    }

    void deleteProjectRenumbersAndAsks() {
        Store s;
        s.newProject("A");
        s.newProject("B");
        s.newProject("C");
        const QByteArray before = readBytes(s.catalogue());
        s.view.selected[0] = 0;
        s.p.prompts.answers = {false};
        DelProj(s.p.context(), s.view, 1);
        QCOMPARE(readBytes(s.catalogue()), before);
        QCOMPARE(s.p.entries().last(), QStringLiteral("Aborted by user!"));
        QCOMPARE(s.p.prompts.shown.last().caption, QStringLiteral("Tavrin"));
        // The question says the folder stays on the disk, and where.
        QCOMPARE(s.p.prompts.shown.last().text,
                 QStringLiteral(u"آيا مايل به حذف پروژه «A» مي\u200Fباشيد؟") +
                     texts::kProjectFolderStays + QChar(0x202A) +
                     QDir::toNativeSeparators(s.p.path("Project 1")) + QChar(0x202C));

        s.view.selected[0] = 0;
        DelProj(s.p.context(), s.view, 1);
        const QString text = decodeUtf16Le(readBytes(s.catalogue()));
        const QString stamp = "\" DateCreated=\"1386/9/13 9:05\">\r\n";
        QCOMPARE(text, "<Projects>\r\n\t<Count Adad=\"2\">\r\n\t<Proj1 Name=\"B\" Path=\"" +
                           s.p.path("Project 2") + stamp + "\t<Proj2 Name=\"C\" Path=\"" +
                           s.p.path("Project 3") + stamp + "</Projects>\r\n");
        QCOMPARE(s.view.lists[0], (QStringList{"B", "C", "", ""}));
        QCOMPARE(s.view.selected[0], 1);
        QCOMPARE(s.p.entries().last(), QStringLiteral("Project number 1 deleted."));
        QVERIFY(QFile::exists(s.p.path("Project 1/Project.xml"))); // folders stay

        s.view.selected[0] = 3; // an empty trailing entry cannot be deleted
        const QByteArray two = readBytes(s.catalogue());
        DelProj(s.p.context(), s.view, 4);
        QCOMPARE(readBytes(s.catalogue()), two);
    }

    void deleteOnlyProject() {
        Store s;
        s.newProject("A");
        DelProj(s.p.context(), s.view, 1);
        QCOMPARE(readBytes(s.catalogue()), utf16(kEmptyCatalogue));
        QCOMPARE(s.view.selected[0], -1);
        QCOMPARE(s.p.entries().last(), QStringLiteral("Project number 1 deleted."));
    }

    void addExistingProject() {
        Store s;
        s.newProject("A");
        AddProj(s.p.context(), s.view, s.p.path("Project 1"));
        QCOMPARE(s.view.lists[0], (QStringList{"A", "A", "", ""}));
        QCOMPARE(s.view.selected[0], 1);
        QCOMPARE(s.p.entries().last(), QStringLiteral("Project number 2 added."));
        // No project file there: nothing happens.
        const QByteArray before = readBytes(s.catalogue());
        AddProj(s.p.context(), s.view, s.p.folder());
        QCOMPARE(readBytes(s.catalogue()), before);
        // No catalogue: fails at the count, writes nothing.
        QFile::remove(s.catalogue());
        AddProj(s.p.context(), s.view, s.p.path("Project 1"));
        QVERIFY(!QFile::exists(s.catalogue()));
        QVERIFY(s.p.entries().last().startsWith("Error occurred => Error number is 91 ("));
    }

    // A portable program folder moved elsewhere: the catalogue still names the old place. The
    // author is told, offered the folder of the same name here; No reads nothing, Yes keeps
    // the new place in the catalogue and reads the project from it.
    void movedProgramFolderFindsItsProject() {
        Store s;
        s.newProject("A");
        NewResh(s.p.context(), s.view, "F");
        QTemporaryDir old;
        const QString gone = old.filePath("Project 1");
        QString text = decodeUtf16Le(readBytes(s.catalogue()));
        text.replace(s.p.path("Project 1"), gone);
        writeBytes(s.catalogue(), utf16(text));
        const QByteArray moved = readBytes(s.catalogue());
        for (const bool yes : {false, true}) {
            s.p.prompts.answers = {yes};
            s.view.selectEntry(StoreList::Projects, 0);
            QVERIFY(s.p.prompts.shown.last().text.startsWith(texts::kAskProjectFoundHere.left(20)));
            QVERIFY(s.p.prompts.shown.last().text.contains(QDir::toNativeSeparators(gone)));
            QCOMPARE(s.view.path, yes ? s.p.path("Project 1") : QString());
            QCOMPARE(s.view.lists[1].value(0), yes ? QStringLiteral("F") : QString());
            QCOMPARE(readBytes(s.catalogue()) == moved, !yes);
        }
        QVERIFY(decodeUtf16Le(readBytes(s.catalogue())).contains(s.p.path("Project 1")));
        QVERIFY(s.p.entries().contains("Project number 1 found at " + s.p.path("Project 1") + "."));
    }

    void fieldsAndLessonsKeepTheirLayout() {
        Store s;
        s.newProject("P");
        NewResh(s.p.context(), s.view, "Physics");
        s.p.clock.time = s.p.clock.time.addSecs(60);
        NewResh(s.p.context(), s.view, "Chemistry");
        QCOMPARE(s.view.lists[1], (QStringList{"Physics", "Chemistry", "", ""}));
        QCOMPARE(s.view.selected[1], 1);
        s.view.selectEntry(StoreList::Fields, 0);
        NewDars(s.p.context(), s.view, "Lesson one");
        NewDars(s.p.context(), s.view, "Lesson two");
        QCOMPARE(s.view.lists[2], (QStringList{"Lesson one", "Lesson two", "", ""}));
        QCOMPARE(s.view.selected[2], 1);
        const QString t1 = "1386/9/13 9:05", t2 = "1386/9/13 9:06";
        QString fields =
            "<Reshteh>\r\n\t<Count Adad=\"2\">\r\n"
            "\t<Resh1 Name=\"Physics\" DateCreated=\"T1\">\r\n\t\t<Count Adad=\"2\">\r\n"
            "\t<Dars1 Name=\"Lesson one\" DateCreated=\"T2\">\r\n"
            "\t<Dars2 Name=\"Lesson two\" DateCreated=\"T2\">\r\n</Resh1 >\r\n"
            "\t<Resh2 Name=\"Chemistry\" DateCreated=\"T2\">\r\n\t\t<Count Adad=\"0\">\r\n"
            "</Resh2 >\r\n</Reshteh>\r\n";
        fields.replace("T1", t1).replace("T2", t2);
        QString expected = newProjectFile(s.p.folder(), "P", t1);
        expected.replace("<Reshteh>\r\n\t<Count Adad=\"0\">\r\n</Reshteh>\r\n", fields);
        QCOMPARE(readBytes(s.projectFile()), utf16(expected));
        QCOMPARE(s.p.entries().last(), QStringLiteral("Dars number 2 created."));

        // Field 2 has its own numbering.
        s.view.selectEntry(StoreList::Fields, 1);
        NewDars(s.p.context(), s.view, "Other");
        QVERIFY(s.project().contains("\t<Dars1 Name=\"Other\""));
        QVERIFY(s.project().contains("<Reshteh>\r\n\t<Count Adad=\"2\">"));
        s.view.selectEntry(StoreList::Fields, 0);
        QCOMPARE(s.view.lists[2], (QStringList{"Lesson one", "Lesson two", "", ""}));
    }

    void deletingLessonsAndFields() {
        Store s;
        s.newProject("P");
        for (const char* f : {"A", "B", "C"})
            NewResh(s.p.context(), s.view, f);
        s.view.selectEntry(StoreList::Fields, 0);
        for (const char* l : {"x", "y", "z"})
            NewDars(s.p.context(), s.view, l);
        s.view.selectEntry(StoreList::Fields, 1);
        NewDars(s.p.context(), s.view, "b1");

        // Lesson 2 of 3 in field 1.
        s.view.selectEntry(StoreList::Fields, 0);
        s.view.selected[2] = 1;
        DelDars(s.p.context(), s.view, 2);
        QString text = s.project();
        QVERIFY(
            text.contains("\t\t<Count Adad=\"2\">\r\n\t<Dars1 Name=\"x\" DateCreated=\"1386/9/13 "
                          "9:05\">\r\n\t<Dars2 Name=\"z\""));
        QVERIFY(text.contains("\t<Dars1 Name=\"b1\""));
        QVERIFY(!text.contains("\r\n\t\r\n") && !text.contains("\r\n\t\t\r\n"));
        QCOMPARE(s.view.selected[2], 1);
        QCOMPARE(s.p.entries().last(), QStringLiteral("Dars number 2 deleted."));

        // Field 1 of 3, with its lessons.
        s.view.selected[1] = 0;
        DelResh(s.p.context(), s.view, 1);
        text = s.project();
        QVERIFY(text.contains("<Reshteh>\r\n\t<Count Adad=\"2\">\r\n\t<Resh1 Name=\"B\""));
        QVERIFY(
            text.contains("\t<Dars1 Name=\"b1\" DateCreated=\"1386/9/13 9:05\">\r\n</Resh1 >\r\n"
                          "\t<Resh2 Name=\"C\""));
        QVERIFY(text.contains("</Resh2 >\r\n</Reshteh>"));
        QVERIFY(!text.contains("Name=\"x\"") && !text.contains("Resh3"));
        QVERIFY(!text.contains("\r\n\t\r\n") && !text.contains("\r\n\t\t\r\n"));
        QCOMPARE(s.view.lists[1], (QStringList{"B", "C", "", ""}));
        QCOMPARE(s.p.entries().last(), QStringLiteral("Reshteh number 1 deleted."));
    }

    void deleteOnlyFieldAndLessonAndAnswerNo() {
        Store s;
        s.newProject("P");
        NewResh(s.p.context(), s.view, "A");
        NewDars(s.p.context(), s.view, "only");
        const QByteArray before = readBytes(s.projectFile());
        s.p.prompts.answers = {false};
        DelDars(s.p.context(), s.view, 1);
        QCOMPARE(readBytes(s.projectFile()), before);
        QCOMPARE(s.p.prompts.shown.last().text,
                 QStringLiteral(u"آيا مايل به حذف درس «only» مي\u200Fباشيد؟"));
        DelDars(s.p.context(), s.view, 1);
        QVERIFY(s.project().contains("\t\t<Count Adad=\"0\">\r\n</Resh1 >"));
        QCOMPARE(s.view.selected[2], -1);
        QCOMPARE(s.p.entries().last(), QStringLiteral("Dars number 1 deleted."));
        DelResh(s.p.context(), s.view, 1);
        QCOMPARE(s.p.prompts.shown.last().text,
                 QStringLiteral(u"آيا مايل به حذف رشته «A» مي\u200Fباشيد؟"));
        QCOMPARE(readBytes(s.projectFile()),
                 utf16(newProjectFile(s.p.folder(), "P", "1386/9/13 9:05")));
        QCOMPARE(s.view.selected[1], -1);
        QCOMPARE(s.p.entries().last(), QStringLiteral("Reshteh number 1 deleted."));
    }

    void settingsFollowTheFile() {
        Store s;
        s.newProject("P");
        QString text = s.project();
        text.replace("<Olgoo>1</Olgoo>", "<Olgoo>2</Olgoo>");
        text.replace("<Printable>0</Printable>", "<Printable>1</Printable>");
        text.replace("<Music>1</Music>", "<Music>0</Music>");
        writeBytes(s.projectFile(), utf16(text));
        ReadResh(s.p.context(), s.view);
        QCOMPARE(s.view.settings.olgoo, QStringLiteral("2"));
        QCOMPARE(s.view.settings.printable, QStringLiteral("1"));
        QCOMPARE(s.view.settings.music, QStringLiteral("0"));
        // The element itself, wherever it stands: <Music> after <Music1 ...> is still read.
        text.remove("\t<Music>0</Music>\r\n");
        text.replace("</Settings>", "\t<Music>0</Music>\r\n</Settings>");
        writeBytes(s.projectFile(), utf16(text));
        ReadResh(s.p.context(), s.view);
        QCOMPARE(s.view.settings.music, QStringLiteral("0"));
        // What a kill left of a safe save or a copy goes when the project is read.
        for (const char* left : {"Project.xml.cUPrzK", "_xml/quiz0-0.xml.AbC123",
                                 "BookTXT/.Back.jpg.copy-Xy12Zw", "FlashIMG/.a.mp3.copy-q1w2e3"}) {
            QDir().mkpath(QFileInfo(s.view.path + "/" + left).path());
            writeBytes(s.view.path + "/" + left, "x");
        }
        writeBytes(s.view.path + "/_xml/quiz0-0.xml", "kept");
        ReadResh(s.p.context(), s.view);
        QCOMPARE(QDir(s.view.path + "/_xml").entryList(QDir::Files | QDir::Hidden),
                 QStringList{"quiz0-0.xml"});
        QVERIFY(QDir(s.view.path + "/BookTXT").entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(!QFile::exists(s.view.path + "/Project.xml.cUPrzK"));
        QCOMPARE(s.p.entries().filter("Unfinished file removed: ").size(), 4);
    }

    // Damaged or missing files: no crash, nothing written, the code in the log.
    void badInput() {
        Store s;
        writeBytes(s.catalogue(), utf16("no block here\r\n"));
        ReadProj(s.p.context(), s.view);
        s.newProject("A");
        QCOMPARE(readBytes(s.catalogue()), utf16("no block here\r\n"));
        QVERIFY(!QFile::exists(s.p.path("Project 1")));
        QStringList e = s.p.entries();
        QVERIFY(e.contains("Error occurred => Error number is 87 (Projects not found)"));
        QVERIFY(e.contains("Error occurred => Error number is 96 (Projects not found)"));

        // A count that disagrees with the elements.
        writeBytes(s.catalogue(), utf16("<Projects>\r\n\t<Count Adad=\"3\">\r\n\t<Proj1 Name=\"A\" "
                                        "Path=\"x\">\r\n</Projects>\r\n"));
        ReadProj(s.p.context(), s.view);
        QCOMPARE(s.view.lists[0], (QStringList{"A", "", "", "", ""}));
        // A count no file could hold is refused instead of listed.
        writeBytes(s.catalogue(),
                   utf16("<Projects>\r\n\t<Count Adad=\"2000000000\">\r\n</Projects>\r\n"));
        ReadProj(s.p.context(), s.view);
        QVERIFY(s.view.lists[0].isEmpty());
        QVERIFY(s.p.entries().last().startsWith("Error occurred => Error number is 87 (Count"));

        // A negative count is damage too: nothing listed, nothing created from it.
        writeBytes(s.catalogue(), utf16(kEmptyCatalogue));
        s.newProject("N");
        const QString damaged = s.p.path("Project 1/Project.xml");
        QString negative = decodeUtf16Le(readBytes(damaged));
        negative.replace("<Reshteh>\r\n\t<Count Adad=\"0\">", "<Reshteh>\r\n\t<Count Adad=\"-3\">");
        writeBytes(damaged, utf16(negative));
        s.view.selectEntry(StoreList::Projects, 0);
        QVERIFY(s.view.lists[1].isEmpty());
        NewResh(s.p.context(), s.view, "F");
        QCOMPARE(readBytes(damaged), utf16(negative));
        QVERIFY(s.p.entries().last().startsWith("Error occurred => Error number is 98 (Count -3"));
        QDir(s.p.path("Project 1")).removeRecursively();

        // A project whose folder is gone, and a truncated project file.
        writeBytes(s.catalogue(), utf16(kEmptyCatalogue));
        s.newProject("B");
        const QString file = s.p.path("Project 1/Project.xml");
        const QByteArray whole = readBytes(file);
        writeBytes(file, whole.left(whole.indexOf(QByteArray("R\0e\0s\0h\0t\0e\0h\0", 14)) + 6));
        const QByteArray truncated = readBytes(file);
        s.view.selectEntry(StoreList::Projects, 0);
        QCOMPARE(s.view.lists[1], QStringList());
        QVERIFY(s.p.entries().last().startsWith("Error occurred => Error number is 89 ("));
        NewResh(s.p.context(), s.view, "F");
        QCOMPARE(readBytes(file), truncated);
        QVERIFY(s.p.entries().last().startsWith("Error occurred => Error number is 98 ("));

        // A folder that is gone is said, with its path, and nothing is read or written.
        QDir(s.p.path("Project 1")).removeRecursively();
        s.view.selectEntry(StoreList::Projects, 0);
        QCOMPARE(s.view.path, QString());
        QCOMPARE(s.p.prompts.shown.last().text,
                 PayamText(kNoticeProjectFolderMissing) + "\r\n" + QChar(0x202A) +
                     QDir::toNativeSeparators(s.p.path("Project 1")) + QChar(0x202C) +
                     QChar(0x200F));
        QVERIFY(s.p.entries().contains("Project folder not found: " + s.p.path("Project 1")));
        NewResh(s.p.context(), s.view, "F");
        ReadDars(s.p.context(), s.view);
        QVERIFY(!QFile::exists(s.p.path("Project 1")));
        // No field selected: field 0 is looked up and the lesson count cannot be read.
        writeBytes(s.catalogue(), utf16(kEmptyCatalogue));
        s.newProject("C");
        s.view.selected[1] = -1;
        ReadDars(s.p.context(), s.view);
        QCOMPARE(s.p.entries().last(),
                 QStringLiteral("Error occurred => Error number is 90 (Resh0 not found)"));
    }

    // Every door a title or a folder path comes in by refuses what would damage the tag
    // text: the files stay byte for byte, notice 30 is shown.
    void unsafeTitlesAndFoldersRefusedAtEveryDoor() {
        // (A double quote or ">" in a project's own file only cuts the title short there.)
        const QStringList titles{"x <Proj2 Name=hidden", "a Path=b", "a DateCreated=b",
                                 "line\r\nbreak", "tab\there"};
        for (const QString& title : titles) {
            Store s;
            s.newProject("P");
            NewResh(s.p.context(), s.view, "F");
            const QByteArray catalogue = readBytes(s.catalogue());
            const QByteArray project = readBytes(s.projectFile());
            const int notices = s.p.prompts.shown.size();
            s.newProject(title);
            NewResh(s.p.context(), s.view, title);
            NewDars(s.p.context(), s.view, title);
            // A project folder whose own file carries the title.
            QDir().mkpath(s.p.path("other"));
            writeBytes(s.p.path("other/Project.xml"),
                       utf16(newProjectFile(s.p.folder(), title, "1386/9/13 9:05")));
            AddProj(s.p.context(), s.view, s.p.path("other"));
            QCOMPARE(readBytes(s.catalogue()), catalogue);
            QCOMPARE(readBytes(s.projectFile()), project);
            QCOMPARE(s.p.prompts.shown.size(), notices + 4);
            QVERIFY(s.p.prompts.shown.last().text.contains(u'='));
        }
        for (const char* name : {"dq\"x", "lt<x", "gt>x", "eq=x"}) {
            Store s;
            const QString folder = s.p.path(QString::fromLatin1(name));
            QVERIFY(QDir().mkpath(folder));
            writeBytes(folder + "/Project.xml",
                       utf16(newProjectFile(s.p.folder(), "Fine", "1386/9/13 9:05")));
            AddProj(s.p.context(), s.view, folder);
            QCOMPARE(readBytes(s.catalogue()), utf16(kEmptyCatalogue));
            QCOMPARE(s.p.prompts.shown.size(), 1);
        }
        // A program folder whose path would damage the entry of a new project.
        test::TestProgram odd;
        const QString folder = odd.path("a=b");
        QVERIFY(QDir().mkpath(folder));
        Context context(folder, odd.path("second.log"), odd.clock, odd.prompts, odd.random);
        writeBytes(folder + "/Projects.xml", utf16(kEmptyCatalogue));
        FakeView view(context);
        NewProj(context, view, "Fine");
        QCOMPARE(readBytes(folder + "/Projects.xml"), utf16(kEmptyCatalogue));
        QVERIFY(!QFile::exists(folder + "/Project 1"));
    }

    // Another instance changed the file after these lists were read: the delete at the
    // shown position would hit another element. Nothing is deleted, the lists are read
    // again and the user is told.
    void staleDeletesAreRefused() {
        Store s;
        s.newProject("A");
        s.newProject("B");
        NewResh(s.p.context(), s.view, "F1");
        NewResh(s.p.context(), s.view, "F2");
        NewDars(s.p.context(), s.view, "L1");
        NewDars(s.p.context(), s.view, "L2");
        // The list shows A first; the file now holds B there.
        FakeView stale(s.p.context());
        ReadProj(s.p.context(), stale);
        QString text = decodeUtf16Le(readBytes(s.catalogue()));
        text.replace("Proj1 Name=\"A\"", "Proj1 Name=\"X\"");
        writeBytes(s.catalogue(), utf16(text));
        const QByteArray catalogue = readBytes(s.catalogue());
        stale.selected[0] = 0;
        const int questions = s.p.prompts.shown.size();
        DelProj(s.p.context(), stale, 1);
        QCOMPARE(readBytes(s.catalogue()), catalogue);
        QCOMPARE(stale.lists[0], (QStringList{"X", "B", "", ""})); // read again
        QCOMPARE(s.p.prompts.shown.size(), questions + 1);
        QCOMPARE(s.p.prompts.shown.last().kind, QStringLiteral("notice"));
        QCOMPARE(s.p.entries().last(), QStringLiteral("Payam number 103 displayed."));

        // Fields and lessons: the project file changed under the lists.
        const QByteArray project = readBytes(s.projectFile());
        QString changed = s.project();
        changed.replace("Resh2 Name=\"F2\"", "Resh2 Name=\"G\"");
        changed.replace("Dars2 Name=\"L2\"", "Dars2 Name=\"M\"");
        writeBytes(s.projectFile(), utf16(changed));
        const QByteArray changedBytes = readBytes(s.projectFile());
        QCOMPARE(s.view.selected[1], 1);
        QCOMPARE(s.view.selected[2], 1);
        DelDars(s.p.context(), s.view, 2);
        QCOMPARE(readBytes(s.projectFile()), changedBytes);
        QCOMPARE(s.view.lists[2], (QStringList{"L1", "M", "", ""}));
        s.view.selected[1] = 1;
        DelResh(s.p.context(), s.view, 2);
        QCOMPARE(readBytes(s.projectFile()), changedBytes);
        QCOMPARE(s.view.lists[1], (QStringList{"F1", "G", "", ""}));
        QVERIFY(project != changedBytes);
        QCOMPARE(s.p.entries().last(), QStringLiteral("Payam number 103 displayed."));
    }
};

QTEST_GUILESS_MAIN(ProjectStoreTest)
#include "tst_project_store.moc"
