#include "support/golden.h"

#include "support/documents.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <QtGlobal>

namespace tavrin::test {

namespace {

QString dataPath(const QString& relative) {
    return sourceFile(QStringLiteral("tests/data/") + relative);
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
    return readBytes(path);
}

QList<QStringList> tableRows(const QString& relative) {
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(readBytes(dataPath(relative))).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        rows.append(line.split(u'\t'));
    }
    return rows;
}

void tableData(const QString& relative, const QStringList& columns) {
    // Qt keeps the column's name as given: the names live as long as the program.
    static QList<QByteArray> names;
    for (const QString& column : columns) {
        names.append(column.toUtf8());
        QTest::addColumn<QString>(names.last().constData());
    }
    for (const QStringList& row : tableRows(relative)) {
        QTestData& data = QTest::newRow(row.value(0).toUtf8().constData());
        for (qsizetype c = 0; c < columns.size(); ++c)
            data << invisible(row.value(c + 1));
    }
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

void fileRows(const QString& folder, const QString& ending) {
    QTest::addColumn<QString>("name");
    for (const QString& name : dataFiles(folder, {ending}))
        QTest::newRow(name.toUtf8().constData()) << name;
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

QString invisible(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (c != u'\\' || next.isNull()) {
            out += c;
        } else if ((next == u'x' && i + 3 < text.size()) || (next == u'u' && i + 5 < text.size())) {
            const int digits = next == u'x' ? 2 : 4;
            out += QChar(text.mid(i + 2, digits).toUShort(nullptr, 16));
            i += 1 + digits;
        } else {
            out += next == u'r'   ? QChar(u'\r')
                   : next == u'n' ? QChar(u'\n')
                   : next == u't' ? QChar(u'\t')
                                  : next;
            ++i;
        }
    }
    return out;
}

QByteArray recipeBytes(const QString& recipe) {
    static const QRegularExpression times(QStringLiteral("^(.*)\\*(\\d+)$"),
                                          QRegularExpression::DotMatchesEverythingOption);
    QByteArray bytes;
    for (const QString& part : recipe.split(QStringLiteral(" | "))) {
        const QRegularExpressionMatch m = times.match(part);
        const QByteArray piece = invisible(m.hasMatch() ? m.captured(1) : part).toUtf8();
        const int count = m.hasMatch() ? m.captured(2).toInt() : 1;
        if (!piece.contains("{n}")) {
            bytes += piece.repeated(count);
            continue;
        }
        for (int n = 0; n < count; ++n)
            bytes += QByteArray(piece).replace("{n}", QByteArray::number(n));
    }
    return bytes;
}

} // namespace tavrin::test
