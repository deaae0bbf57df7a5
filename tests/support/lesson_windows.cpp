#include "support/lesson_windows.h"

#include "editor/question_editor.h"
#include "formatter/formatter_window.h"
#include "mainwin/main_window.h"
#include "platform/text_codec.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/lessons.h"
#include "support/documents.h"
#include "widgets/rich_text_box.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace tavrin::test {

LessonWindows::LessonWindows(Prompts* real, const QString& field, const QString& lesson) : p(real) {
    copyShippedResources(p.folder());
    QDir().mkpath(p.path("Zar"));
    for (const QString& name : QDir(sourceFile("dist/Zar")).entryList(QDir::Files))
        QFile::copy(sourceFile("dist/Zar/" + name), p.path("Zar/" + name));
    writeBytes(p.path("Zar/notes.text"), "not a lesson");
    QDir().mkpath(p.path("media"));
    for (const char* name :
         {"media/a.pdf", "media/s.mp3", "media/f.flv", "media/p1.jpg", "media/p2.gif"})
        writeBytes(p.path(name), name);
    QFile::copy(p.path("Resources/MyBack.jpg"), p.path("media/b.jpg"));
    writeBytes(p.path("Projects.xml"),
               encodeUtf16Le("<Projects>\r\n\t<Count Adad=\"0\">\r\n</Projects>\r\n"));
    main = std::make_unique<MainWindow>(p.context());
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    NewProj(p.context(), *main, "P");
    NewResh(p.context(), *main, field);
    NewDars(p.context(), *main, lesson);
    main->session().inputFolder = p.path("Zar");
    dataEntry();
    f = main->formatter();
    QVERIFY(f->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(f));
    matn = control<RichTextBox>(f, "matn");
    bindex = control<QListWidget>(f, "bindex");
}

LessonWindows::LessonWindows(Bare bare) : p(bare.real) {
    writeBytes(p.path("Projects.xml"),
               encodeUtf16Le("<Projects>\r\n\t<Count Adad=\"0\">\r\n</Projects>\r\n"));
    main = std::make_unique<MainWindow>(p.context());
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
}

LessonWindows::LessonWindows(const Projects& projects) : LessonWindows(Bare{projects.real}) {
    copyShippedResources(p.folder());
    for (const QString& title : projects.titles)
        NewProj(p.context(), *main, title);
}

void LessonWindows::restart() {
    main = std::make_unique<MainWindow>(p.context());
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
}

LessonWindows::~LessonWindows() = default;

QWidget* widgetNamed(LessonWindows& t, const QString& name) {
    QWidget* w = t.modal ? t.modal->findChild<QWidget*>(name) : nullptr;
    if (!w && t.f && t.f->isVisible())
        w = t.f->findChild<QWidget*>(name);
    if (!w)
        w = t.main->findChild<QWidget*>(name);
    if (!w)
        qWarning("no control named %s", qPrintable(name));
    return w;
}

void LessonWindows::dataEntry() {
    auto* rest = control<QLabel>(main.get(), "Picture13");
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), rest->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(rest, &move);
    QTest::mouseClick(control<QLabel>(main.get(), "Picture16"), Qt::LeftButton);
}

void LessonWindows::pickLesson(int row) {
    auto* list = control<QListWidget>(main.get(), "DarsB");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

QListWidget* LessonWindows::books() {
    return control<QListWidget>(f, "books");
}

void LessonWindows::load(const QString& name) {
    QListWidget* list = books();
    const auto hit = list->findItems(name, Qt::MatchExactly);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(hit.value(0)).center());
}

void LessonWindows::select(const QString& what) {
    const QString text = matn->text();
    const qsizetype at = text.indexOf(what);
    QVERIFY2(at >= 0, qPrintable(what));
    matn->setSelection(int(at), int(what.size()));
}

void LessonWindows::click(int index) {
    QTest::mouseClick(control<QPushButton>(f, qPrintable(QString("Com%1").arg(index))),
                      Qt::LeftButton);
}

QStringList LessonWindows::outline() const {
    QStringList lines;
    for (int i = 0; i < bindex->count(); ++i)
        lines << bindex->item(i)->text();
    return lines;
}

void LessonWindows::moveByHand(QPoint from, QPoint to, const std::function<void()>& eachStep) {
    const int steps = std::max({std::abs(to.x() - from.x()), std::abs(to.y() - from.y()), 1});
    for (int i = 0; i <= steps; ++i) {
        QTest::mouseMove(f->windowHandle(), from + (to - from) * i / steps);
        if (eachStep)
            eachStep();
    }
}

QPoint LessonWindows::at(QWidget* w) const {
    return w->mapTo(f, w->rect().center());
}

void LessonWindows::fileQuestion(const QString& q, const QString& answers, const QString& why) {
    matn->setText(q + "\r\n" + answers + "\r\n" + why);
    const auto pick = [&](const QString& what, int index) {
        matn->setSelection(int(matn->text().indexOf(what)), int(what.size()));
        click(index);
    };
    pick(q, 2);
    pick(answers, 3);
    pick(why, 0);
}

void LessonWindows::open(int row, std::function<void(QuestionEditor*)> handler) {
    bool done = false;
    onModal<QuestionEditor>([&](QuestionEditor* e) {
        handler(e);
        if (e->isVisible())
            e->reject();
        done = true;
    });
    QTest::mouseClick(bindex->viewport(), Qt::LeftButton, {},
                      bindex->visualItemRect(bindex->item(row)).center());
    QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
}

} // namespace tavrin::test
