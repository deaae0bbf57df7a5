#pragma once

#include <zip.h>

namespace tavrin {

// The functions of libzip the Word lessons and the packages use, named as libzip names them
// less its "zip_", from the library loaded when first asked for: the program starts without
// libzip and the cryptography library it links.
// clang-format off
#define TAVRIN_ZIP_FUNCTIONS(X) \
    X(open) \
    X(open_from_source) \
    X(close) \
    X(discard) \
    X(strerror) \
    X(error_init) \
    X(error_init_with_code) \
    X(error_strerror) \
    X(error_fini) \
    X(source_buffer) \
    X(source_buffer_create) \
    X(source_file) \
    X(source_free) \
    X(file_add) \
    X(file_set_external_attributes) \
    X(name_locate) \
    X(stat_init) \
    X(stat) \
    X(fopen) \
    X(fread) \
    X(fclose)
// clang-format on

struct ZipLibrary {
#define TAVRIN_ZIP_FIELD(f) decltype(&::zip_##f) f = nullptr;
    TAVRIN_ZIP_FUNCTIONS(TAVRIN_ZIP_FIELD)
#undef TAVRIN_ZIP_FIELD
};

// Throws FsError when libzip cannot be loaded.
ZipLibrary zipLibrary();

} // namespace tavrin
