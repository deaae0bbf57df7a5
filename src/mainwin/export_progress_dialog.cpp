#include "mainwin/export_progress_dialog.h"

#include "platform/ui_metrics.h"
#include "widgets/busy_cursor.h"
#include "widgets/persian_ui.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>

namespace tavrin {

namespace {

QString megabytes(qint64 bytes) {
    return QLocale(QLocale::Persian).toString(double(bytes) / (1 << 20), 'f', 1);
}

} // namespace

ExportProgressDialog::ExportProgressDialog(QWidget* parent) : QProgressDialog(parent) {
    preparePersianUi();
    setObjectName(QStringLiteral("ExportProgress"));
    setWindowTitle(shownInWindows(QStringLiteral(u"گرفتن خروجي")));
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    setWindowModality(Qt::WindowModal);
    setCancelButtonText(QStringLiteral(u"انصراف"));
    setMinimumDuration(400);
    setMinimumWidth(460);
    setAutoClose(false);
    setAutoReset(false);
    setRange(0, 1000);
    setValue(0);
    if (auto* label = findChild<QLabel*>())
        label->setAlignment(kAlignRight | Qt::AlignVCenter);
    sinceRedraw_.start();
}

ExportProgressDialog::~ExportProgressDialog() = default;

bool ExportProgressDialog::advance(const QString& file, qint64 bytesDone, qint64 bytesTotal,
                                   int filesDone, int filesTotal) {
    // Redraw a few times a second; the copy loop calls far more often.
    if (sinceRedraw_.elapsed() >= 50 || bytesDone == 0) {
        sinceRedraw_.restart();
        const QLocale persian(QLocale::Persian);
        setLabelText(QStringLiteral(u"در حال رونوشت: %1\nفايل %2 از %3، %4 از %5 مگابايت")
                         .arg(file, persian.toString(std::min(filesDone + 1, filesTotal)),
                              persian.toString(filesTotal), megabytes(bytesDone),
                              megabytes(bytesTotal)));
        setValue(bytesTotal > 0 ? int(bytesDone * 1000 / bytesTotal) : 0);
        QApplication::processEvents();
    }
    return !wasCanceled();
}

} // namespace tavrin

namespace tavrin {

void ExportProgressDialog::flushing() {
    if (!flushShown_) {
        flushShown_ = true;
        setLabelText(QStringLiteral(u"در حال نوشتن نهايي روي ديسك..."));
        setValue(maximum());
        setCancelButton(nullptr); // the copies are made; there is nothing left to cancel
    }
    QApplication::processEvents();
}

void ExportProgressDialog::showEvent(QShowEvent* event) {
    // Cancel must look clickable over the export's busy cursor.
    if (!arrow_)
        arrow_ = std::make_unique<ArrowCursor>();
    QProgressDialog::showEvent(event);
}

void ExportProgressDialog::hideEvent(QHideEvent* event) {
    arrow_.reset();
    QProgressDialog::hideEvent(event);
}

void ExportProgressDialog::finished() {
    // A dialog not yet shown still has its show timer running: reset() stops it, or the
    // next event loop (the closing message's) would bring the dialog up over the message.
    setAutoClose(true);
    reset();
    hide();
}

} // namespace tavrin
