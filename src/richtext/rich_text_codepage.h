#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <array>
#include <memory>

namespace tavrin {

// The code page RTF means by \fcharsetN; 0 when the charset names none (the document's
// \ansicpg applies then).
int codePageForCharset(int charset);

// The Symbol font's bytes are glyph numbers, not letters; \fcharset2 marks it.
constexpr int kSymbolCodePage = 42;

// Decodes the bytes of \'hh escapes and raw 8-bit text. Single-byte pages go through a table
// built once; double-byte pages through the platform's converter over the whole run, so a
// lead byte and its trail byte decode together. The tables are the process's, made once.
class CodePages {
public:
    CodePages();
    ~CodePages();
    CodePages(const CodePages&) = delete;
    CodePages& operator=(const CodePages&) = delete;

    void append(int codePage, QByteArrayView bytes, QString& out);

    struct Table {
        std::array<char16_t, 256> chars{};
        bool multiByte = false;
        QByteArray name;
    };

private:
    const Table& table(int codePage);

    QHash<int, std::shared_ptr<const Table>> tables_;
};

} // namespace tavrin
