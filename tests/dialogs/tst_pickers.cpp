#include "app/messages.h"
#include "dialogs/picker_lists.h"
#include "dialogs/pickers.h"
#include "platform/project_folders.h"
#include "support/test_program.h"
#include "widgets/persian_ui.h"

#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using tavrin::test::writeBytes;
namespace test = tavrin::test;

class PickersTest : public QObject {
    Q_OBJECT
private slots:
    // What a picker delivers is found through a window (tests/data/settings/the_file_picker);
    // here, with no file chosen: the folder with its separator, and a confirm refused with a
    // box that says so while the picker stays.
    void confirmedWithNoFileChosen() {
        QTemporaryDir dir;
        writeBytes(dir.filePath("a.jpg"), "x");
        int delivered = 0;
        FilePicker p([&] { ++delivered; });
        p.prime(dir.path());
        QCOMPARE(p.choice(), dir.path() + "/");
        QString said;
        test::onModal<QMessageBox>([&](QMessageBox* box) {
            said = box->text();
            box->accept();
        });
        // The click returns once its box is answered: the picker is still there.
        QTimer::singleShot(0, [&p] {
            QTest::mouseClick(p.findChild<QPushButton*>("btn"), Qt::LeftButton);
            QVERIFY(p.isVisible());
            p.reject();
        });
        QCOMPARE(p.exec(), int(QDialog::Rejected));
        QCOMPARE(delivered, 0);
        QCOMPARE(said, shownInWindows(PayamText(kNoticeChooseAFile)));
    }

    // The pictures an author may choose: every kind the player shows, PNG among them.
    void picturePatternTakesEveryShownKind() {
        QTemporaryDir dir;
        for (const char* name : {"a.png", "b.jpg", "c.jpeg", "d.gif", "e.bmp", "f.webp", "g.txt"})
            writeBytes(dir.filePath(name), "x");
        FileList list;
        list.setPattern(folders::kPicturePattern);
        list.setPath(dir.path());
        QCOMPARE(list.count(), 6);
    }

    // A target can be made without leaving the tool: the new folder opens at once; a bad
    // or taken name makes nothing and says why.
    void newFolderButton() {
        QTemporaryDir dir;
        FolderPicker p([] {});
        p.prime(dir.path());
        p.show();
        auto* dir1 = p.findChild<QListWidget*>("Dir1");
        const QRect listAt = dir1->geometry();
        QStringList told;
        // A notice may follow a name: each is read and answered; the click returns after it.
        const std::unique_ptr<QTimer> notices(
            test::onEveryModal<QMessageBox>([&](QMessageBox* box) {
                told << box->text();
                box->accept();
            }));
        const auto answer = [&](const QString& name) {
            test::onModal<QInputDialog>([&, name](QInputDialog* ask) {
                QCOMPARE(ask->objectName(), QStringLiteral("NewFolderName"));
                ask->setTextValue(name);
                ask->accept();
            });
            QTest::mouseClick(p.findChild<QPushButton*>("NewFolder"), Qt::LeftButton);
        };
        answer(QString::fromUtf8("خروجي\u200Cها"));
        QVERIFY(QFileInfo(dir.filePath(QString::fromUtf8("خروجي\u200Cها"))).isDir());
        QCOMPARE(p.choice(), dir.filePath(QString::fromUtf8("خروجي\u200Cها")));
        p.prime(dir.path());
        for (const char* bad : {"a/b", "..", ""})
            answer(bad);
        answer(QString::fromUtf8("خروجي\u200Cها"));
        QCOMPARE(told.size(), 4);
        QVERIFY(told.last().contains(QString::fromUtf8("از قبل وجود دارد")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
        QCOMPARE(dir1->geometry(), listAt); // the list kept its place and size
    }

    // The folder chosen is the one highlighted by one click, or the one typed (the box shows
    // the highlighted one, Enter confirms); a typed folder that is not there is refused and
    // the picker stays.
    void theHighlightedOrTypedFolderIsChosen() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("Sub/Inner");
        QDir(dir.path()).mkpath("Other");
        FolderPicker p([] {});
        p.prime(dir.path());
        p.show();
        auto* dir1 = p.findChild<QListWidget*>("Dir1");
        auto* typed = p.findChild<QLineEdit*>("FolderPath");
        QCOMPARE(typed->text(), QDir::toNativeSeparators(dir.path()));
        const QList<QListWidgetItem*> sub = dir1->findItems("Sub", Qt::MatchEndsWith);
        QCOMPARE(sub.size(), 1);
        QTest::mouseClick(dir1->viewport(), Qt::LeftButton, {},
                          dir1->visualItemRect(sub.first()).center());
        QCOMPARE(p.choice(), dir.filePath("Sub"));
        QCOMPARE(typed->text(), QDir::toNativeSeparators(dir.filePath("Sub")));
        // Typed, and Enter: that folder is chosen.
        typed->selectAll();
        QTest::keyClicks(typed, dir.filePath("Other"));
        QTest::keyClick(typed, Qt::Key_Return);
        QVERIFY(!p.isVisible());
        QCOMPARE(p.result(), int(QDialog::Accepted));
        QCOMPARE(p.choice(), dir.filePath("Other"));
        p.show();
        typed->selectAll();
        QTest::keyClicks(typed, dir.filePath("gone"));
        QString said;
        test::onModal<QMessageBox>([&](QMessageBox* box) {
            said = box->text();
            box->accept();
        });
        QTest::mouseClick(p.findChild<QPushButton*>("btn"), Qt::LeftButton);
        QVERIFY(p.isVisible());
        QVERIFY2(said.contains(QDir::toNativeSeparators(dir.filePath("gone"))), qPrintable(said));
    }

    void unreadableFolderKeepsTheLists() {
        QTemporaryDir dir;
        int delivered = 0;
        FolderPicker p([&] { ++delivered; });
        p.prime(dir.path());
        auto* dir1 = p.findChild<QListWidget*>("Dir1");
        const int rows = dir1->count();
        QVERIFY(rows > 0);
        QVERIFY(!static_cast<DirList*>(dir1)->setPath(dir.filePath("gone")));
        QCOMPARE(p.choice(), dir.path());
        QCOMPARE(dir1->count(), rows);
        QCOMPARE(delivered, 0);
        auto* drive1 = p.findChild<QComboBox*>("Drive1");
        QVERIFY(drive1->count() >= 1);
        QVERIFY(dir.path().startsWith(drive1->currentData().toString()));
        QTimer::singleShot(
            0, [&p] { QTest::mouseClick(p.findChild<QPushButton*>("btn"), Qt::LeftButton); });
        p.exec();
        QCOMPARE(delivered, 1);
        QVERIFY(!p.isVisible());
    }
};

QTEST_MAIN(PickersTest)
#include "tst_pickers.moc"
