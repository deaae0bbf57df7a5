#include "exam/question_bank.h"

#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "store/fields.h"
#include "store/lesson_files.h"
#include "store/own_labels.h"
#include "store/project_settings.h"
#include "store/quiz_file.h"
#include "store/store_common.h"

#include <QDir>

namespace tavrin {

int BankLesson::scorableCount() const {
    int n = 0;
    for (const BankQuestion& q : questions)
        n += q.scorable() ? 1 : 0;
    return n;
}

const BankQuestion* QuestionBank::find(const QString& id) const {
    const QStringList parts = id.split(u'-');
    if (parts.size() != 3)
        return nullptr;
    const int field = parts[0].toInt() - 1, lesson = parts[1].toInt() - 1,
              place = parts[2].toInt() - 1;
    for (const BankLesson& l : lessons) {
        if (l.field == field && l.lesson == lesson)
            return place >= 0 && place < l.questions.size() ? &l.questions[place] : nullptr;
    }
    return nullptr;
}

QuestionBank readQuestionBank(Context& context, const QString& projectPath, const QString& title) {
    QuestionBank bank;
    bank.title = title;
    bank.folder = projectPath;
    const QString text = readUtf16File(store::projectFilePath(projectPath));
    bank.scoring = scoringSettings(readSettings(context, text));
    bank.fieldTitles = projectFieldTitles(context, text);
    // Pictures are named by full path: the pages that show them lie elsewhere.
    const QString book = DoSlash(QDir(projectPath).absolutePath()) + folders::kBookTxt + u'/';
    for (const LessonRef& ref : projectLessons(context, text)) {
        if (ref.field < 0 || ref.field >= bank.fieldTitles.size())
            continue;
        BankLesson lesson;
        lesson.id = ref.id();
        lesson.field = ref.field;
        lesson.lesson = ref.lesson;
        lesson.title = ref.title;
        const QString quiz =
            DoSlash(projectPath) + folders::kXml + u'/' + folders::quizName(ref.id());
        lesson.made = fileExists(quiz);
        // Invalid UTF-16 would make the blocks match nothing: read as the player's data is.
        const QList<QuizBlock> blocks =
            lesson.made ? quizBlocks(withoutLoneSurrogates(store::readIfThere(quiz)))
                        : QList<QuizBlock>{};
        for (const QuizBlock& block : blocks) {
            if (!block.closed)
                lesson.damaged.append(block.number);
            const QuizQuestion read = blockQuestion(block);
            BankQuestion b;
            b.id = QStringLiteral("%1-%2-%3")
                       .arg(ref.field + 1)
                       .arg(ref.lesson + 1)
                       .arg(lesson.questions.size() + 1);
            b.field = ref.field;
            b.lesson = ref.lesson;
            b.text = read.text;
            b.explanation = read.explanation;
            b.answers = read.answers;
            // Printed and scored where the tool numbers and letters them itself.
            b.ownLabels = takeOwnLabels(b.text, b.answers);
            b.marked = read.marked;
            b.cancelled = read.cancelled;
            for (auto it = read.images.begin(); it != read.images.end(); ++it)
                b.images.insert(it.key(), book + it.value());
            lesson.questions.append(b);
        }
        bank.lessons.append(lesson);
    }
    return bank;
}

QList<BudgetField> budgetFields(const QuestionBank& bank) {
    QList<BudgetField> fields;
    for (const QString& title : bank.fieldTitles)
        fields.append({title, {}});
    for (const BankLesson& lesson : bank.lessons)
        fields[lesson.field].lessons.append({lesson.id, lesson.title, lesson.scorableCount()});
    return fields;
}

} // namespace tavrin
