#include "richtext/rich_text_plain.h"

#include "richtext/rich_text_reader.h"

namespace tavrin {

namespace {

class PlainSink final : public RtfSink {
public:
    QString out;
    void text(const QString& run, const RtfCharFormat&) override { out += run; }
    void paragraphEnd(const RtfParaFormat&) override { out += QLatin1StringView("\r\n"); }
    void picture(const RtfPicture&, const RtfCharFormat&) override {}
    void finish(const RtfParaFormat&) override {}
};

} // namespace

QString rtfToPlainText(const QString& rtf) {
    if (!looksLikeRtf(rtf))
        return rtf;
    PlainSink sink;
    RtfTables tables;
    readRtf(rtf, false, sink, tables);
    return sink.out;
}

QString rtfBytesToPlainText(const QByteArray& bytes) {
    PlainSink sink;
    RtfTables tables;
    readRtfBytes(bytes, sink, tables);
    return sink.out;
}

} // namespace tavrin
