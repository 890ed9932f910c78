#include "uninstall/recorded_changes.h"

namespace {

bool FieldHasFlag(const RecordField& flags, char flag)
{
    for (std::size_t i = 0; i < flags.length; ++i) {
        if (flags.text[i] == flag) {
            return true;
        }
    }
    return false;
}

} // namespace

RecordedFile MergeFileLines(const RecordIndex& index, const RecordLine& first)
{
    RecordLine last = first;
    FindRecordLine(index, kRecordFile, first, true, last);
    RecordLine count;
    RecordLine lowered;
    const bool counted = FindRecordLine(index, kRecordCount, first, true, count);
    RecordedFile file{
        FieldHasFlag(first.fields[1], kFileFlagExisted),
        FieldHasFlag(last.fields[1], kFileFlagOwn),
        FieldHasFlag(last.fields[1], kFileFlagWindows),
        FieldHasFlag(last.fields[1], kFileFlagKept),
        counted,
        // A count raised again by a later install is this uninstall's to lower again.
        counted && FindRecordLine(index, kRecordLowered, first, true, lowered) &&
            lowered.start > count.start,
        false, 0, 0,
    };
    file.summed = last.fieldCount > kOldFileFields &&
                  DecodeRecordNumber(last.fields[2], file.length) &&
                  DecodeRecordNumber(last.fields[3], file.sum);
    return file;
}

bool UninstallDeletesFile(const RecordedFile& file, bool noUseLeft, bool changed)
{
    if (file.windows) {
        return file.counted && noUseLeft;
    }
    return !changed && (!file.existedBefore || (file.own && !file.kept));
}

RecordedValue MergeValueLines(const RecordIndex& index, const RecordLine& first)
{
    RecordedValue value{};
    RecordLine line;
    if (FindRecordLine(index, kRecordBefore, first, false, line)) {
        value.hasBefore = true;
        value.before = line.fields[3];
    }
    if (FindRecordLine(index, kRecordWritten, first, true, line)) {
        value.hasWritten = true;
        value.written = line.fields[3];
    }
    return value;
}
