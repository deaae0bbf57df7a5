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
#include "store/project_settings.h"
#include "store/store_view.h"
#include "support/documents.h"
#include "support/fake_view.h"
#include "support/golden.h"
#include "support/kill_test.h"
#include "support/test_program.h"
#include "undo/edit_history.h"

#include <QDir>
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
// their bytes naming the lesson; a comprehensive exam's budget naming every lesson, and the
// fields' weights, which a delete renumbers as it does the files.
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
        KeepSetting(p.context(), folder, "FullExamBudget", "0-0:1 0-1:2 0-2:3 1-0:4 1-1:5");
        KeepSetting(p.context(), folder, "FieldWeights", "0:2 1:3");
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

// The project's files, each with what it holds as text (UTF-16 files decoded), the program
// folder written "@program": what a delete must leave, against an expected file.
QString described(const Files& files, const QString& program) {
    QString out;
    for (auto it = files.begin(); it != files.end(); ++it) {
        const bool utf16 = it.value().startsWith("\xff\xfe");
        out += it.key() + ": " +
               visible(utf16 ? decodeUtf16Le(it.value()) : QString::fromUtf8(it.value()))
                   .replace(program, "@program") +
               '\n';
    }
    return out;
}

// A project's files as the author has them: the undo's trash is not one of them.
Files withoutTrash(Files files) {
    files.removeIf([](const auto& f) { return f.key().startsWith(".trash/"); });
    return files;
}

const EditHistory::Files projectScope(const QString& folder) {
    return {folder, {"."}, false, true, {}};
}

} // namespace

class LessonFilesTest : public QObject {
    Q_OBJECT
private slots:
    void deletesTakeTheFilesAlong_data() {
        tableData("store/lesson_deletes.tsv", {"field", "lesson"});
    }
    // The later lessons' files renumbered, their pictures and attachments under their new
    // names, the deleted lesson's gone, the project file and the lessons the CD will list in
    // agreement: tests/data/store/deleted_<row>.txt. Answering No changes nothing.
    void deletesTakeTheFilesAlong() {
        QFETCH(QString, field);
        QFETCH(QString, lesson);
        Project s;
        s.remove(field.toInt(), lesson.toInt());
        const QString after = described(filesUnder(s.folder), s.p.folder());
        const QString name = QString::fromUtf8(QTest::currentDataTag()).replace(' ', '_');
        QCOMPARE(after,
                 QString::fromUtf8(golden("store/deleted_" + name + ".txt", after.toUtf8())));
        const Files kept = filesUnder(s.folder);
        s.p.prompts.answers = {false};
        s.remove(0, 0);
        QCOMPARE(filesUnder(s.folder), kept);
    }

    void undoPutsEveryFileBack_data() { deletesTakeTheFilesAlong_data(); }
    // Undo after a delete: the project folder byte for byte as before it, ids and numbers
    // as they were; redo: as after it. Closing the history empties the trash.
    void undoPutsEveryFileBack() {
        QFETCH(QString, field);
        QFETCH(QString, lesson);
        Project s;
        const Files before = filesUnder(s.folder);
        {
            EditHistory history(s.p.context());
            history.record("delete", projectScope(s.folder),
                           [&] { s.remove(field.toInt(), lesson.toInt()); }, {});
            const Files after = withoutTrash(filesUnder(s.folder));
            QVERIFY(after != before);
            QCOMPARE(history.stack().count(), 1);
            history.stack().undo();
            QCOMPARE(withoutTrash(filesUnder(s.folder)), before);
            QCOMPARE(s.p.entries().last(), QString("Undone: delete"));
            history.stack().redo();
            QCOMPARE(withoutTrash(filesUnder(s.folder)), after);
            QCOMPARE(s.p.entries().last(), QString("Redone: delete"));
            history.stack().undo();
            QCOMPARE(withoutTrash(filesUnder(s.folder)), before);
            QVERIFY(QFileInfo(s.folder + "/.trash").isDir());
        }
        QVERIFY(!QFileInfo::exists(s.folder + "/.trash"));
        QCOMPARE(filesUnder(s.folder), before);
    }

    // A file the delete wrote changed since (another window, a verb): the undo says so and
    // leaves every file as it is; the step leaves the history. An edit that changed nothing
    // (No to the question) is no step.
    void aStaleUndoChangesNothing() {
        Project s;
        EditHistory history(s.p.context());
        s.p.prompts.answers = {false};
        history.record("kept", projectScope(s.folder), [&] { s.remove(0, 0); }, {});
        QCOMPARE(history.stack().count(), 0);
        QVERIFY(!QFileInfo::exists(s.folder + "/.trash"));
        s.p.prompts.answers = {true};
        history.record("delete", projectScope(s.folder), [&] { s.remove(0, 1); }, {});
        KeepSetting(s.p.context(), s.folder, "Olgoo", "2");
        const Files changed = withoutTrash(filesUnder(s.folder));
        history.stack().undo();
        QCOMPARE(withoutTrash(filesUnder(s.folder)), changed);
        QCOMPARE(history.stack().count(), 0);
        const auto& said = s.p.prompts.shown.last();
        QVERIFY2(said.text.contains(QStringLiteral(u"\r\ndelete — علت: این فایل از آن پس در "
                                                   u"جای دیگری تغییر کرده است")),
                 qPrintable(said.text));
        QCOMPARE(s.p.entries().filter("Undo refused: delete (Changed since: ").size(), 1);
    }

    // What a killed run left in the trash goes the first time a history of the next run
    // keeps files there, and never again in that run.
    void aKilledRunsTrashGoes() {
        Project s;
        writeBytes(s.folder + "/.trash/old/before/Project.xml", "left by a kill");
        EditHistory history(s.p.context());
        EditHistory formatter(s.p.context(), &history);
        formatter.record("first", projectScope(s.folder), [&] { s.remove(0, 0); }, {});
        QVERIFY(!QFileInfo::exists(s.folder + "/.trash/old"));
        const Files kept = filesUnder(s.folder);
        history.record("second", projectScope(s.folder), [&] { s.remove(0, 0); }, {});
        formatter.stack().undo();
        QCOMPARE(formatter.stack().count(), 0); // the second delete wrote its files since
        history.stack().undo();
        QCOMPARE(withoutTrash(filesUnder(s.folder)), withoutTrash(kept));
    }

    // A kill at any moment of an undo of a delete: the next reading of the project finds the
    // files of before the delete or of after it, whole.
    void aKilledUndoLeavesOneWholeSet() {
        Project pristine;
        const Files before = filesUnder(pristine.folder);
        const QString deleted =
            QString::fromUtf8(readBytes(sourceFile("tests/data/store/deleted_first_lesson.txt")));
        std::optional<FileChange> change;
        const auto restore = [&] {
            if (change)
                change->discard();
            QDir(pristine.folder).removeRecursively();
            putFiles(pristine.folder, before);
            change = FileChange::before(pristine.folder, {"."}, "undo");
            pristine.remove(0, 0);
            QVERIFY(change->after());
        };
        killAtRandomMoments(
            "undo of a delete", [&] { change->undo(); }, restore,
            [&](int i) {
                finishSwitch(pristine.p.context(), pristine.folder);
                const Files now = withoutTrash(filesUnder(pristine.folder));
                QVERIFY2(now == before || described(now, pristine.p.folder()) == deleted,
                         qPrintable(QString("kill %1").arg(i)));
            });
    }

    // A kill at any moment of the delete leaves the old files or the new ones, once the
    // next reading of the project has finished or undone the step.
    void killAtAnyMomentLeavesOneWholeSet() {
        Project pristine;
        const Files before = filesUnder(pristine.folder);
        const QString deleted =
            QString::fromUtf8(readBytes(sourceFile("tests/data/store/deleted_first_lesson.txt")));
        const auto restore = [&] {
            QDir(pristine.folder).removeRecursively();
            putFiles(pristine.folder, before);
        };
        killAtRandomMoments(
            "delete", [&] { pristine.remove(0, 0); }, restore,
            [&](int i) {
                finishSwitch(pristine.p.context(), pristine.folder);
                const Files now = filesUnder(pristine.folder);
                QVERIFY2(now == before || described(now, pristine.p.folder()) == deleted,
                         qPrintable(QString("kill %1").arg(i)));
            });
    }
};

QTEST_GUILESS_MAIN(LessonFilesTest)
#include "tst_lesson_files.moc"
