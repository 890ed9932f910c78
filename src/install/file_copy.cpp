#include "install/file_copy.h"

#include <lzexpand.h>

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "install/file_placement.h"
#include "files/file_system.h"
#include "install/file_version.h"
#include "install/record_writer.h"
#include "install/shared_files.h"
#include "record/install_record.h"
#include "script/install_locations.h"
#include "script/script_names.h"

namespace {

constexpr INT kNotOpen = -1;
constexpr std::size_t kExpandBufferSize = 0x8000;

// What was written of a file: its length and the hash of its bytes, for the install record.
struct FileSum {
    DWORD length;
    std::uint32_t hash;
};

// The destination is a Windows folder, or lies inside one: its files are shared as theirs are.
bool g_destinationInWindows = false;

// The outcomes of placing a file stand in the same order as the placements.
static_assert(static_cast<int>(CopyOutcome::Placed) == static_cast<int>(Placement::Placed) &&
              static_cast<int>(CopyOutcome::AtRestart) == static_cast<int>(Placement::AtRestart) &&
              static_cast<int>(CopyOutcome::Kept) == static_cast<int>(Placement::Kept) &&
              static_cast<int>(CopyOutcome::Failed) == static_cast<int>(Placement::Failed));

CopyOutcome OutcomeOf(Placement placement)
{
    return static_cast<CopyOutcome>(placement);
}

// Puts the complete new file in place, or keeps the file there when it is newer, once the record
// names the file and how it is held; a file in a Windows folder counts one use more.
CopyOutcome PlaceFile(const char* temporary, const char* target, const char* flags,
                      const FileSum& sum)
{
    char recorded[kFileFlagsSize];
    CopyText(recorded, flags);
    const bool existed = HasFileFlag(flags, kFileFlagExisted);
    const bool keep = existed && IsNewerThan(target, temporary);
    if (keep) {
        AppendText(recorded, kFileFlagKeptText);
    }
    if (!RecordFile(target, recorded, sum.length, sum.hash)) {
        return CopyOutcome::Failed;
    }
    const Placement placement =
        keep ? Placement::Kept : PutInPlace(temporary, target, g_setup.windowsDir);
    if (placement != Placement::Failed && HasFileFlag(flags, kFileFlagWindows)) {
        RaiseUseCount(target, existed && !HasFileFlag(flags, kFileFlagOwn));
    }
    return OutcomeOf(placement);
}

// Expands (or copies) the whole source into the target, and takes the length and sum of what it
// wrote on the way. True when exactly the source's length arrived: the expanded length that a
// compressed file's header records, or a plain file's size. A damaged compressed file, or a source
// cut short while it is read, gives another count.
bool ExpandWhole(INT source, INT target, FileSum& sum)
{
    const LONG expected = LZSeek(source, 0, 2);
    if (expected < 0 || LZSeek(source, 0, 0) != 0) {
        return false;
    }
    static char buffer[kExpandBufferSize];
    sum = FileSum{0, kRecordCheckStart};
    for (;;) {
        const INT read = LZRead(source, buffer, sizeof buffer);
        if (read <= 0) {
            return read == 0 && sum.length == static_cast<DWORD>(expected);
        }
        if (_lwrite(target, buffer, static_cast<UINT>(read)) != static_cast<UINT>(read)) {
            return false;
        }
        sum.length += static_cast<DWORD>(read);
        sum.hash = RecordCheck(buffer, static_cast<std::size_t>(read), sum.hash);
    }
}

// The record's flags for a file about to be placed at `target`.
void FileFlags(const FileEntry& entry, const char* target, char (&flags)[kFileFlagsSize])
{
    std::size_t n = 0;
    const bool windows = entry.absoluteTarget != 0 || g_destinationInWindows;
    if (FileExists(target)) {
        flags[n++] = kFileFlagExisted;
    }
    // The product's folders and its driver hold the product's own files, whatever was there.
    if (!windows || EqualsIgnoreCase(entry.targetName, g_setup.driverName)) {
        flags[n++] = kFileFlagOwn;
    }
    if (windows) {
        flags[n++] = kFileFlagWindows;
    }
    flags[n] = '\0';
}

// True when `target` is the install record itself, which no file of the script may replace.
bool IsInstallRecord(const char* target)
{
    char record[MAX_PATH];
    return JoinFolderAndName(g_setup.destDir, kInstallRecordName, record) &&
           EqualsIgnoreCase(record, target);
}

// Writes `target` from `source` through a temporary file beside it. `flags` are the install
// record's flags of the file (kFileFlag...) as it was found: what is recorded, and whether its use
// count is kept.
CopyOutcome WriteTarget(INT source, const char* target, const char* flags)
{
    char temporary[MAX_PATH];
    if (!CreateTemporaryBeside(target, temporary)) {
        return CopyOutcome::Failed;
    }
    const INT written = _lopen(temporary, OF_WRITE | OF_SHARE_EXCLUSIVE);
    bool whole = false;
    FileSum sum{};
    if (written >= 0) {
        whole = ExpandWhole(source, written, sum);
        LZClose(written);
    }
    const CopyOutcome outcome =
        whole ? PlaceFile(temporary, target, flags, sum) : CopyOutcome::Failed;
    if (outcome != CopyOutcome::Placed && outcome != CopyOutcome::AtRestart) {
        DeleteFileA(temporary);
    }
    return outcome;
}

} // namespace

void StartFileCopies()
{
    g_destinationInWindows = IsAtOrBelowFolder(g_setup.destDir, g_setup.windowsDir);
    // Each subdirectory is made once the record names it.
    for (int k = 1; k <= 6; ++k) {
        const char* name = g_setup.directoryNames[k];
        char path[MAX_PATH];
        if (IsMadeSubdirectory(name) && JoinFolderAndName(g_setup.destDir, name, path) &&
            !FileExists(path) && RecordChange(kRecordFolder, path)) {
            CreateDirectoryA(path, nullptr);
        }
    }
}

bool IsUnnamedRecord(const FileEntry& entry)
{
    return entry.sourceName[0] == '\0' && entry.targetName[0] == '\0';
}

FileCopy OpenFileCopy(const FileEntry& entry, const char* sourceFolder)
{
    // A record with only one of its names has nothing to copy or nowhere to put it; one whose
    // names would lead out of the medium's folder or the target's is refused.
    char source[MAX_PATH];
    OFSTRUCT info{};
    const bool named = IsCopiedRecord(entry) &&
                       BuildSourcePath(sourceFolder, entry, source, sizeof source);
    return FileCopy{&entry, named ? LZOpenFileA(source, &info, OF_READ) : kNotOpen};
}

CopyOutcome FinishFileCopy(const FileCopy& copy)
{
    const FileEntry& entry = *copy.entry;
    CopyOutcome outcome = IsUnnamedRecord(entry) ? CopyOutcome::NothingToCopy : CopyOutcome::Failed;
    char target[MAX_PATH];
    if (copy.source >= 0 && BuildTargetPath(g_setup.destDir, entry, target, sizeof target)) {
        CollapseBackslashes(target);
        char flags[kFileFlagsSize];
        FileFlags(entry, target, flags);
        if (!IsInstallRecord(target)) {
            outcome = WriteTarget(copy.source, target, flags);
        }
    }
    if (copy.source >= 0) {
        LZClose(copy.source);
    }
    return outcome;
}
