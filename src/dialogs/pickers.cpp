#include "dialogs/pickers.h"

#include "app/messages.h"
#include "dialogs/picker_lists.h"
#include "platform/file_system.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/ui_metrics.h"
#include "widgets/message_box_prompts.h"
#include "widgets/persian_ui.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrin {
namespace {

const QString kFolderButton = QStringLiteral(u"شاخه مورد نظر را انتخاب كنيد!");
const QString kFileButton = QStringLiteral(u"فايل مورد نظر را انتخاب كنيد!");
const QString kFileLabel = QStringLiteral(u"فهرست فايلهاي قابل انتخاب:");
const QString kNewFolderButton = QStringLiteral(u"ساخت شاخه جديد");
const QString kNewFolderLabel = QStringLiteral(u"نام شاخه جديد:");
const QString kTypedFolder = QStringLiteral(u"مسیر شاخه");
const QString kNoSuchFolder = QStringLiteral(u"شاخه «%1» وجود ندارد!\u200F");
const QString kBadFolderName =
    QStringLiteral(u"نام شاخه نبايد خالي باشد يا / يا \\ داشته باشد يا با نقطه شروع شود!\u200F");

void dress(QDialog* dialog, const QString& title) {
    preparePersianUi();
    dialog->setWindowTitle(title);
    dialog->setModal(true);
    dialog->setLayoutDirection(Qt::RightToLeft);
    dialog->setFont(persianFont(9));
}

QPushButton* makeButton(QDialog* dialog, const QString& caption) {
    auto* btn = new QPushButton(caption, dialog);
    btn->setObjectName(QStringLiteral("btn"));
    return btn;
}

} // namespace

FolderPicker::FolderPicker(std::function<void()> upd, QWidget* parent)
    : QDialog(parent), upd_(std::move(upd)) {
    setObjectName(QStringLiteral("SelectFolder"));
    dress(this, QStringLiteral(u"انتخاب پوشه"));
    drive1_ = new DriveList(this);
    drive1_->setObjectName(QStringLiteral("Drive1"));
    dir1_ = new DirList(this);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    dir1_->setLayoutDirection(Qt::LeftToRight);
    auto* btn = makeButton(this, kFolderButton);
    // Below the confirm button, the window taller by its row: nothing above it moves.
    auto* make = new QPushButton(kNewFolderButton, this);
    make->setObjectName(QStringLiteral("NewFolder"));
    // Below them, the chosen folder as a path the author may type or paste.
    typed_ = new QLineEdit(this);
    typed_->setObjectName(QStringLiteral("FolderPath"));
    typed_->setLayoutDirection(Qt::LeftToRight);
    typed_->setAccessibleName(kTypedFolder);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(drive1_);
    layout->addWidget(dir1_, 1);
    layout->addWidget(btn);
    layout->addWidget(make);
    layout->addWidget(typed_);
    resize(360,
           380 + make->sizeHint().height() + typed_->sizeHint().height() + 2 * layout->spacing());
    connect(drive1_, &DriveList::driveChosen, dir1_, &DirList::setPath);
    connect(btn, &QPushButton::clicked, this, &FolderPicker::confirm);
    connect(make, &QPushButton::clicked, this, &FolderPicker::newFolder);
    const auto mirror = [this] { typed_->setText(QDir::toNativeSeparators(dir1_->highlighted())); };
    connect(dir1_, &QListWidget::currentItemChanged, this, mirror);
    connect(dir1_, &QListWidget::itemSelectionChanged, this, mirror);
    connect(dir1_, &DirList::pathChanged, this, mirror);
    // Enter confirms, a typed folder as a highlighted one.
    btn->setDefault(true);
}

QString FolderPicker::typedFolder() const {
    return QDir::cleanPath(QDir::fromNativeSeparators(typed_->text().trimmed()));
}

void FolderPicker::newFolder() {
    QInputDialog ask(this);
    ask.setObjectName(QStringLiteral("NewFolderName"));
    ask.setWindowTitle(kNewFolderButton);
    ask.setLabelText(kNewFolderLabel);
    ask.setLayoutDirection(Qt::RightToLeft);
    if (ask.exec() != QDialog::Accepted)
        return;
    const QString name = ask.textValue().trimmed();
    MessageBoxPrompts boxes(this);
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name.startsWith(u'.')) {
        boxes.notice(windowTitle(), kBadFolderName);
        return;
    }
    const QString path = DoSlash(dir1_->path()) + name;
    try {
        makeFolder(path);
    } catch (const FsError& e) {
        boxes.notice(windowTitle(), persianCause(e.description()) + QChar(0x200F));
        return;
    }
    dir1_->setPath(path);
}

std::optional<QString> FolderPicker::choose(QWidget* parent, const QString& folder) {
    FolderPicker picker({}, parent);
    picker.prime(folder);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.choice();
}

void FolderPicker::prime(const QString& folder) {
    drive1_->showDriveOf(folder);
    dir1_->setPath(folder);
}

QString FolderPicker::choice() const {
    return typedFolder();
}

void FolderPicker::confirm() {
    // What the box says is what is chosen: a folder that is not there is refused, and the
    // picker stays.
    if (!QFileInfo(typedFolder()).isDir()) {
        MessageBoxPrompts(this).notice(windowTitle(), kNoSuchFolder.arg(typed_->text()));
        return;
    }
    if (upd_)
        upd_();
    accept();
}

FilePicker::FilePicker(std::function<void()> upd, QWidget* parent)
    : QDialog(parent), upd_(std::move(upd)) {
    setObjectName(QStringLiteral("SelectFile"));
    dress(this, QStringLiteral(u"انتخاب فایل"));
    drive1_ = new DriveList(this);
    drive1_->setObjectName(QStringLiteral("Drive1"));
    dir1_ = new DirList(this);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    dir1_->setLayoutDirection(Qt::LeftToRight);
    auto* label = new QLabel(kFileLabel, this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAlignment(kAlignRight | Qt::AlignVCenter);
    file1_ = new FileList(this);
    file1_->setObjectName(QStringLiteral("File1"));
    file1_->setLayoutDirection(Qt::LeftToRight);
    auto* btn = makeButton(this, kFileButton);
    auto* layout = new QGridLayout(this);
    layout->addWidget(drive1_, 0, 0);
    layout->addWidget(dir1_, 1, 0, 2, 1);
    layout->addWidget(label, 0, 1);
    layout->addWidget(file1_, 1, 1);
    layout->addWidget(btn, 2, 1);
    resize(560, 380);
    connect(drive1_, &DriveList::driveChosen, dir1_, &DirList::setPath);
    connect(dir1_, &DirList::pathChanged, file1_, &FileList::setPath);
    connect(file1_, &QListWidget::itemDoubleClicked, this, &FilePicker::confirm);
    connect(btn, &QPushButton::clicked, this, &FilePicker::confirm);
}

std::optional<QString> FilePicker::choose(QWidget* parent, const QString& folder,
                                          const QString& pattern) {
    FilePicker picker({}, parent);
    picker.prime(folder);
    picker.setPattern(pattern);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.choice();
}

void FilePicker::prime(const QString& folder) {
    drive1_->showDriveOf(folder);
    dir1_->setPath(folder);
    file1_->setPath(folder);
}

void FilePicker::setPattern(const QString& pattern) {
    file1_->setPattern(pattern);
}

QString FilePicker::choice() const {
    return DoSlash(file1_->path()) + file1_->fileName();
}

void FilePicker::confirm() {
    // A folder is no file: the picker stays until one is chosen or it is closed.
    if (file1_->fileName().isEmpty()) {
        MessageBoxPrompts(this).notice(windowTitle(), PayamText(kNoticeChooseAFile));
        return;
    }
    if (upd_)
        upd_();
    accept();
}

} // namespace tavrin
