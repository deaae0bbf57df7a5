// Hostile files read by the readers of others' files (Word texts, GIFT, Moodle XML, lesson
// texts, any file an author names): each read in a child process under a bound of time
// (CPU and wall clock) and memory (the address space where the build allows, and the peak
// resident size always), and each either read or refused with its cause, never a crash.
#include "interchange/gift_format.h"
#include "interchange/moodle_xml.h"
#include "lesson/text_procedures.h"
#include "lessontext/docx_text.h"
#include "platform/fs_error.h"
#include "platform/text_file.h"
#include "support/documents.h"
#include "support/docx_fixture.h"
#include "support/golden.h"
#include "support/test_program.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavrin;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// CPU and wall clock, each: far above the linear reads (a second or two), far below the
// quadratic ones (minutes); the sanitizers' build runs slower.
constexpr int kSeconds = kAddressSanitizer ? 60 : 20;
constexpr long kMostResidentKb = 1500000;    // 1.5 GB at the peak
constexpr rlim_t kAddressSpace = 3ull << 30; // where the address space may be bounded

struct Outcome {
    bool exited = false; // ended by itself (no signal: no crash, no limit reached)
    QString said;        // what the read gave: "read ..." or "refused: ..."
    long residentKb = 0;
};

// The body run in a child under the bounds; what it returns comes back through a pipe.
Outcome bounded(const std::function<QString()>& body) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        qFatal("pipe");
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeEnds[0]);
        const rlimit cpu{kSeconds, kSeconds};
        setrlimit(RLIMIT_CPU, &cpu);
        if (!kAddressSanitizer) {
            const rlimit space{kAddressSpace, kAddressSpace};
            setrlimit(RLIMIT_AS, &space);
        }
        alarm(kSeconds); // a read that blocks is ended too
        QString said;
        try {
            said = body();
        } catch (const FsError& e) {
            said = QStringLiteral("refused: ") + e.description();
        } catch (const std::invalid_argument& e) {
            said = QStringLiteral("refused: ") + QString::fromUtf8(e.what());
        } catch (const std::bad_alloc&) {
            said = QStringLiteral("out of memory");
        }
        const QByteArray bytes = said.toUtf8();
        const ssize_t written = write(pipeEnds[1], bytes.constData(), size_t(bytes.size()));
        _exit(written == bytes.size() ? 0 : 3);
    }
    close(pipeEnds[1]);
    QByteArray said;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, n);
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0, QString::fromUtf8(said),
            usage.ru_maxrss};
}

// A Word document's bytes, made as the fixture builder makes it.
QByteArray docx(const QString& body, const QByteArray& png = {}) {
    QTemporaryDir dir;
    const QString path = dir.filePath("x.docx");
    test::writeDocx(path, body, png);
    return test::readBytes(path);
}

QString readAs(const QString& kind, const QByteArray& bytes) {
    if (kind == u"docx")
        return QStringLiteral("read %1 characters").arg(docxToRtf(bytes).size());
    if (kind == u"text")
        return QStringLiteral("read %1 characters").arg(Rep(QString::fromLatin1(bytes)).size());
    const TravelSet set = kind == u"gift" ? readGift(bytes) : readMoodleXml(bytes);
    QStringList skipped;
    for (const SkippedQuestion& s : set.skipped)
        skipped.append(s.reason);
    return QStringLiteral("read %1 questions in %2 categories%3")
        .arg(set.questions.size())
        .arg(set.categories.size())
        .arg(skipped.isEmpty() ? QString() : QStringLiteral("; skipped: ") + skipped.join(u'|'));
}

} // namespace

class BoundedInputsTest : public QObject {
    Q_OBJECT
private slots:
    void hostileFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said"); // the start of what the read gives
        for (const QStringList& row : test::tableRows("export/hostile_files.tsv")) {
            QByteArray bytes = test::recipeBytes(row[2]);
            if (row[1] == "docx-part" || row[1] == "docx-dat") {
                // "docx-dat": the document part under a name that is not .xml, found
                // through the package's relationships.
                const QByteArray main =
                    row[1] == "docx-dat" ? "word/document.dat" : "word/document.xml";
                QTemporaryDir dir;
                test::writeZip(
                    dir.filePath("e.docx"),
                    {{"_rels/.rels",
                      test::readBytes(test::sourceFile("tests/data/docx/package_rels.xml"))
                          .replace("@main", main)},
                     {QString::fromLatin1(main), bytes}});
                bytes = test::readBytes(dir.filePath("e.docx"));
            } else if (row[1].startsWith("docx")) {
                bytes = docx(QString::fromUtf8(bytes),
                             row[1] == "docx-picture"
                                 ? test::readBytes(test::sourceFile("tests/data/export/noisy.png"))
                                 : QByteArray());
            }
            QTest::newRow(qPrintable(row[0])) << row[1].section('-', 0, 0) << bytes << row.value(3);
        }
    }

    void hostileFiles() {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        const Outcome outcome = bounded([&] { return readAs(kind, bytes); });
        QVERIFY2(outcome.exited, "the read crashed or passed its bound of time or memory");
        QVERIFY2(outcome.said.startsWith(said), qPrintable(outcome.said));
        QVERIFY2(outcome.residentKb < kMostResidentKb,
                 qPrintable(QString::number(outcome.residentKb)));
        qInfo("peak %ld MB: %s", outcome.residentKb / 1024, qPrintable(outcome.said.left(70)));
    }

    // What an author names as input is a regular file of a stated size: a folder, a device, a
    // pipe (which would block) and a file past the bound are refused before they are read.
    void inputsThatAreNotFiles_data() {
        test::tableData("export/inputs_not_files.tsv", {"path", "said"});
    }
    void inputsThatAreNotFiles() {
        QFETCH(QString, path);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString fifo = dir.filePath("fifo");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString large = dir.filePath("large.gift");
        {
            QFile f(large);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(kLargestQuestionsFile + 1));
        }
        path.replace("@dir", dir.path())
            .replace("@fifo", fifo)
            .replace("@large", large)
            .replace("@none", dir.filePath("none"));
        const Outcome outcome = bounded([&] {
            return QStringLiteral("read %1 bytes")
                .arg(readInputFile(path, kLargestQuestionsFile).size());
        });
        QVERIFY(outcome.exited);
        QVERIFY2(outcome.said.startsWith(said), qPrintable(outcome.said));
    }
};

QTEST_MAIN(BoundedInputsTest)
#include "tst_bounded_inputs.moc"
