#pragma once

#include <QDir>
#include <QString>
#include <stdexcept>

namespace tavrin {

// A failed file-system step. The description is what a procedure's trap stores in ErrText.
class FsError : public std::runtime_error {
public:
    explicit FsError(const QString& description)
        : std::runtime_error(description.toStdString()), description_(description) {}
    // "File not found: /path/to/it", the form a user can act on.
    static FsError at(const QString& reason, const QString& path);
    const QString& description() const { return description_; }

private:
    QString description_;
};

inline FsError FsError::at(const QString& reason, const QString& path) {
    return FsError(reason + QStringLiteral(": ") + QDir::toNativeSeparators(path));
}

} // namespace tavrin
