#pragma once

#include "export/cd_export.h"
#include "export/player_settings.h"

#include <QString>
#include <optional>

namespace tavrin {

class Context;

// What the output button starts from: the export box's text, the project, the settings
// shown, the output folders' names and whether printable pages are wanted.
struct ExportCommand {
    QString exportBox;
    QString projectPath;
    SettingsChoice settings;
    QString bookTxtDir;
    QString xmlDir;
    bool printable = false;
};

// The output button's steps before ExportAll: the default Export folder made on first use,
// the box's text and the project path made absolute (written back into the command for the
// window to show), 26 or 10 when a folder is missing, the output folders and the player's
// settings saved (a failure stops, said by SaveThings), and the question when no lesson is
// made. The request to export, or nothing when a step stopped it.
std::optional<ExportRequest> prepareExport(Context& context, ExportCommand& command);

} // namespace tavrin
