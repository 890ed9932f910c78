#include "install/shared_files.h"

#include "files/use_counts.h"
#include "install/record_writer.h"
#include "record/install_record.h"

void RaiseUseCount(const char* path, bool otherOwner)
{
    UseCount count;
    if (RecordCountsUse(path) || InstallRecordFailed() || !ReadUseCount(path, count)) {
        return;
    }
    count.count += count.count == 0 && otherOwner ? 2 : 1;
    // Noted once raised: should the setup stop in between, the count errs high and the file stays.
    if (WriteUseCount(path, count)) {
        RecordChange(kRecordCount, path);
    }
}
