#pragma once

#include <QString>

namespace tavrin::texts {

// Captions of the main window.
inline const QString kLabel20 = QStringLiteral(u"Tavrin ـ نگارش 1");
inline const QString kLabel7 = QStringLiteral(
    u"ابتدا پروژه مورد نظر خود را انتخاب يا ايجاد نموده، سپس تنظيمات آن را انجام دهيد!");
inline const QString kLabel9 = QStringLiteral(u"رشتههاي تحصيلي:");
inline const QString kProjectsHeading = QStringLiteral(u"پروژه\u200Cها:");
inline const QString kLabel2 = QStringLiteral(u"عناوين دروس:");
inline const QString kNew = QStringLiteral(u"جديد");
inline const QString kDelete = QStringLiteral(u"حذف");
inline const QString kAdd = QStringLiteral(u"اضافه");
inline const QString kImage = QStringLiteral(u"تصوير");
inline const QString kTipHelp = QStringLiteral(u"راهنما");
inline const QString kTipDataEntry = QStringLiteral(u"ورود اطلاعات");
inline const QString kTipOutput = QStringLiteral(u"خروجي");
inline const QString kTipProjects = QStringLiteral(u"پروژه\u200Cها");
inline const QString kTipBrowse = QStringLiteral(u"انتخاب از فهرست");

// The settings area; Label22 heads the music options.
inline const QString kLabel22 = QStringLiteral(u"موزيك زمينه:");
inline const QString kMusicOn = QStringLiteral(u"فعال");
inline const QString kMusicOff = QStringLiteral(u"غير فعال");
inline const QString kLabel1 = QStringLiteral(u"موزيك اول:");
inline const QString kLabel10 = QStringLiteral(u"موزيك دوم:");
inline const QString kLabel14 = QStringLiteral(u"تصوير پيشزمينه:");
inline const QString kLabel11 = QStringLiteral(u"انتخاب الگو:");
inline const QString kOlgoo1 = QStringLiteral(u"الگوي اول");
inline const QString kOlgoo2 = QStringLiteral(u"الگوي دوم");
inline const QString kPcheck = QStringLiteral(u"ايجاد امكان پرينت در نرمافزار");
// The disc image button, the tool's own.
inline const QString kDiscImage = QStringLiteral(u"ساخت تصوير لوح (ISO)");
inline const QString kTipDiscImage =
    QStringLiteral(u"تصوير ISO از آخرين خروجي، براي رايت روي سي\u200Cدي يا دي\u200Cوي\u200Cدي");

inline const QString kQuestionsOut = QStringLiteral(u"سؤالها براي سامانه‌ها");
inline const QString kTipQuestionsOut =
    QStringLiteral(u"سؤالهاي درس، رشته يا پروژه در قالب GIFT يا Moodle XML، يا بسته SCORM 1.2 "
                   u"براي سامانه‌هاي آموزشي");

inline const QString kPaperExam = QStringLiteral(u"آزمون کاغذی (PDF)…");
inline const QString kReadSheets = QStringLiteral(u"خواندن پاسخ‌برگ‌ها…");
inline const QString kTipReadSheets = QStringLiteral(
    u"پاسخ‌برگ‌های پرشدهٔ آزمون کاغذی را از پویش یا عکس "
    u"می‌خواند، "
    u"ردیف‌های مشکوک را نشان می‌دهد و نمره می‌دهد.");
inline const QString kAnalysis = QStringLiteral(u"تحلیل سؤال‌ها…");
inline const QString kTipAnalysis = QStringLiteral(
    u"پاسخ‌برگ‌های یک آزمون: دشواری و قدرت تمیز هر "
    u"سؤال، "
    u"پایایی "
    u"آزمون، "
    u"تراز "
    u"هر دانش‌آموز و گزارش PDF آن");
inline const QString kTipPaperExam = QStringLiteral(
    u"دفترچهٔ سؤال در چند نسخه، پاسخ‌برگ، کلید و "
    u"پاسخ‌نامهٔ تشریحی برای "
    u"چاپ");

// The exam group, the tool's own.
inline const QString kExamGroup = QStringLiteral(u"آزمون در لوح");
inline const QString kExamOn = QStringLiteral(u"دانش\u200Cآموز بتواند آزمون بدهد");
inline const QString kExamMinutes = QStringLiteral(u"زمان هر آزمون (دقيقه):");
inline const QString kExamCount = QStringLiteral(u"تعداد سؤال هر آزمون:");
inline const QString kExamNoLimit = QStringLiteral(u"بدون محدوديت");
inline const QString kExamAll = QStringLiteral(u"همه سؤالها");
inline const QString kScoring = QStringLiteral(u"آزمون و نمره‌دهی…");
inline const QString kTipScoring =
    QStringLiteral(u"نمرهٔ منفی، آزمون جامع با بودجه‌بندی "
                   u"درس‌ها، ضریب رشته‌ها و "
                   u"حد "
                   u"نصاب");
inline const QString kLabel5 = QStringLiteral(u"مسير ايجاد نرمافزار:");

} // namespace tavrin::texts
