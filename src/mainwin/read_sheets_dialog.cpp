#include "mainwin/read_sheets_dialog.h"

#include "dialogs/pickers.h"
#include "exam/paper_draw.h"
#include "mainwin/dialog_rows.h"
#include "omr/sheets_output.h"
#include "platform/persian_text.h"
#include "platform/ui_metrics.h"

#include <QAbstractTableModel>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tavrin {

namespace {

QString persian(const QString& text) {
    return persianShown(text, Digits::AlsoBare);
}

QPushButton* button(const QString& text, const char* name) {
    auto* b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    // Enter keeps the reading, whichever choice has the focus.
    b->setAutoDefault(false);
    return b;
}

// "1" to "9" from a key's text, Latin or Persian; 0 for none.
int digitOf(const QString& text) {
    if (text.size() != 1)
        return -1;
    const QChar c = text[0];
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= QChar(0x06F0) && c <= QChar(0x06F9))
        return c.unicode() - 0x06F0;
    if (c >= QChar(0x0660) && c <= QChar(0x0669))
        return c.unicode() - 0x0660;
    return -1;
}

bool isNumberRow(const ReviewRow& r) {
    return r.question == QLatin1String("number");
}

// A question of a sheet that was read, settled by one of its options.
bool isQuestionRow(const ReviewRow& r) {
    return !isNumberRow(r) && !r.question.isEmpty() && r.sheet >= 0;
}

QString readShown(const ReviewRow& r) {
    if (isNumberRow(r))
        return r.read.isEmpty() ? QStringLiteral(u"هیچ") : persian(r.read);
    if (r.read == QLatin1String("*"))
        return QStringLiteral(u"چند گزینه (نادرست شمرده می‌شود)");
    return r.read.isEmpty() ? QStringLiteral(u"نزده") : persian(r.read);
}

} // namespace

QStringList ReadSheetsDialog::Request::scanPaths() const {
    QStringList out;
    for (const QString& p : scans.split(u';', Qt::SkipEmptyParts))
        if (const QString t = QDir::fromNativeSeparators(pathTyped(p).trimmed()); !t.isEmpty())
            out.append(t);
    return out;
}

ReadSheetsDialog::ReadSheetsDialog(const Request& first, Read read, Finish finish, QWidget* parent)
    : QDialog(parent), read_(std::move(read)), finish_(std::move(finish)) {
    setObjectName(QStringLiteral("ReadSheetsDialog"));
    setWindowTitle(QStringLiteral(u"خواندن پاسخ‌برگ‌ها"));
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    auto* layout = new QVBoxLayout(this);
    pages_ = new QStackedWidget;
    pages_->setObjectName(QStringLiteral("SheetsPages"));
    pages_->addWidget(buildRequest(first));
    pages_->addWidget(buildReview());
    pages_->addWidget(buildResults());
    layout->addWidget(pages_);
    resize(780, 560);
}

QWidget* ReadSheetsDialog::buildRequest(const Request& first) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* intro = new QLabel(QStringLiteral(
        u"پاسخ‌برگ‌های پرشده را از پویشگر، دستگاه کپی یا "
        u"عکس "
        u"تلفن همراه بدهید (PDF، PNG، JPEG یا TIFF؛ پرونده یا پوشه، "
        u"چندتا را با ; جدا کنید). هر ردیف "
        u"مشکوک را پس از خواندن نشانتان می‌دهد."));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    const auto row = [&](const QString& label, const QString& path, const char* box,
                         const char* browse, bool file) {
        return addPathRow(layout, label, path, box, browse,
                          [this, file](QLineEdit* b) { this->browse(b, file); });
    };
    exam_ =
        row(QStringLiteral(u"پوشهٔ آزمون کاغذی:"), first.exam, "SExam", "SExamBrowse", false).box;
    const PathRow scans =
        row(QStringLiteral(u"پویش‌ها:"), first.scans, "SScans", "SScansBrowse", false);
    scans_ = scans.box;
    auto* file = new QToolButton;
    file->setObjectName(QStringLiteral("SScansFile"));
    file->setText(QStringLiteral("PDF"));
    file->setToolTip(QStringLiteral(u"انتخاب پرونده"));
    scans.layout->addWidget(file);
    connect(file, &QToolButton::clicked, this, [this] { browse(scans_, true); });
    out_ = row(QStringLiteral(u"پوشهٔ پاسخ‌برگ‌ها و نمره‌ها:"),
               first.out, "SOut", "SOutBrowse", false)
               .box;
    layout->addStretch();
    layout->addLayout(
        okCancelRow(this, QStringLiteral(u"خواندن"), "SRead", "SCancel", [this] { run(); }));
    return page;
}

QWidget* ReadSheetsDialog::buildReview() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    count_ = new QLabel;
    count_->setObjectName(QStringLiteral("ReviewCount"));
    where_ = new QLabel;
    where_->setObjectName(QStringLiteral("ReviewWhere"));
    where_->setWordWrap(true);
    crop_ = new QLabel;
    crop_->setObjectName(QStringLiteral("ReviewCrop"));
    crop_->setAlignment(Qt::AlignCenter);
    crop_->setMinimumHeight(160);
    crop_->setFrameShape(QFrame::StyledPanel);
    why_ = new QLabel;
    why_->setObjectName(QStringLiteral("ReviewWhy"));
    why_->setWordWrap(true);
    layout->addWidget(count_);
    layout->addWidget(where_);
    layout->addWidget(crop_, 1);
    layout->addWidget(why_);
    auto* choices = new QHBoxLayout;
    for (int o = 1; o <= 4; ++o) {
        auto* b = button(persian(QString::number(o)),
                         QStringLiteral("ReviewChoice%1").arg(o).toLatin1().constData());
        b->setMinimumWidth(64);
        connect(b, &QPushButton::clicked, this, [this, o] { settle(QString::number(o)); });
        choices_.append(b);
        choices->addWidget(b);
    }
    blank_ = button(QStringLiteral(u"نزده (۰)"), "ReviewBlank");
    connect(blank_, &QPushButton::clicked, this, [this] { settle(QStringLiteral("")); });
    choices->addWidget(blank_);
    number_ = new QLineEdit;
    number_->setObjectName(QStringLiteral("ReviewNumber"));
    number_->setLayoutDirection(Qt::LeftToRight);
    number_->setMaxLength(8);
    number_->setPlaceholderText(QStringLiteral(u"شمارهٔ دانش‌آموز"));
    connect(number_, &QLineEdit::returnPressed, this, [this] { settle(number_->text()); });
    choices->addWidget(number_);
    choices->addStretch();
    back_ = button(QStringLiteral(u"ردیف قبل"), "ReviewBack");
    back_->setToolTip(QStringLiteral(u"بازگشت به ردیف پیشین (Backspace)"));
    connect(back_, &QPushButton::clicked, this, [this] { back(); });
    choices->addWidget(back_);
    keep_ = button(QStringLiteral(u"همان خوانده (Enter)"), "ReviewKeep");
    connect(keep_, &QPushButton::clicked, this, [this] { keep(); });
    choices->addWidget(keep_);
    layout->addLayout(choices);
    return page;
}

QWidget* ReadSheetsDialog::buildResults() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    written_ = new QLabel;
    written_->setObjectName(QStringLiteral("SWritten"));
    written_->setWordWrap(true);
    layout->addWidget(written_);
    table_ = resultTable("SClass");
    layout->addWidget(table_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* open = new QPushButton(QStringLiteral(u"گشودن پوشه"));
    open->setObjectName(QStringLiteral("SOpen"));
    connect(open, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(running_.out)); });
    auto* close = new QPushButton(QStringLiteral(u"بستن"));
    close->setObjectName(QStringLiteral("SClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(open);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    return page;
}

ReadSheetsDialog::Request ReadSheetsDialog::request() const {
    const auto path = [](const QLineEdit* box) {
        return QDir::fromNativeSeparators(pathTyped(box->text()).trimmed());
    };
    return {path(exam_), scans_->text(), path(out_)};
}

void ReadSheetsDialog::browse(QLineEdit* box, bool file) {
    const QString now = QDir::fromNativeSeparators(pathTyped(box->text()).section(u';', -1));
    const auto chosen =
        file ? FilePicker::choose(this, QFileInfo(now).absolutePath(), QStringLiteral("*.pdf"))
             : FolderPicker::choose(this, now);
    if (!chosen)
        return;
    const QString shown = pathShown(QDir::toNativeSeparators(*chosen));
    // A scan picked is added to those named; the other boxes take one path.
    if (box == scans_ && !pathTyped(box->text()).trimmed().isEmpty())
        box->setText(box->text() + QStringLiteral("; ") + shown);
    else
        box->setText(shown);
}

void ReadSheetsDialog::run() {
    const Request r = request();
    if (r.exam.isEmpty() || r.scanPaths().isEmpty() || r.out.isEmpty())
        return;
    const auto done = read_(r);
    if (!done)
        return;
    running_ = r;
    reading_ = *done;
    // The reading's progress window had the keyboard: the keys are the review's again.
    activateWindow();
    raise();
    at_ = 0;
    if (reading_.review.isEmpty()) {
        finishReading();
        return;
    }
    pages_->setCurrentIndex(1);
    showRow();
}

void ReadSheetsDialog::showRow() {
    const ReviewRow& r = reading_.review[at_];
    count_->setText(
        persian(QStringLiteral(u"ردیف %1 از %2").arg(at_ + 1).arg(reading_.review.size())));
    back_->setEnabled(at_ > 0);
    QString where =
        persian(QStringLiteral(u"%1، صفحهٔ %2").arg(QFileInfo(r.file).fileName()).arg(r.page));
    if (!r.name.isEmpty())
        where += persian(QStringLiteral(u" — پاسخ‌برگ %1").arg(r.name));
    if (r.version)
        where += QStringLiteral(u"، نسخهٔ ") + versionName(r.version); // as the sheet says
    const bool number = isNumberRow(r);
    const bool question = isQuestionRow(r);
    if (number)
        where += QStringLiteral(u"، شمارهٔ دانش‌آموز");
    else if (question)
        where += persian(QStringLiteral(u"، سؤال %1").arg(r.question));
    where_->setText(where);
    if (r.crop.isNull()) {
        crop_->setPixmap({});
        crop_->setText(QStringLiteral(u"(بی‌تصویر)"));
    } else {
        // Large enough to judge a pencil's mark, within the window.
        const QPixmap picture = QPixmap::fromImage(r.crop);
        crop_->setText(QString());
        crop_->setPixmap(picture.scaled(QSize(720, 320).boundedTo(picture.size() * 2),
                                        Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    why_->setText(r.persian +
                  (question || number ? QStringLiteral(u"\nخوانده: ") + readShown(r) : QString()));
    for (int o = 0; o < choices_.size(); ++o)
        choices_[o]->setVisible(question && r.options.contains(o + 1));
    blank_->setVisible(question);
    number_->setVisible(number);
    keep_->setText(question || number ? QStringLiteral(u"همان خوانده (Enter)")
                                      : QStringLiteral(u"ادامه (Enter)"));
    if (number) {
        number_->setText(QString(r.read).remove(u'?'));
        number_->setFocus();
    } else {
        keep_->setFocus();
    }
}

void ReadSheetsDialog::settle(const QString& answer) {
    const ReviewRow& r = reading_.review[at_];
    if (isNumberRow(r)) {
        const QString typed = latinDigits(answer.trimmed());
        if (!typed.isEmpty() && typed != r.read && !settleNumber(reading_, at_, typed)) {
            number_->selectAll();
            return; // not a number: asked again
        }
    } else if (isQuestionRow(r)) {
        settleReview(reading_, at_, answer);
    }
    next();
}

void ReadSheetsDialog::keep() {
    const ReviewRow& r = reading_.review[at_];
    if (isQuestionRow(r) && r.read != r.asRead)
        settle(r.asRead); // kept as read, after a step back
    else
        next();
}

void ReadSheetsDialog::back() {
    if (at_ > 0) {
        --at_;
        showRow();
    }
}

void ReadSheetsDialog::next() {
    if (++at_ < reading_.review.size()) {
        showRow();
        return;
    }
    finishReading();
}

void ReadSheetsDialog::finishReading() {
    QAbstractTableModel* model = finish_(running_, reading_, this);
    if (!model) {
        // Nothing lost: the settled reading is still here to be written again.
        at_ = int(reading_.review.size()) - 1;
        if (reading_.review.isEmpty())
            pages_->setCurrentIndex(0);
        return;
    }
    showSorted(table_, model); // by name, as the class list is read
    written_->setText(
        persian(QStringLiteral(
            u"پاسخ‌برگ‌ها در sheets.csv، نمره‌ها در scores.csv "
            u"و ردیف‌های بازبینی در پوشهٔ review نوشته شد:\n")) +
        pathInLine(running_.out));
    pages_->setCurrentIndex(2);
}

void ReadSheetsDialog::keyPressEvent(QKeyEvent* event) {
    if (pages_->currentIndex() == 1 && !number_->hasFocus()) {
        const ReviewRow& r = reading_.review[at_];
        const int d = digitOf(event->text());
        const bool question = isQuestionRow(r);
        if (question && d == 0) {
            settle(QStringLiteral(""));
            return;
        }
        if (question && d > 0 && r.options.contains(d)) {
            settle(QString::number(d));
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            keep();
            return;
        }
        if (event->key() == Qt::Key_Backspace) {
            back();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

} // namespace tavrin
