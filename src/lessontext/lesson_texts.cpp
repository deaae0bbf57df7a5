#include "lessontext/lesson_texts.h"

#include "app/context.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "app/texts.h"
#include "lesson/text_procedures.h"
#include "lessontext/docx_text.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "richtext/rich_text_reader.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <new>

namespace tavrin {

namespace {

QString extensionOf(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot < 0 ? name : name.mid(dot + 1)).toLower();
}

bool isLessonTextName(const QString& name) {
    const QString extension = extensionOf(name);
    return extension == u"txt" || extension == u"rtf" || extension == u"docx";
}

bool hasNonAscii(const QByteArray& bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) >= 0x80; });
}

// The text of a ".txt" file by its byte-order mark or its bytes; nothing when it is RTF.
std::optional<QString> plainText(const QByteArray& bytes, const QString& path) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE"))
        return decodeUtf16Le(bytes);
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder big(QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless);
        return QString(big.decode(bytes.mid(2)));
    }
    if (looksLikeRtf(bytes))
        return std::nullopt;
    if (bytes.contains('\0'))
        throw FsError::at(QStringLiteral("Not a text file"), path);
    if (hasNonAscii(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
    }
    return decodeAnsi(bytes);
}

} // namespace

std::optional<QStringList> FileList(Context& context, const QString& folder) {
    context.log().LogMe(QStringLiteral("Geting files in the directory..."));
    const QString path = fromStoredPath(folder);
    const QDir dir(path);
    if (path.isEmpty() || !dir.exists()) {
        reportFailure(context, kFailFileList, QStringLiteral("Path not found: %1").arg(folder));
        return std::nullopt;
    }
    // The program's own logs are text files, but no lesson.
    const QString logs[] = {QDir::cleanPath(QFileInfo(context.firstLogPath()).absoluteFilePath()),
                            QDir::cleanPath(QFileInfo(context.secondLogPath()).absoluteFilePath())};
    QStringList names;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted)) {
        const QString whole = QDir::cleanPath(dir.absoluteFilePath(name));
        if (isLessonTextName(name) && whole != logs[0] && whole != logs[1])
            names.append(name);
    }
    QCollator persian{QLocale(QLocale::Persian, QLocale::Iran)};
    persian.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        const int order = persian.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    if (names.isEmpty())
        bepayam(context, kNoticeNoInputTexts);
    return names;
}

QString readSnippet(const QString& programFolder, const QString& name) {
    const QString path =
        DoSlashStrict(programFolder) + QStringLiteral("Resources") + nativeSeparator() + name;
    return fileExists(path) ? readAnsiFile(path) : QString();
}

std::optional<LessonText> loadLessonText(Context& context, const QString& folder,
                                         const QString& name) {
    try {
        return readLessonText(folder, name);
    } catch (const FsError& e) {
        reportFailure(context, kFailLoadLessonText, e.description());
        return std::nullopt;
    }
}

LessonText readLessonText(const QString& folder, const QString& name) {
    const QString path = DoSlashStrict(fromStoredPath(folder)) + name;
    QByteArray bytes = readInputFile(path, kLargestLessonText);
    const QString extension = extensionOf(name);
    if (extension == u"docx") {
        try {
            DocxNotes notes;
            QString rtf = docxToRtf(bytes, &notes);
            QStringList lines;
            if (!notes.lostParts.isEmpty())
                lines.append(texts::kEquationPartsKept + QStringLiteral("m:") +
                             notes.lostParts.join(QStringLiteral("، m:")));
            if (notes.equationObjects > 0)
                lines.append(texts::kEquationObjectsKept + QString::number(notes.equationObjects));
            return {std::move(rtf), true, false, lines};
        } catch (const FsError& e) {
            throw FsError::at(e.description(), path);
        } catch (const std::bad_alloc&) {
            // Bounded as it is, a text may still not fit this machine: said, not a crash.
            throw FsError::at(QStringLiteral("Not enough memory"), path);
        }
    }
    if (extension == u"txt") {
        if (auto text = plainText(bytes, path)) {
            bytes = QByteArray(); // not held beside the text while it is cleaned
            return {Rep(std::move(*text)), false, false, {}};
        }
    }
    if (!looksLikeRtf(bytes))
        throw FsError::at(QStringLiteral("Not an RTF file"), path);
    return {rtfTextFromBytes(bytes), true, true, {}};
}

void repDocument(QTextDocument* document) {
    QTextCursor edit(document);
    edit.beginEditBlock();
    // From the end, so a change never moves what is still to be cleaned.
    for (QTextBlock block = document->lastBlock(); block.isValid(); block = block.previous()) {
        QList<QTextFragment> fragments;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            fragments.append(it.fragment());
        for (qsizetype i = fragments.size() - 1; i >= 0; --i) {
            const QTextFragment& f = fragments[i];
            if (f.charFormat().isImageFormat())
                continue;
            const QString text = f.text();
            QString clean = Rep(text);
            clean.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            if (clean == text)
                continue;
            QTextCursor c(document);
            c.setPosition(f.position());
            c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            c.insertText(clean, f.charFormat());
        }
        // Rep's blanks next to line breaks: one at a paragraph's end, two at its start.
        const QString text = block.text();
        QTextCursor c(document);
        if (text.endsWith(u' ')) {
            c.setPosition(block.position() + int(text.size()));
            c.deletePreviousChar();
        }
        for (int i = 0; i < 2 && block.text().startsWith(u' '); ++i) {
            c.setPosition(block.position());
            c.deleteChar();
        }
    }
    edit.endEditBlock();
}

} // namespace tavrin
