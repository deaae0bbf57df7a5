#include "mainwin/questions_dialog.h"

#include "dialogs/pickers.h"
#include "mainwin/dialog_rows.h"
#include "platform/persian_text.h"
#include "platform/ui_metrics.h"
#include "widgets/persian_ui.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
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

QuestionsDialog::QuestionsDialog(const QuestionsOut& first, TravelScope chosen, QWidget* parent)
    : QDialog(parent), projectPath_(first.projectPath), chosen_(chosen) {
    setObjectName(QStringLiteral("QuestionsDialog"));
    setWindowTitle(shownInWindows(
        QStringLiteral(u"سؤالها براي سامانه‌هاي آموزشي")));
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(whatBox(first));
    layout->addWidget(formatBox());
    format_->button(int(first.format))->setChecked(true);
    scoEach_->setChecked(first.scoPerLesson);
    passMark_->setValue(first.passMark);
    layout->addLayout(whereRow(first.out));
    layout->addLayout(buttonRow());
    formatChanged();
}

QWidget* QuestionsDialog::whatBox(const QuestionsOut& first) {
    auto* box = new QGroupBox(QStringLiteral(u"كدام سؤالها:"));
    auto* layout = new QVBoxLayout(box);
    what_ = new QButtonGroup(this);
    option(what_, layout, "QWhat0", QStringLiteral(u"سؤالهاي همين درس"), 0)
        ->setEnabled(chosen_.lesson >= 0);
    option(what_, layout, "QWhat1", QStringLiteral(u"سؤالهاي همين رشته"), 1)
        ->setEnabled(chosen_.field >= 0);
    option(what_, layout, "QWhat2", QStringLiteral(u"سؤالهاي تمام پروژه"), 2);
    what_->button(first.scope.lesson >= 0 ? 0 : first.scope.field >= 0 ? 1 : 2)->setChecked(true);
    return box;
}

QWidget* QuestionsDialog::formatBox() {
    auto* box = new QGroupBox(QStringLiteral(u"در چه قالبي:"));
    auto* layout = new QVBoxLayout(box);
    format_ = new QButtonGroup(this);
    option(format_, layout, "QFormat0", QStringLiteral(u"GIFT (فايل متني سؤالها)"), 0);
    option(format_, layout, "QFormat1", QStringLiteral(u"Moodle XML (با تصويرها و پيوستها)"), 1);
    option(format_, layout, "QFormat2",
           QStringLiteral(u"بسته SCORM 1.2 (پخش‌كننده لوح براي سامانه)"),
           2);
    // Two lines of its own: wrapped by the layout, its last line was cut off.
    giftNote_ =
        new QLabel(QStringLiteral(u"تصويرها، صدا، فيلم و پيوستها در قالب GIFT جا "
                                  u"نمي‌گيرند و در فايل نخواهند بود؛\n"
                                  u"يادداشتي در فايل اين را مي‌گويد."));
    giftNote_->setObjectName(QStringLiteral("QGiftNote"));
    layout->addWidget(giftNote_);
    scoEach_ = new QCheckBox(QStringLiteral(u"هر درس يك بخش جدا (SCO) در سامانه"));
    scoEach_->setObjectName(QStringLiteral("QScoEach"));
    layout->addWidget(scoEach_);
    auto* passRow = new QHBoxLayout;
    auto* passLabel = new QLabel(QStringLiteral(u"نمره قبولي (درصد):"));
    passMark_ = new QSpinBox;
    passMark_->setObjectName(QStringLiteral("QPassMark"));
    passMark_->setRange(0, 100);
    passLabel->setBuddy(passMark_);
    passRow->addWidget(passLabel);
    passRow->addWidget(passMark_);
    passRow->addStretch();
    layout->addLayout(passRow);
    connect(format_, &QButtonGroup::idClicked, this, [this] { formatChanged(); });
    return box;
}

QLayout* QuestionsDialog::whereRow(const QString& path) {
    const PathRow row = pathRow(QStringLiteral(u"فايل:"), pathShown(QDir::toNativeSeparators(path)),
                                "QOut", "QOutBrowse");
    out_ = row.box;
    connect(row.browse, &QToolButton::clicked, this, [this] { browse(); });
    return row.layout;
}

QLayout* QuestionsDialog::buttonRow() {
    return okCancelRow(this, out_, QStringLiteral(u"نوشتن"), "QOk", "QCancel");
}

void QuestionsDialog::formatChanged() {
    const int format = format_->checkedId();
    // Greyed rather than hidden: the dialog keeps its shape whichever format is chosen.
    giftNote_->setEnabled(format == 0);
    scoEach_->setEnabled(format == 2);
    passMark_->setEnabled(format == 2);
    out_->setText(pathShown(withQuestionsSuffix(pathTyped(out_->text()), QuestionFormat(format))));
}

void QuestionsDialog::browse() {
    const QFileInfo file(QDir::fromNativeSeparators(pathTyped(out_->text())));
    if (const auto folder = FolderPicker::choose(this, file.absolutePath()))
        out_->setText(pathShown(QDir::toNativeSeparators(QDir(*folder).filePath(file.fileName()))));
}

QuestionsOut QuestionsDialog::request() const {
    QuestionsOut r;
    r.projectPath = projectPath_;
    const int what = what_->checkedId();
    r.scope = {what <= 1 ? chosen_.field : -1, what == 0 ? chosen_.lesson : -1};
    r.format = QuestionFormat(format_->checkedId());
    r.out = QDir::fromNativeSeparators(pathTyped(out_->text()).trimmed());
    r.scoPerLesson = scoEach_->isChecked();
    r.passMark = passMark_->value();
    return r;
}

std::optional<QuestionsOut> QuestionsDialog::ask(QWidget* parent, const QuestionsOut& first,
                                                 TravelScope chosen) {
    QuestionsDialog dialog(first, chosen, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.request();
}

} // namespace tavrin
