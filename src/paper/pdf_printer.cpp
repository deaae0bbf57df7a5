#include "paper/pdf_printer.h"

#include "paper/page_printer.h"
#include "platform/fs_error.h"
#include "platform/safe_save.h"

#include <QFileInfo>
#include <optional>

namespace tavrin {

QList<QByteArray> printPages(const QList<PrintJob>& jobs, const QStringList& readable,
                             const std::function<void(int)>& progress, int mostSeconds) {
    QList<QByteArray> layouts(jobs.size());
    if (jobs.isEmpty())
        return layouts;
    QStringList pages;
    for (const PrintJob& job : jobs)
        pages.append(QFileInfo(job.html).absoluteFilePath());
    std::optional<FsError> failed;
    int done = 0;
    loadPagePrinter().print(
        pages, readable, mostSeconds,
        [&](int page, const QByteArray& pdf, const QByteArray& layout, const QString& failure) {
            if (!failed) {
                try {
                    if (!failure.isEmpty())
                        throw FsError::at(failure, jobs[page].html);
                    saveWholeFile(jobs[page].pdf, pdf);
                    layouts[page] = layout;
                } catch (const FsError& e) {
                    failed = e;
                }
            }
            if (progress)
                progress(++done);
            return !failed;
        });
    if (failed)
        throw *failed;
    return layouts;
}

} // namespace tavrin
