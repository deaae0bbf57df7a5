#include "platform/fs_error.h"
#include "platform/safe_save.h"
#include "support/full_disk.h"
#include "support/test_program.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace tavrin;
using tavrin::test::readBytes;
using tavrin::test::writeBytes;
namespace test = tavrin::test;

class SafeSaveTest : public QObject {
    Q_OBJECT
private slots:
    // A disk that fills mid-write, played by a file-size limit in a child process: the
    // save must report failure and the old file must survive byte for byte.
    void fullDiskKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Project.xml");
        QByteArray old;
        for (int i = 0; i < 4096; ++i)
            old.append(char(i * 7));
        writeBytes(path, old);
        QByteArray replacement(256 * 1024, 'n');

        // A success reported over a short write would be 1.
        QCOMPARE(test::underFileSizeLimit(64 * 1024,
                                          [&] {
                                              try {
                                                  saveWholeFile(path, replacement);
                                                  return 1;
                                              } catch (const FsError&) {
                                                  return 0;
                                              }
                                          }),
                 0);
        QCOMPARE(readBytes(path), old);
        // No temporary file is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Project.xml"});

        // And under the limit the same save goes through.
        QByteArray small(1024, 's');
        saveWholeFile(path, small);
        QCOMPARE(readBytes(path), small);
    }
};

QTEST_GUILESS_MAIN(SafeSaveTest)
#include "tst_safe_save.moc"
