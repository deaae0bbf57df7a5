#include "lesson/entry_table.h"

namespace tavrin {

void EntryTable::clear() {
    for (auto* table : {&SoalText, &JavabRtf, &TozihRtf, &AttachPath, &SoundPath, &FilmPath,
                        &BackPath, &Cancelled})
        table->fill(QString());
    ImagePaths.fill(QString());
    EntryCount = 0;
    OpenGroups = 0;
    ImageCounter = 0;
    questionOpen = false;
}

} // namespace tavrin
