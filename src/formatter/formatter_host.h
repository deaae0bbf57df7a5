#pragma once

#include "app/session.h"

#include <QString>
#include <optional>

namespace tavrin {

class EditHistory;

// What the formatter window needs of the window that opens it: the session, the book
// names, the grey levels of its panels, the fade of its input-path panel on the opener's
// timer, the minimise link, and the pickers (they give what was chosen, or nothing).
class FormatterHost {
public:
    virtual ~FormatterHost() = default;
    virtual Session& session() = 0;
    virtual QString bookConfig() const = 0;
    virtual int normalGrey() const = 0;
    virtual int hoverGrey() const = 0;
    virtual void fadeInInputPanel() = 0;
    virtual void stopPanelFade() = 0;
    // The formatter was minimised: the opener follows, and restores both together.
    virtual void minimiseWithFormatter() = 0;
    virtual std::optional<QString> pickFolder(const QString& purpose) = 0;
    virtual std::optional<QString> pickFile(const QString& purpose, const QString& pattern) = 0;
    // The opener's history of edits, which clears what a killed run left in the trash.
    virtual EditHistory& edits() = 0;
};

} // namespace tavrin
