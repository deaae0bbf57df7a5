#include "app/messages.h"
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
    void causeInPersian_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("line");
        const QString at = QStringLiteral(u" («/out/Export 1/x»)");
        QTest::newRow("permission") << "\"a => root\": Permission denied: /out/Export 1/x"
                                    << QStringLiteral(u"علت: اجازه دسترسي داده نشد") + at;
        QTest::newRow("full disk")
            << "Disk full: /out/Export 1/x" << QStringLiteral(u"علت: فضاي ديسك پر است") + at;
        QTest::newRow("no space") << "\"BookTXT => Data\": No space left on device: /out/Export 1/x"
                                  << QStringLiteral(u"علت: فضاي ديسك پر است") + at;
        QTest::newRow("missing file") << "\"p.css => root\": File not found: /out/Export 1/x"
                                      << QStringLiteral(u"علت: فايل پيدا نشد") + at;
        QTest::newRow("missing folder")
            << "Path not found: /out/Export 1/x" << QStringLiteral(u"علت: شاخه پيدا نشد") + at;
        QTest::newRow("listed twice") << "\"A\": File already exists: /out/Export 1/x"
                                      << QStringLiteral(u"علت: از قبل وجود دارد") + at;
        QTest::newRow("no arrow") << "\"copy this\": no \"=>\""
                                  << QStringLiteral(u"علت: سطري از شيوه\u200Cنامه خروجي نادرست "
                                                    u"است («copy this»)");
        QTest::newRow("unknown") << "Strange" << QStringLiteral(u"علت: خطاي پيش\u200Cبيني نشده");
        // Each refusal of an input its own cause, whatever words its path holds.
        QTest::newRow("a folder given as a file")
            << "Is a folder: /out/Export 1/x"
            << QStringLiteral(u"علت: اين يك شاخه است، نه فايل") + at;
        QTest::newRow("a pipe") << "Not a regular file: /out/Export 1/x"
                                << QStringLiteral(u"علت: فايل معمولي نيست (دستگاه يا لوله است)") +
                                       at;
        QTest::newRow("too large")
            << "Larger than 128 MB: /out/Export 1/x"
            << QStringLiteral(u"علت: فايل بزرگتر از اندازه پذيرفتني است") + at;
        QTest::newRow("disk's file size")
            << "File too large: /out/Export 1/x" << QStringLiteral(u"علت: فضاي ديسك پر است") + at;
        QTest::newRow("nested") << "Word document nested too deeply: /out/Export 1/x"
                                << QStringLiteral(u"علت: ساختار فايل بيش از اندازه تودرتو است") +
                                       at;
        QTest::newRow("not rtf") << "Not an RTF file: /out/Export 1/x"
                                 << QStringLiteral(
                                        u"علت: فايل آسيب ديده است يا از نوع درستي نيست") +
                                        at;
        QTest::newRow("outside") << "\"../a => root\": Path leads outside: /out/Export 1/x"
                                 << QStringLiteral(u"علت: مسير به بيرون از شاخه خود مي\u200Cرود") +
                                        at;
        QTest::newRow("words in the path")
            << "Permission denied: /outside/entities"
            << QStringLiteral(u"علت: اجازه دسترسي داده نشد («/outside/entities»)");
    }
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
