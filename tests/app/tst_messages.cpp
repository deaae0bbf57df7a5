#include "app/messages.h"
#include "support/golden.h"
#include "support/test_program.h"
#include "widgets/new_title_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using tavrin::test::TestProgram;

class MessagesTest : public QObject {
    Q_OBJECT
private slots:
    // Why an export failed, said in Persian on the message's second line.
    void causeInPersian_data() { test::tableData("messages/causes.tsv", {"description", "line"}); }
    void causeInPersian() {
        QFETCH(QString, description);
        QFETCH(QString, line);
        QCOMPARE(persianCause(description), line);
        TestProgram p;
        bepayamBecause(p.context(), 28, description);
        QCOMPARE(p.prompts.shown.last().text,
                 PayamText(28) + QStringLiteral("\r\n") + line + QChar(0x200F));
        QCOMPARE(p.entries().last(), QStringLiteral("Payam number 28 displayed."));
    }

    // Every message of the table as the author reads it (right-to-left marks and non-joiners
    // shown by name), and an unknown number as the uncontrollable one.
    void theTable() {
        QString table;
        for (int n = 0; n <= 200; ++n)
            if (!PayamText(n).isEmpty())
                table += QString::number(n) + ": " +
                         test::visible(PayamText(n))
                             .replace(QChar(0x200F), QStringLiteral("<RLM>"))
                             .replace(QChar(0x200C), QStringLiteral("<ZWNJ>")) +
                         '\n';
        QCOMPARE(table, QString::fromUtf8(test::golden("messages/table.txt", table.toUtf8())));
        TestProgram p;
        bepayam(p.context(), -5);
        QCOMPARE(p.prompts.shown.last().text, PayamText(0));
        QCOMPARE(p.entries(), QStringList{"Payam number -5 displayed."});
    }
};

QTEST_MAIN(MessagesTest)
#include "tst_messages.moc"
