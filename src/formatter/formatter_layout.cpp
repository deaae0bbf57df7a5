// The formatter window's controls in their design rectangles, how they follow the window
// when it is resized, the input-path panel, the words-per-line box, the function keys and
// the minimise link with the main window.
#include "app/context.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "formatter/formatter_host.h"
#include "formatter/formatter_window.h"
#include "lesson/capture_commands.h"
#include "lesson/text_procedures.h"
#include "platform/project_folders.h"
#include "platform/ui_metrics.h"
#include "store/project_settings.h"
#include "undo/edit_names.h"
#include "widgets/persian_ui.h"
#include "widgets/rich_text_box.h"
#include "widgets/widget_colours.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QToolTip>

namespace tavrin {

using namespace colours;

namespace {

QRect twips(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

const QString kFormatCaption = QStringLiteral(u"قالب‌بندی درس");

} // namespace

namespace {

QFrame* makeFrame(QObject* filter, const char* name, QWidget* parent, QRect r) {
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setGeometry(r);
    f->setMouseTracking(true);
    f->installEventFilter(filter);
    return f;
}

QLabel* makeLabel(QObject* filter, const char* name, const QString& text, QWidget* parent,
                  QRect r) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(r);
    l->setAlignment(kAlignRight | Qt::AlignVCenter);
    l->setMouseTracking(true);
    l->installEventFilter(filter);
    return l;
}

QCheckBox* makeCheck(const char* name, const QString& text, QWidget* parent, QRect r) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QLatin1String(name));
    c->setGeometry(r);
    c->setFont(persianFont(8));
    return c;
}

} // namespace

void FormatterWindow::buildControls() {
    preparePersianUi();
    setObjectName(QStringLiteral("Format"));
    setWindowTitle(kFormatCaption);
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    resize(twipsToPixels(12480), twipsToPixels(9420));

    buildOutline();
    buildInputTexts();
    buildCommandStrip();
    buildParagraphOptions();
    recordResizeRules();
}

void FormatterWindow::buildOutline() {
    // The outline of filed questions, with its heading and the lesson's heading.
    frame2_ = makeFrame(this, "Frame2", this, twips(60, 45, 9525, 3240));
    frame2_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    label3_ = makeLabel(this, "Label3", QStringLiteral(u"فهرست سؤالها، پاسخها و توضيحات:"), frame2_,
                        twips(6150, 300, 3255, 300));
    label3_->setFont(persianFont(9, true));
    bookLabel_ = makeLabel(this, "BookLabel", QString(), frame2_, twips(120, 60, 9285, 240));
    bookLabel_->setFont(persianFont(9, true));
    setTextColor(bookLabel_, QColor(36, 58, 82));
    // Left of the outline's heading, where nothing stood.
    importQ_ = new QToolButton(frame2_);
    importQ_->setObjectName(QStringLiteral("ImportQ"));
    importQ_->setGeometry(twips(120, 285, 2700, 285));
    importQ_->setText(QStringLiteral(u"آوردن سؤال از GIFT يا Moodle XML"));
    importQ_->setToolTip(QStringLiteral(
        u"سؤالهاي چندگزينه‌اي و درست/نادرست يك فايل GIFT يا "
        u"Moodle XML به فهرست اين درس افزوده مي‌شود"));
    importQ_->setFont(persianFont(8));
    importQ_->setLayoutDirection(Qt::RightToLeft);
    importQ_->setFocusPolicy(Qt::TabFocus);
    connect(importQ_, &QToolButton::clicked, this, [this] { importQuestionsFile(); });
    bindex_ = new QListWidget(frame2_);
    bindex_->setObjectName(QStringLiteral("bindex"));
    bindex_->setGeometry(twips(60, 570, 9390, 2595));
    bindex_->setMouseTracking(true);
    bindex_->viewport()->setMouseTracking(true);
    bindex_->viewport()->installEventFilter(this);
}

void FormatterWindow::buildInputTexts() {
    // The lesson texts of the input folder, and the panel that changes the folder.
    label1_ = makeLabel(this, "Label1", QStringLiteral(u"فهرست متنهاي ورودي:"), this,
                        twips(9585, 120, 2760, 405));
    label1_->setFont(persianFont(9, true));
    shape1_ = new QFrame(this);
    shape1_->setObjectName(QStringLiteral("Shape1"));
    shape1_->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape1_->setGeometry(twips(9600, 405, 2790, 2865));
    shape1_->setAttribute(Qt::WA_TransparentForMouseEvents);
    books_ = new QListWidget(this);
    books_->setObjectName(QStringLiteral("books"));
    books_->setGeometry(twips(9615, 435, 2745, 2595));
    books_->setLayoutDirection(Qt::LeftToRight); // file names
    books_->setMouseTracking(true);
    books_->viewport()->setMouseTracking(true);
    books_->viewport()->installEventFilter(this);
    connect(books_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        runTrapped(context_, kFailLoadLessonText, [&] { loadText(books_->row(item)); });
    });
    frame7_ = makeFrame(this, "Frame7", this, twips(9615, 3000, 2745, 285));
    label6_ = makeLabel(this, "Label6", QStringLiteral(u"تغيير مسير متنهاي ورودي"), frame7_,
                        twips(15, 0, 2730, 240));
    label6_->setAlignment(Qt::AlignCenter);
    label6_->setCursor(Qt::PointingHandCursor);
    label6_->setFont(persianFont(9, true));
    inputPanel_ = FadingPanel(frame7_, shape1_, {label6_});
    inputPanel_.hide();
}

void FormatterWindow::buildCommandStrip() {
    // The command strip.
    frame1_ = makeFrame(this, "Frame1", this, twips(60, 3285, 12300, 720));
    struct Button {
        int index;
        QString caption;
        int left, width; // twips inside Frame1
    };
    const QList<Button> buttons{
        {kQuestion, QStringLiteral(u"سؤال"), 11235, 1005},
        {kAnswers, QStringLiteral(u"گزينههاي پاسخ"), 9690, 1485},
        {kExplanation, QStringLiteral(u"توضيح"), 8625, 1005},
        {kOpenGroup, groupButtonCaption(0), 5790, 2775},
        {kCloseGroup, QStringLiteral(u"پايان گروه سؤالات"), 3990, 1740},
        {kRemoveText, QStringLiteral(u"حذف متن"), 1635, 1035},
        {kMakeFile, QStringLiteral(u"ساخت فايل"), 120, 1275},
    };
    for (const Button& b : buttons) {
        auto* button = new QPushButton(b.caption, frame1_);
        button->setObjectName(QStringLiteral("Com%1").arg(b.index));
        button->setGeometry(twips(b.left, 210, b.width, 405));
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QPushButton::clicked, this, [this, i = b.index] { command(i); });
        com_[b.index] = button;
    }
    chek_ = makeCheck("Chek", QStringLiteral(u"با حذف"), frame1_, twips(2760, 270, 1140, 285));

    matn_ = new RichTextBox(this);
    matn_->setObjectName(QStringLiteral("matn"));
    matn_->setGeometry(twips(60, 4065, 12300, 4830));
    // A lesson is longer than the box: a scroll bar that came only with the first lesson
    // would narrow the box and have the whole lesson laid out a second time.
    matn_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    matn_->installEventFilter(this);
}

void FormatterWindow::buildParagraphOptions() {
    // The paragraph options.
    frame3_ = makeFrame(this, "Frame3", this, twips(75, 8865, 12300, 450));
    // A tool button: a push button's margins leave no room for "<<<" in 33 pixels.
    hazC_ = new QToolButton(frame3_);
    hazC_->setText(QStringLiteral("<<<"));
    hazC_->setObjectName(QStringLiteral("HazC"));
    hazC_->setGeometry(twips(11655, 135, 495, 255));
    hazC_->setFont(persianFont(7));
    connect(hazC_, &QToolButton::clicked, this,
            [this] { runTrapped(context_, kFailReflow, [this] { DoPara(); }); });
    p22_ = makeCheck("P22",
                     QStringLiteral(u"حذف تمامي پاراگرافها و ايجاد پاراگراف بر اساس           "
                                    u"كلمه در هر سطر"),
                     frame3_, twips(6450, 165, 5400, 210));
    hazP_ = makeCheck("HazP", QStringLiteral(u"با حذف پاراگرافهاي اصلي"), frame3_,
                      twips(4245, 165, 2130, 210));
    hazP_->setChecked(true);
    noghte_ =
        makeCheck("Noghte", QStringLiteral(u"همراه با درج پاراگراف پس از علائم نگارشي «. - ؟ - !»"),
                  frame3_, twips(60, 165, 4020, 210));
    noghte_->setChecked(true);
    chnd_ = new QLineEdit(shownInWindows(QStringLiteral("20")), frame3_);
    chnd_->setObjectName(QStringLiteral("chnd"));
    chnd_->setGeometry(twips(7815, 135, 420, 285));
    chnd_->setToolTip(QStringLiteral("از 10 تا 30"));
    chnd_->setAlignment(Qt::AlignCenter);
    chnd_->installEventFilter(this);
    chnd_->raise();
}

void FormatterWindow::recordResizeRules() {
    // What grows with the window, as the design says.
    const auto rule = [this](QWidget* w, bool left, bool top, bool width, bool height) {
        rules_.append({w, w->geometry(), left, top, width, height});
    };
    rule(frame2_, false, false, true, false);
    rule(bindex_, false, false, true, false);
    rule(bookLabel_, false, false, true, false);
    rule(label3_, true, false, false, false);
    rule(label1_, true, false, false, false);
    rule(books_, true, false, false, false);
    rule(shape1_, true, false, false, false);
    rule(frame7_, true, false, false, false);
    rule(frame1_, false, false, true, false);
    for (int i : {kExplanation, kQuestion, kAnswers, kOpenGroup, kCloseGroup})
        rule(com_[i], true, false, false, false);
    rule(chek_, true, false, false, false);
    rule(matn_, false, false, true, true);
    rule(frame3_, false, true, true, false);
    for (QWidget* w : std::initializer_list<QWidget*>{hazC_, hazP_, p22_, chnd_, noghte_})
        rule(w, true, false, false, false);
}

// The words-per-line box stands over the run of blanks in P22's caption; where that run
// falls depends on the font, so it is measured once the window is shown.
void FormatterWindow::placeWordsBox() {
    const QString caption = p22_->text();
    const qsizetype gap = caption.indexOf(QStringLiteral("   "));
    if (gap < 0)
        return;
    qsizetype gapEnd = gap;
    while (gapEnd < caption.size() && caption[gapEnd] == u' ')
        ++gapEnd;
    QStyleOptionButton option;
    option.initFrom(p22_);
    option.text = caption;
    const QRect text = p22_->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, p22_);
    const QFontMetrics metrics(p22_->font());
    // Right to left: the caption starts at the right of its box and reads leftwards.
    const int before = metrics.horizontalAdvance(caption.left(gap));
    const int blanks = metrics.horizontalAdvance(caption.mid(gap, gapEnd - gap));
    const int centre = p22_->x() + text.right() - before - blanks / 2;
    QRect box = chnd_->geometry();
    box.moveLeft(centre - box.width() / 2);
    chnd_->setGeometry(box);
    for (Rule& r : rules_) {
        if (r.widget == chnd_)
            r.base = box;
    }
}

void FormatterWindow::recordLayout() {
    base_ = size();
    setMinimumSize(base_);
    placeWordsBox();
}

void FormatterWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!base_.isValid())
        return;
    if (width() < base_.width() || height() < base_.height()) {
        resize(std::max(width(), base_.width()), std::max(height(), base_.height()));
        return;
    }
    const int dW = width() - base_.width();
    const int dH = height() - base_.height();
    for (const Rule& r : rules_) {
        QRect g = r.base;
        if (r.left)
            g.moveLeft(r.base.left() + dW);
        if (r.top)
            g.moveTop(r.base.top() + dH);
        if (r.width)
            g.setWidth(r.base.width() + dW);
        if (r.height)
            g.setHeight(r.base.height() + dH);
        r.widget->setGeometry(g);
    }
}

// The lesson or field may have changed in the main window meanwhile: the heading follows
// whenever the window comes back to the author.
void FormatterWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        NameNevis();
}

// ---- the input-path panel --------------------------------------------------------------

void FormatterWindow::pointerOverBooks() {
    if (!inputPanel_.isVisible())
        host_.fadeInInputPanel();
    else if (inputPanel_.atRest(host_.normalGrey()))
        setTextColor(label6_, grey(host_.normalGrey()));
}

// The folder the link picks becomes the input texts folder, kept in the project, and its
// lesson texts are listed.
void FormatterWindow::chooseInputFolder() {
    const auto folder = host_.pickFolder(QStringLiteral("zarin"));
    if (!folder)
        return;
    const QString before = host_.session().inputFolder, after = *folder;
    const QUndoStack& stack = history_.stack();
    const QUndoCommand* top = stack.command(stack.count() - 1);
    history_.record(
        edits::kInputFolder,
        {host_.session().projectPath, {folders::kProjectFile}, false, false, {}},
        [&] {
            host_.session().inputFolder = after;
            KeepSetting(context_, host_.session().projectPath, QStringLiteral("Import"), after);
        },
        [this, before, after](bool back) {
            host_.session().inputFolder = back ? before : after;
            FileList();
        });
    if (stack.command(stack.count() - 1) != top)
        markPushed(boxMark());
    FileList();
}

std::optional<QString> FormatterWindow::pickFile(const QString& purpose, const QString& pattern) {
    return host_.pickFile(purpose, pattern);
}

// ---- the words-per-line box ------------------------------------------------------------

void FormatterWindow::chndFocus(bool in) {
    if (in) {
        QTimer::singleShot(0, chnd_, [this] { chnd_->selectAll(); });
        return;
    }
    // A number out of range becomes 22; text that is no number is left for DoPara to refuse.
    // Either way the author is told why, beside the box.
    const WordsPerLine read = readWordsPerLine(chnd_->text());
    if (read.why.isEmpty())
        return;
    if (read.words > 0) {
        chnd_->setText(shownInWindows(QString::number(read.words)));
        chnd_->selectAll();
    }
    sayBesideWordsBox(read.why);
}

void FormatterWindow::sayBesideWordsBox(const QString& why) {
    QToolTip::showText(chnd_->mapToGlobal(QPoint(0, -chnd_->height() * 2)), why, chnd_);
}

// ---- the minimise link -----------------------------------------------------------------

void FormatterWindow::timer1Tick() {
    if (!isMinimized())
        return;
    timer1_.stop();
    host_.minimiseWithFormatter();
}

void FormatterWindow::restoreWithMain() {
    showNormal();
    timer1_.start();
}

// ---- events ----------------------------------------------------------------------------

std::optional<bool> FormatterWindow::undoKey(const QKeyEvent* key) {
    if (key->matches(QKeySequence::Undo))
        return true;
    if (key->matches(QKeySequence::Redo) ||
        (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier))
        return false;
    return std::nullopt;
}

bool FormatterWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove) {
        if (watched == books_->viewport()) {
            pointerOverBooks();
        } else if (watched == label6_) {
            if (inputPanel_.atRest(host_.normalGrey()) &&
                textColor(label6_) != grey(host_.hoverGrey()))
                setTextColor(label6_, grey(host_.hoverGrey()));
            // Taken here: passed on to the frame, the move would hide the panel under it.
            return true;
        } else if (watched == frame7_) {
            // Only the frame's margin outside the link hides the panel.
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (!label6_->geometry().contains(at)) {
                host_.stopPanelFade();
                inputPanel_.hide();
            }
        } else if (watched == bindex_->viewport() || watched == frame1_ || watched == frame2_ ||
                   watched == label1_ || watched == label3_) {
            inputPanel_.hide();
        }
    } else if (type == QEvent::MouseButtonRelease && watched == label6_) {
        runTrapped(context_, kFailActionLabel, [this] { chooseInputFolder(); });
        return true;
    } else if (type == QEvent::MouseButtonRelease && watched == bindex_->viewport()) {
        // After the list has taken the click's selection.
        QMetaObject::invokeMethod(this, &FormatterWindow::openEntry, Qt::QueuedConnection);
    } else if (watched == chnd_ && (type == QEvent::FocusIn || type == QEvent::FocusOut)) {
        chndFocus(type == QEvent::FocusIn);
    } else if (watched == matn_ && (type == QEvent::ShortcutOverride || type == QEvent::KeyPress) &&
               undoKey(static_cast<QKeyEvent*>(event))) {
        // The box's own typing first, then the window's steps, in the order they were made.
        event->accept();
        if (type == QEvent::KeyPress)
            undoEdit(*undoKey(static_cast<QKeyEvent*>(event)));
        return true;
    } else if (watched == matn_ && type == QEvent::KeyPress) {
        // The function keys of the lesson text box and the command each gives; F6 gives one
        // that does nothing. F7 toggles Chek; F8 to F10 give nothing.
        struct Key {
            int key, command;
        };
        static constexpr Key keys[] = {{Qt::Key_F1, kOpenGroup},   {Qt::Key_F2, kQuestion},
                                       {Qt::Key_F3, kAnswers},     {Qt::Key_F4, kCloseGroup},
                                       {Qt::Key_F5, kExplanation}, {Qt::Key_F6, 1},
                                       {Qt::Key_F11, kRemoveText}, {Qt::Key_F12, kMakeFile}};
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F7) {
            chek_->setChecked(!chek_->isChecked());
            return true;
        }
        for (const Key& k : keys) {
            if (k.key != key)
                continue;
            // A key that files text with none selected says so, as its button does.
            if (k.command != 1 || matn_->selectionLength() > 0)
                command(k.command);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tavrin
