#include "export/question_export.h"

#include "app/context.h"
#include "export/scorm_package.h"
#include "interchange/gift_format.h"
#include "interchange/moodle_xml.h"
#include "platform/safe_save.h"
#include "platform/text_file.h"
#include "store/fields.h"
#include "store/project_settings.h"
#include "store/store_common.h"

#include <stdexcept>

namespace tavrin {

QuestionsWritten writeQuestions(Context& context, const QuestionsOut& request) {
    context.log().LogMe(QStringLiteral("Writing questions to %1").arg(request.out));
    QuestionsWritten written;
    if (request.format == QuestionFormat::Scorm) {
        written.lessons =
            makeScormPackage(context, {request.projectPath, request.scope, request.scoPerLesson,
                                       request.passMark, request.out});
        return written;
    }
    const bool gift = request.format == QuestionFormat::Gift;
    // GIFT carries no file: none is read.
    const TravelSet set = projectQuestions(context, request.projectPath, request.scope,
                                           gift ? FileBytes::NamesOnly : FileBytes::Read);
    if (set.questions.isEmpty())
        throw std::invalid_argument("no lesson in the choice has made questions");
    QByteArray bytes;
    if (gift) {
        bytes = giftText(set);
    } else {
        const QString document = readUtf16File(store::projectFilePath(request.projectPath));
        bytes = moodleXml(set, examSettings(readSettings(context, document)).on);
    }
    saveWholeFile(request.out, bytes);
    written.questions = int(set.questions.size());
    for (const TravelQuestion& q : set.questions)
        written.leftOut += gift && (!q.pictures.isEmpty() || q.hasAttachments()) ? 1 : 0;
    context.log().LogMe(QStringLiteral("Questions written: %1").arg(written.questions));
    return written;
}

} // namespace tavrin
