#pragma once

// The small bank the answer-sheet targets score against: two fields of four questions, one
// cancelled, the second field's questions with two to four answers.
#include "exam/question_bank.h"

namespace tavrin::fuzz {

inline const QuestionBank& smallBank() {
    static const QuestionBank bank = [] {
        QuestionBank b;
        b.fieldTitles = {QStringLiteral("ریاضی"), QStringLiteral("a,\"b\"")};
        for (int f = 0; f < 2; ++f) {
            BankLesson lesson;
            lesson.id = QStringLiteral("%1-0").arg(f);
            lesson.field = f;
            lesson.made = true;
            for (int q = 1; q <= 4; ++q) {
                BankQuestion question;
                question.id = QStringLiteral("%1-1-%2").arg(f + 1).arg(q);
                question.field = f;
                const int answers = f == 0 ? 4 : 2 + q % 3;
                for (int a = 0; a < answers; ++a)
                    question.answers.append(QString::number(a));
                question.marked = f == 0 ? q : 1;
                question.cancelled = f == 0 && q == 4;
                lesson.questions.append(question);
            }
            b.lessons.append(lesson);
        }
        b.scoring.weights.insert(0, 3);
        return b;
    }();
    return bank;
}

} // namespace tavrin::fuzz
