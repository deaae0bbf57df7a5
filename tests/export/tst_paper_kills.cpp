// The printed exam as a process, under kills, a full disk and hostile questions: `tavrin
// print-exam` killed at random moments (its engine's helpers with it) or stopped by a disk
// that fills never leaves a folder that scores by a mixed exam, the next printing leaves
// nothing behind, and a hostile question prints within its bounds or is refused.
#include "exam/paper_record.h"
#include "exam/sheet_scoring.h"
#include "paper/paper_exam.h"
#include "platform/fs_error.h"
#include "support/documents.h"
#include "support/golden.h"
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

// The peak of the resident memory of a process group, its children (the engine's helpers)
// included, sampled while it runs.
class GroupMemory {
public:
    void sample(pid_t group) {
        long kb = 0;
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!pid.front().isDigit() || !stat.open(QIODevice::ReadOnly))
                continue;
            // The process group is the fifth field, after the name in parentheses.
            const QByteArray line = stat.readAll();
            const QList<QByteArray> after = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (after.value(2).toInt() != group)
                continue;
            QFile status(QStringLiteral("/proc/%1/status").arg(pid));
            if (status.open(QIODevice::ReadOnly))
                for (const QByteArray& l : status.readAll().split('\n'))
                    if (l.startsWith("VmRSS:"))
                        kb += l.mid(6).simplified().split(' ').value(0).toLong();
        }
        peakKb_ = std::max(peakKb_, kb);
    }
    long peakMb() const { return peakKb_ / 1024; }

private:
    long peakKb_ = 0;
};

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
        // The project named as a teacher in its folder names it: a short relative name.
        p.setWorkingDirectory(QFileInfo(project_).path());
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
        project_ = program_.path(QStringLiteral("P"));
        makePaperProject(program_.context(), project_);
        out_ = program_.path(QStringLiteral("exam"));
        QCOMPARE(printWhole(1), 0);
        QCOMPARE(seedOf(out_), 1);
    }

    void hostileQuestions_data() {
        // The recipe as written: recipeBytes reads its escapes once.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("outcome");
        for (const QStringList& row : tableRows("paper/hostile_exams.tsv"))
            QTest::newRow(qPrintable(row[0])) << row[1] << row[2];
    }
    void hostileQuestions() {
        QFETCH(QString, text);
        QFETCH(QString, outcome);
        const QString project = program_.path(QStringLiteral("Hostile"));
        makePaperProject(program_.context(), project);
        const QString file = program_.path(QStringLiteral("sent.xml"));
        writeBytes(file, readBytes(sourceFile(QStringLiteral("tests/data/paper/sent_question.xml")))
                             .replace("@text", recipeBytes(text)));
        QProcess import;
        import.start(binary_,
                     {QStringLiteral("import-questions"), QStringLiteral("--project"), project,
                      QStringLiteral("--field"), QStringLiteral("2"), QStringLiteral("--lesson"),
                      QStringLiteral("2"), QStringLiteral("--format"), QStringLiteral("moodle"),
                      QStringLiteral("--replace"), file});
        QVERIFY(import.waitForFinished(120000));
        QVERIFY2(import.exitCode() == 0, import.readAllStandardError().constData());
        const QString out = program_.path(QStringLiteral("hostile exam"));
        QDir(out).removeRecursively();
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        p.setProcessEnvironment(env);
        p.setChildProcessModifier([] { ::setpgid(0, 0); });
        QElapsedTimer clock;
        clock.start();
        p.start(binary_, {QStringLiteral("print-exam"), QStringLiteral("--project"), project,
                          QStringLiteral("--out"), out, QStringLiteral("--field"),
                          QStringLiteral("2"), QStringLiteral("--lesson"), QStringLiteral("2")});
        QVERIFY(p.waitForStarted());
        GroupMemory memory;
        while (!p.waitForFinished(100) && clock.elapsed() < 120000)
            memory.sample(pid_t(p.processId()));
        const qint64 ms = clock.elapsed();
        if (const qint64 pid = p.processId(); p.state() != QProcess::NotRunning && pid > 0)
            ::kill(-pid_t(pid), SIGKILL);
        p.waitForFinished(30000);
        const QString said = QString::fromUtf8(p.readAllStandardError());
        qInfo("%lld ms, %ld MB at the peak for the process tree", ms, memory.peakMb());
        QVERIFY2(ms < 120000, "within its time");
        QVERIFY2(memory.peakMb() < 3072, "within its memory");
        if (outcome.startsWith(QStringLiteral("refused: "))) {
            QVERIFY2(p.exitCode() == 1 || p.exitCode() == 2,
                     qPrintable(QStringLiteral("printed, %1 pages")
                                    .arg(pdfPages(out + QStringLiteral("/booklet-1.pdf")))));
            QVERIFY2(said.contains(outcome.mid(9)), qPrintable(said));
            QVERIFY(!QFileInfo::exists(out + QStringLiteral("/exam.json")));
            return;
        }
        QVERIFY2(p.exitCode() == 0, qPrintable(said));
        const int most = outcome.section(u' ', 1).toInt();
        for (const QString& pdf : QDir(out).entryList({QStringLiteral("booklet-*.pdf")}))
            QVERIFY2(
                pdfPages(out + u'/' + pdf) <= most,
                qPrintable(pdf + QStringLiteral(": %1 pages").arg(pdfPages(out + u'/' + pdf))));
        QCOMPARE(paperExamFilesIn(out).size(), 5);
        QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
                 5);
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
            // Only a running printing is killed, with its group: a finished one has no pid
            // (and kill(0) would end this test's own group).
            if (const qint64 pid = p.processId(); p.state() == QProcess::Running && pid > 0) {
                ++cut;
                ::kill(-pid_t(pid), SIGKILL);
            }
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
                               QStringLiteral("size=240k"), QStringLiteral("tmpfs"), disk}) == 0;
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
