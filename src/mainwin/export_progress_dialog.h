#pragma once

#include "export/cd_export.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <memory>

namespace tavrin {

// Shows a long export: files and bytes done of the totals, the file being copied, and
// Cancel. The window stays responsive: events are handled between the copied pieces.
class ExportProgressDialog final : public QProgressDialog, public ExportProgress {
    Q_OBJECT
public:
    explicit ExportProgressDialog(QWidget* parent = nullptr);
    ~ExportProgressDialog() override;
    bool advance(const QString& file, qint64 bytesDone, qint64 bytesTotal, int filesDone,
                 int filesTotal) override;
    void flushing() override;
    void finished() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::unique_ptr<class ArrowCursor> arrow_;
    QElapsedTimer sinceRedraw_;
    bool flushShown_ = false;
};

} // namespace tavrin
