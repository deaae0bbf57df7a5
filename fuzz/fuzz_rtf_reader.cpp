// libFuzzer target: any bytes through the RTF reader, both ways it is used (plain text and a
// document), then the writer and the reader again.
#include "richtext/rich_text_document.h"
#include "richtext/rich_text_plain.h"
#include "richtext/rich_text_reader.h"
#include "richtext/rich_text_writer.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Documents need an application for their fonts. It lives until the process ends: the
    // fuzzer exits from its own driver, after Qt's statics are gone.
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString plain = tavrin::rtfBytesToPlainText(bytes);

    QTextDocument document;
    tavrin::setDocumentRtf(&document, tavrin::rtfTextFromBytes(bytes), true);
    QString shown = document.toRawText();
    shown.remove(QChar::ObjectReplacementCharacter);
    shown.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    if (shown != plain)
        abort(); // the two readings of one input must agree

    QTextDocument again;
    tavrin::setDocumentRtf(&again, tavrin::documentToRtf(&document));
    if (again.toRawText() != document.toRawText())
        abort(); // what the writer writes reads back to the same text
    return 0;
}
