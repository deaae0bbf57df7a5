#include "app/messages.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/texts.h"

namespace tavrin {

bool isFailureCode(int number) {
    return number >= 31 && (number < 101 || number > kNoticeSecondInstance);
}

QString PayamText(int number) {
    if (number <= 0)
        return texts::kPayamUncontrollable;
    if (number <= 30)
        return QString::fromUtf16(texts::kPayam[number]);
    if (number == 101 || number == 102)
        return texts::kPayamNoOutputFolder;
    if (number == kNoticeStaleList)
        return texts::kPayamStaleList;
    if (number == kNoticeSecondInstance)
        return texts::kPayamSecondInstance;
    return {};
}

void bepayam(Context& context, int number) {
    if (isFailureCode(number)) {
        context.log().LogErr(number);
        return;
    }
    const QString text = PayamText(number);
    if (text.isEmpty())
        return;
    context.prompts().notice(kMainCaption, text);
    context.log().LogMe(QStringLiteral("Payam number %1 displayed.").arg(number));
}

void reportFailure(Context& context, int code, const QString& description) {
    context.log().setErrText(description);
    bepayam(context, code);
}

} // namespace tavrin
