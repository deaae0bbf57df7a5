#include "undo/edit_names.h"

#include <QHash>

namespace tavrin {

QString settingName(const QString& tag) {
    static const QHash<QString, QString> names{
        {QStringLiteral("Music"), QStringLiteral(u"موزیک زمینه")},
        {QStringLiteral("Music1"), QStringLiteral(u"موزیک اول")},
        {QStringLiteral("Music2"), QStringLiteral(u"موزیک دوم")},
        {QStringLiteral("BackPic"), QStringLiteral(u"تصویر پس‌زمینه")},
        {QStringLiteral("Olgoo"), QStringLiteral(u"الگو")},
        {QStringLiteral("Printable"), QStringLiteral(u"امکان چاپ")},
        {QStringLiteral("Export"), QStringLiteral(u"مسیر ایجاد نرم‌افزار")},
        {QStringLiteral("Import"), QStringLiteral(u"شاخهٔ متن‌های درس")},
        {QStringLiteral("ExamOn"), QStringLiteral(u"آزمون در لوح")},
        {QStringLiteral("ExamMinutes"), QStringLiteral(u"زمان هر آزمون")},
        {QStringLiteral("ExamCount"), QStringLiteral(u"تعداد سؤال هر آزمون")},
    };
    return edits::kSetting + quoted(names.value(tag, tag));
}

} // namespace tavrin
