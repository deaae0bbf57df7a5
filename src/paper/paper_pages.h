#pragma once

#include "exam/paper_draw.h"

#include <QJsonObject>
#include <QString>

namespace tavrin {

struct PaperChoices;

// The data the paper page (Resources/paper.js) lays out for one document: the header, the
// rule, and per kind the version's questions with their options in printed order ("booklet"),
// the answer grid and QR code ("sheet"), the keys and the master key ("key"), or each
// question's right answer and explanation ("explanations"). Pictures are file URLs.
QJsonObject bookletData(const QuestionBank& bank, const PaperExam& exam,
                        const PaperChoices& choices, int version);
// Throws NothingToPrint when the QR code cannot be made.
QJsonObject sheetData(const QuestionBank& bank, const PaperExam& exam, const PaperChoices& choices,
                      int version);
QJsonObject keyData(const QuestionBank& bank, const PaperExam& exam, const PaperChoices& choices);
QJsonObject explanationsData(const QuestionBank& bank, const PaperExam& exam,
                             const PaperChoices& choices);

// A question's pictures by number, as file URLs the pages load.
QJsonObject pictureUrls(const BankQuestion& question);

// A sheet's page holds this many questions (four columns of 25), each page its own QR code.
inline constexpr int kSheetQuestionsPerPage = 100;
int sheetPages(int questions);

// The page: Resources/paper.html's scripts and style (from resourcesFolder), the data as a
// script, laid out when it loads.
QString paperHtml(const QString& resourcesFolder, const QJsonObject& data);
// A page of the program's own: its style sheet and script from resourcesFolder after KaTeX
// and the player's text and scoring scripts, the data as the script constant `name`.
QString programPage(const QString& resourcesFolder, const QString& style, const QString& name,
                    const QJsonObject& data, const QString& script);

} // namespace tavrin
