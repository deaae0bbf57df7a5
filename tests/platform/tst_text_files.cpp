#include "export/output_folders.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "platform/safe_save.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "support/golden.h"
#include "support/program_steps.h"
#include "support/test_program.h"

#include <QDir>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <sys/stat.h>

using namespace tavrin;
using tavrin::test::readBytes;
using tavrin::test::writeBytes;

class TextFilesTest : public QObject {
    Q_OBJECT
private slots:
    void ansiConverterIsThere() {
        // The whole tool depends on it; a Qt built without ICU must fail here.
        QVERIFY2(QStringDecoder("windows-1256").isValid(), "Qt has no windows-1256 converter");
        QVERIFY(ansiCodecAvailable());
    }

    void ansiRoundTripsEveryByte() {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString text = decodeAnsi(all);
        QCOMPARE(text.size(), 256);
        QVERIFY(!text.contains(QChar(0xFFFD)));
        QCOMPARE(encodeAnsi(text), all);
        // A few well-known places of the code page.
        QCOMPARE(text.at(0xC7), QChar(0x0627)); // alef
        QCOMPARE(text.at(0xED), QChar(0x064A)); // Arabic yeh
        QCOMPARE(text.at(0x81), QChar(0x067E)); // peh
        QCOMPARE(text.at(0x9D), QChar(0x200C)); // zero-width non-joiner
        QCOMPARE(text.at(0xFE), QChar(0x200F)); // right-to-left mark
    }

    // What a Persian reader sees: letters always; digits by their nearest letters (Persian
    // text: Persian digits; beside a Latin letter, or bare in a file for other programs: as
    // written); non-joiners where Persian spelling puts them; image marks as they are.
    void persianShownByItsNeighbours_data() {
        test::tableData("text/persian_shown.tsv", {"text", "digits", "shown"});
    }
    void persianShownByItsNeighbours() {
        QFETCH(QString, text);
        QFETCH(QString, digits);
        QFETCH(QString, shown);
        const Digits where = digits == "bare"   ? Digits::AlsoBare
                             : digits == "none" ? Digits::Untouched
                                                : Digits::InPersianText;
        QCOMPARE(persianShown(text, where), shown);
    }

    // What 1256 lacks: a Persian keyboard's yeh and Persian digits go as the nearest letters
    // it has (its keheh is its own); an emoji (one code point, two units) has none.
    void ansiReplacesWhatItCannotHold() {
        const QString text =
            QStringLiteral(u"a\u06CCb\u06A9\u06F1\u06F9") + QString::fromUcs4(U"\U0001F600") + "c";
        QCOMPARE(encodeAnsi(text), QByteArray("a\xED"
                                              "b\x98"
                                              "19?c"));
    }

    void scenarios_data() { test::fileRows("files", ".steps"); }
    // Text files byte for byte, copies, working files and failures, on a program folder:
    // tests/data/files. Each operation's failure is kept for "failed" to read.
    void scenarios() {
        QFETCH(QString, name);
        test::TestProgram p;
        QString error, read;
        const auto at = [&](const QString& path) {
            return QDir::isAbsolutePath(path) ? path : p.path(path);
        };
        test::runProgramSteps(
            p, "files/" + name, [&] { return p.folder(); },
            [&](const QString& verb, const QString& a, const QString& b, const QString& c,
                const QString& where, qsizetype&, bool& known) {
                known = true;
                const QMap<QString, std::function<void()>> operations{
                    {"save-utf16", [&] { saveUtf16File(at(a), b); }},
                    {"append-utf16", [&] { appendUtf16File(at(a), b); }},
                    {"read-utf16", [&] { read = readUtf16File(at(a)); }},
                    {"save-ansi", [&] { saveAnsiFile(at(a), b); }},
                    {"append-ansi", [&] { appendAnsiFile(at(a), b); }},
                    {"read-ansi", [&] { read = readAnsiFile(at(a)); }},
                    {"mkdir", [&] { makeFolder(at(a)); }},
                    {"save-whole", [&] { saveWholeFile(at(a), b.toUtf8()); }},
                    {"make-dirs",
                     [&] { // a project's output folders, from folder b when given
                         const QString before = QDir::currentPath();
                         QDir::setCurrent(b.isEmpty() ? before : b);
                         MakeDirs(p.context(), a, "BookTXT", "_xml");
                         QDir::setCurrent(before);
                     }},
                    {"copy-safely", [&] { copyFileSafely(at(a), at(b)); }},
                    {"copy-into", [&] { copyIntoWorkingFolder(at(a), at(b), {}); }},
                    {"copy-into-stopped",
                     [&] { // told to stop after the first piece
                         const bool whole =
                             copyIntoWorkingFolder(at(a), at(b), [](qint64) { return false; });
                         read = whole ? "whole" : "stopped";
                     }},
                    {"delete-file", [&] { deleteFile(at(a)); }},
                    {"read-kept",
                     [&] { read = QString::fromUtf8(readKeptFile(at(a), b.toInt())); }},
                    {"make-fifo",
                     [&] { QVERIFY(::mkfifo(QFile::encodeName(at(a)).constData(), 0600) == 0); }},
                    {"file-names", [&] {
                         read = fileNames(at(a), b.isEmpty() ? QStringList() : QStringList{b})
                                    .join(u'|');
                     }}};
                if (operations.contains(verb)) {
                    error.clear();
                    try {
                        operations[verb]();
                    } catch (const FsError& e) {
                        error = e.description();
                    }
                    if (verb == "file-names" && error.isEmpty())
                        QCOMPARE(read, c);
                } else if (verb == "failed") {
                    QCOMPARE(error, QDir::toNativeSeparators(a));
                } else if (verb == "failed-starts") { // it failed, and said this first
                    QVERIFY2(!error.isEmpty() && error.startsWith(a), qPrintable(where));
                } else if (verb == "ok") {
                    QCOMPARE(error, QString());
                } else if (verb == "read-is") {
                    QCOMPARE(read, a);
                } else if (verb == "folder") {
                    QCOMPARE(folderExists(at(a)), b == "yes");
                } else if (verb == "remove-working") {
                    QCOMPARE(int(removeWorkingFiles(at(a)).size()), b.toInt());
                } else {
                    known = false;
                }
            });
    }

    // tests/data/text/paths.tsv.
    void paths_data() { test::tableData("text/paths.tsv", {"call", "path", "gives"}); }
    void paths() {
        QFETCH(QString, call);
        QFETCH(QString, path);
        QFETCH(QString, gives);
        if (gives == "!")
            QVERIFY_THROWS_EXCEPTION(FsError, DoSlashStrict(path));
        else
            QCOMPARE(call == "DoSlash"          ? DoSlash(path)
                     : call == "DoSlashStrict"  ? DoSlashStrict(path)
                     : call == "fromStoredPath" ? fromStoredPath(path)
                     : call == "pathShown"      ? pathShown(path)
                     : call == "pathTyped"      ? pathTyped(path)
                     : isAbsolutePath(path)     ? QStringLiteral("yes")
                                                : QStringLiteral("no"),
                     gives);
    }
};

QTEST_GUILESS_MAIN(TextFilesTest)
#include "tst_text_files.moc"
