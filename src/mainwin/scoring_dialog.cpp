#include "mainwin/scoring_dialog.h"

#include "platform/persian_text.h"
#include "platform/prompts.h"
#include "platform/ui_metrics.h"
#include "store/project_settings.h"
#include "store/store_common.h"
#include "widgets/persian_ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavrin {

namespace {

const QString kCaption = QStringLiteral(u"آزمون و نمره‌دهی");

// The choices of the penalty box, by index; the last is a fraction the author types.
const Penalty kPenalties[] = {{0, 1}, {1, 3}, {1, 4}};
constexpr int kOtherPenalty = 3;

QString persianNumber(qint64 n) {
    return persianShown(QString::number(n), Digits::AlsoBare);
}

} // namespace

ScoringDialog::ScoringDialog(Prompts& prompts, const ScoringSettings& current,
                             const QList<BudgetField>& fields, QWidget* parent)
    : QDialog(parent), prompts_(prompts), fields_(fields) {
    setObjectName(QStringLiteral("ScoringDialog"));
    setWindowTitle(shownInWindows(kCaption));
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    setModal(true);
    resize(620, 560);
    auto* layout = new QVBoxLayout(this);

    auto* form = new QFormLayout;
    form->setFormAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignTop);
    form->addRow(shownInWindows(QStringLiteral(u"نمرهٔ منفی هر پاسخ نادرست:")),
                 penaltyRow(current.penalty));
    fullExam_ = new QCheckBox(shownInWindows(QStringLiteral(u"آزمون جامع در لوح")));
    fullExam_->setObjectName(QStringLiteral("FullExamOn"));
    fullExam_->setChecked(current.fullExam);
    form->addRow(fullExam_);
    title_ = new QLineEdit(current.fullExamTitle);
    title_->setObjectName(QStringLiteral("FullExamTitle"));
    title_->setPlaceholderText(shownInWindows(QStringLiteral(u"آزمون جامع")));
    form->addRow(shownInWindows(QStringLiteral(u"عنوان آزمون جامع:")), title_);
    minutes_ = new QSpinBox;
    minutes_->setObjectName(QStringLiteral("FullExamMinutes"));
    minutes_->setRange(0, kMostExamMinutes);
    minutes_->setSpecialValueText(shownInWindows(QStringLiteral(u"بدون محدودیت")));
    minutes_->setValue(current.fullExamMinutes);
    minutes_->setLayoutDirection(Qt::LeftToRight);
    form->addRow(shownInWindows(QStringLiteral(u"زمان آزمون جامع (دقیقه):")), minutes_);
    passMark_ = new QSpinBox;
    passMark_->setObjectName(QStringLiteral("PassMark"));
    passMark_->setRange(0, kMostPassMark);
    passMark_->setSuffix(QStringLiteral(u"٪"));
    passMark_->setValue(current.passMark);
    passMark_->setLayoutDirection(Qt::LeftToRight);
    form->addRow(shownInWindows(QStringLiteral(u"حد نصاب قبولی (درصد کل):")), passMark_);
    layout->addLayout(form);

    auto* budgetCaption = new QLabel(shownInWindows(QStringLiteral(
        u"بودجه‌بندی آزمون جامع: تعداد سؤالی که از هر درس "
        u"کشیده "
        u"می‌شود (۰: هیچ)، و ضریب هر رشته")));
    budgetCaption->setWordWrap(true);
    layout->addWidget(budgetCaption);
    layout->addWidget(budgetTable(current), 1);
    total_ = new QLabel;
    total_->setObjectName(QStringLiteral("BudgetTotal"));
    layout->addWidget(total_);
    showTotal();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ScoringOk"));
    buttons->button(QDialogButtonBox::Ok)->setText(shownInWindows(QStringLiteral(u"ثبت")));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("ScoringCancel"));
    buttons->button(QDialogButtonBox::Cancel)->setText(shownInWindows(QStringLiteral(u"انصراف")));
    connect(buttons, &QDialogButtonBox::accepted, this, &ScoringDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ScoringDialog::reject);
    layout->addWidget(buttons);
}

QWidget* ScoringDialog::penaltyRow(const Penalty& penalty) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    penalty_ = new QComboBox;
    penalty_->setObjectName(QStringLiteral("Penalty"));
    for (const char16_t* text :
         {u"بدون نمرهٔ منفی",
          u"یک‌سوم: هر سه پاسخ نادرست، یک پاسخ درست را خنثی "
          u"می‌کند",
          u"یک‌چهارم: هر چهار پاسخ نادرست، یک پاسخ درست را "
          u"خنثی "
          u"می‌کند",
          u"کسری دیگر:"})
        penalty_->addItem(shownInWindows(QString::fromUtf16(text)));
    fraction_ = new QLineEdit;
    fraction_->setObjectName(QStringLiteral("PenaltyFraction"));
    fraction_->setLayoutDirection(Qt::LeftToRight);
    fraction_->setPlaceholderText(QStringLiteral("2/5"));
    fraction_->setMaximumWidth(80);
    int index = kOtherPenalty;
    for (int i = 0; i < kOtherPenalty; ++i)
        if (kPenalties[i] == penalty)
            index = i;
    penalty_->setCurrentIndex(index);
    if (index == kOtherPenalty)
        fraction_->setText(penaltyText(penalty));
    // The box shows the fraction chosen: a choice's own, greyed, or the author's, to edit.
    const auto show = [this](int i) {
        if (fraction_->isEnabled())
            typedFraction_ = fraction_->text();
        fraction_->setEnabled(i == kOtherPenalty);
        fraction_->setText(i == kOtherPenalty ? typedFraction_ : penaltyText(kPenalties[i]));
    };
    show(index);
    connect(penalty_, &QComboBox::currentIndexChanged, this, show);
    layout->addWidget(penalty_, 1);
    layout->addWidget(fraction_);
    return row;
}

QWidget* ScoringDialog::budgetTable(const ScoringSettings& current) {
    table_ = new QTableWidget;
    table_->setObjectName(QStringLiteral("Budget"));
    table_->setColumnCount(4);
    QStringList head;
    for (const char16_t* text :
         {u"رشته و درس", u"سؤال‌های آماده", u"تعداد در آزمون", u"ضریب"})
        head.append(shownInWindows(QString::fromUtf16(text)));
    table_->setHorizontalHeaderLabels(head);
    table_->verticalHeader()->hide();
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const auto item = [](const QString& text, bool bold) {
        auto* cell = new QTableWidgetItem(shownInWindows(text));
        QFont font = persianFont(9, bold);
        cell->setFont(font);
        return cell;
    };
    const auto spin = [](const QString& name, int least, int most, int value) {
        auto* box = new QSpinBox;
        box->setObjectName(name);
        box->setRange(least, most);
        box->setValue(value);
        box->setLayoutDirection(Qt::LeftToRight);
        box->setKeyboardTracking(true);
        return box;
    };
    int row = 0;
    for (int f = 0; f < fields_.size(); ++f) {
        const BudgetField& field = fields_[f];
        table_->setRowCount(row + 1 + int(field.lessons.size()));
        table_->setItem(row, 0, item(field.title, true));
        auto* weight =
            spin(QStringLiteral("Weight%1").arg(f), 1, kMostFieldWeight, current.weightOf(f));
        weight->setAccessibleName(shownInWindows(QStringLiteral(u"ضریب ") + field.title));
        table_->setCellWidget(row, 3, weight);
        weights_.append(weight);
        ++row;
        for (const BudgetLesson& lesson : field.lessons) {
            table_->setItem(row, 0, item(QStringLiteral("    ") + lesson.title, false));
            auto* count = item(QString::number(lesson.questions), false);
            count->setTextAlignment(Qt::AlignCenter);
            table_->setItem(row, 1, count);
            // Up to what a lesson's table holds, so a budget above what the lesson has is
            // said to the author, not cut down without a word.
            auto* drawn = spin(QStringLiteral("Budget") + lesson.id, 0, kQuizEntries,
                               current.budget.value(lesson.id, 0));
            drawn->setAccessibleName(
                shownInWindows(QStringLiteral(u"تعداد سؤال از ") + lesson.title));
            connect(drawn, &QSpinBox::valueChanged, this, &ScoringDialog::showTotal);
            table_->setCellWidget(row, 2, drawn);
            budget_.insert(lesson.id, drawn);
            ++row;
        }
    }
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < 4; ++c)
        table_->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    return table_;
}

void ScoringDialog::showTotal() {
    int total = 0;
    for (QSpinBox* box : budget_)
        total += box->value();
    total_->setText(
        shownInWindows(QStringLiteral(u"جمع سؤال‌های آزمون جامع: ")) +
        persianNumber(total));
}

ScoringSettings ScoringDialog::chosen() const {
    ScoringSettings s;
    const int index = penalty_->currentIndex();
    s.penalty = index == kOtherPenalty ? parsePenalty(fraction_->text()).value_or(Penalty{})
                                       : kPenalties[std::max(0, index)];
    s.fullExam = fullExam_->isChecked();
    s.fullExamTitle = title_->text().trimmed();
    s.fullExamMinutes = minutes_->value();
    s.passMark = passMark_->value();
    for (auto it = budget_.begin(); it != budget_.end(); ++it)
        if (it.value()->value() > 0)
            s.budget.insert(it.key(), it.value()->value());
    for (int f = 0; f < weights_.size(); ++f)
        if (weights_[f]->value() != 1)
            s.weights.insert(f, weights_[f]->value());
    return s;
}

bool ScoringDialog::acceptable() {
    const auto refuse = [this](QWidget* where, const QString& text) {
        prompts_.notice(kCaption, text);
        where->setFocus();
        return false;
    };
    if (penalty_->currentIndex() == kOtherPenalty && !parsePenalty(fraction_->text()))
        return refuse(
            fraction_,
            QStringLiteral(u"نمرهٔ منفی باید کسری از ۰ تا ۱ باشد، مانند 1/3 یا 2/5 یا 0.25 "
                           u"(مخرج حداکثر ۱۰۰)."));
    if (store::damagesTagText(title_->text()))
        return refuse(
            title_,
            QStringLiteral(
                u"عنوان آزمون جامع نمی‌تواند نویسه‌های \" < > = "
                u"یا شکستن سطر داشته باشد."));
    for (const BudgetField& field : fields_) {
        for (const BudgetLesson& lesson : field.lessons) {
            QSpinBox* box = budget_.value(lesson.id);
            if (box && box->value() > lesson.questions)
                return refuse(box,
                              QStringLiteral(u"از درس «%1» %2 سؤال خواسته شده است، اما این درس "
                                             u"فقط %3 سؤال آماده دارد.")
                                  .arg(lesson.title, persianNumber(box->value()),
                                       persianNumber(lesson.questions)));
        }
    }
    if (fullExam_->isChecked() && chosen().budgetTotal() == 0)
        return refuse(
            table_,
            QStringLiteral(u"برای آزمون جامع دست‌کم از یک درس سؤال "
                           u"بخواهید."));
    return true;
}

void ScoringDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* shown = screen()) {
        const QRect room = shown->availableGeometry();
        QRect frame = frameGeometry();
        frame.moveLeft(std::clamp(frame.left(), room.left(),
                                  std::max(room.left(), room.right() - frame.width())));
        frame.moveTop(std::clamp(frame.top(), room.top(),
                                 std::max(room.top(), room.bottom() - frame.height())));
        if (frame.topLeft() != frameGeometry().topLeft())
            move(frame.topLeft());
    }
}

void ScoringDialog::accept() {
    if (acceptable())
        QDialog::accept();
}

std::optional<ScoringSettings> ScoringDialog::ask(QWidget* parent, Prompts& prompts,
                                                  const ScoringSettings& current,
                                                  const QList<BudgetField>& fields) {
    ScoringDialog dialog(prompts, current, fields, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}

} // namespace tavrin
