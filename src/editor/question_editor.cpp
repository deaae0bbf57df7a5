#include "editor/question_editor.h"

#include "app/context.h"
#include "app/identity.h"
#include "app/message_numbers.h"
#include "app/messages.h"
#include "editor/formula_preview.h"
#include "editor/question_editor_host.h"
#include "lesson/formula_palette.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/project_folders.h"
#include "platform/ui_metrics.h"
#include "widgets/persian_ui.h"
#include "widgets/picture_icons.h"
#include "widgets/rich_text_box.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScreen>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavrin {

namespace {

const QString kTipChange = QStringLiteral(u"براي تغيير پسزمينه كليك كنيد!");
const QString kTipRemove = QStringLiteral(u"براي حذف پسزمينه كليك كنيد!");
const QString kAskSaveChanges =
    QStringLiteral(u"تغييرات اين سؤال ثبت نشده\u200Cاند.\r\nپيش از بستن، ثبت شوند؟\u200F");

} // namespace

QuestionEditor::QuestionEditor(Context& context, QuestionEditorHost& host, QWidget* parent)
    : QDialog(parent), context_(context), host_(host) {
    build();
    runTrapped(context_, kFailOpenEditor, [this] {
        host_.ShowEdit(*this);
        markClean();
        const QString img = DoSlash(context_.programFolder()) + QStringLiteral("Resources") +
                            nativeSeparator() + QStringLiteral("img.bin");
        if (!fileExists(img))
            picM_->setEnabled(false);
    });
}

void QuestionEditor::build() {
    preparePersianUi();
    setObjectName(QStringLiteral("EditParagraph"));
    setWindowTitle(QStringLiteral(u"ویرایش سؤال"));
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    setModal(true);
    resize(780, 640);

    auto* layout = new QVBoxLayout(this);
    const auto caption = [this, layout](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setAlignment(kAlignRight | Qt::AlignVCenter);
        l->setFont(persianFont(9, true));
        layout->addWidget(l);
        return l;
    };
    const auto box = [this, layout](const char* name, int height) {
        auto* b = new RichTextBox(this);
        b->setObjectName(QLatin1String(name));
        b->setMinimumHeight(height);
        b->setContextMenuPolicy(Qt::NoContextMenu); // popM is the menu here
        b->viewport()->installEventFilter(this);
        layout->addWidget(b, height);
        return b;
    };
    questionCaption_ = caption("Label1", QStringLiteral(u"متن سؤال مورد نظر:"));
    // Out of the layout, on the empty left of the question's caption: nothing else moves.
    cancelled_ = new QCheckBox(QStringLiteral(u"لغو با تأثير مثبت"), this);
    cancelled_->setObjectName(QStringLiteral("Cancelled"));
    cancelled_->setLayoutDirection(Qt::RightToLeft);
    cancelled_->setToolTip(QStringLiteral(u"سؤال لغوشده فقط اگر درست پاسخ داده شود شمرده ميشود"));
    // Beside it, the preview of the entry with its formulas drawn, and their palette.
    previewButton_ = new QPushButton(QStringLiteral(u"پيش‌نمايش و فرمول…"), this);
    previewButton_->setObjectName(QStringLiteral("FormulaPreviewB"));
    previewButton_->setAutoDefault(false);
    previewButton_->setToolTip(QStringLiteral(
        u"سؤال را همان‌گونه كه در لوح ديده مي‌شود، با "
        u"فرمول‌هايش، نشان مي‌دهد"));
    connect(previewButton_, &QPushButton::clicked, this, &QuestionEditor::showPreview);
    // Beside them, how the question did in the exams analysed; hidden when it has none.
    history_ = new QLabel(this);
    history_->setObjectName(QStringLiteral("QuestionHistory"));
    history_->setToolTip(QStringLiteral(
        u"درصد پاسخ درست و ضریب تمیز این سؤال در آزمون‌های "
        u"تحلیل‌شدهٔ پروژه"));
    history_->hide();
    soal_ = box("Soal", 56);
    caption("Label2", QStringLiteral(u"متن پاسخها به سؤال فوق (هر پاسخ در يك پاراگراف قرار داشته و "
                                     u"از ديگري جدا ميشود):"));
    javab_ = box("Javab", 150);
    caption("Label3", QStringLiteral(u"توضيح پاسخ (اين نوشته در بيان علت صحيح بودن گزينه درست "
                                     u"نمايش داده ميشود):"));
    tozih_ = box("Tozih", 80);

    buildAttachments(layout);
    buildMenu();
    // The preview follows the author's typing, a moment after it pauses.
    previewTimer_.setSingleShot(true);
    previewTimer_.setInterval(150);
    connect(&previewTimer_, &QTimer::timeout, this, &QuestionEditor::refreshPreview);
    for (RichTextBox* b : {soal_, javab_, tozih_}) {
        b->installEventFilter(this);
        connect(b, &QTextEdit::textChanged, this, [this] {
            if (preview_ && preview_->isVisible())
                previewTimer_.start();
        });
    }
}

void QuestionEditor::showPreview() {
    context_.log().LogMe(QStringLiteral("Formula preview opened."));
    if (!preview_) {
        preview_ = new FormulaPreview(context_, this);
        connect(preview_, &FormulaPreview::insertRequested, this, &QuestionEditor::insertFormula);
        // Beside the editor, on its left where the screen has room, else on its right, else
        // over its left part.
        const QRect frame = frameGeometry();
        const QRect room = screen() ? screen()->availableGeometry() : QRect();
        int x = frame.left() - preview_->width() - 8;
        if (x < room.left())
            x = frame.right() + 8 + preview_->width() <= room.right() ? frame.right() + 8
                                                                      : room.left();
        preview_->move(x, frame.top());
    }
    preview_->show();
    preview_->raise();
    refreshPreview();
}

void QuestionEditor::refreshPreview() {
    if (!preview_)
        return;
    const auto plain = [](QString text) { return text.remove(QChar::ObjectReplacementCharacter); };
    static const QRegularExpression paragraphs(QStringLiteral("\\r?\\n|\\x{2029}"));
    PreviewEntry entry{
        plain(soal_->text()), plain(javab_->text()).split(paragraphs), plain(tozih_->text()), {}};
    // The pictures the marks stand for, shown as the player shows them.
    static const QRegularExpression mark(QStringLiteral("\\{(\\d+)\\}"));
    for (const QString& text : {entry.text, javab_->text(), entry.explanation})
        for (auto it = mark.globalMatch(text); it.hasNext();) {
            const int n = it.next().captured(1).toInt();
            if (const QString file = host_.imageFile(n); !file.isEmpty())
                entry.images.insert(n, file);
        }
    preview_->showEntry(entry);
}

void QuestionEditor::insertFormula(int item) {
    // The box the editor would give focus back to; else the one last in focus.
    RichTextBox* box = lastBox_ ? lastBox_ : soal_;
    for (RichTextBox* b : {soal_, javab_, tozih_})
        if (focusWidget() == b)
            box = b;
    const PaletteInsert insert = paletteInsert(box->text(), box->selectionStart(),
                                               box->selectionLength(), formulaPalette()[item]);
    context_.log().LogMe(
        QStringLiteral("Formula %1 inserted.").arg(QLatin1String(formulaPalette()[item].name)));
    const int start = box->selectionStart();
    box->replaceSelection(insert.text);
    box->setCaret(start + insert.caret);
    // Back to the editor, so the author types on where the formula waits.
    activateWindow();
    box->setFocus();
}

// The attachments on the right, the background picture on the left, the actions below.
void QuestionEditor::buildAttachments(QVBoxLayout* layout) {
    auto* lower = new QGridLayout;
    layout->addLayout(lower);
    const auto pathRow = [this, lower](int row, const char* label, const QString& text,
                                       const char* name, const char* browseName,
                                       const QString& purpose, const QString& pattern, int code) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(label));
        l->setAlignment(kAlignRight | Qt::AlignVCenter);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setLayoutDirection(Qt::LeftToRight);
        edit->installEventFilter(this);
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(browseName));
        button->setIcon(QIcon(drawPictureIcon(PictureIcon::Browse, false, 20)));
        button->setAccessibleName(text);
        connect(button, &QToolButton::clicked, this,
                [this, purpose, pattern, code] { browse(purpose, pattern, code); });
        lower->addWidget(l, row, 0);
        lower->addWidget(edit, row, 1);
        lower->addWidget(button, row, 2);
        return edit;
    };
    picB_ = pathRow(0, "Label4", QStringLiteral(u"فايل ضميمه سؤال:"), "picB", "Command65",
                    QStringLiteral("C6d5"), QStringLiteral("*.*"), 73);
    soutB_ = pathRow(1, "Label5", QStringLiteral(u"صوت متصل به سؤال:"), "soutB", "Command61",
                     QStringLiteral("C6d1"), QStringLiteral("*.mp3"), 71);
    filmB_ = pathRow(2, "Label6", QStringLiteral(u"فيلم متصل به سؤال:"), "filmB", "Command62",
                     QStringLiteral("C6d2"), QStringLiteral("*.flv"), 72);
    static const char16_t* const captions[5] = {
        u"حذف كامل اين سؤال", u"حذف فايل ضميمه", u"حذف صوت متصل", u"حذف فيلم متصل",
        u"ثبت تغييرات ايجاد شده در سؤال، پاسخ، توضيح و ضمائم آن"};
    for (int i = 0; i < 5; ++i) {
        buttons_[i] = new QPushButton(QString::fromUtf16(captions[i]), this);
        buttons_[i]->setObjectName(QStringLiteral("Dokme%1").arg(i));
        buttons_[i]->setAutoDefault(false);
        connect(buttons_[i], &QPushButton::clicked, this, [this, i] { buttonClicked(i); });
    }
    lower->addWidget(buttons_[1], 0, 3);
    lower->addWidget(buttons_[2], 1, 3);
    lower->addWidget(buttons_[3], 2, 3);
    auto* backLabel = new QLabel(QStringLiteral(u"تصوير پسزمينه اين سؤال"), this);
    backLabel->setObjectName(QStringLiteral("Label7"));
    backLabel->setAlignment(Qt::AlignCenter);
    lower->addWidget(backLabel, 0, 4);
    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setFixedSize(150, 84);
    image1_->setFrameStyle(QFrame::Box | QFrame::Plain);
    image1_->setAlignment(Qt::AlignCenter);
    image1_->setToolTip(kTipChange);
    image1_->setCursor(Qt::PointingHandCursor);
    image1_->installEventFilter(this);
    lower->addWidget(image1_, 1, 4, 2, 1);
    lower->setColumnStretch(1, 1);

    auto* actions = new QHBoxLayout;
    layout->addLayout(actions);
    actions->addWidget(buttons_[4], 1);
    actions->addWidget(buttons_[0]);
}

// The pop-up menu of the three boxes.
void QuestionEditor::buildMenu() {
    popM_ = new QMenu(this);
    popM_->setObjectName(QStringLiteral("popM"));
    const auto item = [this](const char* name, const char16_t* text, auto slot) {
        QAction* a = popM_->addAction(QString::fromUtf16(text));
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    corM_ = item("CorM", u"انتخاب پاسخ صحيح", [this] { host_.DoCor(*this); });
    picM_ = item("picM", u"درج تصوير در متن", [this] { host_.DoIMG(*this); });
    copyM_ = item("copyM", u"كپي متن", [this] {
        runTrapped(context_, kFailCopyText,
                   [this] { QApplication::clipboard()->setText(target()->selectedText()); });
    });
    cutM_ = item("cutM", u"برش متن", [this] {
        runTrapped(context_, kFailCutText, [this] {
            QApplication::clipboard()->setText(target()->selectedText());
            target()->replaceSelection(QString());
        });
    });
    pasteM_ = item("pasteM", u"چسباندن متن", [this] {
        runTrapped(context_, kFailPasteText, [this] {
            const QMimeData* data = QApplication::clipboard()->mimeData();
            if (data && data->hasText())
                target()->replaceSelection(data->text());
        });
    });
    delM_ = item("delM", u"حذف متن", [this] {
        runTrapped(context_, kFailDeleteText, [this] { target()->replaceSelection(QString()); });
    });
}

RichTextBox* QuestionEditor::target() const {
    return EditBox == 1 ? soal_ : EditBox == 3 ? tozih_ : javab_;
}

void QuestionEditor::openMenu(int box, const QPoint& at) {
    EditBox = box;
    RichTextBox* b = target();
    const bool selected = b->selectionLength() > 0;
    copyM_->setEnabled(selected);
    cutM_->setEnabled(selected && !b->isReadOnly());
    delM_->setEnabled(selected && !b->isReadOnly());
    const QMimeData* data = QApplication::clipboard()->mimeData();
    pasteM_->setEnabled(data && data->hasText() && !QApplication::clipboard()->text().isEmpty() &&
                        !b->isReadOnly());
    corM_->setVisible(box == 2);
    popM_->popup(at);
    context_.log().LogMe(QStringLiteral("Menue opened."));
}

void QuestionEditor::browse(const QString& purpose, const QString& pattern, int code) {
    runTrapped(context_, code, [&] {
        const auto file = host_.pickFile(purpose, pattern);
        if (!file)
            return;
        if (purpose == QLatin1String("C6d5"))
            picB_->setText(*file);
        else if (purpose == QLatin1String("C6d1"))
            soutB_->setText(*file);
        else if (purpose == QLatin1String("C6d2"))
            filmB_->setText(*file);
    });
}

void QuestionEditor::setBackPath(const QString& path) {
    backPath_ = path;
}

void QuestionEditor::clearBackground() {
    backPath_.clear();
    image1_->clear();
    image1_->setToolTip(kTipChange);
}

void QuestionEditor::TgDo() {
    runTrapped(context_, kFailShowBackground, [this] {
        if (backPath_.isEmpty() || !fileExists(fromStoredPath(backPath_)))
            return;
        const QPixmap picture(fromStoredPath(backPath_));
        image1_->setPixmap(picture.scaled(image1_->size() - QSize(2, 2), Qt::KeepAspectRatio,
                                          Qt::SmoothTransformation));
        image1_->setToolTip(kTipRemove);
    });
}

void QuestionEditor::backgroundClicked() {
    runTrapped(context_, kFailBackground, [this] {
        if (!backPath_.isEmpty()) {
            clearBackground();
        } else if (const auto file =
                       host_.pickFile(QStringLiteral("Pasz"), folders::kPicturePattern)) {
            setBackPath(*file);
            TgDo();
        }
    });
}

bool QuestionEditor::CHK() {
    bool ok = true;
    const std::array<std::pair<QLineEdit*, int>, 3> checks{
        {{picB_, kNoticeAttachmentNotFound}, {soutB_, 7}, {filmB_, 8}}};
    for (const auto& [box, notice] : checks) {
        if (!box->text().isEmpty() && !fileExists(fromStoredPath(box->text()))) {
            ok = false;
            bepayam(context_, notice);
        }
    }
    return ok;
}

void QuestionEditor::buttonClicked(int index) {
    runTrapped(context_, kFailEditorButton, [&] {
        switch (index) {
        case 0:
            host_.Ohazf(*this);
            accept();
            break;
        case 1:
            picB_->clear();
            break;
        case 2:
            soutB_->clear();
            break;
        case 3:
            filmB_->clear();
            break;
        case 4:
            if (CHK())
                host_.DoEdit(*this);
            break;
        default:
            break;
        }
    });
}

QStringList QuestionEditor::contents() const {
    return {soal_->rtf(),   javab_->rtf(),
            tozih_->rtf(),  picB_->text(),
            soutB_->text(), filmB_->text(),
            backPath_,      cancelled() ? QStringLiteral("1") : QString()};
}

bool QuestionEditor::cancelled() const {
    return cancelled_->isChecked();
}

void QuestionEditor::setCancelled(bool on) {
    cancelled_->setChecked(on);
}

void QuestionEditor::setHistory(const QString& text) {
    history_->setText(text);
    history_->setVisible(!text.isEmpty());
    history_->adjustSize();
    resizeEvent(nullptr);
}

void QuestionEditor::resizeEvent(QResizeEvent* event) {
    if (event)
        QDialog::resizeEvent(event);
    const QRect caption = questionCaption_->geometry();
    const QSize size = cancelled_->sizeHint();
    cancelled_->setGeometry(caption.left(), caption.center().y() - size.height() / 2, size.width(),
                            size.height());
    cancelled_->raise();
    const QSize wanted = previewButton_->sizeHint();
    previewButton_->setGeometry(cancelled_->geometry().right() + 16,
                                caption.center().y() - wanted.height() / 2, wanted.width(),
                                wanted.height());
    previewButton_->raise();
    const QSize told = history_->sizeHint();
    history_->setGeometry(previewButton_->geometry().right() + 16,
                          caption.center().y() - told.height() / 2, told.width(), told.height());
}

void QuestionEditor::hideEvent(QHideEvent* event) {
    if (preview_)
        preview_->hide();
    QDialog::hideEvent(event);
}

void QuestionEditor::caretToPointer(RichTextBox* box, const QPoint& at) {
    const int position = box->cursorForPosition(at).position();
    const QTextCursor current = box->textCursor();
    if (current.hasSelection() && position >= current.selectionStart() &&
        position <= current.selectionEnd())
        return;
    QTextCursor moved = current;
    moved.setPosition(position);
    box->setTextCursor(moved);
}

void QuestionEditor::reject() {
    if (changed()) {
        switch (context_.prompts().askYesNoCancel(kMainCaption, kAskSaveChanges)) {
        case Answer::Yes:
            // Saved and closed by DoEdit; a path that names no file keeps the editor open.
            buttonClicked(4);
            return;
        case Answer::No:
            context_.log().LogMe(QStringLiteral("Changes discarded."));
            break;
        case Answer::Cancel:
            return;
        }
    }
    QDialog::reject();
}

bool QuestionEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* me = static_cast<QMouseEvent*>(event);
        const std::array<std::pair<RichTextBox*, const char*>, 3> boxes{
            {{soal_, "Soal"}, {javab_, "Javab"}, {tozih_, "Tozih"}}};
        for (int i = 0; i < 3; ++i) {
            if (watched != boxes[i].first->viewport())
                continue;
            runTrapped(context_, kFailEditorBoxClick, [&] {
                context_.log().LogMe(
                    QStringLiteral("%1 clicked.").arg(QLatin1String(boxes[i].second)));
                if (me->button() == Qt::RightButton) {
                    caretToPointer(boxes[i].first, me->position().toPoint());
                    openMenu(i + 1, me->globalPosition().toPoint());
                }
            });
            return false;
        }
        if (watched == image1_ && me->button() == Qt::LeftButton) {
            backgroundClicked();
            return true;
        }
    } else if (event->type() == QEvent::FocusIn) {
        for (RichTextBox* b : {soal_, javab_, tozih_})
            if (watched == b)
                lastBox_ = b;
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            QMetaObject::invokeMethod(edit, &QLineEdit::selectAll, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tavrin
