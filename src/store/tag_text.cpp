#include "store/tag_text.h"

#include "app/context.h"
#include "app/message_numbers.h"
#include "app/messages.h"

#include <optional>

namespace tavrin {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A procedure's own failure: its trap logs it and gives the fallback result.
struct StepFailure {
    QString description;
};

// Where a block's content lies: from two characters past the tag name up to the closing
// tag. No opening gives nullopt without failure; a closing tag missing or before the
// start is a failure.
std::optional<std::pair<qsizetype, qsizetype>> blockSpan(const QString& document,
                                                         const QString& tag) {
    const qsizetype open = document.indexOf(QLatin1Char('<') + tag);
    if (open < 0)
        return std::nullopt;
    const QString closing = QStringLiteral("</") + tag + QLatin1Char('>');
    const qsizetype close = document.indexOf(closing);
    const qsizetype start = open + tag.size() + 2;
    if (close < 0 || close < start)
        throw StepFailure{QStringLiteral("Closing tag %1 not found").arg(closing)};
    return std::make_pair(start, close);
}

QString attributeValue(const QString& document, const QString& tag, const QString& attribute) {
    const qsizetype open = document.indexOf(QLatin1Char('<') + tag + QLatin1Char(' '));
    if (open < 0)
        return {};
    const qsizetype end = document.indexOf(QLatin1Char('>'), open);
    if (end < 0)
        throw StepFailure{QStringLiteral("Element <%1 is not closed by \">\"").arg(tag)};
    const QString element = document.mid(open, end - open + 1);
    const qsizetype at = element.indexOf(QLatin1Char(' ') + attribute + QLatin1Char('='));
    if (at < 0)
        return {};
    const qsizetype start = at + attribute.size() + 3;
    const qsizetype quote = element.indexOf(QLatin1Char('"'), start);
    if (quote < 0)
        throw StepFailure{QStringLiteral("Value of %1 is not closed").arg(attribute)};
    return element.mid(start, quote - start);
}

// The parent's content as Wsre reads it: a broken parent is Wsre's failure (41).
std::optional<std::pair<qsizetype, qsizetype>> parentSpan(Context& context, const QString& document,
                                                          const QString& tag) {
    try {
        return blockSpan(document, tag);
    } catch (const StepFailure& f) {
        reportFailure(context, kFailReadBlock, f.description);
        return std::nullopt;
    }
}

QString quoted(const QString& attribute, const QString& value) {
    return attribute + QStringLiteral("=\"") + value + QLatin1Char('"');
}

} // namespace

QString Wsre(Context& context, const QString& document, const QString& tag) {
    try {
        const auto span = blockSpan(document, tag);
        return span ? document.mid(span->first, span->second - span->first) : QString();
    } catch (const StepFailure& f) {
        reportFailure(context, kFailReadBlock, f.description);
        return {};
    }
}

QString Wste(Context& context, const QString& document, const QString& tag,
             const QString& attribute) {
    try {
        return attributeValue(document, tag, attribute);
    } catch (const StepFailure& f) {
        reportFailure(context, kFailReadAttribute, f.description);
        return {};
    }
}

QString AddNode(Context& context, const QString& document, const QString& parentTag,
                const QString& elementTag, const QString& attribute, const QString& value) {
    try {
        const auto span = parentSpan(context, document, parentTag);
        if (!span)
            return document;
        QString content = document.mid(span->first, span->second - span->first);
        if (content.isEmpty())
            return document;
        QString entry;
        const qsizetype open = content.indexOf(QLatin1Char('<') + elementTag + QLatin1Char(' '));
        if (open >= 0) {
            const qsizetype end = content.indexOf(QLatin1Char('>'), open);
            if (end < 0)
                throw StepFailure{
                    QStringLiteral("Element <%1 is not closed by \">\"").arg(elementTag)};
            QString opening = content.mid(open, end - open);
            if (!opening.contains(QLatin1Char(' ') + attribute + QLatin1Char('='))) {
                opening += QLatin1Char(' ') + quoted(attribute, value);
                entry = QStringLiteral("Value %1 added.").arg(attribute);
            } else {
                const QString old = attributeValue(content, elementTag, attribute);
                // Replacing an empty text would change nothing in the original either.
                if (!old.isEmpty())
                    opening.replace(old, value);
                entry = QStringLiteral("Value %1 updated.").arg(attribute);
            }
            content = content.left(open) + opening + content.mid(end);
        } else {
            content += QStringLiteral("\t<") + elementTag +
                       (attribute.isEmpty()
                            ? QStringLiteral(" >")
                            : QLatin1Char(' ') + quoted(attribute, value) + QLatin1Char('>')) +
                       kCrLf;
            entry = QStringLiteral("Node %1 added.").arg(elementTag);
        }
        context.log().LogMe(entry);
        return document.left(span->first) + content + document.mid(span->second);
    } catch (const StepFailure& f) {
        reportFailure(context, kFailWriteNode, f.description);
        return document;
    }
}

QString SetValue(Context& context, const QString& document, const QString& parentTag,
                 const QString& elementTag, const QString& attribute, const QString& value) {
    try {
        const auto span = parentSpan(context, document, parentTag);
        if (!span)
            return document;
        const QString content = document.mid(span->first, span->second - span->first);
        const qsizetype open = content.indexOf(QLatin1Char('<') + elementTag + QLatin1Char(' '));
        if (open < 0)
            return AddNode(context, document, parentTag, elementTag, attribute, value);
        const qsizetype end = content.indexOf(QLatin1Char('>'), open);
        if (end < 0)
            throw StepFailure{QStringLiteral("Element <%1 is not closed by \">\"").arg(elementTag)};
        const qsizetype at =
            content.indexOf(QLatin1Char(' ') + attribute + QStringLiteral("=\""), open);
        if (at < 0 || at > end)
            return AddNode(context, document, parentTag, elementTag, attribute, value);
        const qsizetype start = at + attribute.size() + 3;
        const qsizetype quote = content.indexOf(QLatin1Char('"'), start);
        if (quote < 0 || quote > end)
            throw StepFailure{QStringLiteral("Value of %1 is not closed").arg(attribute)};
        context.log().LogMe(QStringLiteral("Value %1 updated.").arg(attribute));
        const qsizetype from = span->first + start;
        return document.left(from) + value + document.mid(span->first + quote);
    } catch (const StepFailure& f) {
        reportFailure(context, kFailWriteNode, f.description);
        return document;
    }
}

QString SetBlockText(Context& context, const QString& document, const QString& parentTag,
                     const QString& blockTag, const QString& text, bool last) {
    try {
        const auto span = parentSpan(context, document, parentTag);
        if (!span || span->second <= span->first)
            return document;
        const QString content = document.mid(span->first, span->second - span->first);
        const QString opening = QLatin1Char('<') + blockTag + QLatin1Char('>');
        const QString closing = QStringLiteral("</") + blockTag + QLatin1Char('>');
        const qsizetype open = content.indexOf(opening);
        const qsizetype close = open < 0 ? -1 : content.indexOf(closing, open);
        if (open >= 0 && close >= 0) {
            context.log().LogMe(QStringLiteral("Value %1 updated.").arg(blockTag));
            const qsizetype from = span->first + open + opening.size();
            return document.left(from) + text + document.mid(span->first + close);
        }
        // The content starts with the line break after the parent's opening, and ends with
        // the one before its closing.
        const qsizetype lineStart = content.startsWith(kCrLf) ? 2 : 0;
        context.log().LogMe(QStringLiteral("Node %1 added.").arg(blockTag));
        const qsizetype at =
            last && content.endsWith(kCrLf) ? span->second : span->first + lineStart;
        return document.left(at) + QLatin1Char('\t') + opening + text + closing +
               (lineStart ? kCrLf : QString()) + document.mid(at);
    } catch (const StepFailure& f) {
        reportFailure(context, kFailWriteNode, f.description);
        return document;
    }
}

namespace {

// Shared by both deletes: removes [from, to) of the element and renumbers the later ones.
QString deleteAndRenumber(Context& context, const QString& document, const QString& parentTag,
                          const QString& prefix, int number, int remainingCount, bool full) {
    const auto span = parentSpan(context, document, parentTag);
    if (!span)
        return document;
    QString content = document.mid(span->first, span->second - span->first);
    const QString name = prefix + QString::number(number);
    const qsizetype open = content.indexOf(QLatin1Char('<') + name + QLatin1Char(' '));
    if (open < 0)
        return document;
    qsizetype end;
    if (full) {
        const qsizetype close =
            content.indexOf(QStringLiteral("</") + name + QLatin1Char(' '), open);
        if (close < 0)
            throw StepFailure{QStringLiteral("Closing tag </%1 > not found").arg(name)};
        end = close + name.size() + 4;
    } else {
        const qsizetype gt = content.indexOf(QLatin1Char('>'), open);
        if (gt < 0)
            throw StepFailure{QStringLiteral("Element <%1 is not closed by \">\"").arg(name)};
        end = gt + 1;
    }
    content.remove(open, end - open);
    context.log().LogMe(
        QStringLiteral("%1 %2 deleted.")
            .arg(full ? QStringLiteral("Full node") : QStringLiteral("Node"), name));
    int passes = 0;
    for (int i = number + 1; i <= remainingCount + 1; ++i, ++passes) {
        const QString from = prefix + QString::number(i) + QLatin1Char(' ');
        const QString to = prefix + QString::number(i - 1) + QLatin1Char(' ');
        content.replace(QLatin1Char('<') + from, QLatin1Char('<') + to);
        if (full)
            content.replace(QStringLiteral("</") + from, QStringLiteral("</") + to);
    }
    context.log().LogMe(
        QStringLiteral("%1 %2 sorted.")
            .arg(passes)
            .arg(full ? QStringLiteral("full node(s)") : QStringLiteral("node(s)")));
    return document.left(span->first) + content + document.mid(span->second);
}

} // namespace

QString DelNode(Context& context, const QString& document, const QString& parentTag,
                const QString& prefix, int number, int remainingCount) {
    try {
        return deleteAndRenumber(context, document, parentTag, prefix, number, remainingCount,
                                 false);
    } catch (const StepFailure& f) {
        reportFailure(context, kFailDeleteNode, f.description);
        return document;
    }
}

QString DelFullNode(Context& context, const QString& document, const QString& parentTag,
                    const QString& prefix, int number, int remainingCount) {
    try {
        return deleteAndRenumber(context, document, parentTag, prefix, number, remainingCount,
                                 true);
    } catch (const StepFailure& f) {
        reportFailure(context, kFailDeleteWholeNode, f.description);
        return document;
    }
}

} // namespace tavrin
