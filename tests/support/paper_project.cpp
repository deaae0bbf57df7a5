#include "support/paper_project.h"

#include "app/context.h"
#include "export/output_folders.h"
#include "export/player_settings.h"
#include "platform/text_file.h"
#include "store/project_settings.h"
#include "store/quiz_file.h"
#include "support/documents.h"

#include <QDir>
#include <QFile>
#include <functional>

namespace tavrin::test {

namespace {

QString quiz(const QString& id, const QString& title, int count,
             const std::function<QString(int)>& block) {
    QString text = quizHeadLine(id, title);
    for (int k = 1; k <= count; ++k)
        text += block(k);
    return text;
}

} // namespace

void makePaperProject(Context& context, const QString& project, int perLesson) {
    QDir().mkpath(project + QStringLiteral("/_xml"));
    QDir().mkpath(project + QStringLiteral("/BookTXT"));
    saveUtf16File(
        project + QStringLiteral("/Project.xml"),
        QStringLiteral(
            u"<XML:? Project: Tavrin CD Maker/>\r\n<Project>\r\n"
            u"\t<Proj Name=\"آزمون کاغذی\" DateCreated=\"1405/9/17 10:00\">\r\n"
            u"</Project>\r\n<Reshteh>\r\n\t<Count Adad=\"2\">\r\n"
            u"\t<Resh1 Name=\"پایه نهم\" DateCreated=\"1405/9/17 10:01\">\r\n"
            u"\t\t<Count Adad=\"2\">\r\n"
            u"\t<Dars1 Name=\"ریاضی: معادله‌ها\" DateCreated=\"1405/9/17 "
            u"10:02\">\r\n"
            u"\t<Dars2 Name=\"علوم: حالت‌های ماده\" DateCreated=\"1405/9/17 "
            u"10:03\">\r\n"
            u"</Resh1 >\r\n"
            u"\t<Resh2 Name=\"پایه دهم\" DateCreated=\"1405/9/17 10:04\">\r\n"
            u"\t\t<Count Adad=\"2\">\r\n"
            u"\t<Dars1 Name=\"جغرافیا: ایران\" DateCreated=\"1405/9/17 10:05\">\r\n"
            u"\t<Dars2 Name=\"متن بلند\" DateCreated=\"1405/9/17 10:06\">\r\n"
            u"</Resh2 >\r\n</Reshteh>\r\n<Settings>\r\n"
            u"\t<Export Path=\"Export\">\r\n</Settings>\r\n"));
    // x^2 = k^2: the right answer x = k, written in TeX inside Persian text.
    saveUtf16File(
        project + QStringLiteral("/_xml/quiz0-0.xml"),
        quiz(QStringLiteral("0-0"), QStringLiteral(u"ریاضی: معادله‌ها"), perLesson,
             [](int k) {
                 return quizBlock(
                     k,
                     QStringLiteral(u"ریاضی %1: اگر \\(x^2 = %2\\) و x مثبت باشد، x کدام است؟")
                         .arg(k)
                         .arg(k * k),
                     {QStringLiteral(u"مقدار \\(x = %1\\) است").arg(k),
                      QStringLiteral("\\(x = -%1\\)").arg(k),
                      QStringLiteral("\\(\\frac{%1}{2}\\)").arg(k),
                      QStringLiteral(u"هیچ‌کدام")},
                     1,
                     QStringLiteral(u"چون \\[x = \\sqrt{%1} = %2\\] و x مثبت است.")
                         .arg(k * k)
                         .arg(k),
                     {});
             }));
    // A picture answer in the first question; long answers in every third.
    QFile::copy(sourceFile(QStringLiteral("dist/catalogue/Sample/BookTXT/quiz0-0-0.png")),
                project + QStringLiteral("/BookTXT/quiz0-1-0.png"));
    saveUtf16File(
        project + QStringLiteral("/_xml/quiz0-1.xml"),
        quiz(QStringLiteral("0-1"), QStringLiteral(u"علوم: حالت‌های ماده"),
             perLesson, [](int k) {
                 const bool longOnes = k % 3 == 0;
                 const QStringList answers =
                     longOnes
                         ? QStringList{QStringLiteral(u"نه شکل معین دارند و نه حجم معین، و همهٔ ظرف "
                                                      u"را پر می‌کنند"),
                                       QStringLiteral(u"شکل معین دارند ولی حجم معین ندارند و فشرده "
                                                      u"نمی‌شوند"),
                                       QStringLiteral(u"حجم معین دارند ولی شکل معین ندارند و جاری "
                                                      u"می‌شوند"),
                                       QStringLiteral(
                                           u"هم شکل معین و هم حجم معین دارند، مانند سنگ و چوب")}
                     : k == 1 ? QStringList{QStringLiteral(u"جیوه"), QStringLiteral("{0}"),
                                            QStringLiteral(u"آهن"), QStringLiteral(u"نمک")}
                              : QStringList{QStringLiteral(u"%1 درجه").arg(100 + k),
                                            QStringLiteral(u"%1 درجه").arg(50 + k),
                                            QStringLiteral(u"%1 درجه").arg(k),
                                            QStringLiteral(u"%1 درجه").arg(200 + k)};
                 return quizBlock(k, QStringLiteral(u"علوم %1: کدام درست است؟").arg(k), answers,
                                  longOnes ? 1 : 2, QStringLiteral(u"توضیح پرسش %1 علوم.").arg(k),
                                  k == 1 ? QList<QuizCopyLine>{{QStringLiteral("img0"),
                                                                QStringLiteral("quiz0-1-0.png")}}
                                         : QList<QuizCopyLine>{});
             }));
    // The second question cancelled; the marks go round the four answers. The author
    // numbered these questions and lettered their answers, as lesson texts do.
    saveUtf16File(
        project + QStringLiteral("/_xml/quiz1-0.xml"),
        quiz(QStringLiteral("1-0"), QStringLiteral(u"جغرافیا: ایران"), perLesson, [](int k) {
            return quizBlock(
                k,
                QStringLiteral(
                    u"۹- جغرافیا %1: کدام قله در رشته‌کوه %1 است؟")
                    .arg(k),
                {QStringLiteral(u"الف) دماوند"), QStringLiteral(u"ب) سهند"),
                 QStringLiteral(u"ج) علم‌کوه"), QStringLiteral(u"د) تفتان")},
                (k - 1) % 4 + 1, QString(), {}, k == 2);
        }));
    // One question of about two pages: its words numbered, so a lost line shows.
    QString longText;
    for (int w = 1; w <= 900; ++w)
        longText += QStringLiteral(u"واژه%1 ").arg(w);
    saveUtf16File(project + QStringLiteral("/_xml/quiz1-1.xml"),
                  quiz(QStringLiteral("1-1"), QStringLiteral(u"متن بلند"), 1, [&](int k) {
                      return quizBlock(k, longText.trimmed(),
                                       {QStringLiteral(u"یک"), QStringLiteral(u"دو"),
                                        QStringLiteral(u"سه"), QStringLiteral(u"چهار")},
                                       1, QString(), {});
                  }));
    for (const auto& [tag, value] :
         {std::pair{"Penalty", "1/3"}, std::pair{"FullExam", "1"},
          std::pair{"FullExamTitle", "آزمون نوبت اول"},
          std::pair{"FullExamBudget", "0-0:4 0-1:4 1-0:4"}, std::pair{"FieldWeights", "0:2"},
          std::pair{"FullExamMinutes", "60"}})
        KeepSetting(context, project, QString::fromLatin1(tag), QString::fromUtf8(value));
}

} // namespace tavrin::test
