#include "mainwin/paper_dialog.h"

#include "dialogs/pickers.h"
#include "mainwin/dialog_rows.h"
#include "platform/persian_text.h"
#include "platform/ui_metrics.h"
#include "widgets/persian_ui.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavrin {

namespace {

QSpinBox* spin(const char* name, int least, int most, int value) {
    auto* box = new QSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setRange(least, most);
    box->setValue(value);
    return box;
}

QLineEdit* line(const char* name, const QString& text) {
    auto* box = new QLineEdit(text);
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(kLongestPaperHeader);
    return box;
}

} // namespace

PaperDialog::PaperDialog(const PaperChoices& first, const QString& folder, bool budget, int field,
                         int lesson, QWidget* parent)
    : QDialog(parent), field_(field), lesson_(lesson) {
    setObjectName(QStringLiteral("PaperDialog"));
    setWindowTitle(QStringLiteral(u"آزمون کاغذی"));
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    auto* layout = new QVBoxLayout(this);
    auto* upper = new QHBoxLayout;
    upper->addWidget(whatBox(first, budget));
    upper->addWidget(layoutBox(first));
    layout->addLayout(upper);
    layout->addWidget(headerBox(first));
    const PathRow where =
        pathRow(QStringLiteral(u"پوشه:"), pathShown(QDir::toNativeSeparators(folder)), "POut",
                "POutBrowse");
    out_ = where.box;
    connect(where.browse, &QToolButton::clicked, this, [this] { browse(); });
    layout->addLayout(where.layout);
    history_ = new QLabel;
    history_->setObjectName(QStringLiteral("PHistory"));
    history_->setWordWrap(true);
    history_->hide();
    layout->addWidget(history_);
    leaveOut_ = new QCheckBox(QStringLiteral(
        u"سؤال‌هایی که کلیدشان مشکوک است کنار گذاشته "
        u"شوند"));
    leaveOut_->setObjectName(QStringLiteral("PLeaveOut"));
    leaveOut_->hide();
    layout->addWidget(leaveOut_);
    layout->addLayout(okCancelRow(this, out_, QStringLiteral(u"ساختن PDF"), "POk", "PCancel"));
}

QWidget* PaperDialog::whatBox(const PaperChoices& first, bool budget) {
    auto* box = new QGroupBox(QStringLiteral(u"کدام سؤال‌ها:"));
    auto* layout = new QVBoxLayout(box);
    what_ = new QButtonGroup(this);
    option(what_, layout, "PWhat0",
           QStringLiteral(u"آزمون جامع (بودجه‌بندی پروژه)"), 0)
        ->setEnabled(budget);
    option(what_, layout, "PWhat1", QStringLiteral(u"همهٔ سؤال‌های همین رشته"),
           1)
        ->setEnabled(field_ >= 0);
    option(what_, layout, "PWhat2", QStringLiteral(u"همهٔ سؤال‌های همین درس"),
           2)
        ->setEnabled(lesson_ >= 0);
    what_->button(int(first.scope.kind))->setChecked(true);
    layout->addStretch();
    return box;
}

QWidget* PaperDialog::layoutBox(const PaperChoices& first) {
    auto* box = new QGroupBox(QStringLiteral(u"نسخه‌ها و صفحه:"));
    auto* form = new QFormLayout(box);
    versions_ = spin("PVersions", 1, kMostPaperVersions, first.versions);
    versions_->setToolTip(QStringLiteral(u"نسخه‌ها به نام الف، ب، ج و د"));
    form->addRow(QStringLiteral(u"تعداد نسخه‌ها:"), versions_);
    seed_ = spin("PSeed", 1, 999999999, int(first.seed));
    seed_->setToolTip(QStringLiteral(
        u"با همین شماره، همین آزمون دوباره ساخته می‌شود"));
    form->addRow(QStringLiteral(u"شمارهٔ آزمون:"), seed_);
    shuffle_ =
        new QCheckBox(QStringLiteral(u"جابه‌جایی گزینه‌های هر سؤال"));
    shuffle_->setObjectName(QStringLiteral("PShuffle"));
    shuffle_->setChecked(first.shuffleAnswers);
    form->addRow(shuffle_);
    auto* columnRow = new QHBoxLayout;
    columns_ = new QButtonGroup(this);
    option(columns_, columnRow, "PColumns1", QStringLiteral(u"یک ستون"), 1);
    option(columns_, columnRow, "PColumns2", QStringLiteral(u"دو ستون"), 2);
    columns_->button(first.columns == 2 ? 2 : 1)->setChecked(true);
    form->addRow(QStringLiteral(u"صفحه:"), columnRow);
    fontSize_ = spin("PFontSize", kLeastPaperFont, kMostPaperFont, first.fontSize);
    form->addRow(QStringLiteral(u"اندازهٔ قلم (پوینت):"), fontSize_);
    return box;
}

QWidget* PaperDialog::headerBox(const PaperChoices& first) {
    auto* box = new QGroupBox(QStringLiteral(u"سربرگ دفترچه:"));
    auto* grid = new QHBoxLayout(box);
    auto* right = new QFormLayout;
    auto* left = new QFormLayout;
    title_ = line("PTitle", first.title);
    right->addRow(QStringLiteral(u"عنوان آزمون:"), title_);
    school_ = line("PSchool", first.school);
    right->addRow(QStringLiteral(u"آموزشگاه:"), school_);
    className_ = line("PClass", first.className);
    right->addRow(QStringLiteral(u"کلاس:"), className_);
    // Shown in Persian digits, as it will be printed; either kind may be typed.
    date_ = line("PDate", persianShown(first.date, Digits::AlsoBare));
    date_->setToolTip(QStringLiteral(u"تاریخ خورشیدی، مانند ۱۴۰۵/۹/۱۷"));
    left->addRow(QStringLiteral(u"تاریخ:"), date_);
    minutes_ = spin("PMinutes", 0, 600, first.minutes);
    minutes_->setSpecialValueText(shownInWindows(QStringLiteral(u"چاپ نشود")));
    left->addRow(QStringLiteral(u"مدت (دقیقه):"), minutes_);
    teacher_ = line("PTeacher", first.teacher);
    left->addRow(QStringLiteral(u"دبیر:"), teacher_);
    grid->addLayout(right);
    grid->addLayout(left);
    return box;
}

void PaperDialog::browse() {
    const QString now = QDir::fromNativeSeparators(pathTyped(out_->text()));
    if (const auto folder = FolderPicker::choose(this, now))
        out_->setText(pathShown(QDir::toNativeSeparators(*folder)));
}

PaperDialog::Request PaperDialog::request() const {
    Request r;
    PaperChoices& c = r.choices;
    const int what = what_->checkedId();
    c.scope = {PaperScope::Kind(what), std::max(field_, 0), std::max(lesson_, 0)};
    c.versions = versions_->value();
    c.seed = quint32(seed_->value());
    c.shuffleAnswers = shuffle_->isChecked();
    c.columns = columns_->checkedId();
    c.fontSize = fontSize_->value();
    c.school = school_->text().trimmed();
    c.className = className_->text().trimmed();
    c.title = title_->text().trimmed();
    c.date = date_->text().trimmed();
    c.minutes = minutes_->value();
    c.teacher = teacher_->text().trimmed();
    r.folder = QDir::fromNativeSeparators(pathTyped(out_->text()).trimmed());
    if (leaveOut_->isChecked())
        c.leaveOut = doubted_;
    return r;
}

void PaperDialog::showHistory(const QMap<QString, QuestionHistory>& history) {
    doubted_.clear();
    if (history.isEmpty())
        return;
    double facility = 0, discrimination = 0;
    int defined = 0;
    for (auto it = history.begin(); it != history.end(); ++it) {
        facility += it->facility / double(history.size());
        if (it->discrimination) {
            discrimination += *it->discrimination;
            ++defined;
        }
        if (it->wrongKey)
            doubted_.append(it.key());
    }
    QuestionHistory all;
    all.exams = int(history.size());
    all.facility = facility;
    if (defined)
        all.discrimination = discrimination / defined;
    // "دشواری ۶۲٪ · تمیز ۰٫۳۸ · ۱۲ آزمون" reads here as questions, not exams.
    QString text = historyText(all);
    text = text.left(text.lastIndexOf(QStringLiteral(u" · "))) +
           persianShown(QStringLiteral(u" · %1 سؤال تحلیل‌شده").arg(history.size()),
                        Digits::AlsoBare);
    if (!doubted_.isEmpty()) {
        // The questions' numbers are identifiers: Latin digits, kept left to right.
        QStringList named;
        for (const QString& id : std::as_const(doubted_))
            named.append(QChar(0x2066) + id + QChar(0x2069));
        text += persianShown(QStringLiteral(u"؛ کلید %1 سؤال مشکوک است: ").arg(doubted_.size()),
                             Digits::AlsoBare) +
                named.join(QStringLiteral(u"، "));
    }
    history_->setText(QStringLiteral(u"در آزمون‌های تحلیل‌شده: ") + text);
    history_->show();
    leaveOut_->setVisible(!doubted_.isEmpty());
}

std::optional<PaperDialog::Request>
PaperDialog::ask(QWidget* parent, const PaperChoices& first, const QString& folder, bool budget,
                 int field, int lesson, const QMap<QString, QuestionHistory>& history) {
    PaperDialog dialog(first, folder, budget, field, lesson, parent);
    dialog.showHistory(history);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.request();
}

} // namespace tavrin
