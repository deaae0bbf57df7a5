#pragma once

#include <QLibrary>
#include <QString>

namespace tavrin {

// A library of the system loaded the first time its work is asked for, so the program starts
// without it (and without what it links in turn); never unloaded.
class SystemLibrary {
public:
    // `name` and `version` as the linker names it (zip, 4: libzip.so.4); `what` names it in
    // the FsError thrown when it is missing or cannot be loaded.
    SystemLibrary(const QString& name, int version, const QString& what);

    // A function of the library; FsError when it has none of that name.
    template <typename Function> Function get(const char* symbol) {
        return reinterpret_cast<Function>(resolve(symbol));
    }

private:
    QFunctionPointer resolve(const char* symbol);
    QLibrary library_;
    QString what_;
};

} // namespace tavrin
