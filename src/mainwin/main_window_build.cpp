// Building the main window's controls: their names, captions and places. What they do
// is in main_window.cpp and main_window_events.cpp.
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "mainwin/main_window.h"
#include "mainwin/texts.h"
#include "platform/ui_metrics.h"
#include "store/project_settings.h"
#include "widgets/hover_picture.h"
#include "widgets/new_title_box.h"
#include "widgets/persian_ui.h"
#include "widgets/picture_icons.h"
#include "widgets/widget_colours.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QToolButton>
#include <optional>

namespace tavrin {

using namespace colours;

namespace {

// The window fits a 1366x768 screen at 125% (1092x614 logical pixels, less a task bar).
constexpr int kWidth = 900;
constexpr int kHeight = 560;
constexpr int kStrip = 34;

// Upper area: three columns, right to left projects, fields, lessons; each list with its
// action panel on its left.
constexpr int kColumnWidth = 292;
constexpr int kListWidth = 208;
constexpr int kPanelWidth = 74;
constexpr int kHeadingTop = 2;
constexpr int kHeadingHeight = 50;
constexpr int kListTop = 56;
constexpr int kListHeight = 216; // eight rows of 26 pixels, the tallest Persian face here
constexpr int kPanelHeight = 96;

// An option button is as wide as its mark and caption, so only they take the click.
constexpr int kOptionStep = 150;
void placeOption(QWidget* option, int right, int top) {
    const int width = option->sizeHint().width();
    option->setGeometry(right - width, top, width, 24);
}

int columnLeft(int column) { // column 0 is the rightmost
    return kWidth - 8 - (column + 1) * kColumnWidth;
}

// Lower area: the settings on the right, the three picture buttons on the left.
constexpr int kLowerTop = 284;
constexpr int kRow = 30;
constexpr int kLabelLeft = 742, kLabelWidth = 142;
constexpr int kBoxLeft = 412, kBoxWidth = 324;
constexpr int kBrowseLeft = 382;

} // namespace

void MainWindow::buildWindow() {
    preparePersianUi();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kShownCaption);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(244, 244, 240));
    setPalette(pal);

    buildTitleStrip();
    frame1_ = new QWidget(this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setGeometry(0, kStrip, kWidth, kHeight - kStrip);
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

    // The timers are the window's children, found by their names (a test drives them).
    for (QTimer* timer : {&timer1_, &timer2_, &fadeTimer_})
        timer->setParent(this);
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(100);
    connect(&timer1_, &QTimer::timeout, this, [this] { timer1Tick(); });
    timer2_.setObjectName(QStringLiteral("Timer2"));
    timer2_.setInterval(700);
    timer2_.setSingleShot(true);
    connect(&timer2_, &QTimer::timeout, this, [this] { timer2Tick(); });
    fadeTimer_.setObjectName(QStringLiteral("FadeTimer"));
    fadeTimer_.setInterval(20);
    connect(&fadeTimer_, &QTimer::timeout, this, [this] { fadeStep(); });

    titleBox_ = new NewTitleBox([this] { return tupd(); }, this);
    buildKeyboard();
    buildEdits();
}

void MainWindow::buildTitleStrip() {
    label21_ = new QLabel(this);
    label21_->setObjectName(QStringLiteral("Label21"));
    label21_->setGeometry(0, 0, kWidth, kStrip);
    label21_->setAutoFillBackground(true);
    QPalette strip = label21_->palette();
    strip.setColor(QPalette::Window, QColor(58, 74, 96));
    label21_->setPalette(strip);

    label20_ = new QLabel(texts::kLabel20, this);
    label20_->setObjectName(QStringLiteral("Label20"));
    label20_->setGeometry(kWidth - 330, 0, 318, kStrip);
    label20_->setAlignment(kAlignRight | Qt::AlignVCenter);
    label20_->setFont(persianFont(10, true));
    setTextColor(label20_, Qt::white);

    // Close and minimise: 30-pixel targets at the left end of the strip.
    label18_ = new QLabel(QStringLiteral("x"), this);
    label18_->setObjectName(QStringLiteral("Label18"));
    label18_->setGeometry(4, 2, 30, 30);
    label18_->setAccessibleName(QStringLiteral(u"بستن"));
    label19_ = new QLabel(QStringLiteral("-"), this);
    label19_->setObjectName(QStringLiteral("Label19"));
    label19_->setGeometry(36, 2, 30, 30);
    label19_->setAccessibleName(QStringLiteral(u"كوچك كردن"));
    for (QLabel* l : {label18_, label19_}) {
        l->setAlignment(Qt::AlignCenter);
        l->setFont(persianFont(14, true));
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
    const auto heading = [this](const char* name, const QString& text, int column) {
        auto* label = new QLabel(text, frame1_);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(columnLeft(column), kHeadingTop, kColumnWidth, kHeadingHeight);
        label->setWordWrap(true);
        label->setAlignment(kAlignRight | Qt::AlignBottom);
        label->setFont(persianFont(9, true));
        label->setMouseTracking(true);
        label->installEventFilter(this);
        return label;
    };
    const auto list = [this](const char* name, int column) {
        auto* l = new QListWidget(frame1_);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(columnLeft(column) + kColumnWidth - kListWidth, kListTop, kListWidth,
                       kListHeight);
        l->setMouseTracking(true);
        l->viewport()->setMouseTracking(true);
        l->viewport()->installEventFilter(this);
        l->installEventFilter(this);
        return l;
    };
    // The window's first line runs above all three headings, on one line: wrapped in the
    // projects' column its second line stood among the other lists' headings.
    auto* label7 = new QLabel(texts::kLabel7, frame1_);
    label7->setObjectName(QStringLiteral("Label7"));
    label7->setGeometry(columnLeft(2), kHeadingTop, columnLeft(0) + kColumnWidth - columnLeft(2),
                        kHeadingHeight / 2);
    label7->setAlignment(kAlignRight | Qt::AlignVCenter);
    label7->setFont(persianFont(9, true));
    QLabel* projects = heading("ProjHeading", texts::kProjectsHeading, 0);
    projects->setGeometry(projects->geometry().adjusted(0, kHeadingHeight / 2, 0, 0));
    projB_ = list("ProjB", 0);
    QLabel* label9 = heading("Label9", texts::kLabel9, 1);
    reshB_ = list("ReshB", 1);
    QLabel* label2 = heading("Label2", texts::kLabel2, 2);
    darsB_ = list("DarsB", 2);
    projB_->setAccessibleName(texts::kTipProjects);
    reshB_->setAccessibleName(texts::kLabel9);
    darsB_->setAccessibleName(texts::kLabel2);

    panels_[0].heading = projects;
    panels_[0].list = projB_;
    panels_[1].heading = label9;
    panels_[1].list = reshB_;
    panels_[2].heading = label2;
    panels_[2].list = darsB_;

    const std::array<QListWidget*, 3> lists{projB_, reshB_, darsB_};
    const std::array<StoreList, 3> kinds{StoreList::Projects, StoreList::Fields,
                                         StoreList::Lessons};
    // A click (on release, as the list then holds its new selection) counts as the list's
    // click; so does a selection moved by the keys, once the key is released. Focus alone
    // moves no selection and reads nothing.
    for (int i = 0; i < 3; ++i) {
        connect(lists[i], &QListWidget::clicked, this,
                [this, kind = kinds[i]] { listClicked(kind); });
        connect(lists[i], &QListWidget::itemSelectionChanged, this, [this, kind = kinds[i]] {
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
    };
    // Each panel's labels in their place from the top; the family tables name them.
    const std::array<PanelPlan, 3> plans{{
        {"Frame7",
         "Shape1",
         {"Label6", "Label4", "Label3"},
         {texts::kNew, texts::kDelete, texts::kAdd}},
        {"Frame9",
         "Shape3",
         {"Label15", "Label16", "Label17"},
         {texts::kAdd, texts::kDelete, texts::kImage}},
        {"Frame8",
         "Shape2",
         {"Label13", "Label12", "Label8"},
         {texts::kAdd, texts::kDelete, texts::kImage}},
    }};
    for (int p = 0; p < 3; ++p) {
        Panel& panel = panels_[p];
        panel.number = p + 1;
        const QRect area(columnLeft(p) + kColumnWidth - kListWidth - kPanelWidth - 4, kListTop,
                         kPanelWidth, kPanelHeight);
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
            label->setGeometry(4, 6 + i * 29, kPanelWidth - 8, 26);
            label->setAlignment(Qt::AlignCenter);
            label->setFont(persianFont(9, true));
            label->setCursor(Qt::PointingHandCursor);
            label->setMouseTracking(true);
            label->installEventFilter(this);
            panel.labels[i] = label;
        }
        // The field's and the lesson's picture actions would choose a picture that nothing
        // keeps or shows: they stand hidden in their place, so nothing else moves.
        if (p > 0)
            panel.labels[2]->hide();
        panel.shape->raise();
        panel.fade = FadingPanel(panel.frame, panel.shape,
                                 {panel.labels[0], panel.labels[1], panel.labels[2]});
        panel.fade.paint(135);
        panel.fade.hide();
    }
}

void MainWindow::buildSettings() {
    const auto label = [this](const char* name, const QString& text, int row) {
        auto* l = new QLabel(text, frame1_);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(kLabelLeft, kLowerTop + row * kRow, kLabelWidth, 24);
        l->setAlignment(kAlignRight | Qt::AlignVCenter);
        return l;
    };
    const auto pathBox = [this](const char* name, const QString& text, int row) {
        auto* box = new QLineEdit(text, frame1_);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(kBoxLeft, kLowerTop + row * kRow, kBoxWidth, 24);
        box->setLayoutDirection(Qt::LeftToRight);
        setBase(box, kDisabledList);
        box->installEventFilter(this);
        return box;
    };
    const auto browse = [this](const char* name, int row) {
        auto* picture = new QLabel(frame1_);
        picture->setObjectName(QLatin1String(name));
        picture->setGeometry(kBrowseLeft, kLowerTop + row * kRow, 26, 24);
        picture->setPixmap(drawPictureIcon(PictureIcon::Browse, false, 22));
        picture->setCursor(Qt::PointingHandCursor);
        picture->setFocusPolicy(Qt::StrongFocus);
        picture->setAccessibleName(texts::kTipBrowse);
        picture->setToolTip(texts::kTipBrowse);
        picture->installEventFilter(this);
        return picture;
    };

    auto* heading = label("Label22", texts::kLabel22, 0);
    heading->setFont(persianFont(9, true));
    auto* musicGroup = new QButtonGroup(this);
    bMus_[0] = new QRadioButton(texts::kMusicOn, frame1_);
    bMus_[0]->setObjectName(QStringLiteral("bMus0"));
    placeOption(bMus_[0], kBoxLeft + kBoxWidth, kLowerTop);
    bMus_[1] = new QRadioButton(texts::kMusicOff, frame1_);
    bMus_[1]->setObjectName(QStringLiteral("bMus1"));
    placeOption(bMus_[1], kBoxLeft + kBoxWidth - kOptionStep, kLowerTop);
    for (QRadioButton* b : bMus_) {
        musicGroup->addButton(b);
        connect(b, &QRadioButton::clicked, this, [this] { musicOptionChanged(); });
        b->installEventFilter(this);
    }
    bMus_[0]->setChecked(true);

    label1_ = label("Label1", texts::kLabel1, 1);
    mus1_ = pathBox("Mus1", QStringLiteral("Resources\\MySound1.mp3"), 1);
    browse_[1] = browse("Picture9", 1);
    label10_ = label("Label10", texts::kLabel10, 2);
    mus2_ = pathBox("Mus2", QStringLiteral("Resources\\MySound2.mp3"), 2);
    browse_[2] = browse("Picture10", 2);
    label("Label14", texts::kLabel14, 3);
    back_ = pathBox("Back", QStringLiteral("Resources\\MyBack.jpg"), 3);
    browse_[0] = browse("Picture8", 3);

    label("Label11", texts::kLabel11, 4);
    auto* templateGroup = new QButtonGroup(this);
    olgoo_[0] = new QRadioButton(texts::kOlgoo1, frame1_);
    olgoo_[0]->setObjectName(QStringLiteral("Olgoo0"));
    placeOption(olgoo_[0], kBoxLeft + kBoxWidth, kLowerTop + 4 * kRow);
    olgoo_[1] = new QRadioButton(texts::kOlgoo2, frame1_);
    olgoo_[1]->setObjectName(QStringLiteral("Olgoo1"));
    placeOption(olgoo_[1], kBoxLeft + kBoxWidth - kOptionStep, kLowerTop + 4 * kRow);
    templateGroup->addButton(olgoo_[0]);
    templateGroup->addButton(olgoo_[1]);
    olgoo_[0]->setChecked(true);

    pcheck_ = new QCheckBox(texts::kPcheck, frame1_);
    pcheck_->setObjectName(QStringLiteral("Pcheck"));
    placeOption(pcheck_, kLabelLeft + kLabelWidth, kLowerTop + 5 * kRow);

    label("Label5", texts::kLabel5, 6);
    exBox_ = pathBox("ExBox", QStringLiteral("Export"), 6);
    browse_[3] = browse("Picture11", 6);
    buildExamSettings();
    connectSettingsKeeping();
}

// Below the picture buttons, where nothing stood: no control of the settings area moves.
void MainWindow::buildExamSettings() {
    examGroup_ = new QGroupBox(texts::kExamGroup, frame1_);
    examGroup_->setObjectName(QStringLiteral("ExamGroup"));
    examGroup_->setGeometry(8, kLowerTop + 140, 364, 100);
    examGroup_->setLayoutDirection(Qt::RightToLeft);
    examGroup_->setFont(persianFont(9, true));
    examOn_ = new QCheckBox(texts::kExamOn, examGroup_);
    examOn_->setObjectName(QStringLiteral("ExamOn"));
    examOn_->setChecked(true);
    const auto spin = [this](const char* name, int most, const QString& zero) {
        auto* box = new QSpinBox(examGroup_);
        box->setObjectName(QLatin1String(name));
        box->setRange(0, most);
        box->setSpecialValueText(shownInWindows(zero));
        box->setKeyboardTracking(false); // one change when typing ends, not one a digit
        box->setLayoutDirection(Qt::LeftToRight);
        box->setFixedWidth(130);
        return box;
    };
    examMinutes_ = spin("ExamMinutes", kMostExamMinutes, texts::kExamNoLimit);
    examCount_ = spin("ExamCount", kMostExamQuestions, texts::kExamAll);
    const QFont plain = persianFont(9);
    auto* form = new QFormLayout;
    form->setContentsMargins(8, 0, 8, 2);
    form->setVerticalSpacing(1);
    form->setFormAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignTop);
    form->addRow(examOn_);
    for (auto [box, text] :
         {std::pair{examMinutes_, texts::kExamMinutes}, std::pair{examCount_, texts::kExamCount}}) {
        auto* label = new QLabel(text, examGroup_);
        label->setBuddy(box);
        label->setFont(plain);
        box->setFont(plain);
        form->addRow(label, box);
    }
    examOn_->setFont(plain);
    examGroup_->setLayout(form);
    // Out of the form, on the empty left of its first row: none of the group's rows moves.
    scoring_ = new QPushButton(texts::kScoring, examGroup_);
    scoring_->setObjectName(QStringLiteral("Scoring"));
    scoring_->setToolTip(texts::kTipScoring);
    scoring_->setFont(plain);
    scoring_->setGeometry(8, 30, 150, 20);
    connect(scoring_, &QPushButton::clicked, this,
            [this] { runTrapped(context_, kFailScoringSettings, [this] { scoringCommand(); }); });
}

void MainWindow::buildPictures() {
    const auto pair = [this](const char* rest, const char* hover, PictureIcon icon,
                             const QString& tip, int x) {
        auto* p =
            new HoverPicture(frame1_, rest, hover, icon, tip, QRect(x, kLowerTop + 40, 96, 96));
        connect(p, &HoverPicture::clicked, this, [this, p] { pictureClicked(p); });
        return p;
    };
    help_ = pair("Picture12", "Picture17", PictureIcon::Help, texts::kTipHelp, 256);
    dataEntry_ = pair("Picture13", "Picture16", PictureIcon::DataEntry, texts::kTipDataEntry, 140);
    output_ = pair("Picture14", "Picture15", PictureIcon::Output, texts::kTipOutput, 24);
    // The output's own buttons, each where nothing stood: no control moves.
    const auto button = [this](const char* name, int left, int row, int width, const QString& text,
                               const QString& tip, std::optional<PictureIcon> icon = std::nullopt) {
        auto* b = new QToolButton(frame1_);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, kLowerTop + row * kRow, width, 24);
        if (icon) {
            b->setIcon(QIcon(drawPictureIcon(*icon, true, 20)));
            b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        }
        b->setText(text);
        b->setToolTip(tip);
        b->setAccessibleName(text);
        b->setAutoRaise(true);
        b->setLayoutDirection(Qt::RightToLeft);
        b->setFont(persianFont(9));
        connect(b, &QToolButton::clicked, this, [this, b] { pictureClicked(b); });
        return b;
    };
    // In the print option's row, and beside it up to the print option.
    discImage_ = button("DiscImage", kBrowseLeft, 5, 200, texts::kDiscImage, texts::kTipDiscImage,
                        PictureIcon::Output);
    questionsOut_ = button("QuestionsOut", kBrowseLeft + 204, 5, 134, texts::kQuestionsOut,
                           texts::kTipQuestionsOut);
    // Under the output folder's row: the paper exam, its analysis, and under the folder's
    // label the reading of its sheets.
    paperExam_ = button("PaperExam", kBrowseLeft, 7, 200, texts::kPaperExam, texts::kTipPaperExam,
                        PictureIcon::DataEntry);
    analysis_ =
        button("Analysis", kBrowseLeft + 204, 7, 134, texts::kAnalysis, texts::kTipAnalysis);
    readSheets_ = button("ReadSheets", kBrowseLeft + 342, 7, kWidth - 16 - kBrowseLeft - 342,
                         texts::kReadSheets, texts::kTipReadSheets);
}

void MainWindow::buildKeyboard() {
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { pictureClicked(help_); });
    // Reading order: the lists, the settings, then the picture buttons.
    QWidget* previous = projB_;
    for (QWidget* w : std::initializer_list<QWidget*>{reshB_,
                                                      darsB_,
                                                      bMus_[0],
                                                      bMus_[1],
                                                      mus1_,
                                                      browse_[1],
                                                      mus2_,
                                                      browse_[2],
                                                      back_,
                                                      browse_[0],
                                                      olgoo_[0],
                                                      olgoo_[1],
                                                      pcheck_,
                                                      exBox_,
                                                      browse_[3],
                                                      help_->rest(),
                                                      dataEntry_->rest(),
                                                      output_->rest(),
                                                      examOn_,
                                                      examMinutes_,
                                                      examCount_,
                                                      scoring_,
                                                      paperExam_,
                                                      analysis_,
                                                      readSheets_}) {
        setTabOrder(previous, w);
        previous = w;
    }
}

} // namespace tavrin
