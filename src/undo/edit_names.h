#pragma once

#include <QString>

namespace tavrin {

// What the edit menus call each step: "برگرداندن حذف درس «…»".
inline QString editUndoText(const QString& name) {
    return name.isEmpty() ? QStringLiteral(u"برگرداندن") : QStringLiteral(u"برگرداندن ") + name;
}
inline QString editRedoText(const QString& name) {
    return name.isEmpty() ? QStringLiteral(u"انجام دوباره")
                          : QStringLiteral(u"انجام دوبارهٔ ") + name;
}
inline QString quoted(const QString& what) {
    return u'«' + what + u'»';
}

namespace edits {
inline const QString kNewProject = QStringLiteral(u"ساختن پروژه ");
inline const QString kNewField = QStringLiteral(u"ساختن رشته ");
inline const QString kNewLesson = QStringLiteral(u"ساختن درس ");
inline const QString kAddProject = QStringLiteral(u"افزودن پروژه ");
inline const QString kDeleteProject = QStringLiteral(u"حذف پروژه ");
inline const QString kDeleteField = QStringLiteral(u"حذف رشته ");
inline const QString kDeleteLesson = QStringLiteral(u"حذف درس ");
inline const QString kSetting = QStringLiteral(u"تغییر ");
inline const QString kScoring =
    QStringLiteral(u"تغییر تنظیمات آزمون و نمره‌دهی");
inline const QString kQuestion = QStringLiteral(u"ثبت سؤال");
inline const QString kAnswers = QStringLiteral(u"ثبت پاسخ‌ها");
inline const QString kExplanation = QStringLiteral(u"ثبت توضیح");
inline const QString kOpenGroup = QStringLiteral(u"باز کردن عنوان ");
inline const QString kCloseGroup = QStringLiteral(u"بستن عنوان");
inline const QString kEditEntry = QStringLiteral(u"ویرایش سؤال ");
inline const QString kRemoveEntry = QStringLiteral(u"حذف سؤال ");
inline const QString kImport = QStringLiteral(u"وارد کردن سؤال‌ها از ");
inline const QString kMakeQuiz = QStringLiteral(u"ساختن فایل آزمون");
inline const QString kBoxTyping = QStringLiteral(u"نوشتن در متن درس");
inline const QString kInputFolder = QStringLiteral(u"تغییر شاخهٔ متن‌های درس");
} // namespace edits

// The Persian name of a project setting, as its step is called.
QString settingName(const QString& tag);

} // namespace tavrin
