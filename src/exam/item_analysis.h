#pragma once

#include "exam/question_bank.h"
#include "exam/sheet_scoring.h"

#include <QList>
#include <QString>
#include <optional>

namespace tavrin {

class ExamSheetRows;

// Classical test theory over one exam's answer sheets: each bank question scored 1 when
// answered right and 0 otherwise for the item figures, the students' own figures by the
// project's penalty rule.

// The students of the sheets with what each chose, in the bank's order.
struct AnalysedStudent {
    StudentResult result;
    int version = 0; // from 1; 0 for sheets in the bank's order
};
struct SheetMatrix {
    QList<const BankQuestion*> questions; // the header's, in its order
    QList<AnalysedStudent> students;
};

// Reads and scores every row (through scoreSheets), the printed version from `versions` when
// the sheets were mapped from a printed exam. Throws BadSheet.
SheetMatrix readSheetMatrix(const QuestionBank& bank, SheetRows& sheets, const Penalty& penalty,
                            const ExamSheetRows* versions = nullptr);

// Why a question is pointed out to the teacher.
enum class ItemFlag {
    TooEasy,                // facility above 90
    TooHard,                // facility below 20
    NoDiscrimination,       // item-rest correlation from 0 to under 0.2
    NegativeDiscrimination, // below 0: the stronger students miss it; the key may be wrong
    UnchosenDistractor,     // a wrong option nobody chose
    DistractorOverKey,      // the upper group chose a wrong option more than the key
    Undefined,              // everyone alike on it (all right, or nobody right): no correlation
};
constexpr double kTooEasy = 90, kTooHard = 20, kLeastDiscrimination = 0.2;

struct ItemFigures {
    // The question itself, not a pointer into a bank: the figures outlive the reading.
    BankQuestion question;
    int students = 0, right = 0, wrong = 0, blank = 0;
    double facility = 0; // percent right of all students
    // Pearson's r of the item with the rest of the test, and with the whole; none when
    // either has no variance.
    std::optional<double> discrimination, pointBiserial;
    double upperLower = 0; // (right in the upper 27% − right in the lower 27%) / group
    QList<int> chose;      // per bank option, from option 1
    QList<int> upperChose; // the same in the upper group
    QList<ItemFlag> flags;
    bool wrongKey() const { return flags.contains(ItemFlag::NegativeDiscrimination); }
};

struct TestFigures {
    int students = 0, questions = 0;
    // Of the overall percentages under the project's rule; sd with n − 1, skewness and
    // kurtosis as the moment coefficients g1 = m3 / m2^1.5 and g2 = m4 / m2² − 3.
    double mean = 0, median = 0, sd = 0, min = 0, max = 0, skewness = 0, kurtosis = 0;
    // Kuder-Richardson 20 of the 0/1 items (Cronbach's alpha there) and the standard error
    // of measurement sd × √(1 − kr20); none when the totals have no variance.
    std::optional<double> kr20, sem;
};

struct StudentFigures {
    QString name;
    int version = 0;
    int right = 0, wrong = 0, blank = 0;
    qint64 percent = 0;          // overall, hundredths
    QList<qint64> fieldPercents; // per field of Analysis::fields, hundredths
    int taraz = 5000;            // 1000 × z + 5000 over this exam's students, whole
    QList<int> fieldTaraz;
    int rank = 1; // 1 the best; ties share
};

struct Analysis {
    QList<int> fields; // the bank's fields the sheets hold, in order
    QList<ItemFigures> items;
    TestFigures test;
    QList<StudentFigures> students; // in the sheets' order
    int mostOptions = 4;            // of the questions, at least 4
};

// The whole analysis. Throws BadSheet with line 0 when fewer than 2 students are there.
Analysis analyseSheets(const SheetMatrix& sheets);

// 1000 × (x − mean) / sd + 5000, rounded half away from zero; 5000 when sd is 0.
int tarazOf(double x, double mean, double sd);

// The flag's Persian words, and why, as the report says them.
QString flagWords(ItemFlag flag);
QString flagReason(ItemFlag flag);

} // namespace tavrin
