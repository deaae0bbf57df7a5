// The step runner of the window scenarios in tests/data: the verbs of the lesson windows,
// the question editor, a modal dialog and any control found by its name.
#include "dialogs/pickers.h"
#include "editor/question_editor.h"
#include "formatter/formatter_window.h"
#include "lesson/question_check.h"
#include "lesson/quiz_book.h"
#include "lessontext/lesson_texts.h"
#include "mainwin/main_window.h"
#include "platform/persian_text.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/lesson_files.h"
#include "store/lessons.h"
#include "support/documents.h"
#include "support/golden.h"
#include "support/lesson_windows.h"
#include "support/program_steps.h"
#include "widgets/rich_text_box.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QToolTip>
#include <QtTest>
#include <functional>

namespace tavrin::test {

namespace {

StoreList storeList(const QString& name) {
    return name == "projects" ? StoreList::Projects
           : name == "fields" ? StoreList::Fields
                              : StoreList::Lessons;
}

// Where typed keys go: a dialog's own focus widget (offscreen gives no activation back), or
// the application's.
QWidget* focusedIn(LessonWindows& t) {
    return t.modal ? t.modal->focusWidget() : QApplication::focusWidget();
}

// The steps any window's controls take, found by name; known is false for another verb.
void controlStep(LessonWindows& t, const QString& verb, const QString& a, const QString& b,
                 const QString& c, const QString& where, bool& known) {
    known = true;
    const auto list = [&](const QString& name) {
        return qobject_cast<QListWidget*>(widgetNamed(t, name));
    };
    const bool yes = b != "no";
    if (verb == "click") {
        QTest::mouseClick(widgetNamed(t, a), Qt::LeftButton);
    } else if (verb == "click-option") { // a right-to-left option, on its circle at its right end
        QWidget* option = widgetNamed(t, a);
        QTest::mouseClick(option, Qt::LeftButton, {},
                          QPoint(option->width() - 8, option->height() / 2));
    } else if (verb == "click-row") {
        QListWidget* l = list(a);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          l->visualItemRect(l->item(b.toInt())).center());
    } else if (verb == "hover") {
        QWidget* w = widgetNamed(t, a);
        if (auto* l = qobject_cast<QListWidget*>(w))
            w = l->viewport();
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
    } else if (verb == "timer") { // the main window's timer: running (with its interval) or stopped
        auto* timer = t.main->findChild<QTimer*>(a);
        QCOMPARE(timer->isActive(), b != "stopped");
        if (!c.isEmpty())
            QCOMPARE(timer->interval(), c.toInt());
    } else if (verb == "fire") {
        fire(t.main->findChild<QTimer*>(a));
    } else if (verb == "popup-panel") {
        QCOMPARE(t.main->popupPanel(), a.toInt());
    } else if (verb == "record-greys") { // every text colour the control takes from now on
        struct Recorder : QObject {
            QList<int>* levels;
            explicit Recorder(QList<int>* l, QObject* parent) : QObject(parent), levels(l) {}
            bool eventFilter(QObject* o, QEvent* e) override {
                if (e->type() == QEvent::PaletteChange)
                    levels->append(
                        static_cast<QWidget*>(o)->palette().color(QPalette::WindowText).red());
                return false;
            }
        };
        QWidget* w = widgetNamed(t, a);
        w->installEventFilter(new Recorder(&t.greys, w));
    } else if (verb == "greys") {
        QStringList seen;
        for (int level : t.greys)
            seen << QString::number(level);
        QCOMPARE(seen.join(u','), a);
    } else if (verb == "grey-not") {
        QVERIFY2(widgetNamed(t, a)->palette().color(QPalette::WindowText).red() != b.toInt(),
                 qPrintable(where));
    } else if (verb == "time-passes") { // the panel's delay, then its fade, to the end
        auto* delay = t.main->findChild<QTimer*>(QStringLiteral("Timer2"));
        auto* fade = t.main->findChild<QTimer*>(QStringLiteral("FadeTimer"));
        if (delay->isActive())
            fire(delay);
        while (fade->isActive())
            fire(fade);
    } else if (verb == "title-box") { // the New title box, typed into and confirmed
        QTimer::singleShot(0, [a] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            typeText(box->findChild<QLineEdit*>("jadid"), a);
            QTest::mouseClick(box->findChild<QPushButton*>("btn"), Qt::LeftButton);
        });
        QTest::mouseClick(widgetNamed(t, b), Qt::LeftButton);
    } else if (verb == "enabled") {
        QCOMPARE(widgetNamed(t, a)->isEnabled(), yes);
    } else if (verb == "shown") {
        QCOMPARE(widgetNamed(t, a)->isVisible(), yes);
    } else if (verb == "checked") {
        QCOMPARE(qobject_cast<QAbstractButton*>(widgetNamed(t, a))->isChecked(), yes);
    } else if (verb == "text") {
        QCOMPARE(widgetNamed(t, a)->property("text").toString(), b);
    } else if (verb == "tooltip") {
        QCOMPARE(widgetNamed(t, a)->toolTip(), b);
    } else if (verb == "count") {
        QCOMPARE(list(a)->count(), b.toInt());
    } else if (verb == "item") { // "ROW=TEXT"
        const qsizetype eq = b.indexOf(u'=');
        QCOMPARE(list(a)->item(b.left(eq).toInt())->text(), b.mid(eq + 1));
    } else if (verb == "selected") {
        QVERIFY2(list(a)->item(b.toInt())->isSelected(), qPrintable(where));
    } else if (verb == "base") {
        QCOMPARE(widgetNamed(t, a)->palette().color(QPalette::Base), QColor(b));
    } else if (verb == "ink") { // a control's text colour
        QCOMPARE(widgetNamed(t, a)->palette().color(QPalette::WindowText), QColor(b));
    } else if (verb == "grey") {
        QCOMPARE(widgetNamed(t, a)->palette().color(QPalette::WindowText).red(), b.toInt());
    } else if (verb == "set-text") { // a box's text, set as a paste would
        widgetNamed(t, a)->setProperty("text", b);
    } else if (verb == "tooltip-shown") { // the tip beside a control, now
        QVERIFY2(QToolTip::isVisible(), qPrintable(where));
        QCOMPARE(QToolTip::text(), a);
    } else if (verb == "no-box-opens") {
        // A click on a, or on row b of list a, that opens no modal window; the log takes
        // nothing, or a row's try to open it.
        const QStringList before = t.p.entries();
        bool opened = false;
        const std::unique_ptr<QTimer> watch(onEveryModal<QWidget>([&](QWidget* box) {
            opened = true;
            box->close();
        }));
        if (b.isEmpty())
            QTest::mouseClick(widgetNamed(t, a), Qt::LeftButton);
        else
            QTest::mouseClick(list(a)->viewport(), Qt::LeftButton, {},
                              list(a)->visualItemRect(list(a)->item(b.toInt())).center());
        QCoreApplication::sendPostedEvents(); // what the click queued (an editor opens so)
        QVERIFY2(!opened, qPrintable(where));
        QCOMPARE(t.p.entries().size() - before.size(), b.isEmpty() ? 0 : 1);
    } else if (verb == "rows") { // a list's rows in order, then the words of the step
        QStringList rows;
        for (int i = 0; i < list(a)->count(); ++i)
            rows << list(a)->item(i)->text();
        QCOMPARE(rows.join(u'|'), b);
    } else if (verb == "type" || verb == "type-in") { // over what a box holds ("type": Enter)
        auto* box = widgetNamed(t, a);
        box->setFocus();
        QMetaObject::invokeMethod(box, "selectAll");
        typeText(box, b);
        if (verb == "type")
            QTest::keyClick(box, Qt::Key_Return);
    } else if (verb == "choose-item") { // a drop-down list's item b, by the arrow keys
        auto* box = qobject_cast<QComboBox*>(widgetNamed(t, a));
        box->setFocus();
        for (int guard = 0; box->currentIndex() != b.toInt() && guard < box->count(); ++guard)
            QTest::keyClick(box, box->currentIndex() < b.toInt() ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(box->currentIndex(), b.toInt());
    } else if (verb == "key-on") {
        const QKeySequence key(b);
        QWidget* w = widgetNamed(t, a);
        w->setFocus();
        QTest::keyClick(w, Qt::Key(key[0].key()), key[0].keyboardModifiers());
    } else if (verb == "value") {
        QCOMPARE(widgetNamed(t, a)->property("value").toInt(), b.toInt());
    } else if (verb == "check-state") {
        QCOMPARE(int(qobject_cast<QCheckBox*>(widgetNamed(t, a))->checkState()),
                 b == "checked"  ? int(Qt::Checked)
                 : b == "partly" ? int(Qt::PartiallyChecked)
                                 : int(Qt::Unchecked));
    } else if (verb == "restart") {
        t.restart();
    } else if (verb == "tooltip-has") {
        QVERIFY2(widgetNamed(t, a)->toolTip().contains(b), qPrintable(where));
    } else if (verb == "beside") { // a's left end stands c pixels after b's right end
        QCOMPARE(widgetNamed(t, a)->geometry().left(),
                 widgetNamed(t, b)->geometry().right() + c.toInt());
    } else if (verb == "left-of") {
        QVERIFY2(widgetNamed(t, a)->geometry().right() < widgetNamed(t, b)->geometry().left(),
                 qPrintable(where));
    } else if (verb == "above") {
        QVERIFY2(widgetNamed(t, a)->geometry().bottom() < widgetNamed(t, b)->geometry().top(),
                 qPrintable(where));
    } else if (verb == "shown-starts" || verb == "shown-lacks") { // the letters a box shows
        auto* box = qobject_cast<QTextEdit*>(widgetNamed(t, a));
        const QString shown = box->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
        QVERIFY2(verb == "shown-starts" ? shown.startsWith(b) : !shown.contains(b),
                 qPrintable(where + ": " + shown.left(80)));
    } else if (verb.startsWith("rich-")) { // a rich text box's text and paragraphs
        auto* box = qobject_cast<RichTextBox*>(widgetNamed(t, a));
        const QString text = box->text();
        if (verb == "rich-read-only")
            QVERIFY2(box->isReadOnly(), qPrintable(where));
        else if (verb == "rich-starts" || verb == "rich-has" || verb == "rich-lacks")
            QVERIFY2(verb == "rich-starts" ? text.startsWith(b)
                                           : text.contains(b) == (verb == "rich-has"),
                     qPrintable(where));
        QCOMPARE(box->document()->blockCount(), int(text.count(QStringLiteral("\r\n"))) + 1);
        for (QTextBlock k = box->document()->begin(); k.isValid(); k = k.next()) {
            const Qt::Alignment side = k.blockFormat().alignment();
            QVERIFY2(
                k.text().isEmpty() || verb != "rich-right-to-left" ||
                    (k.textDirection() == Qt::RightToLeft &&
                     (side == (Qt::AlignRight | Qt::AlignAbsolute) || side == Qt::AlignHCenter)),
                qPrintable(where + ": " + k.text()));
        }
    } else if (verb == "leave") { // the focus goes from the control; no tip stands before
        QToolTip::hideText();
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(widgetNamed(t, a), &out);
    } else if (verb == "no-tooltip") {
        QVERIFY2(!QToolTip::isVisible(), qPrintable(where));
    } else if (verb == "font") { // the family a control draws in
        QVERIFY2(widgetNamed(t, a)->font().families().startsWith(b), qPrintable(where));
    } else if (verb == "right-to-left") {
        QVERIFY2(laidOutRightToLeft(widgetNamed(t, a)), qPrintable(where));
    } else if (verb == "prime") { // the picker opened on a folder of the program folder
        if (auto* file = qobject_cast<FilePicker*>(t.modal))
            file->prime(t.p.path(a));
        else
            qobject_cast<FolderPicker*>(t.modal)->prime(t.p.path(a));
    } else if (verb == "choose-row") {
        list(a)->setCurrentItem(list(a)->findItems(b, Qt::MatchExactly).value(0));
    } else if (verb == "focus") {
        widgetNamed(t, a)->setFocus();
    } else if (verb == "focus-is") {
        QWidget* focused = focusedIn(t);
        QCOMPARE(focused ? focused->objectName() : QString(), a);
    } else if (verb == "activate") { // a desktop gives the activation back; offscreen does not
        QApplication::setActiveWindow(t.main.get());
        QTRY_COMPARE(QApplication::activeWindow(), t.main.get());
    } else if (verb == "edit-action") { // an undo or redo action: enabled (yes/no) and text
        QWidget* window = t.f && t.f->isVisible() ? static_cast<QWidget*>(t.f) : t.main.get();
        const auto* action = window->findChild<QAction*>(a);
        QVERIFY2(action, qPrintable(where));
        QCOMPARE(action->isEnabled(), b == "yes");
        if (!c.isEmpty())
            QCOMPARE(action->text(), c);
    } else if (verb == "press") { // a key on a control ("window": the main window)
        const QKeySequence key(b);
        QWidget* w = a == "window" ? t.main.get() : widgetNamed(t, a);
        QTest::keyClick(w, Qt::Key(key[0].key()), key[0].keyboardModifiers());
    } else if (verb == "type-focused") {
        typeText(focusedIn(t), a);
    } else if (verb == "paste") {
        QApplication::clipboard()->setText(a);
        QTest::keyClick(focusedIn(t), Qt::Key_V, Qt::ControlModifier);
    } else if (verb == "pick-purpose") {
        QCOMPARE(t.main->pickPurpose(), a);
    } else if (verb == "project-path") {
        QCOMPARE(t.main->projectPath(), a);
    } else if (verb == "reachable") { // takes the focus by Tab and has a name
        QWidget* w = widgetNamed(t, a);
        QCOMPARE(w->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(where));
    } else if (verb == "window-title") {
        QCOMPARE((t.modal ? t.modal : t.main.get())->windowTitle(), a);
    } else if (verb == "double-click-row") { // the row that ends with b
        const auto hit = list(a)->findItems(b, Qt::MatchEndsWith);
        QCOMPARE(hit.size(), 1);
        doubleClickItem(list(a), hit[0]);
    } else if (verb == "close-dialog") {
        t.modal->close();
    } else {
        t.steps->take(verb, a, b, c, where, known);
    }
}

// The steps of a "modal" block: any control step, in the dialog first; "places" keeps its
// controls' places and "same-places" compares them (no control moves).
void modalSteps(LessonWindows& t, const QList<QStringList>& rows, const QString& name) {
    QList<QRect> places;
    const auto now = [&] {
        QList<QRect> rects;
        for (const QWidget* w : t.modal->findChildren<QWidget*>())
            rects << w->geometry();
        return rects;
    };
    eachStep(t.p, rows, name, "(dialog) ",
             [&](const QString& verb, const QString& a, const QString& b, const QString& c,
                 const QString& where, qsizetype&) {
                 if (verb == "places") {
                     places = now();
                 } else if (verb == "same-places") {
                     QCOMPARE(now(), places);
                 } else if (verb == "path-ends") {
                     QVERIFY2(pathTyped(widgetNamed(t, a)->property("text").toString()).endsWith(b),
                              qPrintable(where));
                 } else if (verb == "shown-as-path") { // left to right, each name kept apart
                     QWidget* box = widgetNamed(t, a);
                     const QString text = box->property("text").toString();
                     QCOMPARE(box->layoutDirection(), Qt::LeftToRight);
                     QCOMPARE(text, pathShown(pathTyped(text)));
                     QVERIFY2(text.contains(QStringLiteral("\u200E/\u200E")), qPrintable(where));
                 } else {
                     bool known = false;
                     controlStep(t, verb, a, b, c, where, known);
                     if (!known)
                         QFAIL(qPrintable("unknown step: " + where));
                 }
             });
}

// The steps of "open N" up to "end", in the question editor.
void editorSteps(LessonWindows& t, QuestionEditor* e, const QList<QStringList>& rows,
                 const QString& name) {
    const auto box = [e](const QString& which) {
        return which == "Soal" ? e->Soal() : which == "Javab" ? e->Javab() : e->Tozih();
    };
    const auto path = [e](const QString& which) {
        return which == "picB" ? e->picB() : which == "soutB" ? e->soutB() : e->filmB();
    };
    QString remembered;
    t.modal = e; // its controls found first, by name
    eachStep(
        t.p, rows, name, "(editor) ",
        [&](const QString& verb, const QString& a, const QString& b, const QString& c,
            const QString& where, qsizetype&) {
            if (verb == "set") {
                box(a)->setText(b);
            } else if (verb == "set-path") {
                path(a)->setText(b.isEmpty() ? QString() : t.p.path(b));
            } else if (verb == "set-back") {
                e->setBackPath(t.p.path(a));
            } else if (verb == "escape") {
                QTest::keyClick(e, Qt::Key_Escape);
            } else if (verb == "close") {
                e->close();
            } else if (verb == "text") {
                QCOMPARE(box(a)->text(), b);
            } else if (verb == "path-empty") {
                QVERIFY2(path(a)->text().isEmpty(), qPrintable(where));
            } else if (verb == "writable") {
                QCOMPARE(!box(a)->isReadOnly(), b != "no");
            } else if (verb == "caret-before") { // the caret in box a, just before text b
                box(a)->setCaret(int(box(a)->text().indexOf(b)));
            } else if (verb == "pick-image") { // the image command: a picture of media/, or none
                onModal<FilePicker>([&](FilePicker* picker) { // (the picker closed)
                    if (a.isEmpty())
                        return picker->reject();
                    picker->prime(t.p.path("media"));
                    auto* list = picker->findChild<QListWidget*>("File1");
                    list->setCurrentItem(list->findItems(a, Qt::MatchExactly).value(0));
                    QTest::mouseClick(picker->findChild<QPushButton*>("btn"), Qt::LeftButton);
                });
                t.f->DoIMG(*e);
            } else if (verb == "mark-right") { // the correct-answer command at the caret
                t.f->DoCor(*e);
            } else if (verb == "click-answer" || verb == "right-click-answer") {
                RichTextBox* javab = e->Javab();
                QTextCursor c(javab->document());
                c.setPosition(javab->toDocumentPosition(int(javab->text().indexOf(a))) + 1);
                QTest::mouseClick(javab->viewport(),
                                  verb == "click-answer" ? Qt::LeftButton : Qt::RightButton, {},
                                  javab->cursorRect(c).center());
            } else if (verb == "remember") {
                remembered = box(a)->text();
            } else if (verb == "unchanged-box") {
                QCOMPARE(box(a)->text(), remembered);
            } else if (verb == "right-click") { // the caret put at the start, unless "keep"
                if (b != "keep")
                    box(a)->setCaret(0);
                QTest::mouseClick(box(a)->viewport(), Qt::RightButton, {}, QPoint(20, 10));
                QTRY_VERIFY(e->popM()->isVisible());
            } else if (verb == "menu-click") {
                QMenu* menu = e->popM();
                QVERIFY(QTest::qWaitForWindowExposed(menu));
                QAction* action = menu->findChild<QAction*>(a);
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            } else if (verb == "menu-hide") {
                e->popM()->hide();
            } else if (verb == "action") { // an action of the menu: "enabled" or "shown", yes/no
                QAction* action = e->popM()->findChild<QAction*>(a);
                const QStringList said = b.split(u' ');
                QCOMPARE(said[0] == "shown" ? action->isVisible() : action->isEnabled(),
                         said.value(1) != "no");
            } else if (verb == "trigger") {
                e->popM()->findChild<QAction*>(a)->trigger();
            } else if (verb == "clipboard") {
                a.isEmpty() ? QApplication::clipboard()->clear()
                            : QApplication::clipboard()->setText(a);
            } else if (verb == "select-all") {
                box(a)->selectAll();
            } else if (verb == "marked") { // the answer the mark stands on in the box
                const QByteArray mark = markPicture(readSnippet(t.p.folder(), "check.bin"));
                QCOMPARE(readAnswers(t.p.context(), e->Javab()->rtf(), mark).marked, a.toInt());
            } else if (verb == "right-to-left") {
                for (const char* which : {"Soal", "Javab", "Tozih"})
                    for (QTextBlock k = box(which)->document()->begin(); k.isValid();
                         k = k.next()) {
                        QCOMPARE(k.blockFormat().layoutDirection(), Qt::RightToLeft);
                        QCOMPARE(k.blockFormat().alignment(), Qt::AlignRight | Qt::AlignAbsolute);
                    }
            } else if (verb == "visible") {
                QCOMPARE(e->isVisible(), a != "no");
            } else {
                bool known = false;
                controlStep(t, verb, a, b, c, where, known);
                if (!known)
                    QFAIL(qPrintable("unknown step: " + where));
            }
        });
    t.modal = nullptr;
}

} // namespace

void runSteps(LessonWindows& t, const QString& relative) {
    const QString name = QFileInfo(relative).fileName();
    ProgramSteps steps(t.p, [&] { return t.main->session().projectPath; });
    t.steps = &steps;
    QMap<QString, int> noted;     // the caret or the entry count when "note" was said
    QMap<QString, QString> texts; // the lesson box's texts kept by "remember"
    const auto now = [&](const QString& what) {
        return what == "caret" ? t.matn->selectionStart() : t.f->table().EntryCount;
    };
    const QList<QStringList> rows = tableRows(relative);
    const auto block = [&](qsizetype& r) { // the rows after r up to "end", r moved onto it
        const qsizetype from = r + 1;
        for (r = from; r < rows.size() && rows[r][0] != "end";)
            ++r;
        return rows.mid(from, r - from);
    };
    eachStep(
        t.p, rows, name, "",
        [&](const QString& verb, const QString& a, const QString& b, const QString& c,
            const QString& where, qsizetype& r) {
            if (verb == "modal") { // click b, then work the modal dialog a up to "end"
                const QList<QStringList> inside = block(r);
                bool worked = false;
                QTimer::singleShot(0, [&] {
                    t.modal = QApplication::activeModalWidget();
                    QVERIFY2(t.modal && t.modal->objectName() == a, qPrintable(where));
                    modalSteps(t, inside, name);
                    // A failed step leaves the dialog open: closed, so the click returns.
                    if (auto* dialog = qobject_cast<QDialog*>(t.modal);
                        dialog && dialog->isVisible() && QTest::currentTestFailed())
                        dialog->reject();
                    t.modal = nullptr;
                    worked = true;
                });
                if (c.isEmpty()) {
                    QTest::mouseClick(widgetNamed(t, b), Qt::LeftButton);
                } else if (c == "through-the-window") { // where the pointer stands
                    QTest::mouseClick(t.f->windowHandle(), Qt::LeftButton, {},
                                      t.at(widgetNamed(t, b)));
                } else { // opened by a key on b ("window": the main window)
                    const QKeySequence key(c);
                    QWidget* on = b == "window" ? t.main.get() : widgetNamed(t, b);
                    QTest::keyClick(on, Qt::Key(key[0].key()), key[0].keyboardModifiers());
                }
                QVERIFY2(worked, qPrintable(where));
            } else if (verb == "open") {
                const QList<QStringList> inside = block(r);
                t.open(a.toInt(), [&](QuestionEditor* e) { editorSteps(t, e, inside, name); });
            } else if (verb == "load") {
                t.load(a);
            } else if (verb == "select") {
                t.select(a);
            } else if (verb == "select-span") { // from the start of a through the end of b
                const QString text = t.matn->text();
                const qsizetype from = text.indexOf(a), to = text.indexOf(b, from) + b.size();
                QVERIFY2(from >= 0 && to > from, qPrintable(where));
                t.matn->setSelection(int(from), int(to - from));
            } else if (verb == "attach") {
                t.f->table().AttachPath[a.toInt()] = t.p.path(b);
            } else if (verb == "finish-switch") { // a's cut-short renumbering; "no": none
                QCOMPARE(finishSwitch(t.p.context(), t.steps->at(a)), b != "no");
            } else if (verb == "new-lesson") {
                NewDars(t.p.context(), *t.main, a);
            } else if (verb == "new-field") {
                NewResh(t.p.context(), *t.main, a);
            } else if (verb == "new-project") {
                NewProj(t.p.context(), *t.main, a);
            } else if (verb == "add-project") { // a folder of the program folder
                AddProj(t.p.context(), *t.main, t.p.path(a));
            } else if (verb == "delete") { // "project|field|lesson N": the entry numbered N
                (a == "project" ? DelProj
                 : a == "field" ? DelResh
                                : DelDars)(t.p.context(), *t.main, b.toInt());
            } else if (verb == "read") { // "projects|fields|lessons" read into their list
                (a == "projects" ? ReadProj
                 : a == "fields" ? ReadResh
                                 : ReadDars)(t.p.context(), *t.main);
            } else if (verb == "select-entry") { // "projects|fields|lessons ROW" as the store does
                t.main->selectEntry(storeList(a), b.toInt());
            } else if (verb == "selected-entry") {
                QCOMPARE(t.main->selectedIndex(storeList(a)), b.toInt());
            } else if (verb == "pick-lesson") {
                t.pickLesson(a.toInt());
            } else if (verb == "data-entry") {
                t.dataEntry();
            } else if (verb == "remember") {
                texts.insert(a, t.matn->text());
            } else if (verb == "box-is") {
                QCOMPARE(t.matn->text(), texts.value(a));
            } else if (verb == "box-is-not") {
                QVERIFY2(t.matn->text() != texts.value(a), qPrintable(where));
            } else if (verb == "right-aligned") {
                for (QTextBlock k = t.matn->document()->begin(); k.isValid(); k = k.next())
                    QCOMPARE(k.blockFormat().alignment(), Qt::AlignRight | Qt::AlignAbsolute);
            } else if (verb == "marked") { // the answer entry a marks right
                const QByteArray mark = markPicture(readBytes(t.p.path("Resources/check.bin")));
                QCOMPARE(readAnswers(t.p.context(), t.f->table().JavabRtf[a.toInt()], mark).marked,
                         b.toInt());
            } else if (verb == "image-is") { // image a's file holds the bytes of tests/data/b
                QCOMPARE(readBytes(t.f->table().ImagePaths[a.toInt()]),
                         readBytes(sourceFile("tests/data/" + b)));
            } else if (verb == "refresh-books") {
                t.f->FileList();
            } else if (verb == "books-have") {
                QCOMPARE(t.books()->findItems(a, Qt::MatchExactly).size(), b == "no" ? 0 : 1);
            } else if (verb == "books-before") {
                const auto row = [&](const QString& name) {
                    return t.books()->row(t.books()->findItems(name, Qt::MatchExactly).value(0));
                };
                QVERIFY2(row(a) < row(b), qPrintable(where));
            } else if (verb == "paragraph") { // the box's paragraph a
                QCOMPARE(t.matn->text().split("\r\n").value(a.toInt()), b);
            } else if (verb == "paragraph-direction") {
                QCOMPARE(t.matn->document()
                             ->findBlockByNumber(a.toInt())
                             .blockFormat()
                             .layoutDirection(),
                         b == "rtl" ? Qt::RightToLeft : Qt::LeftToRight);
            } else if (verb == "images") {
                QCOMPARE(int(imagesOf(*t.matn->document()).size()), a.toInt());
            } else if (verb == "format-at") { // the format of the letter after text a begins
                QTextCursor c(t.matn->document());
                c.setPosition(a == "start"
                                  ? 1
                                  : t.matn->toDocumentPosition(int(t.matn->text().indexOf(a))) + 1);
                const QTextCharFormat f = c.charFormat();
                QCOMPARE(f.fontWeight() >= QFont::Bold, b.contains("bold"));
                QCOMPARE(f.fontItalic(), b.contains("italic"));
                QCOMPARE(f.fontUnderline(), b.contains("underline"));
                if (b.contains('#'))
                    QCOMPARE(f.foreground().color(), QColor(b.section(' ', -1)));
            } else if (verb == "caret-in") { // the caret just inside text a of the box
                t.matn->setCaret(int(t.matn->text().indexOf(a)) + 1);
            } else if (verb ==
                       "move-by-hand") { // from a's middle to b's; panel c stays up all the way
                QWidget* keeps = c.isEmpty() ? nullptr : widgetNamed(t, c);
                t.moveByHand(t.at(widgetNamed(t, a)), t.at(widgetNamed(t, b)), [&] {
                    if (keeps)
                        QVERIFY(keeps->isVisible());
                });
            } else if (verb == "move-below") { // from a's middle down to panel b's bottom margin
                QWidget* from = widgetNamed(t, a);
                t.moveByHand(t.at(from), from->mapTo(t.f, QPoint(from->width() / 2,
                                                                 widgetNamed(t, b)->height() - 1)));
            } else if (verb == "input-folder") {
                QCOMPARE(t.main->session().inputFolder, t.p.path(a));
            } else if (verb == "set-input-folder") {
                QDir().mkpath(t.p.path(a));
                t.main->session().inputFolder = t.p.path(a);
            } else if (verb == "books-count") { // what listing the input folder gives
                QCOMPARE(t.f->FileList(), a.toInt());
            } else if (verb == "set-image-counter") {
                t.f->table().ImageCounter = a.toInt();
            } else if (verb == "image-counter") {
                QCOMPARE(t.f->table().ImageCounter, a.toInt());
            } else if (verb == "answer-lines") {
                QCOMPARE(answerLines(t.p.context(), t.f->table().JavabRtf[a.toInt()]).size(),
                         b.toInt());
            } else if (verb == "lesson-title") {
                QCOMPARE(t.main->session().lessonTitle, a);
            } else if (verb == "key") {
                t.matn->setFocus();
                const QKeySequence key(a);
                QTest::keyClick(t.matn, Qt::Key(key[0].key()), key[0].keyboardModifiers());
            } else if (verb == "tick") {
                control<QCheckBox>(t.f, qPrintable(a))->setChecked(b == "on");
            } else if (verb == "caret") {
                t.matn->setCaret(a.toInt());
            } else if (verb == "file") { // a question, its answers, its explanation
                t.fileQuestion(a, b, c);
            } else if (verb == "crash") {
                t.f->hide(); // the window goes without a word
            } else if (verb == "reopen") {
                t.main->formatter()->Doit();
            } else if (verb == "close") {
                (a == "main" ? static_cast<QWidget*>(t.main.get()) : t.main->formatter())->close();
            } else if (verb == "note") {
                noted.insert(a, now(a));
            } else if (verb == "same") {
                QCOMPARE(now(a), noted.value(a));
            } else if (verb == "outline") {
                QCOMPARE(t.outline().join("\n"), a);
            } else if (verb == "outline-size") {
                QCOMPARE(t.outline().size(), a.toInt());
            } else if (verb == "outline-starts") {
                QVERIFY2(t.outline().value(a.toInt()).startsWith(b), qPrintable(where));
            } else if (verb == "visible") {
                QCOMPARE((a == "main" ? static_cast<QWidget*>(t.main.get()) : t.f)->isVisible(),
                         b != "no");
            } else if (verb == "entries") {
                QCOMPARE(t.f->table().EntryCount, a.toInt());
            } else if (verb == "sound-path-empty") {
                QVERIFY2(t.f->table().SoundPath[a.toInt()].isEmpty(), qPrintable(where));
            } else if (verb == "back-path") {
                QCOMPARE(t.f->table().BackPath[a.toInt()], t.p.path(b));
            } else if (verb == "question") {
                QCOMPARE(t.f->table().SoalText[a.toInt()], b);
            } else if (verb == "answers-empty") {
                QVERIFY2(t.f->table().JavabRtf[a.toInt()].isEmpty(), qPrintable(where));
            } else if (verb == "box-is-text") {
                QCOMPARE(t.matn->text(), a);
            } else if (verb == "box-set") {
                t.matn->setText(a);
            } else {
                bool known = false;
                controlStep(t, verb, a, b, c, where, known);
                if (!known)
                    QFAIL(qPrintable("unknown step: " + where));
            }
        });
}

} // namespace tavrin::test
