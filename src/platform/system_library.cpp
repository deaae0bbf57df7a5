#include "platform/system_library.h"

#include "platform/fs_error.h"

namespace tavrin {

SystemLibrary::SystemLibrary(const QString& name, int version, const QString& what)
    : library_(name, version), what_(what) {
    if (!library_.load())
        throw FsError(
            QStringLiteral("%1 could not be loaded: %2").arg(what_, library_.errorString()));
}

QFunctionPointer SystemLibrary::resolve(const char* symbol) {
    if (const QFunctionPointer f = library_.resolve(symbol))
        return f;
    throw FsError(
        QStringLiteral("%1 (%2) has no %3").arg(what_, library_.fileName(), QLatin1String(symbol)));
}

} // namespace tavrin
