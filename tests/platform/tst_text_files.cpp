#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/persian_text.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "support/golden.h"
#include "support/test_program.h"

#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

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

    // A path of Persian and Latin names keeps its order in a left-to-right box.
    void pathsShownInOrder() {
        const QString path = QStringLiteral(u"/tmp/پروژه/Physics 10.gift");
        QCOMPARE(pathShown(path), QStringLiteral(u"\u200E/\u200Etmp\u200E/\u200Eپروژه\u200E/"
                                                 u"\u200EPhysics 10\u200E.gift"));
        QCOMPARE(pathTyped(pathShown(path)), path);
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

    void utf16FilesAreByteExact() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Project.xml");
        const QString text = QStringLiteral(u"<Proj Name=\"آزمون\">\r\n\t");
        saveUtf16File(path, text);
        QByteArray expected("\xFF\xFE", 2);
        for (QChar c : text) {
            expected.append(char(c.unicode() & 0xFF));
            expected.append(char(c.unicode() >> 8));
        }
        QCOMPARE(readBytes(path), expected);
        QCOMPARE(readUtf16File(path), text);

        appendUtf16File(path, QStringLiteral("x\r\n"));
        QCOMPARE(readBytes(path), expected + QByteArray("x\0\r\0\n\0", 6));

        // Append to a missing file starts it with the byte-order mark.
        const QString fresh = dir.filePath("BookTitle.xml");
        appendUtf16File(fresh, QStringLiteral("a"));
        QCOMPARE(readBytes(fresh), QByteArray("\xFF\xFE"
                                              "a\0",
                                              4));

        // No byte-order mark, and an odd trailing byte: still read.
        writeBytes(path, QByteArray("h\0i\0!", 5));
        QCOMPARE(readUtf16File(path), QStringLiteral("hi"));
    }

    void ansiFilesAreByteExact() {
        QTemporaryDir dir;
        const QString path = dir.filePath("lesson.txt");
        saveAnsiFile(path, QStringLiteral(u"سلام\r\nok"));
        QCOMPARE(readBytes(path), QByteArray("\xD3\xE1\xC7\xE3\r\nok"));
        QCOMPARE(readAnsiFile(path), QStringLiteral(u"سلام\r\nok"));
        appendAnsiFile(path, QStringLiteral("!"));
        QCOMPARE(readBytes(path), QByteArray("\xD3\xE1\xC7\xE3\r\nok!"));
    }

    void failuresCarryDescriptions() {
        QTemporaryDir dir;
        const QString missing = dir.filePath("none.txt");
        QVERIFY_THROWS_EXCEPTION(FsError, readAnsiFile(missing));
        try {
            appendAnsiFile(missing, QStringLiteral("x"));
            QFAIL("append created a file");
        } catch (const FsError& e) {
            QCOMPARE(e.description(), "File not found: " + QDir::toNativeSeparators(missing));
        }
        QVERIFY(!fileExists(missing));
        // A path below a plain file cannot be written, not even by root.
        writeBytes(dir.filePath("plain"), "x");
        QVERIFY_THROWS_EXCEPTION(FsError, saveAnsiFile(dir.filePath("plain/x.txt"), "y"));
        QVERIFY_THROWS_EXCEPTION(FsError, saveAnsiFile(dir.filePath("no/such.txt"), "y"));
        try {
            makeFolder(dir.filePath("a/b"));
            QFAIL("made two levels");
        } catch (const FsError& e) {
            QCOMPARE(e.description(),
                     "Path not found: " + QDir::toNativeSeparators(dir.filePath("a")));
        }
        try {
            saveAnsiFile(dir.filePath("no/such.txt"), "y");
        } catch (const FsError& e) {
            QCOMPARE(e.description(),
                     "Path not found: " + QDir::toNativeSeparators(dir.filePath("no")));
        }
    }

    void fileSystemSteps() {
        QTemporaryDir dir;
        const QString sub = dir.filePath("sub");
        QVERIFY(!folderExists(sub));
        makeFolder(sub);
        QVERIFY(folderExists(sub));
        QVERIFY(!fileExists(sub));
        writeBytes(dir.filePath("a.txt"), "old");
        writeBytes(sub + "/b.txt", "new");
        copyFileSafely(sub + "/b.txt", dir.filePath("a.txt"));
        QCOMPARE(readBytes(dir.filePath("a.txt")), QByteArray("new"));
        // A copy onto itself, by any spelling or link, is refused and the file stays whole.
        QFile::link(dir.filePath("a.txt"), dir.filePath("link.txt"));
        for (const QString& self :
             {dir.filePath("a.txt"), sub + "/../a.txt", dir.filePath("link.txt")})
            QVERIFY_THROWS_EXCEPTION(FsError, copyFileSafely(self, dir.filePath("a.txt")));
        QCOMPARE(readBytes(dir.filePath("a.txt")), QByteArray("new"));
        // A missing source leaves the target; no working file is left beside it.
        QVERIFY_THROWS_EXCEPTION(FsError, copyFileSafely(sub + "/none", dir.filePath("a.txt")));
        QCOMPARE(readBytes(dir.filePath("a.txt")), QByteArray("new"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"a.txt", "link.txt"}));
        // What a kill leaves: working names, and only those, are removed.
        for (const char* name : {".a.txt.copy-Ab12Cd", "Project.xml.cUPrzK", "quiz0-1.xml.x1y2z3",
                                 "quiz0-1.draft.Qw3rT5", "Project.xml.bak", "Project.xml.backup",
                                 "quiz0-1.xml", "quiz0-1.draft.damaged", ".hidden"})
            writeBytes(dir.filePath(name), "x");
        QCOMPARE(removeWorkingFiles(dir.path()).size(), 4);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{".hidden", "Project.xml.backup", "Project.xml.bak", "a.txt",
                              "link.txt", "quiz0-1.draft.damaged", "quiz0-1.xml"}));
        writeBytes(sub + "/c.TXT", "");
        writeBytes(sub + "/d.jpg", "");
        // Name patterns ignore case, as on the system the data comes from.
        QCOMPARE(fileNames(sub, {"*.txt"}), (QStringList{"b.txt", "c.TXT"}));
        QCOMPARE(fileNames(sub).size(), 3);
        deleteFile(sub + "/b.txt");
        QVERIFY(!fileExists(sub + "/b.txt"));
        QVERIFY_THROWS_EXCEPTION(FsError, deleteFile(sub + "/b.txt"));
        QVERIFY_THROWS_EXCEPTION(FsError, fileNames(dir.filePath("nowhere")));
    }

    void doSlashRules() {
        const QString s = nativeSeparator();
        // The main window's rule.
        QCOMPARE(DoSlash(QString()), QString());
        QCOMPARE(DoSlash("D"), QStringLiteral("D"));
        QCOMPARE(DoSlash(s), s);
        QCOMPARE(DoSlash("C:"), "C:" + s);
        QCOMPARE(DoSlash("D" + s + "Tool"), "D" + s + "Tool" + s);
        QCOMPARE(DoSlash("D" + s + "Tool" + s), "D" + s + "Tool" + s);
        // The stricter rule of the formatter and help windows.
        QCOMPARE(DoSlashStrict("D"), "D" + s);
        QCOMPARE(DoSlashStrict("x" + s), "x" + s);
        QVERIFY_THROWS_EXCEPTION(FsError, DoSlashStrict(QString()));
        // Shipped relative paths use "\" and are read with either separator.
        QCOMPARE(fromStoredPath("Resources\\img.bin"), "Resources" + s + "img.bin");
        QCOMPARE(fromStoredPath("a/b\\c"), "a" + s + "b" + s + "c");
        QVERIFY(isAbsolutePath(QDir::rootPath() + "x"));
        QVERIFY(!isAbsolutePath("Project 1"));
        QVERIFY(!isAbsolutePath(QString()));
    }
};

QTEST_GUILESS_MAIN(TextFilesTest)
#include "tst_text_files.moc"
