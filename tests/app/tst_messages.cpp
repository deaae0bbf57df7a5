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
    void noticeShowsBoxThenLogs() {
        TestProgram p;
        bepayam(p.context(), 4);
        QCOMPARE(p.prompts.shown.size(), 1);
        QCOMPARE(p.prompts.shown[0].kind, QStringLiteral("notice"));
        QCOMPARE(p.prompts.shown[0].caption, QStringLiteral("Moxaly"));
        QCOMPARE(p.prompts.shown[0].text, QStringLiteral(u"فايل ساخته شد!\u200F"));
        QCOMPARE(p.entries(), (QStringList{"Payam number 4 displayed."}));
    }

    void failureCodesOnlyLog() {
        TestProgram p;
        reportFailure(p.context(), 87, "File not found");
        bepayam(p.context(), 201);
        QVERIFY(p.prompts.shown.isEmpty());
        QCOMPARE(p.entries(), (QStringList{"Error occurred => Error number is 87 (File not found)",
                                           "Error occurred => Error number is 201 (not set)"}));
    }

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

    void twoLineNoticeAndUncontrollable() {
        TestProgram p;
        bepayam(p.context(), 101);
        bepayam(p.context(), 0);
        bepayam(p.context(), -5);
        QCOMPARE(p.prompts.shown.size(), 3);
        const QStringList lines = p.prompts.shown[0].text.split("\r\n");
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0],
                 QStringLiteral(u"امكان گرفتن خروجي در مسير انتخاب شده وجود ندارد!\u200F"));
        QCOMPARE(lines[1], QStringLiteral(u"مسير ديگري را انتخاب كنيد!\u200F"));
        QCOMPARE(p.prompts.shown[1].text, QStringLiteral(u"بروز اشكال غير قابل كنترل!\u200F"));
        QCOMPARE(p.prompts.shown[2].text, p.prompts.shown[1].text);
        QCOMPARE(p.entries(),
                 (QStringList{"Payam number 101 displayed.", "Payam number 0 displayed.",
                              "Payam number -5 displayed."}));
    }

    void tableHoldsItsMarks() {
        const QChar rlm(0x200F), zwnj(0x200C);
        for (int n = 1; n <= 29; ++n) {
            const QString t = PayamText(n);
            QVERIFY2(t.endsWith(QStringLiteral("!") + rlm), qPrintable(QString::number(n)));
            // Arabic yeh and kaf only.
            QVERIFY(!t.contains(QChar(0x06CC)) && !t.contains(QChar(0x06A9)));
        }
        QVERIFY(PayamText(1).startsWith(QStringLiteral(u"فايل") + rlm + QStringLiteral(u"هاي")));
        QVERIFY(PayamText(14).contains(QStringLiteral(u"پيش") + rlm + QStringLiteral(u"زمينه")));
        QVERIFY(PayamText(24).contains(QStringLiteral(u"پيش") + rlm + QStringLiteral(u"زمينه")));
        QVERIFY(PayamText(15).contains(QStringLiteral(u"رديف") + rlm + QStringLiteral(u"ها،")));
        QVERIFY(PayamText(27).startsWith(QStringLiteral(u"شيوه") + rlm + QStringLiteral(u"نامه")));
        QVERIFY(PayamText(29).contains(QStringLiteral(u"سي") + zwnj + QStringLiteral(u"دي")));
        QCOMPARE(PayamText(29).count(rlm), 1);
        QCOMPARE(PayamText(2), QStringLiteral(u"همه مشخصات بايد تكميل شود!\u200F"));
        QVERIFY(PayamText(150).isEmpty());
        QCOMPARE(PayamText(102), PayamText(101));
    }

    void titleBoxButtonHandsOverThenHides() {
        QString seen;
        int calls = 0;
        NewTitleBox* boxPtr = nullptr;
        NewTitleBox box([&] {
            ++calls;
            seen = boxPtr->title();
            return true;
        });
        boxPtr = &box;
        QCOMPARE(box.windowTitle(), QStringLiteral("New title"));
        QCOMPARE(box.layoutDirection(), Qt::RightToLeft);
        QCOMPARE(box.findChild<QLabel*>("Label3")->text(),
                 QStringLiteral(u"عنوان جديد را تايپ نماييد:"));
        QCOMPARE(box.findChild<QPushButton*>("btn")->text(),
                 QStringLiteral(u"عنوان فوق اضافه شود!\u200F"));
        QVERIFY(box.font().families().startsWith("Tahoma"));

        QTimer::singleShot(0, [&] {
            auto* jadid = box.findChild<QLineEdit*>("jadid");
            tavrin::test::typeText(jadid, QStringLiteral(u"ریاضی"));
            QTest::mouseClick(box.findChild<QPushButton*>("btn"), Qt::LeftButton);
        });
        QCOMPARE(box.exec(), int(QDialog::Accepted));
        QCOMPARE(calls, 1);
        QCOMPARE(seen, QStringLiteral(u"ریاضی"));
        QVERIFY(!box.isVisible());

        // Closed by its close control: nothing handed over.
        QTimer::singleShot(0, [&] {
            QTest::keyClicks(box.findChild<QLineEdit*>("jadid"), "x");
            box.reject();
        });
        QCOMPARE(box.exec(), int(QDialog::Rejected));
        QCOMPARE(calls, 1);
    }
};

QTEST_MAIN(MessagesTest)
#include "tst_messages.moc"
