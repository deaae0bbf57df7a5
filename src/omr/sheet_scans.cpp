#include "omr/sheet_scans.h"

#include "platform/program_module.h"

namespace tavrin {

std::unique_ptr<SheetScans> openSheetScans(const QByteArray& examRecord) {
#ifdef TAVRIN_OMR_MODULE_BUILT
    const QString built = QStringLiteral(TAVRIN_OMR_MODULE_BUILT);
#else
    const QString built;
#endif
    const QString file = QStringLiteral("libtavrin_omr.so");
    QString path = programModulePath(file, "TAVRIN_OMR_MODULE", built);
    if (path.isEmpty())
        path = file;
    const ModuleEntry entry =
        programModuleEntry(path, "tavrin_sheet_scans", QStringLiteral("The answer sheets' reader"));
    return static_cast<const SheetScansMaker*>(entry())->open(examRecord);
}

} // namespace tavrin
