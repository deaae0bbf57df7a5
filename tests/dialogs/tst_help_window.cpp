// The help viewer's document unreadable (its look and a missing one: the windows' scenarios).
#include "dialogs/help_window.h"
#include "support/documents.h"
#include "support/no_root_reading.h"
#include "support/test_program.h"
#include "widgets/rich_text_box.h"

#include <QDir>
#include <QTest>
#include <QTextBlock>
#include <unistd.h>

using namespace tavrin;
using tavrin::test::TestProgram;

namespace {

void installHelp(TestProgram& program) {
    QDir(program.folder()).mkpath(QStringLiteral("Resources"));
    QVERIFY(QFile::copy(tavrin::test::sourceFile(QStringLiteral("resources/Help.rtf")),
                        program.path("Resources/Help.rtf")));
}

} // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT

private slots:
    // A document that is there but cannot be read is logged, not shown (under any user).
    void unreadableDocumentIsLoggedAs69() {
        TestProgram program;
        installHelp(program);
        QFile::setPermissions(program.path("Resources/Help.rtf"), QFileDevice::WriteOwner);
        const test::NoRootReading asAnyone;
        HelpWindow help(program.context());
        QVERIFY(help.box()->text().isEmpty());
        QVERIFY(program.entries().last().startsWith(
            QStringLiteral("Error occurred => Error number is 69")));
    }
};

QTEST_MAIN(TestHelpWindow)
#include "tst_help_window.moc"
