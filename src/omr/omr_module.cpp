// The entry of libtavrin_omr.so: the answer sheets' reader with its image libraries, which the
// program loads the first time sheets are read.
#include "omr/sheet_reader.h"

#include <QtGlobal>

namespace {

class Maker final : public tavrin::SheetScansMaker {
public:
    std::unique_ptr<tavrin::SheetScans> open(const QByteArray& examRecord) const override {
        return std::make_unique<tavrin::SheetReader>(examRecord);
    }
};

} // namespace

extern "C" Q_DECL_EXPORT void* tavrin_sheet_scans() {
    static Maker maker;
    return static_cast<tavrin::SheetScansMaker*>(&maker);
}
