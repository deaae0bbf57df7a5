#pragma once

#include <QString>

namespace tavrin {

class Context;

// The write-only activity log: every entry goes to two ANSI files. Nothing here ever
// reports a failure; a step that fails is skipped.
class ActivityLog {
public:
    explicit ActivityLog(const Context& context) : context_(context) {}

    // One timestamped entry to both files.
    void LogMe(const QString& message);
    // One entry to one file, creating it with its header first when there is none.
    void DoLog(const QString& message, const QString& path);
    // "Error occurred => Error number is N (ErrText)", then ErrText becomes "not set".
    void LogErr(int code);

    // Description of the most recent failure.
    const QString& ErrText() const { return errText_; }
    void setErrText(const QString& text) { errText_ = text; }

private:
    const Context& context_;
    QString errText_;
};

} // namespace tavrin
