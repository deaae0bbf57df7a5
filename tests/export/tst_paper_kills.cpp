// The printed exam under kills and a full disk: `tavrin print-exam` killed at random moments
// (its engine's helpers with it) or stopped by a disk that fills never leaves a folder that
// scores by a mixed exam, and the next printing leaves nothing behind.
#include "exam/paper_record.h"
#include "exam/sheet_scoring.h"
#include "platform/fs_error.h"
#include "support/paper_project.h"
#include "support/test_program.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

constexpr int kLeastKills = 50;

int seedOf(const QString& out) {
    QFile f(out + QStringLiteral("/exam.json"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return QJsonDocument::fromJson(f.readAll()).object().value(QStringLiteral("seed")).toInt();
}

// What a folder holds after a printing stopped anywhere: no record (nothing scores), or a
// record whose every file is the one it was printed with. Empty when so, else what is wrong.
QString mixedExam(const QString& out) {
    if (!QFile::exists(out + QStringLiteral("/exam.json")))
        return {};
    try {
        checkedExamRecord(out);
        return {};
    } catch (const BadSheet& bad) {
        return bad.why();
    } catch (const FsError& e) {
        return e.description();
    }
}

} // namespace

class PaperKillsTest : public QObject {
    Q_OBJECT

    TestProgram program_;
    QTemporaryDir temporary_; // the system's temporary folder as the program sees it
    QString binary_, project_, out_;

    // One printing of a lesson's exam (four pages) with this seed, its helpers in a process
    // group of its own; the environment's temporary folder is watched for leftovers.
    void start(QProcess& p, int seed, rlim_t fileSize = RLIM_INFINITY) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), temporary_.path());
        p.setProcessEnvironment(env);
        p.setChildProcessModifier([fileSize] {
            ::setpgid(0, 0);
            if (fileSize != RLIM_INFINITY) {
                const rlimit limit{fileSize, fileSize};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
        });
        p.start(binary_,
                {QStringLiteral("print-exam"), QStringLiteral("--project"), project_,
                 QStringLiteral("--out"), out_, QStringLiteral("--field"), QStringLiteral("1"),
                 QStringLiteral("--lesson"), QStringLiteral("1"), QStringLiteral("--seed"),
                 QString::number(seed), QStringLiteral("--force")});
        QVERIFY(p.waitForStarted());
    }
    int printWhole(int seed) {
        QProcess p;
        start(p, seed);
        if (!p.waitForFinished(300000))
            return -1;
        return p.exitCode();
    }

private slots:
    void initTestCase() {
        binary_ = qEnvironmentVariable("TAVRIN_BINARY");
        if (binary_.isEmpty())
            QSKIP("TAVRIN_BINARY names the program");
        project_ = program_.path(QStringLiteral("Project 1"));
        makePaperProject(program_.context(), project_);
        out_ = program_.path(QStringLiteral("exam"));
        QCOMPARE(printWhole(1), 0);
        QCOMPARE(seedOf(out_), 1);
    }

    void killsLeaveNoMixedExam() {
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(printWhole(2), 0);
        const qint64 whole = std::max<qint64>(clock.elapsed(), 200);
        const int kills = std::max(kLeastKills, qEnvironmentVariableIntValue("TAVRIN_KILLS"));
        const quint32 seed = QRandomGenerator::system()->generate() & 0x7fffffff;
        QRandomGenerator moments(seed);
        int cut = 0;
        for (int i = 0; i < kills; ++i) {
            QProcess p;
            start(p, 3 + i);
            QTest::qWait(int(moments.bounded(whole)));
            if (p.state() == QProcess::Running)
                ++cut;
            ::kill(-pid_t(p.processId()), SIGKILL);
            p.waitForFinished(30000);
            const QString mixed = mixedExam(out_);
            QVERIFY2(mixed.isEmpty(), qPrintable(QStringLiteral("kill %1 (moments of seed %2): %3")
                                                     .arg(i)
                                                     .arg(seed)
                                                     .arg(mixed)));
        }
        qInfo("%d kills, %d of them while printing (a whole printing %lld ms)", kills, cut, whole);
        QVERIFY2(cut >= kills / 2, "most kills fall inside a printing");
        // The next printing clears what the kills left: its working folder, and nothing ever
        // went into the shared temporary folder.
        QCOMPARE(printWhole(999), 0);
        QCOMPARE(seedOf(out_), 999);
        QVERIFY(mixedExam(out_).isEmpty());
        QVERIFY(!QFileInfo::exists(out_ + QStringLiteral("/.tavrin-printing")));
        QCOMPARE(QDir(temporary_.path())
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                     .filter(QStringLiteral("tavrin")),
                 QStringList());
    }

    // A disk that fills while the exam is written: refused with its cause, the earlier exam
    // as it was and still scoring. A small memory file system of its own where it can be
    // mounted (root), else a limit on how large a file may grow.
    void aFullDiskKeepsTheEarlierExam() {
        const QString disk = program_.path(QStringLiteral("small disk"));
        QDir().mkpath(disk);
        const bool mounted =
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=160k"), QStringLiteral("tmpfs"), disk}) == 0;
        const auto unmount = qScopeGuard([&] {
            if (mounted)
                QProcess::execute(QStringLiteral("umount"), {disk});
        });
        const QString earlierOut = out_;
        out_ = disk + QStringLiteral("/exam");
        const auto back = qScopeGuard([&] { out_ = earlierOut; });
        QCOMPARE(printWhole(7), 0);
        const QByteArray record = checkedExamRecord(out_);
        QProcess p;
        start(p, 8, mounted ? RLIM_INFINITY : 16 * 1024);
        QVERIFY(p.waitForFinished(300000));
        const QString said = QString::fromUtf8(p.readAllStandardError());
        qInfo("%s: %s", mounted ? "a full disk" : "a file size limit", qPrintable(said.trimmed()));
        QCOMPARE(p.exitCode(), 2);
        if (mounted)
            QVERIFY2(said.contains(QStringLiteral("No space left")), qPrintable(said));
        QCOMPARE(checkedExamRecord(out_), record);
        QCOMPARE(seedOf(out_), 7);
        QVERIFY(!QFileInfo::exists(out_ + QStringLiteral("/.tavrin-printing")));
    }
};

QTEST_GUILESS_MAIN(PaperKillsTest)
#include "tst_paper_kills.moc"
