#include "paper/page_printer.h"

#include "platform/web_module.h"

namespace tavrin {

PagePrinter& loadPagePrinter() {
    return *static_cast<PagePrinter*>(webModuleEntry("tavrin_page_printer")());
}

} // namespace tavrin
