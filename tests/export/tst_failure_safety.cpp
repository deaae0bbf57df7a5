// What a kill or a full disk leaves of the steps that replace files: the player's settings
// and media (SaveThings), a lesson's quiz file and copies (MakeBook), a CD export, and the
// log. Every old file stays or is replaced whole, no export looks finished that is not, and
// the author is told. Kills land at random moments in a child process; a full disk is a
// file-size limit in a child process.
#include "app/messages.h"
#include "export/cd_export.h"
#include "export/output_folders.h"
#include "export/player_settings.h"
#include "lesson/entry_table.h"
#include "lesson/quiz_book.h"
#include "store/lesson_files.h"
#include "support/documents.h"
#include "support/export_program.h"
#include "support/full_disk.h"
#include "support/kill_test.h"
#include "support/test_program.h"

#include <QtTest>
#include <functional>

using namespace tavrin;
using namespace tavrin::test;

namespace {

using Files = QMap<QString, QByteArray>;

QByteArray bytesOf(char c, int megabytes) {
    return QByteArray(megabytes << 20, c);
}

// The export fixture, with old and new media beside it.
struct Program : ExportProgram {
    Program() {
        for (const char* name : {"old.jpg", "old1.mp3", "old2.mp3"})
            writeBytes(p.path(name), bytesOf(name[3], 1));
        for (const char* name : {"new.jpg", "new1.mp3", "new2.mp3"})
            writeBytes(p.path(name), bytesOf(name[3], 3));
    }
    SettingsChoice choice(const char* set, bool first) const {
        SettingsChoice c;
        c.firstTemplate = first;
        c.back = p.path(QString(set) + ".jpg");
        c.music1 = p.path(QString(set) + "1.mp3");
        c.music2 = p.path(QString(set) + "2.mp3");
        return c;
    }
    BookOutcome make(const char* picture, const char* attachment) {
        EntryTable t;
        t.SoalText[0] = "question";
        t.JavabRtf[0] = "{0}\r\nb";
        t.ImagePaths[0] = p.path(picture);
        t.AttachPath[0] = p.path(attachment);
        BookRequest r{project, 0, 0, "L", "<credit>", {}, {}};
        return MakeBook(p.context(), t, r);
    }
};

// The step in a child whose files may grow no larger than 2 MB fails, its notice starting
// with start and holding words, and the project is as it was.
void failsOnAFullDisk(Program& g, const QString& start, const QString& words,
                      const std::function<bool()>& failed) {
    const Files before = filesUnder(g.project);
    QCOMPARE(underFileSizeLimit(2 << 20,
                                [&] {
                                    if (!failed())
                                        return 1;
                                    const QString told = g.p.prompts.shown.last().text;
                                    return told.startsWith(start) && told.contains(words) ? 0 : 2;
                                }),
             0);
    QCOMPARE(filesUnder(g.project), before);
}

// The work killed at random moments, restore putting the old files back before each run.
void oldOrNew(Program& g, const char* what, const std::function<void()>& work,
              const std::function<void()>& restore) {
    work();
    const Files after = filesUnder(g.project);
    restore();
    const Files before = filesUnder(g.project);
    killAtRandomMoments(what, work, restore, [&](int i) {
        removeLeftovers(g.p.context(), g.project);
        const Files now = filesUnder(g.project);
        for (auto it = now.begin(); it != now.end(); ++it)
            QVERIFY2(before.value(it.key()) == it.value() || after.value(it.key()) == it.value(),
                     qPrintable(QString("kill %1: %2").arg(i).arg(it.key())));
        for (const QString& kept : before.keys())
            QVERIFY2(now.contains(kept), qPrintable(QString("kill %1: %2 gone").arg(i).arg(kept)));
    });
}

} // namespace

class FailureSafetyTest : public QObject {
    Q_OBJECT
private slots:
    // Settings saved and a lesson made, killed at random moments: after each kill and the
    // clean-up the next reading does, every file of the project is as it was or as the work
    // leaves it, and none of those before is gone.
    void killsDuringSaveThings() {
        Program g;
        oldOrNew(
            g, "SaveThings",
            [&] { SaveThings(g.p.context(), g.choice("new", false), g.project, "BookTXT"); },
            [&] {
                QVERIFY(SaveThings(g.p.context(), g.choice("old", true), g.project, "BookTXT"));
            });
    }

    void killsDuringMakeBook() {
        Program g;
        writeBytes(g.p.path("a.pdf"), bytesOf('a', 2));
        QCOMPARE(g.make("old.jpg", "old1.mp3"), BookOutcome::Made);
        const Files before = filesUnder(g.project);
        oldOrNew(
            g, "MakeBook",
            [&] {
                g.p.random = SystemRandom(99); // the same page names: the new set is one set
                g.make("new.jpg", "a.pdf");
            },
            [&] {
                QDir(g.project + "/BookTXT").removeRecursively();
                QDir(g.project + "/_xml").removeRecursively();
                MakeDirs(g.p.context(), g.project, "BookTXT", "_xml");
                putFiles(g.project, before);
            });
    }

    void killsDuringAnExport() {
        Program g;
        QDir().mkpath(g.p.path("out"));
        for (const char* name : {"BookTXT/a.bin", "BookTXT/b.bin", "BookIMG/c.bin"}) {
            QDir().mkpath(QFileInfo(g.project + "/" + name).path());
            writeBytes(g.project + "/" + name, bytesOf(name[8], 4));
        }
        SaveThings(g.p.context(), g.choice("old", true), g.project, "BookTXT");
        QCOMPARE(g.exportNow().outcome, ExportOutcome::Exported);
        const Files whole = filesUnder(g.p.path("out/Export 1"));
        killAtRandomMoments(
            "export", [&] { g.exportNow(); },
            [&] {
                QDir(g.p.path("out")).removeRecursively();
                QDir().mkpath(g.p.path("out"));
            },
            [&](int i) {
                // Whatever is named "Export N" is whole; the rest is a working folder.
                for (const QString& name :
                     QDir(g.p.path("out")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                    if (name.endsWith(".partial"))
                        continue;
                    QVERIFY2(filesUnder(g.p.path("out/") + name) == whole,
                             qPrintable(QString("kill %1: %2").arg(i).arg(name)));
                }
            });
        // The next export clears what the kills left and takes the first free number.
        const ExportResult next = g.exportNow();
        QCOMPARE(next.outcome, ExportOutcome::Exported);
        QCOMPARE(filesUnder(next.folder), whole);
        for (const QString& name :
             QDir(g.p.path("out")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QVERIFY(!name.endsWith(".partial"));
    }

    // The disk fills in the middle of each step: the author is told why, nothing old is lost.
    void fullDisk() {
        Program g;
        const QString full = u8("فضاي ديسك پر است");
        QVERIFY(SaveThings(g.p.context(), g.choice("old", true), g.project, "BookTXT"));
        failsOnAFullDisk(g, PayamText(kNoticeSettingsNotSaved), full, [&] {
            return !SaveThings(g.p.context(), g.choice("new", false), g.project, "BookTXT");
        });
        QCOMPARE(g.make("old.jpg", "old1.mp3"), BookOutcome::Made);
        failsOnAFullDisk(g, PayamText(kNoticeBookNotMade), QString(),
                         [&] { return g.make("new.jpg", "new1.mp3") == BookOutcome::Failed; });
        QDir().mkpath(g.p.path("out"));
        writeBytes(g.project + "/BookTXT/big.bin", bytesOf('b', 3));
        failsOnAFullDisk(g, QString(), full,
                         [&] { return g.exportNow().outcome == ExportOutcome::Failed; });
        for (const QString& name :
             QDir(g.p.path("out")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QVERIFY(name.endsWith(".partial"));

        // The log: an entry that does not fit is cut back, the next one starts a line.
        g.p.log().LogMe("before");
        const QByteArray log = g.p.log1();
        QCOMPARE(underFileSizeLimit(log.size() + 10,
                                    [&] {
                                        g.p.log().LogMe(QString(200, u'x'));
                                        return 0;
                                    }),
                 0);
        QCOMPARE(g.p.log1(), log);
        g.p.log().LogMe("after");
        QCOMPARE(g.p.entries().mid(g.p.entries().size() - 2), (QStringList{"before", "after"}));
    }
};

QTEST_GUILESS_MAIN(FailureSafetyTest)
#include "tst_failure_safety.moc"
