#include "install/source_disks.h"

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "files/file_system.h"
#include "script/install_locations.h"
#include "ui/disk_dialog.h"

namespace {

// The current disk, the folder its files are read from, and whether the user was asked for it.
int g_disk = 0;
char g_folder[kPathSize];
bool g_asked = false;
// The file that a question looks for; null: the current disk.
const FileEntry* g_lookedFor = nullptr;

bool SourceIsIn(const FileEntry& entry, const char* folder)
{
    char path[MAX_PATH];
    return BuildSourcePath(folder, entry, path, sizeof path) && FileExists(path);
}

// True when a record of a disk before `disk` has the same source.
bool NamedBefore(int disk, const FileEntry& entry)
{
    for (const FileEntry* earlier = g_setup.diskFiles[0]; earlier < g_setup.diskFiles[disk];
         ++earlier) {
        if (EqualsIgnoreCase(earlier->sourceName, entry.sourceName)) {
            return true;
        }
    }
    return false;
}

bool LookedForIsIn(const char* folder)
{
    return g_lookedFor != nullptr ? SourceIsIn(*g_lookedFor, folder) : DiskIsIn(g_disk, folder);
}

bool AskForCurrentDisk(HWND owner)
{
    g_asked = true;
    return AskForDisk(owner, g_setup.diskLabels[g_disk], g_folder, LookedForIsIn);
}

} // namespace

bool DiskIsIn(int disk, const char* folder)
{
    const FileEntry* first = nullptr;
    bool ownFiles = false;
    for (int k = 0; k < g_setup.fileCounts[disk]; ++k) {
        const FileEntry& entry = g_setup.diskFiles[disk][k];
        if (!IsCopiedRecord(entry)) {
            continue;
        }
        if (first == nullptr) {
            first = &entry;
        }
        if (!NamedBefore(disk, entry)) {
            if (SourceIsIn(entry, folder)) {
                return true;
            }
            ownFiles = true;
        }
    }
    return first == nullptr || (!ownFiles && SourceIsIn(*first, folder));
}

bool SetAsksForDisks()
{
    for (int d = 1; d < g_setup.diskCount; ++d) {
        if (!DiskIsIn(d, g_setup.sourceDir)) {
            return true;
        }
    }
    return false;
}

void StartSourceDisks()
{
    g_disk = 0;
    g_asked = false;
    CopyText(g_folder, g_setup.sourceDir);
}

bool ReachDisk(HWND owner, int disk)
{
    g_disk = disk;
    g_asked = false;
    g_lookedFor = nullptr;
    return DiskIsIn(disk, g_folder) || AskForCurrentDisk(owner);
}

void LookForSource(HWND owner, const FileEntry& entry)
{
    if (g_asked && IsCopiedRecord(entry) && !SourceIsIn(entry, g_folder)) {
        g_lookedFor = &entry;
        AskForCurrentDisk(owner);
        g_lookedFor = nullptr;
    }
}

const char* SourceFolder()
{
    return g_folder;
}
