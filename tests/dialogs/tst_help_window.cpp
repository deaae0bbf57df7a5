// The help viewer: the shipped help document right to left, silence when it is missing.
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

bool logsFailure(const TestProgram& program) {
    for (const QString& line : program.entries())
        if (line.contains(QStringLiteral("Error occurred")))
            return true;
    return false;
}

} // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT

private slots:
    void showsTheHelpRightToLeft() {
        TestProgram program;
        installHelp(program);
        HelpWindow help(program.context());
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QCOMPARE(help.windowTitle(), QStringLiteral("Help"));
        auto* box = help.findChild<RichTextBox*>(QStringLiteral("Box1"));
        QVERIFY(box);
        QVERIFY(box->isReadOnly());
        // The shipped help in Persian letters as it is read; the file keeps its own.
        QVERIFY(box->text().startsWith(QString::fromUtf8("راهنمای تاورین\r\n")));
        QVERIFY(!box->text().contains(QChar(0x064A)) && !box->text().contains(QChar(0x0643)));
        QVERIFY(box->text().contains(QStringLiteral("F12")));
        QCOMPARE(box->document()->blockCount(), int(box->text().count(QStringLiteral("\r\n"))) + 1);
        for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
            if (b.text().isEmpty())
                continue;
            QCOMPARE(b.textDirection(), Qt::RightToLeft);
            const Qt::Alignment a = b.blockFormat().alignment();
            QVERIFY(a == (Qt::AlignRight | Qt::AlignAbsolute) || a == Qt::AlignHCenter);
        }
        QVERIFY(!logsFailure(program));
    }

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
