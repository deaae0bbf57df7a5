#include "mainwin/questions_dialog.h"

#include "dialogs/pickers.h"
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
#include <cstring>

namespace tavrin {

namespace {

const char* const kSuffixes[] = {".gift", ".xml", ".zip"};

QRadioButton* option(QButtonGroup* group, QLayout* layout, const char* name, const QString& text,
                     int id) {
    auto* button = new QRadioButton(text);
    button->setObjectName(QLatin1String(name));
    group->addButton(button, id);
    layout->addWidget(button);
    return button;
}

} // namespace

QuestionsDialog::QuestionsDialog(const QString& projectPath, int field, int lesson,
                                 const QString& folder, const QString& name, QWidget* parent)
    : QDialog(parent), projectPath_(projectPath), field_(field), lesson_(lesson) {
    setObjectName(QStringLiteral("QuestionsDialog"));
    setWindowTitle(shownInWindows(
        QStringLiteral(u"سؤالها براي سامانه‌هاي آموزشي")));
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    auto* layout = new QVBoxLayout(this);

    auto* whatBox = new QGroupBox(QStringLiteral(u"كدام سؤالها:"));
    auto* whatLayout = new QVBoxLayout(whatBox);
    what_ = new QButtonGroup(this);
    option(what_, whatLayout, "QWhat0", QStringLiteral(u"سؤالهاي همين درس"), 0)
        ->setEnabled(lesson >= 0);
    option(what_, whatLayout, "QWhat1", QStringLiteral(u"سؤالهاي همين رشته"), 1)
        ->setEnabled(field >= 0);
    option(what_, whatLayout, "QWhat2", QStringLiteral(u"سؤالهاي تمام پروژه"), 2);
    what_->button(lesson >= 0 ? 0 : field >= 0 ? 1 : 2)->setChecked(true);
    layout->addWidget(whatBox);

    auto* formatBox = new QGroupBox(QStringLiteral(u"در چه قالبي:"));
    auto* formatLayout = new QVBoxLayout(formatBox);
    format_ = new QButtonGroup(this);
    option(format_, formatLayout, "QFormat0", QStringLiteral(u"GIFT (فايل متني سؤالها)"), 0)
        ->setChecked(true);
    option(format_, formatLayout, "QFormat1", QStringLiteral(u"Moodle XML (با تصويرها و پيوستها)"),
           1);
    option(format_, formatLayout, "QFormat2",
           QStringLiteral(u"بسته SCORM 1.2 (پخش‌كننده لوح براي سامانه)"),
           2);
    // Two lines of its own: wrapped by the layout, its last line was cut off.
    giftNote_ =
        new QLabel(QStringLiteral(u"تصويرها، صدا، فيلم و پيوستها در قالب GIFT جا "
                                  u"نمي‌گيرند و در فايل نخواهند بود؛\n"
                                  u"يادداشتي در فايل اين را مي‌گويد."));
    giftNote_->setObjectName(QStringLiteral("QGiftNote"));
    formatLayout->addWidget(giftNote_);
    scoEach_ = new QCheckBox(QStringLiteral(u"هر درس يك بخش جدا (SCO) در سامانه"));
    scoEach_->setObjectName(QStringLiteral("QScoEach"));
    scoEach_->setChecked(true);
    formatLayout->addWidget(scoEach_);
    auto* passRow = new QHBoxLayout;
    auto* passLabel = new QLabel(QStringLiteral(u"نمره قبولي (درصد):"));
    passMark_ = new QSpinBox;
    passMark_->setObjectName(QStringLiteral("QPassMark"));
    passMark_->setRange(0, 100);
    passMark_->setValue(50);
    passLabel->setBuddy(passMark_);
    passRow->addWidget(passLabel);
    passRow->addWidget(passMark_);
    passRow->addStretch();
    formatLayout->addLayout(passRow);
    layout->addWidget(formatBox);

    auto* whereRow = new QHBoxLayout;
    whereRow->addWidget(new QLabel(QStringLiteral(u"فايل:")));
    out_ = new QLineEdit(pathShown(
        QDir::toNativeSeparators(QDir(folder).filePath(name + QLatin1String(kSuffixes[0])))));
    out_->setObjectName(QStringLiteral("QOut"));
    out_->setLayoutDirection(Qt::LeftToRight);
    out_->setMinimumWidth(360);
    whereRow->addWidget(out_);
    auto* browse = new QToolButton;
    browse->setObjectName(QStringLiteral("QOutBrowse"));
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(QStringLiteral(u"انتخاب پوشه"));
    whereRow->addWidget(browse);
    layout->addLayout(whereRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral(u"نوشتن"));
    ok->setObjectName(QStringLiteral("QOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral(u"انصراف"));
    cancel->setObjectName(QStringLiteral("QCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(format_, &QButtonGroup::idClicked, this, [this] { formatChanged(); });
    connect(browse, &QToolButton::clicked, this, [this] { this->browse(); });
    connect(ok, &QPushButton::clicked, this, [this] {
        if (!pathTyped(out_->text()).trimmed().isEmpty())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    formatChanged();
}

void QuestionsDialog::formatChanged() {
    const int format = format_->checkedId();
    // Greyed rather than hidden: the dialog keeps its shape whichever format is chosen.
    giftNote_->setEnabled(format == 0);
    scoEach_->setEnabled(format == 2);
    passMark_->setEnabled(format == 2);
    // The file's ending follows the format; the rest of its name stays the author's.
    QString path = pathTyped(out_->text());
    for (const char* suffix : kSuffixes) {
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            path.chop(qsizetype(std::strlen(suffix)));
    }
    out_->setText(pathShown(path + QLatin1String(kSuffixes[format])));
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
    r.scope = {what <= 1 ? field_ : -1, what == 0 ? lesson_ : -1};
    r.format = QuestionFormat(format_->checkedId());
    r.out = QDir::fromNativeSeparators(pathTyped(out_->text()).trimmed());
    r.scoPerLesson = scoEach_->isChecked();
    r.passMark = passMark_->value();
    return r;
}

std::optional<QuestionsOut> QuestionsDialog::ask(QWidget* parent, const QString& projectPath,
                                                 int field, int lesson, const QString& folder,
                                                 const QString& name) {
    QuestionsDialog dialog(projectPath, field, lesson, folder, name, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.request();
}

} // namespace tavrin
