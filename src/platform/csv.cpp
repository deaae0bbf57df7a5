#include "platform/csv.h"

#include <QIODevice>

namespace tavrin {

namespace {
constexpr qint64 kChunk = 1 << 16;
}

CsvReader::CsvReader(QIODevice& device)
    : device_(&device), utf8_(std::make_unique<QStringDecoder>(QStringDecoder::Utf8)) {}

CsvReader::CsvReader(const QString& text) : buffer_(text) {}

CsvReader::~CsvReader() = default;

bool CsvReader::refill() {
    if (!device_)
        return false;
    const QByteArray bytes = device_->read(kChunk);
    if (bytes.isEmpty()) {
        device_ = nullptr;
        if (utf8_->hasError())
            throw CsvError(lineNow_, QStringLiteral("the file is not UTF-8 text"),
                           QStringLiteral(u"پرونده متن UTF-8 نیست."));
        return false;
    }
    buffer_ = buffer_.mid(at_) + (*utf8_)(bytes);
    at_ = 0;
    if (utf8_->hasError())
        throw CsvError(lineNow_, QStringLiteral("the file is not UTF-8 text"),
                       QStringLiteral(u"پرونده متن UTF-8 نیست."));
    return true;
}

bool CsvReader::next(QStringList& row) {
    row.clear();
    QString field;
    bool quoted = false, any = false, cr = false, closedQuote = false;
    int quoteLine = 0;
    rowLine_ = lineNow_;
    for (;;) {
        if (at_ >= buffer_.size() && !refill())
            break;
        if (!started_) {
            started_ = true;
            if (buffer_.startsWith(QChar(0xFEFF)))
                ++at_;
            continue;
        }
        const QChar c = buffer_[at_++];
        if (quoted) {
            if (closedQuote) {
                closedQuote = false;
                if (c == u'"') {
                    field += u'"';
                    continue;
                }
                quoted = false; // the quote closed the field's quoted part
            } else if (c == u'"') {
                closedQuote = true;
                continue;
            } else {
                if (c == u'\n')
                    ++lineNow_;
                field += c;
                continue;
            }
        }
        if (cr) {
            // A carriage return alone ends a line too, as old spreadsheets write them: the
            // character after it begins the next row.
            if (c != u'\n')
                --at_;
            row.append(field);
            ++lineNow_;
            return true;
        }
        any = true;
        if (c == u'"' && field.isEmpty()) {
            quoted = true;
            quoteLine = lineNow_;
        } else if (c == u',') {
            row.append(field);
            field.clear();
        } else if (c == u'\r') {
            cr = true;
        } else if (c == u'\n') {
            row.append(field);
            ++lineNow_;
            return true;
        } else {
            field += c;
        }
    }
    if (quoted && !closedQuote)
        throw CsvError(
            quoteLine, QStringLiteral("a quote is not closed"),
            QStringLiteral(
                u"نقل‌قولی (\") باز مانده و بسته نشده است."));
    if (any || closedQuote) {
        row.append(field);
        return true;
    }
    return false;
}

QList<QStringList> csvRows(const QString& text) {
    CsvReader reader(text);
    QList<QStringList> rows;
    QStringList row;
    while (reader.next(row))
        rows.append(row);
    return rows;
}

QString csvText(const QString& text) {
    if (!text.isEmpty() &&
        (text[0] == u'=' || text[0] == u'+' || text[0] == u'-' || text[0] == u'@'))
        return u'\'' + text;
    return text;
}

QString csvRow(const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields) {
        const bool quote = f.contains(u',') || f.contains(u'"') || f.contains(u'\n') ||
                           f.contains(u'\r') || f.startsWith(u' ') || f.endsWith(u' ');
        out.append(quote ? u'"' + QString(f).replace(u'"', QStringLiteral("\"\"")) + u'"' : f);
    }
    return out.join(u',') + QStringLiteral("\r\n");
}

} // namespace tavrin
