// libFuzzer target: a scan's bytes (a PDF, PNG, JPEG, TIFF or anything) read as pages and
// looked at for an answer sheet's QR code and corner marks. A file that is no scan is refused
// with ScanUnreadable; every page given has pixels within the bounds, and nothing crashes,
// hangs or takes more than the run's memory.
#include "fuzz_common.h"
#include "omr/page_place.h"
#include "omr/scan_pages.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

using namespace tavrin;
using namespace tavrin::fuzz;

namespace {

// Qt PDF and the image plugins need an application; the file is the reader's input.
struct Scans {
    int argc = 1;
    char name[16] = "fuzz_scan_pages";
    char* argv[2] = {name, nullptr};
    QGuiApplication app{argc, argv};
    QTemporaryDir folder;
    QString file = folder.filePath(QStringLiteral("scan"));
};

Scans& scans() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static Scans s;
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Scans& s = scans();
    {
        QFile f(s.file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(bytesOf(data, size));
    }
    try {
        readScanPages(s.file, [](ScanPage&& page) {
            need(!page.gray.empty() && qint64(page.gray.cols) * page.gray.rows <= kMostScanPixels);
            if (const auto code = findSheetCode(page.gray)) {
                SheetPage layout;
                for (const char* c : {"tl", "tr", "br", "bl"})
                    layout.marks.append({QLatin1String(c), QPointF(10, 10), 7});
                layout.marks[1].at = {200, 10};
                layout.marks[2].at = {200, 287};
                layout.marks[3].at = {10, 287};
                layout.qr = QRectF(13, 15, 30, 30);
                QString why, persian;
                placePage(page.gray, layout, *code, why, persian);
            }
        });
    } catch (const ScanUnreadable& e) {
        need(!e.why.isEmpty() && !e.persian.isEmpty());
    }
    return 0;
}
