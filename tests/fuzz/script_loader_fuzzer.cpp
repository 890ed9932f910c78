// A whole script through the profile reader and the loader's rules, in the loader's order: the
// default destination, [Main], the disk labels and the count of disks, the directory names, the
// file counts and their total, then every file line into a file table of exactly the loader's
// size (records and 600 spare bytes). Nothing may be written outside a record or a slot, and the
// spare bytes stay zero.
#include <cstring>
#include <memory>

#include "checker/script_names.h"
#include "controller/bounded_text.h"
#include "fuzz_input.h"
#include "script/profile_reader.h"
#include "script/script_rules.h"

using namespace checker;

namespace {

struct Script {
    const char* text;
    std::size_t size;
};

// Reads a text key as the loader does: the reader cuts it to `readSize` - 1 characters, then it
// is copied into its slot.
void ReadText(const Script& script, const char* section, const char* key, const char* fallback,
              char* out, std::size_t capacity, std::size_t readSize)
{
    char value[256];
    std::memset(value, 'x', sizeof value);
    const std::size_t length =
        ReadProfileString(script.text, script.size, section, key, fallback, value, readSize);
    Require(length < readSize && strnlen(value, sizeof value) == length);
    CopyText(out, capacity, value);
    Require(strnlen(out, capacity) < capacity);
}

template <std::size_t N>
void RequireText(const char (&slot)[N])
{
    Require(strnlen(slot, N) < N);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte picks the Windows directory: the usual one, or one just short enough that
    // "\SYSTEM" no longer fits a record's 39 characters.
    if (size == 0) {
        return 0;
    }
    const char* windowsDir =
        (data[0] & 1) != 0 ? "C:\\WINDOWS" : "D:\\A-VERY-LONG-WINDOWS-DIRECTORY-NAME";
    const Script script{reinterpret_cast<const char*>(data) + 1, size - 1};

    char defaultPath[kPathSize];
    ReadText(script, kMainSection, kDefaultPathKey, kDefaultPathDefault, defaultPath,
             sizeof defaultPath, kPathSize);
    char destDir[kPathSize];
    BuildDefaultDestination(defaultPath, windowsDir, "C:\\Program Files", destDir, sizeof destDir);
    RequireText(destDir);

    char productName[kProductNameSize];
    char driverName[kDriverNameSize];
    ReadText(script, kMainSection, kProductNameKey, kProductNameDefault, productName,
             sizeof productName, kProductNameReadSize);
    ReadText(script, kMainSection, kDriverNameKey, kDriverNameDefault, driverName,
             sizeof driverName, kDriverNameReadSize);
    (void)ReadProfileInt(script.text, script.size, kMainSection, kOemData1Key, kOemData1Default);
    (void)ReadProfileInt(script.text, script.size, kMainSection, kMinimumSpaceKey,
                         kMinimumSpaceDefault);

    char diskLabels[kMaxDisks][kDiskLabelSize];
    for (int d = 0; d < kMaxDisks; ++d) {
        ReadText(script, kDiskLabelSection, kDiskNames[d], "", diskLabels[d], kDiskLabelSize,
                 kDiskLabelReadSize);
    }
    const int diskCount = CountDisks(diskLabels);
    Require(diskCount >= 0 && diskCount <= kMaxDisks);

    char directoryNames[kDirectoryKeyCount][kPathSize];
    for (int i = 0; i < kDirectoryKeyCount; ++i) {
        ReadText(script, kDirectoryNameSection, kDirectoryKeys[i], "", directoryNames[i],
                 kPathSize, kPathSize);
    }

    std::int16_t fileCounts[kDiskSlots] = {};
    for (int d = 0; d < diskCount; ++d) {
        fileCounts[d] = static_cast<std::int16_t>(
            ReadProfileInt(script.text, script.size, kFileCountsSection, kDiskNames[d], 0));
    }
    const int total = TotalFiles(fileCounts, diskCount);
    if (total < 0) {
        return 0; // the loader stops with its reading error
    }
    Require(total <= 32767);

    // The file table, sized as the loader sizes it.
    const std::size_t bytes = static_cast<std::size_t>(total) * sizeof(FileEntry) +
                              kFileTableSpareBytes;
    const std::unique_ptr<unsigned char[]> block(new unsigned char[bytes]());
    auto* base = reinterpret_cast<FileEntry*>(block.get());
    FileEntry* diskFiles[kDiskSlots] = {};
    diskFiles[0] = base;
    for (int d = 1; d <= diskCount; ++d) {
        const int previous = fileCounts[d - 1];
        diskFiles[d] = diskFiles[d - 1] + (previous > 0 ? previous : 0);
    }
    Require(diskFiles[diskCount] == base + total);

    // A numbered key needs a line of its own, so keys beyond the number of lines are missing and
    // leave their records zero; reading them would only make each run slower.
    std::size_t lines = 1;
    for (std::size_t i = 0; i < script.size; ++i) {
        lines += script.text[i] == '\n' || script.text[i] == '\r' ? 1 : 0;
    }
    for (int d = 0; d < diskCount; ++d) {
        const int count = fileCounts[d]; // none when 0 or less
        const int read =
            count > 0 && static_cast<std::size_t>(count) > lines ? static_cast<int>(lines) : count;
        for (int j = 1; j <= read; ++j) {
            const std::string key = std::to_string(j);
            char line[kFileLineSize];
            const std::size_t length = ReadProfileString(script.text, script.size, kDiskNames[d],
                                                         key.c_str(), "", line, sizeof line);
            Require(length < sizeof line);
            FileEntry& entry = diskFiles[d][j - 1];
            if (line[0] != '\0') {
                FillFileEntry(line, kDirectoryKeys, directoryNames, windowsDir, entry);
            }
            RequireText(entry.directoryValue);
            RequireText(entry.targetDir);
            RequireText(entry.sourceName);
            RequireText(entry.targetName);
            RequireText(entry.description);
            Require(entry.absoluteTarget == 0 || entry.absoluteTarget == 1);
            if (entry.absoluteTarget == 1) {
                Require(std::strncmp(entry.targetDir, windowsDir, 2) == 0);
            }
        }
    }

    // The spare bytes after the records stay zero.
    for (std::size_t i = static_cast<std::size_t>(total) * sizeof(FileEntry); i < bytes; ++i) {
        Require(block[i] == 0);
    }
    return 0;
}
