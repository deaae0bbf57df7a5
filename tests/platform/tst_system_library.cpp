#include "platform/fs_error.h"
#include "platform/system_library.h"

#include <QtTest>

using namespace tavrin;

// A library loaded on first use that is not there, or lacks a function, is named in the
// failure rather than called through nothing.
class SystemLibraryTest : public QObject {
    Q_OBJECT
private slots:
    void whatIsMissingIsNamed() {
        const auto failure = [](const QString& name, int version, const char* symbol) {
            try {
                SystemLibrary library(name, version, QStringLiteral("The test's library"));
                library.get<void (*)()>(symbol);
            } catch (const FsError& e) {
                return e.description();
            }
            return QString();
        };
        const QString missing = failure(QStringLiteral("tavrin-no-such-library"), 1, "f");
        QVERIFY2(missing.startsWith(QStringLiteral("The test's library could not be loaded: ")),
                 qPrintable(missing));
        const QString lacking = failure(QStringLiteral("qrencode"), 4, "QRcode_no_such");
        QVERIFY2(lacking.contains(QStringLiteral("libqrencode")) &&
                     lacking.endsWith(QStringLiteral("has no QRcode_no_such")),
                 qPrintable(lacking));
    }
};

QTEST_GUILESS_MAIN(SystemLibraryTest)
#include "tst_system_library.moc"
