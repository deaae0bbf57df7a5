#include "app/activity_log.h"
#include "app/run_log.h"
#include "support/test_program.h"

#include <QFile>
#include <QtTest>

using namespace tavrin;
using tavrin::test::TestProgram;

namespace {
const QByteArray kHeader0905 =
    "In the Name of Allah\r\n\r\nThis is a log file for Tavrin software\r\n\r\n"
    "Created in 1386/9/13 9:05\r\n======================\r\n\r\n";
}

class ActivityLogTest : public QObject {
    Q_OBJECT
private slots:
    void firstRunWritesHeaderAndEntriesToBothFiles() {
        TestProgram p;
        logRunStart(p.context());
        p.log().LogMe("Reading projects...");
        const QByteArray expected = kHeader0905 + "1386/9/13 9:05: Closing last log.\r\n\r\n"
                                                  "======================\r\n\r\n"
                                                  "1386/9/13 9:05: Tavrin v1.1.90 started.\r\n"
                                                  "1386/9/13 9:05: Reading projects...\r\n";
        QCOMPARE(p.log1(), expected);
        QCOMPARE(p.log2(), expected);
    }

    // Each entry has its own time; empty and multi-line texts go as they are; Persian goes
    // in the code page, the Persian yeh it lacks as its Arabic one.
    void entriesAsTheyCome() {
        TestProgram p;
        p.log().LogMe(QString());
        p.log().LogMe("a\r\nb\r\n");
        p.clock.time = QDateTime(QDate(2008, 3, 20), QTime(0, 0));
        p.log().LogMe(QStringLiteral(u"Node \u0633\u06CC added."));
        QCOMPARE(p.log1(), kHeader0905 + "1386/9/13 9:05: \r\n1386/9/13 9:05: a\r\nb\r\n\r\n"
                                         "1387/1/1 0:00: Node \xD3\xED added.\r\n");
    }

    void unwritableSecondLogIsSkipped() {
        TestProgram p;
        // The second log's folder is a plain file: no one can write below it.
        QFile::remove(p.path("home/Vonk.log"));
        QDir(p.path("home")).removeRecursively();
        tavrin::test::writeBytes(p.path("home"), "not a folder");
        Context context(p.folder(), p.path("home/Vonk.log"), p.clock, p.prompts, p.random);
        context.log().LogMe("first");
        context.log().LogMe("second");
        QCOMPARE(tavrin::test::readBytes(p.path("Vonk.txt")),
                 kHeader0905 + "1386/9/13 9:05: first\r\n1386/9/13 9:05: second\r\n");
        QCOMPARE(tavrin::test::readBytes(p.path("home")), QByteArray("not a folder"));
    }

    void missingProgramFolderLosesOnlyThatFile() {
        TestProgram p;
        Context context(p.path("gone"), p.path("home/Vonk.log"), p.clock, p.prompts, p.random);
        context.log().LogMe("still logged");
        QVERIFY(!QFile::exists(p.path("gone")));
        QCOMPARE(p.log2(), kHeader0905 + "1386/9/13 9:05: still logged\r\n");
    }

    void deletedFileIsStartedAgainWithAHeader() {
        TestProgram p;
        p.log().LogMe("before");
        QVERIFY(QFile::remove(p.path("Vonk.txt")));
        p.clock.time = p.clock.time.addSecs(60);
        p.log().LogMe("after");
        const QByteArray header0906 = QByteArray(kHeader0905).replace("9:05", "9:06");
        QCOMPARE(p.log1(), header0906 + "1386/9/13 9:06: after\r\n");
        QCOMPARE(p.log2(), kHeader0905 + "1386/9/13 9:05: before\r\n1386/9/13 9:06: after\r\n");
    }

    void logErrWritesAndResetsErrText() {
        TestProgram p;
        QCOMPARE(p.log().ErrText(), QString());
        p.log().setErrText("Path not found");
        p.log().LogErr(201);
        QCOMPARE(p.log().ErrText(), QStringLiteral("not set"));
        p.log().LogErr(201);
        QCOMPARE(p.entries(), (QStringList{"Error occurred => Error number is 201 (Path not found)",
                                           "Error occurred => Error number is 201 (not set)"}));
    }

    void runEndsWithTheEndEntry() {
        TestProgram p;
        logRunStart(p.context());
        logRunEnd(p.context());
        logRunStart(p.context());
        const QByteArray log = p.log1();
        QCOMPARE(log.count("In the Name of Allah"), 1);
        QCOMPARE(log.count("Tavrin v1.1.90 started."), 2);
        QVERIFY(log.contains("1386/9/13 9:05: Moxaly ended.\r\n1386/9/13 9:05: Closing last log."));
    }
};

QTEST_GUILESS_MAIN(ActivityLogTest)
#include "tst_activity_log.moc"
