#include "mainwin/main_window.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/messages.h"
#include "app/new_title_box.h"
#include "app/run_log.h"
#include "dialogs/help_window.h"
#include "dialogs/pickers.h"
#include "mainwin/output_folders.h"
#include "mainwin/picture_icons.h"
#include "mainwin/texts.h"
#include "platform/paths.h"
#include "platform/ui_metrics.h"
#include "store/catalogue.h"
#include "store/fields.h"
#include "store/lessons.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProcess>
#include <QRadioButton>
#include <QUrl>

namespace tavrin {
namespace {

QColor grey(int level) {
    return QColor(level, level, level);
}

QColor textColor(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

void setTextColor(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

void setBase(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, c);
    w->setPalette(p);
}

const QColor kCloseRest(255, 128, 128), kCloseHover(255, 0, 0);
const QColor kMinRest(128, 128, 255), kMinHover(0, 0, 255);
const QColor kDisabledList(224, 224, 224);

constexpr int kFadeStepMs = 20;

} // namespace

template <typename Body> void MainWindow::guarded(int code, Body body) {
    try {
        body();
    } catch (const std::exception& e) {
        reportFailure(context_, code, QString::fromUtf8(e.what()));
    } catch (...) {
        reportFailure(context_, code, QStringLiteral("Unexpected error"));
    }
}

MainWindow::MainWindow(Context& context, QWidget* parent) : QWidget(parent), context_(context) {
    buildWindow();
    load();
}

MainWindow::~MainWindow() = default;

// ---- building ----------------------------------------------------------------------

void MainWindow::buildWindow() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kMainCaption);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    setFixedSize(820, 600);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(244, 244, 240));
    setPalette(pal);

    buildTitleStrip();
    frame1_ = new QWidget(this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setGeometry(0, 30, 820, 570);
    frame1_->setMouseTracking(true);
    frame1_->installEventFilter(this);
    buildLists();
    buildPanels();
    buildSettings();
    buildPictures();
    // The pointer over a control is not the pointer over the background: a move over a
    // control must not reach Frame1, which closes every panel.
    for (QWidget* child : frame1_->findChildren<QWidget*>())
        child->setAttribute(Qt::WA_NoMousePropagation);

    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(100);
    timer2_.setObjectName(QStringLiteral("Timer2"));
    timer2_.setInterval(700);
    timer2_.setSingleShot(true);
    connect(&timer2_, &QTimer::timeout, this, [this] { timer2Tick(); });
    fadeTimer_.setInterval(kFadeStepMs);
    connect(&fadeTimer_, &QTimer::timeout, this, [this] { fadeStep(); });

    titleBox_ = new NewTitleBox([this] { tupd(); }, this);
}

void MainWindow::buildTitleStrip() {
    label21_ = new QLabel(this);
    label21_->setObjectName(QStringLiteral("Label21"));
    label21_->setGeometry(0, 0, 820, 30);
    label21_->setAutoFillBackground(true);
    QPalette strip = label21_->palette();
    strip.setColor(QPalette::Window, QColor(58, 74, 96));
    label21_->setPalette(strip);

    label20_ = new QLabel(texts::kLabel20, this);
    label20_->setObjectName(QStringLiteral("Label20"));
    label20_->setGeometry(520, 0, 290, 30);
    label20_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label20_->setFont(persianFont(10, true));
    setTextColor(label20_, Qt::white);

    label18_ = new QLabel(QStringLiteral("x"), this);
    label18_->setObjectName(QStringLiteral("Label18"));
    label18_->setGeometry(8, 2, 24, 26);
    label19_ = new QLabel(QStringLiteral("-"), this);
    label19_->setObjectName(QStringLiteral("Label19"));
    label19_->setGeometry(34, 2, 24, 26);
    for (QLabel* l : {label18_, label19_}) {
        l->setAlignment(Qt::AlignCenter);
        l->setFont(persianFont(12, true));
        l->setCursor(Qt::PointingHandCursor);
    }
    setTextColor(label18_, kCloseRest);
    setTextColor(label19_, kMinRest);
    for (QLabel* l : {label21_, label18_, label19_}) {
        l->setMouseTracking(true);
        l->installEventFilter(this);
    }
}

void MainWindow::buildLists() {
    const auto heading = [this](const char* name, const QString& text, QRect geometry) {
        auto* label = new QLabel(text, frame1_);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(geometry);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFont(persianFont(9, true));
        label->setMouseTracking(true);
        label->installEventFilter(this);
        return label;
    };
    const auto list = [this](const char* name, QRect geometry) {
        auto* l = new QListWidget(frame1_);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(geometry);
        l->setMouseTracking(true);
        l->viewport()->setMouseTracking(true);
        l->viewport()->installEventFilter(this);
        l->installEventFilter(this);
        return l;
    };
    QLabel* label7 = heading("Label7", texts::kLabel7, QRect(430, 6, 376, 40));
    projB_ = list("ProjB", QRect(430, 48, 376, 124));
    QLabel* label9 = heading("Label9", texts::kLabel9, QRect(430, 180, 376, 22));
    reshB_ = list("ReshB", QRect(430, 204, 376, 112));
    QLabel* label2 = heading("Label2", texts::kLabel2, QRect(430, 324, 376, 22));
    darsB_ = list("DarsB", QRect(430, 348, 376, 112));

    panels_[0].heading = label7;
    panels_[0].list = projB_;
    panels_[1].heading = label9;
    panels_[1].list = reshB_;
    panels_[2].heading = label2;
    panels_[2].list = darsB_;

    const std::array<QListWidget*, 3> lists{projB_, reshB_, darsB_};
    const std::array<StoreList, 3> kinds{StoreList::Projects, StoreList::Fields,
                                         StoreList::Lessons};
    // A click (on release, as the list then holds its new selection) and a selection
    // moved by the keys both count as the list's click.
    for (int i = 0; i < 3; ++i) {
        connect(lists[i], &QListWidget::clicked, this,
                [this, kind = kinds[i]] { listClicked(kind); });
        connect(lists[i], &QListWidget::currentRowChanged, this, [this, kind = kinds[i]] {
            if (!filling_ && listOf(kind)->hasFocus() &&
                !QApplication::mouseButtons().testFlag(Qt::LeftButton))
                keyMoved_ = true;
        });
    }
}

void MainWindow::buildPanels() {
    struct PanelPlan {
        const char* frame;
        const char* shape;
        std::array<const char*, 3> labels;
        std::array<QString, 3> captions;
        int top;
    };
    // Each panel's labels in their place from the top; the family tables name them.
    const std::array<PanelPlan, 3> plans{{
        {"Frame7",
         "Shape1",
         {"Label6", "Label4", "Label3"},
         {texts::kNew, texts::kDelete, texts::kAdd},
         48},
        {"Frame9",
         "Shape3",
         {"Label15", "Label16", "Label17"},
         {texts::kAdd, texts::kDelete, texts::kImage},
         204},
        {"Frame8",
         "Shape2",
         {"Label13", "Label12", "Label8"},
         {texts::kAdd, texts::kDelete, texts::kImage},
         348},
    }};
    for (int p = 0; p < 3; ++p) {
        Panel& panel = panels_[p];
        panel.number = p + 1;
        const QRect area(350, plans[p].top, 74, 96);
        panel.shape = new QFrame(frame1_);
        panel.shape->setObjectName(QLatin1String(plans[p].shape));
        panel.shape->setFrameStyle(QFrame::Box | QFrame::Plain);
        panel.shape->setGeometry(area);
        panel.shape->setAttribute(Qt::WA_TransparentForMouseEvents);
        panel.frame = new QFrame(frame1_);
        panel.frame->setObjectName(QLatin1String(plans[p].frame));
        panel.frame->setGeometry(area);
        panel.frame->setMouseTracking(true);
        for (int i = 0; i < 3; ++i) {
            auto* label = new QLabel(plans[p].captions[i], panel.frame);
            label->setObjectName(QLatin1String(plans[p].labels[i]));
            label->setGeometry(4, 6 + i * 29, 66, 26);
            label->setAlignment(Qt::AlignCenter);
            label->setFont(persianFont(9, true));
            label->setCursor(Qt::PointingHandCursor);
            label->setMouseTracking(true);
            label->installEventFilter(this);
            panel.labels[i] = label;
        }
        panel.shape->raise();
        paintPanel(panel, 135);
        panel.frame->hide();
        panel.shape->hide();
    }
}

void MainWindow::buildSettings() {
    const auto label = [this](const char* name, const QString& text, QRect geometry) {
        auto* l = new QLabel(text, frame1_);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(geometry);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    const auto pathBox = [this](const char* name, const QString& text, QRect geometry) {
        auto* box = new QLineEdit(text, frame1_);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(geometry);
        box->setLayoutDirection(Qt::LeftToRight);
        setBase(box, kDisabledList);
        box->installEventFilter(this);
        return box;
    };
    const auto browse = [this](const char* name, QRect geometry) {
        auto* picture = new QLabel(frame1_);
        picture->setObjectName(QLatin1String(name));
        picture->setGeometry(geometry);
        picture->setPixmap(drawPictureIcon(PictureIcon::Browse, false, 22));
        picture->setCursor(Qt::PointingHandCursor);
        picture->installEventFilter(this);
        return picture;
    };

    auto* musicGroup = new QButtonGroup(this);
    bMus_[0] = new QRadioButton(texts::kMusicOn, frame1_);
    bMus_[0]->setObjectName(QStringLiteral("bMus0"));
    bMus_[0]->setGeometry(200, 14, 120, 22);
    bMus_[1] = new QRadioButton(texts::kMusicOff, frame1_);
    bMus_[1]->setObjectName(QStringLiteral("bMus1"));
    bMus_[1]->setGeometry(60, 14, 130, 22);
    for (QRadioButton* b : bMus_) {
        musicGroup->addButton(b);
        connect(b, &QRadioButton::clicked, this, [this] { musicOptionChanged(); });
        b->installEventFilter(this);
    }
    bMus_[0]->setChecked(true);

    label1_ = label("Label1", texts::kLabel1, QRect(236, 46, 94, 22));
    mus1_ = pathBox("Mus1", QStringLiteral("Resources\\MySound1.mp3"), QRect(50, 46, 182, 22));
    browse_[1] = browse("Picture9", QRect(20, 46, 24, 22));
    label10_ = label("Label10", texts::kLabel10, QRect(236, 76, 94, 22));
    mus2_ = pathBox("Mus2", QStringLiteral("Resources\\MySound2.mp3"), QRect(50, 76, 182, 22));
    browse_[2] = browse("Picture10", QRect(20, 76, 24, 22));
    label("Label14", texts::kLabel14, QRect(236, 106, 94, 22));
    back_ = pathBox("Back", QStringLiteral("Resources\\MyBack.jpg"), QRect(50, 106, 182, 22));
    browse_[0] = browse("Picture8", QRect(20, 106, 24, 22));

    label("Label11", texts::kLabel11, QRect(236, 142, 94, 22));
    auto* templateGroup = new QButtonGroup(this);
    olgoo_[0] = new QRadioButton(texts::kOlgoo1, frame1_);
    olgoo_[0]->setObjectName(QStringLiteral("Olgoo0"));
    olgoo_[0]->setGeometry(130, 142, 104, 22);
    olgoo_[1] = new QRadioButton(texts::kOlgoo2, frame1_);
    olgoo_[1]->setObjectName(QStringLiteral("Olgoo1"));
    olgoo_[1]->setGeometry(20, 142, 104, 22);
    templateGroup->addButton(olgoo_[0]);
    templateGroup->addButton(olgoo_[1]);
    olgoo_[0]->setChecked(true);

    pcheck_ = new QCheckBox(texts::kPcheck, frame1_);
    pcheck_->setObjectName(QStringLiteral("Pcheck"));
    pcheck_->setGeometry(20, 174, 310, 22);

    label("Label5", texts::kLabel5, QRect(210, 208, 120, 22));
    exBox_ = pathBox("ExBox", QStringLiteral("Export"), QRect(50, 208, 156, 22));
    browse_[3] = browse("Picture11", QRect(20, 208, 24, 22));
}

void MainWindow::buildPictures() {
    const auto pair = [this](const char* rest, const char* hover, PictureIcon icon,
                             const QString& tip, int x) {
        PicturePair p;
        p.rest = new QLabel(frame1_);
        p.rest->setObjectName(QLatin1String(rest));
        p.hover = new QLabel(frame1_);
        p.hover->setObjectName(QLatin1String(hover));
        for (QLabel* l : {p.rest, p.hover}) {
            l->setGeometry(x, 330, 96, 96);
            l->setToolTip(tip);
            l->setMouseTracking(true);
            l->installEventFilter(this);
        }
        p.rest->setPixmap(drawPictureIcon(icon, false, 96));
        p.hover->setPixmap(drawPictureIcon(icon, true, 96));
        p.hover->setCursor(Qt::PointingHandCursor);
        p.hover->hide();
        return p;
    };
    help_ = pair("Picture12", "Picture17", PictureIcon::Help, texts::kTipHelp, 232);
    dataEntry_ = pair("Picture13", "Picture16", PictureIcon::DataEntry, texts::kTipDataEntry, 126);
    output_ = pair("Picture14", "Picture15", PictureIcon::Output, texts::kTipOutput, 20);
}

// ---- load and unload ---------------------------------------------------------------

void MainWindow::load() {
    // Our file functions need no object created first; the log opens the run.
    logRunStart(context_);
    bookConfig_ = LoadBookConfig();
    guarded(39, [this] {
        BookTxtDir = QStringLiteral("BookTXT");
        XmlDir = QStringLiteral("_xml");
        NormalGrey = 135;
        HoverGrey = 100;
        FadeStartGrey = 235;
        ReadProj(context_, *this);
        ChekSelect();
    });
}

void MainWindow::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    logRunEnd(context_);
    // Every other window goes with the main one; nothing is saved here.
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

// ---- lists -------------------------------------------------------------------------

QListWidget* MainWindow::listOf(StoreList list) const {
    switch (list) {
    case StoreList::Projects:
        return projB_;
    case StoreList::Fields:
        return reshB_;
    case StoreList::Lessons:
        break;
    }
    return darsB_;
}

void MainWindow::setEntries(StoreList list, const QStringList& entries) {
    QListWidget* l = listOf(list);
    filling_ = true;
    l->clear();
    l->addItems(entries);
    filling_ = false;
}

void MainWindow::selectEntry(StoreList list, int index) {
    QListWidget* l = listOf(list);
    filling_ = true;
    l->setCurrentRow(index);
    filling_ = false;
    listClicked(list);
}

int MainWindow::selectedIndex(StoreList list) const {
    const QListWidget* l = listOf(list);
    const QList<QListWidgetItem*> items = l->selectedItems();
    return items.isEmpty() ? -1 : l->row(items.first());
}

QString MainWindow::selectedText(StoreList list) const {
    const QList<QListWidgetItem*> items = listOf(list)->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

void MainWindow::listClicked(StoreList list) {
    QListWidget* l = listOf(list);
    const QList<QListWidgetItem*> items = l->selectedItems();
    if (!items.isEmpty() && items.first()->text().isEmpty()) {
        filling_ = true;
        l->clearSelection();
        l->setCurrentRow(-1);
        filling_ = false;
    }
    if (list == StoreList::Projects)
        ReadResh(context_, *this);
    else if (list == StoreList::Fields)
        ReadDars(context_, *this);
    ChekSelect();
}

void MainWindow::ChekSelect() {
    guarded(86, [this] {
        const bool p = selectedIndex(StoreList::Projects) >= 0;
        const bool f = selectedIndex(StoreList::Fields) >= 0;
        const bool l = selectedIndex(StoreList::Lessons) >= 0;
        if (exBox_->isEnabled() != p) {
            const QList<QWidget*> area{reshB_,     bMus_[0],   bMus_[1],     olgoo_[0],
                                       olgoo_[1],  mus1_,      mus2_,        back_,
                                       exBox_,     pcheck_,    browse_[0],   browse_[1],
                                       browse_[2], browse_[3], output_.rest, output_.hover};
            for (QWidget* w : area)
                w->setEnabled(p);
            if (p)
                musicOptionChanged();
        }
        darsB_->setEnabled(f);
        setBase(darsB_, f ? Qt::white : kDisabledList);
        reshB_->setEnabled(p);
        setBase(reshB_, p ? Qt::white : kDisabledList);
        dataEntry_.rest->setEnabled(l);
        dataEntry_.hover->setEnabled(l);
    });
}

void MainWindow::showSettings(const ProjectSettings& s) {
    mus1_->setText(s.music1);
    mus2_->setText(s.music2);
    back_->setText(s.backPic);
    exBox_->setText(s.exportPath);
    // At rest the boxes show the start of their paths.
    for (QLineEdit* box : {mus1_, mus2_, back_, exBox_})
        box->setCursorPosition(0);
    olgoo_[s.olgoo == QLatin1String("1") ? 0 : 1]->setChecked(true);
    bMus_[s.music == QLatin1String("1") ? 0 : 1]->setChecked(true);
    pcheck_->setCheckState(s.printable == QLatin1String("1") ? Qt::Checked : Qt::Unchecked);
}

void MainWindow::musicOptionChanged() {
    guarded(31, [this] {
        const bool on = bMus_[0]->isChecked();
        for (QWidget* w : {static_cast<QWidget*>(mus1_), static_cast<QWidget*>(mus2_),
                           static_cast<QWidget*>(label1_), static_cast<QWidget*>(label10_)})
            w->setEnabled(on);
    });
}

// ---- action panels -----------------------------------------------------------------

void MainWindow::paintPanel(Panel& panel, int level) {
    const QColor c = grey(level);
    for (QLabel* l : panel.labels)
        setTextColor(l, c);
    setTextColor(panel.shape, c);
    setTextColor(panel.frame, c);
}

MainWindow::Panel* MainWindow::panelOfLabel(const QLabel* label) {
    for (Panel& p : panels_) {
        for (const QLabel* l : p.labels) {
            if (l == label)
                return &p;
        }
    }
    return nullptr;
}

void MainWindow::pointerOverList(Panel& panel) {
    if (!panel.frame->isVisible()) {
        PopupPanel = panel.number;
        if (!timer2_.isActive())
            timer2_.start();
    } else if (textColor(panel.frame) == grey(NormalGrey)) {
        for (QLabel* l : panel.labels)
            setTextColor(l, grey(NormalGrey));
    }
}

void MainWindow::pointerOverLabel(QLabel* label) {
    Panel* panel = panelOfLabel(label);
    if (!panel || textColor(panel->frame) != grey(NormalGrey) ||
        textColor(label) == grey(HoverGrey))
        return;
    for (QLabel* l : panel->labels)
        setTextColor(l, l == label ? grey(HoverGrey) : grey(NormalGrey));
}

void MainWindow::closePanel(Panel& panel) {
    if (!panel.frame->isVisible())
        return;
    panel.frame->hide();
    panel.shape->hide();
}

void MainWindow::pointerOverFrame1() {
    timer2_.stop();
    for (Panel& p : panels_)
        closePanel(p);
    for (QLabel* hover : {output_.hover, dataEntry_.hover, help_.hover}) {
        if (hover->isVisible())
            hover->hide();
    }
}

void MainWindow::timer2Tick() {
    timer2_.stop();
    if (PopupPanel < 1 || PopupPanel > 3)
        return;
    Panel& panel = panels_[PopupPanel - 1];
    paintPanel(panel, FadeStartGrey);
    panel.frame->show();
    panel.shape->show();
    panel.shape->raise();
    panel.fadeLevel = FadeStartGrey;
    fadeTimer_.start();
}

// One grey step of every running fade: 235, 221, ... 137, then the rest level 135.
void MainWindow::fadeStep() {
    bool running = false;
    for (Panel& panel : panels_) {
        if (panel.fadeLevel < 0)
            continue;
        panel.fadeLevel -= 14;
        if (panel.fadeLevel >= NormalGrey) {
            paintPanel(panel, panel.fadeLevel);
            running = true;
        } else {
            paintPanel(panel, NormalGrey);
            panel.fadeLevel = -1;
        }
    }
    if (!running)
        fadeTimer_.stop();
}

void MainWindow::actionClicked(QLabel* label) {
    const QString name = label->objectName();
    const bool image = name == QLatin1String("Label17") || name == QLatin1String("Label8");
    guarded(image ? 81 : 38, [&] {
        if (name == QLatin1String("Label6"))
            askTitle(QStringLiteral("newproj"));
        else if (name == QLatin1String("Label15"))
            askTitle(QStringLiteral("newresh"));
        else if (name == QLatin1String("Label13"))
            askTitle(QStringLiteral("newdars"));
        else if (name == QLatin1String("Label3"))
            openFolderPicker(QStringLiteral("addproj"));
        else if (name == QLatin1String("Label4"))
            DelProj(context_, *this, selectedIndex(StoreList::Projects) + 1);
        else if (name == QLatin1String("Label16"))
            DelResh(context_, *this, selectedIndex(StoreList::Fields) + 1);
        else if (name == QLatin1String("Label12"))
            DelDars(context_, *this, selectedIndex(StoreList::Lessons) + 1);
        else if (name == QLatin1String("Label17"))
            openFilePicker(QStringLiteral("projpic"), QStringLiteral("*.gif;*.jpg;*.bmp"));
        else if (name == QLatin1String("Label8"))
            openFilePicker(QStringLiteral("Pasz"), QStringLiteral("*.gif;*.jpg;*.bmp"));
    });
    // A delete that leaves nothing selected must not leave data entry enabled.
    ChekSelect();
}

// ---- title box and pickers ---------------------------------------------------------

void MainWindow::askTitle(const QString& mode) {
    TitleMode = mode;
    titleBox_->exec();
    titleBox_->clearTitle();
}

void MainWindow::tupd() {
    guarded(95, [this] {
        const QString title = titleBox_->title();
        if (TitleMode == QLatin1String("newproj"))
            NewProj(context_, *this, title);
        else if (TitleMode == QLatin1String("newresh"))
            NewResh(context_, *this, title);
        else if (TitleMode == QLatin1String("newdars"))
            NewDars(context_, *this, title);
    });
}

void MainWindow::openFolderPicker(const QString& purpose) {
    PickPurpose = purpose;
    if (!folderPicker_)
        folderPicker_ = new FolderPicker([this] { upd(); }, this);
    folderPicker_->prime(context_.programFolder());
    folderPicker_->exec();
}

void MainWindow::openFilePicker(const QString& purpose, const QString& pattern) {
    PickPurpose = purpose;
    if (!filePicker_)
        filePicker_ = new FilePicker([this] { upd(); }, this);
    filePicker_->prime(context_.programFolder());
    filePicker_->setPattern(pattern);
    filePicker_->exec();
}

void MainWindow::upd() {
    guarded(44, [this] {
        const QString file = filePicker_ ? filePicker_->choice() : QString();
        const QString folder = folderPicker_ ? folderPicker_->choice() : QString();
        if (PickPurpose == QLatin1String("Command6")) {
            if (bMus_[0]->isChecked())
                mus1_->setText(file);
        } else if (PickPurpose == QLatin1String("Command7")) {
            if (bMus_[0]->isChecked())
                mus2_->setText(file);
        } else if (PickPurpose == QLatin1String("Command8")) {
            back_->setText(file);
        } else if (PickPurpose == QLatin1String("ExBox")) {
            exBox_->setText(folder);
        } else if (PickPurpose == QLatin1String("addproj")) {
            AddProj(context_, *this, folder);
        }
        // "Pasz", "zarin", "IMG" and "C6d*" go to the formatter and question editor
        // windows; "projpic" has no receiver.
    });
}

void MainWindow::RunFile(const QString& path) {
    const QFileInfo info(path);
    if (!QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath()))
        QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void MainWindow::pictureClicked(QLabel* picture) {
    if (picture == help_.hover) {
        guarded(33, [this] {
            HelpWindow help(context_, this);
            help.exec();
        });
    } else if (picture == dataEntry_.hover) {
        guarded(101, [this] { MakeDirs(context_, ProjectPath, BookTxtDir, XmlDir); });
    } else if (picture == browse_[1]) {
        guarded(35,
                [this] { openFilePicker(QStringLiteral("Command6"), QStringLiteral("*.mp3")); });
    } else if (picture == browse_[2]) {
        guarded(36,
                [this] { openFilePicker(QStringLiteral("Command7"), QStringLiteral("*.mp3")); });
    } else if (picture == browse_[0]) {
        guarded(37,
                [this] { openFilePicker(QStringLiteral("Command8"), QStringLiteral("*.jpg")); });
    } else if (picture == browse_[3]) {
        guarded(46, [this] { openFolderPicker(QStringLiteral("ExBox")); });
    }
}

// ---- pointer and focus events ------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove) {
        const auto* me = static_cast<QMouseEvent*>(event);
        for (Panel& p : panels_) {
            if (watched == p.list->viewport() || watched == p.list)
                pointerOverList(p);
            else if (watched == p.heading)
                closePanel(p);
        }
        if (watched == frame1_) {
            pointerOverFrame1();
        } else if (watched == label21_) {
            if (textColor(label18_) != kCloseRest)
                setTextColor(label18_, kCloseRest);
            if (textColor(label19_) != kMinRest)
                setTextColor(label19_, kMinRest);
            if (Dragging)
                move(pos() + me->position().toPoint() - dragStart_);
        } else if (watched == label18_) {
            if (textColor(label18_) != kCloseHover)
                setTextColor(label18_, kCloseHover);
        } else if (watched == label19_) {
            if (textColor(label19_) != kMinHover)
                setTextColor(label19_, kMinHover);
        } else if (watched == help_.rest) {
            help_.hover->show();
        } else if (watched == dataEntry_.rest) {
            dataEntry_.hover->show();
        } else if (watched == output_.rest) {
            output_.hover->show();
        } else if (auto* label = qobject_cast<QLabel*>(watched); label && panelOfLabel(label)) {
            pointerOverLabel(label);
        }
    } else if (type == QEvent::MouseButtonPress && watched == label21_) {
        Dragging = true;
        dragStart_ = static_cast<QMouseEvent*>(event)->position().toPoint();
    } else if (type == QEvent::MouseButtonRelease) {
        const auto* me = static_cast<QMouseEvent*>(event);
        const bool inside = widget && widget->rect().contains(me->position().toPoint());
        if (watched == label21_) {
            Dragging = false;
        } else if (inside && me->button() == Qt::LeftButton) {
            if (watched == label18_) {
                close();
                return true;
            }
            if (watched == label19_) {
                showMinimized();
                return true;
            }
            if (auto* label = qobject_cast<QLabel*>(watched)) {
                if (panelOfLabel(label))
                    actionClicked(label);
                else if (widget->isEnabled())
                    pictureClicked(label);
            }
        }
    } else if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            // Path boxes: white while edited, caret at the end; grey at rest, caret at 0.
            const bool in = type == QEvent::FocusIn;
            setBase(box, in ? Qt::white : kDisabledList);
            box->setCursorPosition(in ? int(box->text().size()) : 0);
            if (in)
                box->deselect();
        } else if (watched == projB_) {
            ChekSelect();
        }
    } else if (type == QEvent::KeyRelease && (watched == bMus_[0] || watched == bMus_[1])) {
        musicOptionChanged();
    } else if (type == QEvent::KeyRelease && keyMoved_) {
        for (StoreList kind : {StoreList::Projects, StoreList::Fields, StoreList::Lessons}) {
            if (watched == listOf(kind)) {
                keyMoved_ = false;
                listClicked(kind);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tavrin
