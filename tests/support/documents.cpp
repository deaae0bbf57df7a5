#include "support/documents.h"

#include "platform/text_codec.h"
#include "support/test_program.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

namespace tavrin::test {

QString sourceFile(const QString& relative) {
    return QString::fromLocal8Bit(qgetenv("TAVRIN_SOURCE_DIR")) + u'/' + relative;
}

QList<QTextImageFormat> imagesOf(const QTextDocument& document) {
    QList<QTextImageFormat> images;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images << it.fragment().charFormat().toImageFormat();
    return images;
}

QString shippedSnippet(const char* name) {
    return decodeAnsi(readBytes(sourceFile(QStringLiteral("resources/") + QLatin1String(name))));
}

QString withSnippets(QString text) {
    return text.replace("@check", shippedSnippet("check.bin"))
        .replace("@img", shippedSnippet("img.bin"));
}

QString textOf(const QTextDocument& document) {
    QStringList blocks;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        blocks << b.text();
    return blocks.join(QStringLiteral("\r\n"));
}

int pdfPages(const QString& pdf) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(30000);
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                       .match(QString::fromUtf8(info.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace tavrin::test
