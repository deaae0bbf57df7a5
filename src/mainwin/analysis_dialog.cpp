#include "mainwin/analysis_dialog.h"

#include "dialogs/pickers.h"
#include "exam/analysis_models.h"
#include "mainwin/dialog_rows.h"
#include "platform/persian_text.h"
#include "platform/ui_metrics.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tavrin {

AnalysisDialog::AnalysisDialog(const Request& first, Analyse analyse, QWidget* parent)
    : QDialog(parent), analyse_(std::move(analyse)) {
    setObjectName(QStringLiteral("AnalysisDialog"));
    setWindowTitle(QStringLiteral(u"تحلیل سؤال‌ها"));
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral(
        u"پاسخ‌برگ‌ها را همان‌گونه که «نمره‌دهی» "
        u"می‌خواند "
        u"بدهید: با پوشهٔ آزمون کاغذی، هر "
        u"سطر نام، نسخه و گزینه‌های چاپ‌شده؛ بی آن، "
        u"سطر اول شمارهٔ "
        u"سؤال‌های پروژه.")));
    const auto row = [&](const QString& label, const QString& path, const char* box,
                         const char* browse, bool file) {
        return addPathRow(layout, label, path, box, browse,
                          [this, file](QLineEdit* b) { this->browse(b, file); })
            .box;
    };
    exam_ = row(QStringLiteral(u"پوشهٔ آزمون کاغذی (اختیاری):"), first.exam, "AExam", "AExamBrowse",
                false);
    answers_ = row(QStringLiteral(u"پاسخ‌برگ‌ها (CSV):"), first.answers, "AAnswers",
                   "AAnswersBrowse", true);
    out_ = row(QStringLiteral(u"پوشهٔ گزارش:"), first.out, "AOut", "AOutBrowse", false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* run = new QPushButton(QStringLiteral(u"تحلیل"));
    run->setObjectName(QStringLiteral("AOk"));
    run->setDefault(true);
    report_ = new QPushButton(QStringLiteral(u"گشودن گزارش"));
    report_->setObjectName(QStringLiteral("AReport"));
    report_->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral(u"بستن"));
    close->setObjectName(QStringLiteral("ACancel"));
    buttons->addWidget(run);
    buttons->addWidget(report_);
    buttons->addWidget(close);
    connect(run, &QPushButton::clicked, this, [this] { this->run(); });
    connect(report_, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(reportPath_)); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    tables_ = new QTabWidget;
    tables_->setObjectName(QStringLiteral("ATables"));
    class_ = resultTable("AClass");
    items_ = resultTable("AItems");
    tables_->addTab(class_, QStringLiteral(u"کلاس"));
    tables_->addTab(items_, QStringLiteral(u"سؤال‌ها"));
    tables_->setEnabled(false);
    layout->addWidget(tables_, 1);
    layout->addLayout(buttons);
    resize(760, 560);
}

AnalysisDialog::Request AnalysisDialog::request() const {
    const auto path = [](const QLineEdit* box) {
        return QDir::fromNativeSeparators(pathTyped(box->text()).trimmed());
    };
    return {path(exam_), path(answers_), path(out_)};
}

void AnalysisDialog::browse(QLineEdit* box, bool file) {
    const QString now = QDir::fromNativeSeparators(pathTyped(box->text()));
    const auto chosen =
        file ? FilePicker::choose(this, QFileInfo(now).absolutePath(), QStringLiteral("*.csv"))
             : FolderPicker::choose(this, now);
    if (chosen)
        box->setText(pathShown(QDir::toNativeSeparators(*chosen)));
}

void AnalysisDialog::run() {
    const Request r = request();
    if (r.answers.isEmpty() || r.out.isEmpty())
        return;
    if (const auto done = analyse_(r))
        showAnalysis(*done);
}

void AnalysisDialog::showAnalysis(const AnalysedExam& done) {
    showSorted(items_, new AnalysisTableModel(done.analysis, AnalysisTableModel::Of::Questions));
    showSorted(class_, new AnalysisTableModel(done.analysis, AnalysisTableModel::Of::Class));
    tables_->setEnabled(true);
    reportPath_ = QDir(request().out).filePath(QStringLiteral("report.pdf"));
    report_->setEnabled(true);
}

} // namespace tavrin
