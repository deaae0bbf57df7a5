// The catalogue, the project file, its fields and lessons as the store keeps them, with the
// main window as their view: the scenarios of tests/data/store.
#include "platform/text_codec.h"
#include "store/catalogue.h"
#include "support/fake_view.h"
#include "support/golden.h"
#include "support/lesson_windows.h"

#include <QDir>
#include <QtTest>

using namespace tavrin;
using namespace tavrin::test;

class ProjectStoreTest : public QObject {
    Q_OBJECT
private slots:
    void scenarios_data() { fileRows("store", ".steps"); }
    void scenarios() {
        QFETCH(QString, name);
        LessonWindows t{LessonWindows::Bare{}};
        runSteps(t, "store/" + name);
    }

    // A program folder whose path would damage the entry of a new project.
    void programFolderThatWouldDamageTheCatalogue() {
        TestProgram odd;
        const QString folder = odd.path("a=b");
        QVERIFY(QDir().mkpath(folder));
        Context context(folder, odd.path("second.log"), odd.clock, odd.prompts, odd.random);
        const QByteArray empty =
            encodeUtf16Le("<Projects>\r\n\t<Count Adad=\"0\">\r\n</Projects>\r\n");
        writeBytes(folder + "/Projects.xml", empty);
        FakeView view(context);
        NewProj(context, view, "Fine");
        QCOMPARE(readBytes(folder + "/Projects.xml"), empty);
        QVERIFY(!QFile::exists(folder + "/Project 1"));
    }
};

QTEST_MAIN(ProjectStoreTest)
#include "tst_project_store.moc"
