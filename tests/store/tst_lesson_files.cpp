// A lesson's or a field's delete takes its files along and renumbers the later lessons'
// files, byte for byte, and a kill at any moment leaves the old set or the new one.
#include "export/output_folders.h"
#include "lesson/entry_table.h"
#include "lesson/quiz_book.h"
#include "platform/text_codec.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/lesson_files.h"
#include "store/lessons.h"
#include "store/store_view.h"
#include "support/fake_view.h"
#include "support/kill_test.h"
#include "support/test_program.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

using Files = QMap<QString, QByteArray>;

const QStringList kFields{"A", "B"};
const QList<QStringList> kLessons{{"x", "y", "z"}, {"b1", "b2"}};

// A project of two fields with every lesson made: a picture answer and an attachment each,
// their bytes naming the lesson.
struct Project {
    TestProgram p;
    FakeView view{p.context()};
    QString folder;
    Project() {
        writeBytes(p.path("Projects.xml"),
                   encodeUtf16Le("<Projects>\r\n\t<Count Adad=\"0\">\r\n</Projects>\r\n"));
        NewProj(p.context(), view, "P");
        folder = view.path;
        MakeDirs(p.context(), folder, "BookTXT", "_xml");
        for (int f = 0; f < kFields.size(); ++f) {
            NewResh(p.context(), view, kFields[f]);
            view.selectEntry(StoreList::Fields, f);
            for (int l = 0; l < kLessons[f].size(); ++l) {
                const QString name = kLessons[f][l];
                NewDars(p.context(), view, name);
                writeBytes(p.path(name + ".jpg"), "picture of " + name.toUtf8());
                writeBytes(p.path(name + ".pdf"), "attachment of " + name.toUtf8());
                EntryTable t;
                t.SoalText[0] = "question of " + name;
                t.JavabRtf[0] = "{0}\r\nwords";
                t.ImagePaths[0] = p.path(name + ".jpg");
                t.AttachPath[0] = p.path(name + ".pdf");
                BookRequest r{folder, f, l, name, "<credit>", {}, {}};
                p.prompts.answers = {true};
                QCOMPARE(MakeBook(p.context(), t, r), BookOutcome::Made);
                // The author's files beside it: a draft naming a copy, and group lines.
                const QString id = QString("%1-%2").arg(f).arg(l);
                writeBytes(folder + "/_xml/quiz" + id + ".draft", "{\"0\": \"" + folder.toUtf8() +
                                                                      "/BookTXT/quiz" +
                                                                      id.toUtf8() + "-0.jpg\"}");
                writeBytes(folder + "/_xml/quiz" + id + ".groups", "[]");
            }
        }
    }
    void select(int field, int lesson) {
        view.selectEntry(StoreList::Fields, field);
        view.selected[2] = lesson;
    }
    // The delete of a lesson (number > 0) or of the whole field (lesson -1).
    void remove(int field, int lesson) {
        select(field, lesson);
        if (lesson >= 0)
            DelDars(p.context(), view, lesson + 1);
        else
            DelResh(p.context(), view, field + 1);
    }
};

// What the files must be after the delete, made from the files before it.
Files expectedAfter(const Files& before, const Files& projectAfter, const Renumbering& r) {
    static const QRegularExpression named("^(_xml/quiz|BookTXT/quiz)(\\d+)-(\\d+)(.*)$");
    Files out;
    QSet<QString> goneAttachments;
    for (auto it = before.begin(); it != before.end(); ++it) {
        const QRegularExpressionMatch m = named.match(it.key());
        if (!m.hasMatch())
            continue;
        int f = m.captured(2).toInt(), l = m.captured(3).toInt();
        if (!r.apply(f, l) && it.key().endsWith(".xml")) {
            const QString quiz = decodeUtf16Le(it.value());
            const QRegularExpression attach("<attach>([^<]+)</attach>");
            goneAttachments.insert("BookTXT/" + attach.match(quiz).captured(1));
        }
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (goneAttachments.contains(it.key()))
            continue;
        if (it.key() == "Project.xml") {
            out[it.key()] = projectAfter[it.key()];
            continue;
        }
        if (it.key() == "_xml/BookTitle.xml") {
            QStringList lines = decodeUtf16Le(it.value()).split("\r\n");
            QStringList kept;
            for (const QString& line : lines) {
                const QRegularExpressionMatch m =
                    QRegularExpression("^\t<quiz(\\d+)-(\\d+)>(.*)</quiz").match(line);
                int f = m.captured(1).toInt(), l = m.captured(2).toInt();
                if (!m.hasMatch())
                    kept.append(line);
                else if (r.apply(f, l))
                    kept.append(
                        QString("\t<quiz%1-%2>%3</quiz%1-%2>").arg(f).arg(l).arg(m.captured(3)));
            }
            out[it.key()] = encodeUtf16Le(kept.join("\r\n"));
            continue;
        }
        const QRegularExpressionMatch m = named.match(it.key());
        if (!m.hasMatch()) {
            out[it.key()] = it.value();
            continue;
        }
        int f = m.captured(2).toInt(), l = m.captured(3).toInt();
        if (!r.apply(f, l))
            continue;
        const QString from = m.captured(2) + "-" + m.captured(3);
        const QString to = QString("%1-%2").arg(f).arg(l);
        QByteArray bytes = it.value();
        if (it.key().endsWith(".draft"))
            bytes.replace("BookTXT/quiz" + from.toUtf8() + "-", "BookTXT/quiz" + to.toUtf8() + "-");
        if (it.key().endsWith(".xml"))
            bytes = encodeUtf16Le(decodeUtf16Le(bytes)
                                      .replace("qNo='" + from + "'", "qNo='" + to + "'")
                                      .replace(">quiz" + from + "-", ">quiz" + to + "-"));
        out[m.captured(1) + to + m.captured(4)] = bytes;
    }
    return out;
}

} // namespace

class LessonFilesTest : public QObject {
    Q_OBJECT
private slots:
    void deletesTakeTheFilesAlong_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("lesson");
        QTest::newRow("first lesson") << 0 << 0;
        QTest::newRow("middle lesson") << 0 << 1;
        QTest::newRow("last lesson") << 0 << 2;
        QTest::newRow("first field") << 0 << -1;
        QTest::newRow("last field") << 1 << -1;
    }
    void deletesTakeTheFilesAlong() {
        QFETCH(int, field);
        QFETCH(int, lesson);
        Project s;
        const Files before = filesUnder(s.folder);
        s.remove(field, lesson);
        const Files after = filesUnder(s.folder);
        QCOMPARE(after.keys(), expectedAfter(before, after, {field, lesson}).keys());
        QCOMPARE(after, expectedAfter(before, after, {field, lesson}));
        // The later lessons kept their pictures and attachments under their new names.
        const QString firstLeft = lesson == 0 ? "y" : "x";
        if (field == 0 && lesson >= 0) {
            QCOMPARE(after.value("BookTXT/quiz0-0-0.jpg"), "picture of " + firstLeft.toUtf8());
            QVERIFY(!after.contains(QString("_xml/quiz0-%1.xml").arg(2)));
        }
        QVERIFY(!decodeUtf16Le(after.value("_xml/BookTitle.xml"))
                     .contains(">" + kLessons[field].value(std::max(lesson, 0)) + "<"));
        // The project file and the lessons the CD will list agree.
        const QList<LessonRef> lessons =
            projectLessons(s.p.context(), decodeUtf16Le(after["Project.xml"]));
        for (const LessonRef& ref : lessons) {
            const QString quiz = decodeUtf16Le(after.value("_xml/quiz" + ref.id() + ".xml"));
            QVERIFY2(quiz.startsWith("<quiz qNo='" + ref.id() + "' IDname='" + ref.title + "'>"),
                     qPrintable(ref.id()));
        }
        // Answering No changes nothing.
        const Files kept = filesUnder(s.folder);
        s.p.prompts.answers = {false};
        s.remove(0, 0);
        QCOMPARE(filesUnder(s.folder), kept);
    }

    // A kill at any moment of the delete leaves the old files or the new ones, once the
    // next reading of the project has finished or undone the step.
    void killAtAnyMomentLeavesOneWholeSet() {
        Project pristine;
        const Files before = filesUnder(pristine.folder);
        const auto restore = [&] {
            QDir(pristine.folder).removeRecursively();
            for (auto it = before.begin(); it != before.end(); ++it) {
                QDir().mkpath(QFileInfo(pristine.folder + "/" + it.key()).path());
                writeBytes(pristine.folder + "/" + it.key(), it.value());
            }
        };
        killAtRandomMoments(
            "delete", [&] { pristine.remove(0, 0); }, restore,
            [&](int i) {
                finishSwitch(pristine.p.context(), pristine.folder);
                const Files now = filesUnder(pristine.folder);
                QVERIFY2(now == before || now == expectedAfter(before, now, {0, 0}),
                         qPrintable(QString("kill %1").arg(i)));
            });
    }
};

QTEST_GUILESS_MAIN(LessonFilesTest)
#include "tst_lesson_files.moc"
