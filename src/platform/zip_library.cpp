#include "platform/zip_library.h"

#include "platform/system_library.h"

namespace tavrin {

ZipLibrary zipLibrary() {
    SystemLibrary library(QStringLiteral("zip"), 4, QStringLiteral("The zip library"));
    ZipLibrary zip;
#define TAVRIN_ZIP_RESOLVE(f) zip.f = library.get<decltype(zip.f)>("zip_" #f);
    TAVRIN_ZIP_FUNCTIONS(TAVRIN_ZIP_RESOLVE)
#undef TAVRIN_ZIP_RESOLVE
    return zip;
}

} // namespace tavrin
