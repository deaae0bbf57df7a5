#include "richtext/rich_text_codepage.h"

#include <QMutex>
#include <QStringDecoder>

namespace tavrin {

int codePageForCharset(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return kSymbolCodePage;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
    case 181:
        return 1255;
    case 178:
    case 179:
    case 180:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0; // 1 (default), 3 (invalid) and unknown sets
    }
}

namespace {

QByteArray converterName(int codePage) {
    switch (codePage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 932:
        return "windows-31j";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 10000:
        return "macintosh";
    default:
        if (codePage == 874 || (codePage >= 1250 && codePage <= 1258))
            return "windows-" + QByteArray::number(codePage);
        return "windows-1252"; // unknown pages read as the commonest one
    }
}

bool isMultiByte(int codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

} // namespace

CodePages::CodePages() = default;
CodePages::~CodePages() = default;

namespace {

// One table a code page for the whole process: building one goes through the converter 256
// times, which was most of the cost of reading a small answer. Readers on other threads
// share them, so they are made under a lock and never changed after.
std::shared_ptr<const CodePages::Table> sharedTable(int codePage) {
    static QMutex lock;
    static QHash<int, std::shared_ptr<const CodePages::Table>> made;
    const QMutexLocker locked(&lock);
    if (auto it = made.constFind(codePage); it != made.constEnd())
        return *it;
    auto table = std::make_shared<CodePages::Table>();
    const int source = codePage == kSymbolCodePage ? 1252 : codePage;
    table->name = converterName(source);
    table->multiByte = isMultiByte(source);
    QStringDecoder decoder(table->name.constData());
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString one = decoder.isValid() ? decoder.decode(QByteArrayView(&byte, 1))
                                              : QString(QChar(char16_t(b)));
        decoder.resetState();
        table->chars[std::size_t(b)] = one.size() == 1 ? one.at(0).unicode() : u'?';
    }
    for (int b = 0; b < 128; ++b)
        table->chars[std::size_t(b)] = char16_t(b);
    if (codePage == kSymbolCodePage)
        table->chars[0xB7] = u'\u2022'; // the bullet of old-style list numbers
    made.insert(codePage, table);
    return table;
}

} // namespace

const CodePages::Table& CodePages::table(int codePage) {
    if (auto it = tables_.constFind(codePage); it != tables_.constEnd())
        return **it;
    auto table = sharedTable(codePage);
    tables_.insert(codePage, table);
    return *table;
}

void CodePages::append(int codePage, QByteArrayView bytes, QString& out) {
    const Table& t = table(codePage);
    if (t.multiByte) {
        QStringDecoder decoder(t.name.constData());
        if (decoder.isValid()) {
            out += decoder.decode(bytes);
            return;
        }
    }
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    QChar* dst = out.data() + start;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(t.chars[std::size_t(uchar(bytes[i]))]);
}

} // namespace tavrin
