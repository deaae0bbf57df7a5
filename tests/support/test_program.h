#pragma once

#include "app/context.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/random_source.h"

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

class QWidget;
class QListWidget;
class QListWidgetItem;

namespace tavrin::test {

class FixedClock final : public Clock {
public:
    QDateTime now() const override { return time; }
    QDateTime time{QDate(2007, 12, 4), QTime(9, 5)};
};

// Records every box and answers questions from a script (Yes when the script is empty).
class ScriptedPrompts final : public Prompts {
public:
    struct Shown {
        QString kind; // "notice" or "question"
        QString caption;
        QString text;
        Default start = Default::Yes;   // the button a question starts on
        Answer start3 = Answer::Cancel; // the same for a Yes/No/Cancel question
    };
    void notice(const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text, Default start) override;
    // Answered from choices (No when the script is empty: the old close without a word).
    Answer askYesNoCancel(const QString& caption, const QString& text,
                          Answer start = Answer::Cancel) override;

    QList<Shown> shown;
    QList<bool> answers;
    QList<Answer> choices;
};

// A temporary program folder with its own logs, a fixed clock and scripted prompts (or the
// real message boxes, for a test of what a real display does with them).
class TestProgram {
public:
    explicit TestProgram(Prompts* real = nullptr);
    QString folder() const { return dir_.path(); }
    QString path(const QString& name) const { return dir_.filePath(name); }
    Context& context() { return *context_; }
    ActivityLog& log() { return context_->log(); }

    QByteArray log1() const;
    QByteArray log2() const;
    // The lines of log file 1 after its header, timestamps removed.
    QStringList entries() const;

    FixedClock clock;
    ScriptedPrompts prompts;
    SystemRandom random{7};

private:
    QTemporaryDir dir_;
    std::unique_ptr<Context> context_;
};

// Types any text, Persian included, as key presses (QTest only types ASCII).
void typeText(QWidget* widget, const QString& text);

// A double click on a list entry, as a user makes it (press, release, double click).
void doubleClickItem(QListWidget* list, QListWidgetItem* item);

// How a control lays out its text: true when its picture is the same as with a
// right-to-left mark put before the text, so a right-to-left paragraph whatever its first
// letter. Works for labels and buttons.
bool laidOutRightToLeft(QWidget* control);

// The visible controls beside this one (its parent's) that it overlaps: none for a control put
// where nothing stood.
QStringList overlapped(const QWidget* control);

// A control of a window by its original object name; a missing one ends the test program.
template <typename T> T* control(QObject* window, const char* name) {
    T* child = window->findChild<T*>(QLatin1String(name));
    if (!child)
        qFatal("no control %s", name);
    return child;
}

// Runs the handler once on the first modal window of type T that opens; the watch it
// returns is to be deleted by a caller that expects no such window.
template <typename T> QTimer* onModal(std::function<void(T*)> handler) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, handler] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            handler(modal);
        }
    });
    timer->start();
    return timer;
}

// Works every modal widget of that type as it comes, until the returned timer is deleted.
template <typename T> QTimer* onEveryModal(std::function<void(T*)> handler) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [handler] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget()))
            handler(modal);
    });
    timer->start();
    return timer;
}

// A window's running timer, found by its name, fired now as its interval's end would: the
// test drives the window's time instead of waiting for it.
inline void fire(QTimer* timer) {
    QVERIFY(timer && timer->isActive());
    QTimerEvent event(timer->timerId());
    QCoreApplication::sendEvent(timer, &event);
}

// Copies the Resources the tool ships into a program folder's Resources.
void copyShippedResources(const QString& programFolder);

QByteArray readBytes(const QString& path);
// Every file below a folder (hidden ones too) by its path from there, with its bytes.
QMap<QString, QByteArray> filesUnder(const QString& folder);
void writeBytes(const QString& path, const QByteArray& bytes);
// Files as filesUnder gives them, written below a folder (made as needed).
void putFiles(const QString& folder, const QMap<QString, QByteArray>& files);

} // namespace tavrin::test
