#pragma once

#include <QString>

namespace tavrin::texts {

// The numbered notices, index = number (1 to 31). Marks inside them are written as escapes.
inline const char16_t* const kPayam[32] = {
    nullptr,
    u"فايل\u200Fهاي ورودي پيدا نشد!\u200F",
    u"همه مشخصات بايد تكميل شود!\u200F",
    u"شاخه انتخابي يافت نشد!\u200F",
    u"فايل ساخته شد!\u200F",
    u"پاراگرافي براي ويرايش وجود ندارد!\u200F",
    u"تصوير انتخابي يافت نشد!\u200F",
    u"صوت انتخابي يافت نشد!\u200F",
    u"فيلم انتخابي يافت نشد!\u200F",
    u"مسير متون ورودي يافت نشد!\u200F",
    u"مسير ساخت خروجي يافت نشد!\u200F",
    u"تصوير كتاب يافت نشد!\u200F",
    u"موزيك اول يافت نشد!\u200F",
    u"موزيك دوم يافت نشد!\u200F",
    u"تصوير پيش\u200Fزمينه يافت نشد!\u200F",
    u"بر اساس تعداد كتاب انتخاب شده در رديف\u200Fها، متني براي تبديل وجود ندارد!\u200F",
    u"مسير متون ورودي تعيين نشده است!\u200F",
    u"تعداد كتاب در رديف اول معين نشده است!\u200F",
    u"تعداد كتاب در رديف دوم معين نشده است!\u200F",
    u"تعداد كتاب در رديف سوم معين نشده است!\u200F",
    u"مسير موزيك اول وارد نشده است!\u200F",
    u"مسير موزيك دوم وارد نشده است!\u200F",
    u"مسير تصوير كتاب وارد نشده است!\u200F",
    u"مسير ساخت خروجي وارد نشده است!\u200F",
    u"مسير تصوير پيش\u200Fزمينه وارد نشده است!\u200F",
    u"امكان درج تصوير وجود ندارد!\u200F",
    u"شاخه مورد نظر براي گرفتن خروجي وجود ندارد!\u200F",
    u"شيوه\u200Fنامه گرفتن خروجي يافت نشد!\u200F",
    u"بروز اشكال در گرفتن خروجي!\u200F",
    u"خروجي گرفته شده آماده رايت بر روي سي\u200Cدي است!\u200F",
    // Titles and folder paths holding these would damage the data files.
    u"عنوان نبايد شامل \" يا < يا > يا = باشد!\u200F",
    // Answers or an explanation filed before their question.
    u"ابتدا متن سؤال را ثبت كنيد!\u200F",
};

// Numbers of 0 and below.
inline const QString kPayamUncontrollable = QStringLiteral(u"بروز اشكال غير قابل كنترل!\u200F");
// Numbers 101 and 102: two lines.
inline const QString kPayamNoOutputFolder = QStringLiteral(
    u"امكان گرفتن خروجي در مسير انتخاب شده وجود ندارد!\u200F\r\nمسير ديگري را انتخاب كنيد!\u200F");

// A delete refused because the list no longer matched the file (103), and a second
// start on a program folder that is in use (104).
inline const QString kPayamStaleList =
    QStringLiteral(u"فهرست تغيير كرده بود و دوباره خوانده شد؛ چيزي حذف نشد!\u200F");
inline const QString kPayamSecondInstance =
    QStringLiteral(u"برنامه هم\u200Cاكنون از همين شاخه در حال اجرا است!\u200F");

// Answers of more than four paragraphs: the quiz file takes the first four (105).
inline const QString kPayamMoreThanFour = QStringLiteral(
    u"گزينه\u200Cهاي پاسخ اين سؤال بيش از چهار پاراگراف است؛ همه نگه داشته شد، ولي فايل "
    u"آزمون فقط چهار گزينه اول را مي\u200Cبرد!\u200F");

// Settings or media not written (106) and a quiz file not made (107): nothing changed.
inline const QString kPayamSettingsNotSaved =
    QStringLiteral(u"تنظيمات لوح ذخيره نشد و فايلهاي قبلي دست نخورد؛ خروجي گرفته نشد!\u200F");
inline const QString kPayamBookNotMade =
    QStringLiteral(u"فايل آزمون ساخته نشد و هيچ فايلي تغيير نكرد!\u200F");

// A lesson text not read (108), a made lesson not reopened (109), a draft not read (110).
inline const QString kPayamLessonTextNotRead =
    QStringLiteral(u"فايل متن درس خوانده نشد؛ متن قبلي دست نخورد!\u200F");
inline const QString kPayamQuizNotReopened =
    QStringLiteral(u"فايل آزمون اين درس خوانده نشد؛ فايل دست نخورد و فرم خالي باز شد!\u200F");
inline const QString kPayamDraftNotRead =
    QStringLiteral(u"پيش\u200Cنويس اين درس خوانده نشد؛ با نام ديگري كنار گذاشته شد!\u200F");

// Opening a lesson that has a draft: its date (%1) and number of questions (%2).
inline const QString kAskGoOnFromDraft = QStringLiteral(
    u"براي اين درس پيش\u200Cنويسي از %1 با %2 سؤال ذخيره شده است.\r\n"
    u"كار از همان پيش\u200Cنويس ادامه داده شود؟ (نه: پيش\u200Cنويس دور ريخته مي\u200Cشود)\u200F");

// The list of the check before the disc: its caption and heading.
inline const QString kCheckCaption = QStringLiteral(u"بررسي لوح");
inline const QString kCheckErrors = QStringLiteral(u"اين خروجي پيش از رايت بايد درست شود:");
inline const QString kCheckWarnings = QStringLiteral(u"نكته\u200Cهاي بررسي خروجي پيش از رايت:");

// The export is made but the check before the disc found errors (111).
inline const QString kPayamExportNotReady = QStringLiteral(
    u"خروجي گرفته شد، ولي براي رايت روي لوح آماده نيست: فهرست بررسي را ببينيد!\u200F");

// The disc image (112 to 114).
inline const QString kPayamImageMade =
    QStringLiteral(u"تصوير لوح ساخته شد و بازخواني آن با خروجي يكسان بود!\u200F");
inline const QString kPayamImageNotMade =
    QStringLiteral(u"تصوير لوح ساخته نشد يا با خروجي يكسان نبود!\u200F");
inline const QString kPayamNoExportYet =
    QStringLiteral(u"هنوز خروجي از اين پروژه در مسير ساخت نرمافزار گرفته نشده است!\u200F");
inline const QString kPayamQuestionsWritten =
    QStringLiteral(u"سؤالها براي سامانه آموزشي در فايل زير نوشته شد!\u200F");
inline const QString kPayamQuestionsNotWritten =
    QStringLiteral(u"سؤالها براي سامانه آموزشي نوشته نشد!\u200F");
inline const QString kPayamPaperWritten =
    QStringLiteral(u"آزمون کاغذی در پوشهٔ زیر نوشته شد: دفترچه و پاسخ‌برگ "
                   u"هر "
                   u"نسخه، "
                   u"کلید "
                   u"و "
                   u"پاسخ‌نامهٔ تشریحی!\u200F");
inline const QString kPayamPaperNotWritten = QStringLiteral(u"آزمون کاغذی نوشته نشد!\u200F");
inline const QString kPayamAnalysisNotWritten =
    QStringLiteral(u"تحلیل سؤال‌ها نوشته نشد!\u200F");
inline const QString kPayamSheetsNotRead =
    QStringLiteral(u"پاسخ‌برگ‌ها خوانده یا نوشته نشد!\u200F");
inline const QString kPayamChooseAProject = QStringLiteral(u"اول پروژه‌ای را در فهرست پروژه‌ها "
                                                           u"انتخاب کنید؛ پروژهٔ تازه را با «جدید» "
                                                           u"در "
                                                           u"همان فهرست "
                                                           u"بسازید.\u200F");
// An undo or a redo that could not be carried out; the edit and why on the next line.
inline const QString kPayamEditNotUndone =
    QStringLiteral(u"این ویرایش برگردانده یا دوباره انجام نشد و همه‌چیز همان‌طور که "
                   u"بود "
                   u"ماند.\u200F");
inline const QString kPayamQuestionsNotImported = QStringLiteral(u"سؤالهاي فايل آورده نشد!\u200F");
inline const QString kPayamSelectTextFirst =
    QStringLiteral(u"ابتدا بخشي از متن درس را انتخاب كنيد!\u200F");
inline const QString kPayamNothingToMake =
    QStringLiteral(u"سؤالي براي ساختن فايل آزمون نيست؛ فايلي نوشته نشد!\u200F");
inline const QString kPayamFormatterStays = QStringLiteral(
    u"فرم ورود داده هنوز سؤالهاي ساخته\u200Cنشده درس زير را دارد؛ پيش از رفتن به درس ديگر، "
    u"فايل آزمون آن را بسازيد يا فرم را ببنديد!\u200F");
inline const QString kPayamProjectFolderMissing =
    QStringLiteral(u"شاخه اين پروژه پيدا نشد؛ شايد جابه\u200Cجا يا حذف شده است!\u200F");
inline const QString kPayamCloseFormatterFirst =
    QStringLiteral(u"پيش از حذف، فرم ورود داده را ببنديد!\u200F");
inline const QString kPayamAttachmentNotFound =
    QStringLiteral(u"فايل ضميمه انتخابي يافت نشد!\u200F");
inline const QString kPayamChooseAFile =
    QStringLiteral(u"ابتدا فايلي را از فهرست فايلها انتخاب كنيد!\u200F");
// A changed setting the project file did not take (125): the stored one is shown again.
inline const QString kPayamSettingNotKept = QStringLiteral(
    u"اين تنظيم در پروژه ذخيره نشد؛ مقداري كه در پروژه مانده است دوباره نشان داده شد!\u200F");
inline const QString kPayamEquationsKept =
    QStringLiteral(u"معادله‌هاي اين فايل به فرمول درآمد، "
                   u"جز آنچه در زير آمده است؛ چيزي حذف "
                   u"نشد!\u200F");
inline const QString kEquationPartsKept =
    QStringLiteral(u"بخش‌هايي كه با نشان \\boxed{?} در فرمول ماند: ");
inline const QString kEquationObjectsKept =
    QStringLiteral(u"معادلهٔ قديمي Word كه به صورت تصوير آمد و بايد دوباره نوشته شود: ");
// A disc image of an export whose check found errors: the errors, one a line.
inline const QString kAskImageWithErrors = QStringLiteral(
    u"بررسي خروجي اين خطاها را يافت:\r\n%1\u200F\r\n\r\nتصوير لوح با همين خطاها ساخته "
    u"شود؟\u200F");
inline const QString kAndMoreErrors = QStringLiteral(u"و %1 خطاي ديگر");
// The export an image would be made of (%1) is older than the project: what changed (%2).
inline const QString kAskExportBeforeImage =
    QStringLiteral(u"پروژه پس از ساختن «%1» تغییر کرده است:\r\n%2\u200F\r\n\r\n"
                   u"بله: اول دوباره خروجی گرفته شود و تصویر لوح از خروجی تازه ساخته شود.\r\n"
                   u"نه: تصویر لوح از همان خروجی قبلی ساخته شود.\u200F");
// The paper exam's questions (%1 of them) printed without the author's own numbers and labels.
inline const QString kOwnLabelsTaken =
    QStringLiteral(u"شماره و برچسب‌های خود متن از %1 سؤال "
                   u"برداشته شد، چون آزمون خودش شماره و حرف "
                   u"می‌گذارد:");
inline const QString kAndMoreFiles = QStringLiteral(u"و %1 پروندهٔ دیگر");
// The lesson the formatter stays on: its title (%1) and its field's (%2).
inline const QString kFormatterLessonLine = QStringLiteral(u"درس «%1» در رشته «%2»");
// A made lesson made again: its title.
inline const QString kAskReplaceLessonQuiz = QStringLiteral(
    u"فايل آزمون درس «%1» پيش از اين ساخته شده است.\r\n\r\nآيا با سؤالهاي اين فرم جايگزين "
    u"شود؟\u200F");
// A project whose folder is gone but one of its name stands in the program folder.
inline const QString kAskProjectFoundHere = QStringLiteral(
    u"شاخه اين پروژه پيدا نشد:\r\n%1\r\n\r\nشاخه\u200Cاي با همين نام در شاخه برنامه هست:"
    u"\r\n%2\r\n\r\nپروژه از اين شاخه خوانده شود؟\u200F");

// The Persian line that says why an export failed, by the kind of failure.
inline const QString kCausePrefix = QStringLiteral(u"علت: ");
inline const QString kCausePermission = QStringLiteral(u"اجازه دسترسي داده نشد");
inline const QString kCauseDiskFull = QStringLiteral(u"فضاي ديسك پر است");
inline const QString kCauseReadOnly = QStringLiteral(u"ديسك فقط خواندني است");
inline const QString kCauseFileMissing = QStringLiteral(u"فايل پيدا نشد");
inline const QString kCauseNoProject =
    QStringLiteral(u"این پوشه پروژه نیست: پروندهٔ پروژه (Project.xml) در آن نیست");
inline const QString kCauseNoExamRecord =
    QStringLiteral(u"این پوشه آزمون چاپ‌شده‌ای نیست: "
                   u"پروندهٔ exam.json در آن نیست");
inline const QString kCauseChangedSince =
    QStringLiteral(u"این فایل از آن پس در جای دیگری تغییر کرده است");
inline const QString kCauseFolderMissing = QStringLiteral(u"شاخه پيدا نشد");
inline const QString kCauseExists = QStringLiteral(u"از قبل وجود دارد");
inline const QString kCauseScript = QStringLiteral(u"سطري از شيوه\u200Cنامه خروجي نادرست است");
inline const QString kCauseNotReadable = QStringLiteral(u"فايل آسيب ديده است يا از نوع درستي نيست");
// The line of a quiz file that could not be read back: its number, then the file's name.
inline const QString kBadQuizLine = QStringLiteral(u"سطر %1 فايل «%2» خوانا نيست");
inline const QString kCauseIsFolder = QStringLiteral(u"اين يك شاخه است، نه فايل");
inline const QString kCauseNotAFile = QStringLiteral(u"فايل معمولي نيست (دستگاه يا لوله است)");
inline const QString kCauseTooLarge = QStringLiteral(u"فايل بزرگتر از اندازه پذيرفتني است");
inline const QString kCauseTooDeep = QStringLiteral(u"ساختار فايل بيش از اندازه تودرتو است");
inline const QString kCauseEntities =
    QStringLiteral(u"فايل موجوديت‌هاي تعريف‌شده (DTD) دارد "
                   u"که پذيرفته نمي‌شود");
inline const QString kCauseOutside =
    QStringLiteral(u"مسير به بيرون از شاخه خود مي‌رود");
inline const QString kCauseLink = QStringLiteral(u"مسير يك پيوند نمادين است");
inline const QString kCauseMemory = QStringLiteral(u"حافظه كافي نيست");
inline const QString kCausePageTimedOut = QStringLiteral(u"صفحه در زمان مقرر چاپ نشد");
inline const QString kCauseRenderer =
    QStringLiteral(u"موتور نمايش صفحه‌ها از كار افتاد (شايد "
                   u"حافظه كم بود)");
// The command line's refusals of the paper exam's folders.
inline const QString kPaperFolderHoldsExam =
    QStringLiteral(u"در اين پوشه آزمون كاغذي ديگري هست؛ با --force جايگزين "
                   u"مي‌شود.");
inline const QString kPaperFolderInside =
    QStringLiteral(u"اين پوشه درون پوشه پروژه يا برنامه است؛ پوشه ديگري را نام ببريد.");
inline const QString kCauseUnknown = QStringLiteral(u"خطاي پيش\u200Cبيني نشده");

// The New title box.
inline const QString kNewTitleCaption = QStringLiteral(u"عنوان تازه");
inline const QString kNewTitleLabel = QStringLiteral(u"عنوان جديد را تايپ نماييد:");
inline const QString kNewTitleButton = QStringLiteral(u"عنوان فوق اضافه شود!\u200F");

// Delete questions: the thing deleted, then its name between the guillemets.
inline const QString kAskDeleteProject = QStringLiteral(u"آيا مايل به حذف پروژه «");
inline const QString kAskDeleteField = QStringLiteral(u"آيا مايل به حذف رشته «");
inline const QString kAskDeleteLesson = QStringLiteral(u"آيا مايل به حذف درس «");
inline const QString kAskDeleteEnd = QStringLiteral(u"» مي\u200Fباشيد؟");
// After the project's question: its folder stays on the disk (the path on the next line).
inline const QString kProjectFolderStays = QStringLiteral(
    u"\r\n\r\nفقط نام پروژه از فهرست برداشته مي\u200Cشود؛ شاخه آن با همه فايلهايش روي ديسك "
    u"مي\u200Cماند:\r\n");

} // namespace tavrin::texts
