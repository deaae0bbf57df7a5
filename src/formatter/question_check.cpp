#include "formatter/question_check.h"

#include "formatter/entry_table.h"
#include "formatter/quiz_book.h"
#include "formatter/text_procedures.h"
#include "formatter/to_txt.h"

namespace tavrin {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
// A long list would not fit a message box; the rest is counted.
constexpr int kListed = 15;

} // namespace

QStringList answerLines(Context& context, const QString& answersRtf) {
    const QString answers = ToTXT(context, answersRtf);
    return answers.isEmpty() ? QStringList() : answers.split(kCrLf);
}

bool moreThanFourAnswers(const QStringList& lines) {
    for (qsizetype i = 4; i < lines.size(); ++i) {
        if (!lines[i].trimmed().isEmpty())
            return true;
    }
    return false;
}

QList<QuestionGap> incompleteQuestions(Context& context, const EntryTable& table,
                                       const QByteArray& mark) {
    QList<QuestionGap> gaps;
    int number = 0;
    for (int n = 0; n < EntryTable::kEntries; ++n) {
        const QString& soal = table.SoalText[n];
        if (soal.isEmpty())
            break;
        if (isGroupLine(soal))
            continue;
        ++number;
        const QStringList lines = answerLines(context, table.JavabRtf[n]);
        QuestionGap gap;
        gap.number = number;
        gap.firstWords = BeBor(RemCrLf(ToTXT(context, soal)).simplified(), 40);
        gap.noAnswers = lines.join(QString()).trimmed().isEmpty();
        gap.noMark = !gap.noAnswers && markedAnswer(table.JavabRtf[n], mark) == 0;
        gap.tooMany = moreThanFourAnswers(lines);
        if (gap.noAnswers || gap.noMark || gap.tooMany)
            gaps.append(gap);
    }
    return gaps;
}

QString incompleteQuestionsText(const QList<QuestionGap>& gaps) {
    QString text = QStringLiteral(u"اين سؤالها كامل نيستند:") + kCrLf;
    for (qsizetype i = 0; i < gaps.size() && i < kListed; ++i) {
        const QuestionGap& g = gaps[i];
        QStringList what;
        if (g.noAnswers)
            what.append(QStringLiteral(u"بدون گزينه پاسخ"));
        if (g.noMark)
            what.append(QStringLiteral(u"بدون پاسخ صحيح"));
        if (g.tooMany)
            what.append(QStringLiteral(u"بيش از چهار گزينه"));
        text += QStringLiteral(u"سؤال %1 «%2»: %3")
                    .arg(g.number)
                    .arg(g.firstWords, what.join(QStringLiteral(u"، "))) +
                QChar(0x200F) + kCrLf;
    }
    if (gaps.size() > kListed)
        text +=
            QStringLiteral(u"و %1 سؤال ديگر").arg(gaps.size() - kListed) + QChar(0x200F) + kCrLf;
    return text + kCrLf + QStringLiteral(u"آيا فايل با همين وضع ساخته شود؟") + QChar(0x200F);
}

} // namespace tavrin
