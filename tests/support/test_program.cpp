#include "support/test_program.h"

#include "platform/text_codec.h"
#include "support/documents.h"
#include "support/shipped_resources.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

namespace tavrin::test {

void ScriptedPrompts::notice(const QString& caption, const QString& text) {
    shown.append({QStringLiteral("notice"), caption, text});
}

bool ScriptedPrompts::askYesNo(const QString& caption, const QString& text, Default start) {
    shown.append({QStringLiteral("question"), caption, text, start});
    return answers.isEmpty() ? true : answers.takeFirst();
}

Answer ScriptedPrompts::askYesNoCancel(const QString& caption, const QString& text, Answer start) {
    shown.append({QStringLiteral("question3"), caption, text, Default::Yes, start});
    return choices.isEmpty() ? Answer::No : choices.takeFirst();
}

TestProgram::TestProgram(Prompts* real) {
    QDir(dir_.path()).mkdir(QStringLiteral("home"));
    context_ =
        std::make_unique<Context>(dir_.path(), dir_.filePath(QStringLiteral("home/Vonk.log")),
                                  clock, real ? *real : prompts, random);
}

QByteArray TestProgram::log1() const {
    return readBytes(dir_.filePath(QStringLiteral("Vonk.txt")));
}

QByteArray TestProgram::log2() const {
    return readBytes(dir_.filePath(QStringLiteral("home/Vonk.log")));
}

QStringList TestProgram::entries() const {
    const QString text = decodeAnsi(log1());
    const qsizetype bodyStart = text.indexOf(QStringLiteral("======================\r\n\r\n"));
    QStringList out;
    if (bodyStart < 0)
        return out;
    static const QRegularExpression stamp(QStringLiteral("^\\d+/\\d+/\\d+ \\d+:\\d\\d: "));
    const QStringList lines = text.mid(bodyStart + 26).split(QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = stamp.match(line);
        out.append(m.hasMatch() ? line.mid(m.capturedLength()) : line);
    }
    if (!out.isEmpty() && out.constLast().isEmpty())
        out.removeLast();
    return out;
}

void typeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

void doubleClickItem(QListWidget* list, QListWidgetItem* item) {
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QMap<QString, QByteArray> filesUnder(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] = readBytes(path);
    }
    return files;
}

void putFiles(const QString& folder, const QMap<QString, QByteArray>& files) {
    for (auto it = files.begin(); it != files.end(); ++it) {
        QDir().mkpath(QFileInfo(folder + u'/' + it.key()).path());
        writeBytes(folder + u'/' + it.key(), it.value());
    }
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

} // namespace tavrin::test

namespace tavrin::test {

namespace {

QImage picture(QWidget* w) {
    QImage image(w->size(), QImage::Format_RGB32);
    image.fill(Qt::gray); // white and black text both show on it
    w->render(&image);
    return image;
}

} // namespace

void copyShippedResources(const QString& programFolder) {
    copyResourcesFrom(sourceFile(QString()), programFolder);
}

bool laidOutRightToLeft(QWidget* control) {
    auto* label = qobject_cast<QLabel*>(control);
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (!label && !button)
        return false;
    const QString text = label ? label->text() : button->text();
    const auto set = [&](const QString& t) { label ? label->setText(t) : button->setText(t); };
    const QImage shown = picture(control);
    set(QChar(0x200F) + text);
    const QImage rtl = picture(control);
    set(text);
    return shown == rtl;
}

QStringList overlapped(const QWidget* control) {
    QStringList out;
    for (const QWidget* other :
         control->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (other != control && other->isVisible() &&
            other->geometry().intersects(control->geometry()))
            out.append(other->objectName());
    return out;
}

} // namespace tavrin::test
