#include "app/messages.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/texts.h"

namespace tavrin {

bool isFailureCode(int number) {
    return number > kNoticeFileQuestionFirst && (number < 101 || number > kNoticeSecondInstance);
}

QString PayamText(int number) {
    if (number <= 0)
        return texts::kPayamUncontrollable;
    if (number <= kNoticeFileQuestionFirst)
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
    // A handler's failure code is logged, also where the number names a notice too (31);
    // 101 and 102 are failures reported by their message box.
    if (isFailureCode(code) || code == kNoticeFileQuestionFirst) {
        context.log().LogErr(code);
        return;
    }
    bepayam(context, code);
}

void runTrapped(Context& context, int code, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        reportFailure(context, code, QString::fromUtf8(e.what()));
    } catch (...) {
        reportFailure(context, code, QStringLiteral("Unexpected error"));
    }
}

} // namespace tavrin
