#include "widgets/web_view.h"

#include "platform/web_module.h"

namespace tavrin {

WebViews& loadWebViews() {
    return *static_cast<WebViews*>(webModuleEntry("tavrin_web_views")());
}

} // namespace tavrin
