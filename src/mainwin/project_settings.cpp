#include "mainwin/project_settings.h"

#include "app/context.h"
#include "app/messages.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "store/store_common.h"
#include "store/tag_text.h"

#include <QFileInfo>
#include <filesystem>

namespace tavrin {

QString SettingCode(const SettingsChoice& choice, int selector) {
    switch (selector) {
    case 0:
        return choice.musicOn ? QStringLiteral("1") : QStringLiteral("0");
    case 1:
        return choice.firstTemplate ? QStringLiteral("1") : QStringLiteral("2");
    case 2:
        return choice.print != Qt::Unchecked ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return QStringLiteral("0");
    }
}

QString cdPropertyText(const SettingsChoice& choice) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("<strings>") + crlf + QStringLiteral("\t<Olgoo>") +
           SettingCode(choice, 1) + QStringLiteral("</Olgoo>") + crlf +
           QStringLiteral("\t<Music>") + SettingCode(choice, 0) + QStringLiteral("</Music>") +
           crlf + QStringLiteral("\t<Print>") + SettingCode(choice, 2) +
           QStringLiteral("</Print>") + crlf + QStringLiteral("</strings>");
}

bool sameFile(const QString& a, const QString& b) {
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(a.toStdString()),
                                       std::filesystem::path(b.toStdString()), error) &&
           !error;
}

namespace {

// One media copy of SaveThings: the previous copy is replaced only when the source is
// there, and a source that is the copy itself stays in place.
void copyMedia(Context& context, const QString& from, const QString& to, const QString& what) {
    const QString source = fromStoredPath(from);
    try {
        if (!fileExists(source)) {
            context.log().LogMe(QStringLiteral("Skipped %1: file not found: %2").arg(what, from));
            return;
        }
        if (sameFile(source, to)) {
            context.log().LogMe(QStringLiteral("%1 is already in place.").arg(what));
            return;
        }
        if (fileExists(to))
            deleteFile(to);
        copyFile(source, to);
        context.log().LogMe(QStringLiteral("%1 copied.").arg(what));
    } catch (const FsError& e) {
        context.log().LogMe(QStringLiteral("Skipped %1: %2").arg(what, e.description()));
    }
}

} // namespace

void SaveThings(Context& context, const SettingsChoice& choice, const QString& projectPath,
                const QString& bookTxtDir) {
    context.log().LogMe(QStringLiteral("Saving settings..."));
    const QString project = DoSlash(projectPath);
    const QString settingsFile =
        project + bookTxtDir + nativeSeparator() + QStringLiteral("CDProperty.xml");
    try {
        saveUtf16File(settingsFile, cdPropertyText(choice));
    } catch (const FsError& e) {
        context.log().LogMe(QStringLiteral("Skipped CDProperty.xml: %1").arg(e.description()));
    }
    const QString flash = project + QStringLiteral("FlashIMG") + nativeSeparator();
    copyMedia(context, choice.back, flash + QStringLiteral("Back.jpg"), QStringLiteral("Back.jpg"));
    if (!choice.musicOn)
        return;
    copyMedia(context, choice.music1, flash + QStringLiteral("Sound1.mp3"),
              QStringLiteral("Sound1.mp3"));
    copyMedia(context, choice.music2, flash + QStringLiteral("Sound2.mp3"),
              QStringLiteral("Sound2.mp3"));
}

void KeepSetting(Context& context, const QString& projectPath, const QString& tag,
                 const QString& value) {
    context.log().LogMe(QStringLiteral("Saving project settings..."));
    if (store::damagesTagText(value)) {
        store::refusePath(context, value);
        return;
    }
    store::trapped(context, 92, [&] {
        const QString file = store::projectFilePath(projectPath);
        if (!fileExists(file))
            throw FsError::at(QStringLiteral("File not found"), file);
        const QString document = readUtf16File(file);
        const bool text = tag == QLatin1String("Music") || tag == QLatin1String("Olgoo") ||
                          tag == QLatin1String("Printable");
        const QString settings = QStringLiteral("Settings");
        const QString changed =
            text ? SetBlockText(context, document, settings, tag, value)
                 : SetValue(context, document, settings, tag, QStringLiteral("Path"), value);
        if (changed == document) {
            if (Wsre(context, document, settings).isEmpty())
                throw store::Failure{QStringLiteral("Settings not found in %1").arg(file)};
            return; // already so
        }
        saveUtf16File(file, changed);
        context.log().LogMe(QStringLiteral("Project settings saved."));
    });
}

} // namespace tavrin
