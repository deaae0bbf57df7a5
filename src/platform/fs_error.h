#pragma once

#include <QString>
#include <stdexcept>

namespace tavrin {

// A failed file-system step. The description is what a procedure's trap stores in ErrText.
class FsError : public std::runtime_error {
public:
    explicit FsError(const QString& description)
        : std::runtime_error(description.toStdString()), description_(description) {}
    const QString& description() const { return description_; }

private:
    QString description_;
};

} // namespace tavrin
