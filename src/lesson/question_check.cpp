#include "lesson/question_check.h"

#include "app/message_numbers.h"
#include "app/messages.h"
#include "lesson/entry_table.h"
#include "lesson/quiz_book.h"
#include "lesson/text_procedures.h"
#include "lesson/to_txt.h"
#include "richtext/rich_text_reader.h"

#include <algorithm>
#include <iterator>

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

namespace {

// The plain text of answers, as ToTXT gives it, and which paragraph starts with the mark.
class AnswersSink final : public RtfSink {
public:
    explicit AnswersSink(const QByteArray& mark) : mark_(mark) {}
    void text(const QString& run, const RtfCharFormat&) override {
        text_ += run;
        if (!run.isEmpty())
            atStart_ = false;
    }
    void paragraphEnd(const RtfParaFormat&) override {
        text_ += kCrLf;
        ++paragraph_;
        atStart_ = true;
    }
    void picture(const RtfPicture& picture, const RtfCharFormat&) override {
        if (atStart_ && !mark_.isEmpty() && marked_ == 0 && picture.data == mark_)
            marked_ = paragraph_ + 1;
        atStart_ = false;
    }
    void finish(const RtfParaFormat&) override {}
    AnswersRead result() const {
        return {text_.isEmpty() ? QStringList() : text_.split(kCrLf), marked_};
    }

private:
    const QByteArray& mark_;
    QString text_;
    int paragraph_ = 0;
    bool atStart_ = true;
    int marked_ = 0;
};

} // namespace

AnswersRead readAnswers(Context& context, const QString& answersRtf, const QByteArray& mark) {
    if (!looksLikeRtf(answersRtf))
        return {answersRtf.isEmpty() ? QStringList() : answersRtf.split(kCrLf), 0};
    try {
        AnswersSink sink(mark);
        RtfTables tables;
        readRtf(answersRtf, false, sink, tables);
        return sink.result();
    } catch (const std::exception& e) {
        reportFailure(context, kFailToTxt, QString::fromUtf8(e.what()));
    }
    return {};
}

QList<AnswersRead> readAllAnswers(Context& context, const EntryTable& table,
                                  const QByteArray& mark) {
    QList<AnswersRead> answers;
    for (int n = 0; n < EntryTable::kEntries && !table.SoalText[n].isEmpty(); ++n)
        answers.append(isGroupLine(table.SoalText[n])
                           ? AnswersRead{}
                           : readAnswers(context, table.JavabRtf[n], mark));
    return answers;
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
    return incompleteQuestions(context, table, readAllAnswers(context, table, mark));
}

QList<QuestionGap> incompleteQuestions(Context& context, const EntryTable& table,
                                       const QList<AnswersRead>& answers) {
    QList<QuestionGap> gaps;
    int number = 0;
    for (int n = 0; n < answers.size(); ++n) {
        const QString& soal = table.SoalText[n];
        if (isGroupLine(soal))
            continue;
        ++number;
        const QStringList& lines = answers[n].lines;
        QuestionGap gap;
        gap.number = number;
        gap.firstWords = BeBor(RemCrLf(ToTXT(context, soal)).simplified(), 40);
        gap.noAnswers = lines.join(QString()).trimmed().isEmpty();
        gap.noMark = !gap.noAnswers && answers[n].marked == 0;
        gap.tooMany = moreThanFourAnswers(lines);
        gap.noExplanation = ToTXT(context, table.TozihRtf[n]).trimmed().isEmpty();
        if (gap.blocks() || gap.noExplanation)
            gaps.append(gap);
    }
    return gaps;
}

QString incompleteQuestionsText(const QList<QuestionGap>& all) {
    QList<QuestionGap> gaps;
    std::copy_if(all.begin(), all.end(), std::back_inserter(gaps),
                 [](const QuestionGap& g) { return g.blocks(); });
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

QString missingExplanationsLine(const QList<QuestionGap>& gaps) {
    QStringList numbers;
    for (const QuestionGap& g : gaps) {
        if (g.noExplanation)
            numbers.append(QString::number(g.number));
    }
    if (numbers.isEmpty())
        return {};
    return QStringLiteral(u"يادداشت: اين سؤالها توضيح ندارند: ") +
           numbers.join(QStringLiteral(u"، "));
}

} // namespace tavrin
