#include "support/golden.h"

#include "support/documents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

namespace tavrin::test {

namespace {

QString dataPath(const QString& relative) {
    return sourceFile(QStringLiteral("tests/data/") + relative);
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QByteArray golden(const QString& relative, const QByteArray& actual) {
    const QString path = dataPath(relative);
    if (qEnvironmentVariableIntValue("TAVRIN_UPDATE_GOLDEN") == 1) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(actual);
        qWarning("expected file written: %s", qPrintable(relative));
    }
    return bytesOf(path);
}

QList<QStringList> tableRows(const QString& relative) {
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(bytesOf(dataPath(relative))).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        rows.append(line.split(u'\t'));
    }
    return rows;
}

QStringList dataFiles(const QString& folder, const QStringList& endings) {
    QStringList names;
    for (const QString& name : QDir(dataPath(folder)).entryList(QDir::Files, QDir::Name)) {
        for (const QString& ending : endings)
            if (name.endsWith(ending)) {
                names.append(name);
                break;
            }
    }
    return names;
}

QString visible(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c.unicode() < 0x20 && c != u'\t')
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace tavrin::test
