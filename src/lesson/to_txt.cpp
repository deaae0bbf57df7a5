#include "lesson/to_txt.h"

#include "app/message_numbers.h"
#include "app/messages.h"
#include "richtext/rich_text_plain.h"

#include <exception>

namespace tavrin {

QString ToTXT(Context& context, const QString& rtf) {
    try {
        return rtfToPlainText(rtf);
    } catch (const std::exception& e) {
        reportFailure(context, kFailToTxt, QString::fromUtf8(e.what()));
    } catch (...) {
        reportFailure(context, kFailToTxt, QStringLiteral("Unexpected error"));
    }
    return {};
}

} // namespace tavrin
