#include "export/player_settings.h"

#include "app/context.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/text_codec.h"

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

namespace {

// One media copy of SaveThings: a missing source is skipped as before, and so is a source
// that is the copy itself.
void copyMedia(Context& context, StagedFiles& files, const QString& from, const QString& to,
               const QString& what) {
    const QString source = fromStoredPath(from);
    if (!fileExists(source)) {
        context.log().LogMe(QStringLiteral("Skipped %1: file not found: %2").arg(what, from));
        return;
    }
    if (sameFile(source, to)) {
        context.log().LogMe(QStringLiteral("%1 is already in place.").arg(what));
        return;
    }
    files.copy(source, to);
    context.log().LogMe(QStringLiteral("%1 copied.").arg(what));
}

} // namespace

bool SaveThings(Context& context, const SettingsChoice& choice, const QString& projectPath,
                const QString& bookTxtDir) {
    context.log().LogMe(QStringLiteral("Saving settings..."));
    const QString project = DoSlash(projectPath);
    const QString flash = project + folders::kFlashImg + nativeSeparator();
    try {
        // All the files, or none: the settings and the media a CD is made of belong together.
        StagedFiles files;
        files.write(encodeUtf16Le(cdPropertyText(choice)),
                    project + bookTxtDir + nativeSeparator() + QStringLiteral("CDProperty.xml"));
        copyMedia(context, files, choice.back, flash + QStringLiteral("Back.jpg"),
                  QStringLiteral("Back.jpg"));
        if (choice.musicOn) {
            copyMedia(context, files, choice.music1, flash + QStringLiteral("Sound1.mp3"),
                      QStringLiteral("Sound1.mp3"));
            copyMedia(context, files, choice.music2, flash + QStringLiteral("Sound2.mp3"),
                      QStringLiteral("Sound2.mp3"));
        }
        files.place();
    } catch (const FsError& e) {
        // The old files stay whole; a CD made now would carry them, so the author is told.
        context.log().LogMe(QStringLiteral("Settings not saved: %1").arg(e.description()));
        bepayamBecause(context, kNoticeSettingsNotSaved, e.description());
        return false;
    }
    return true;
}

} // namespace tavrin
