// The loading sequence of SETUP.INF: which section and key is read, in which order, with which
// buffer size, into which slot. It is written once, here, over a reader: SETUP.EXE reads through
// the system's private-profile functions with the names of its string table
// (script/script_loader.cpp); the disk author's tools, the fuzzers and the native tests through the
// project's own profile reader (authoring/script_text_reader.h).
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>

#include "base/bounded_text.h"
#include "base/file_table.h"
#include "base/script_settings.h"
#include "base/text_catalogue.h"
#include "script/script_rules.h"

// What the loading sequence reads through.
template <class Reader>
concept ScriptReader = requires(Reader& reader, const char* name, char* out, std::size_t size,
                                std::int32_t number, std::int16_t count, unsigned id) {
    // The string table's text `id` (a section or key name, or the caption's "Setup Program");
    // null when there is none. A result stays valid for three further calls.
    { reader.Text(id) } -> std::convertible_to<const char*>;
    // The value of `key` in `section`, or `fallback` when there is none, cut to `size` - 1
    // characters, into `out` (`size` bytes).
    reader.ReadText(name, name, name, out, size);
    // The number at the start of the value of `key` in `section`, or `fallback`.
    { reader.ReadNumber(name, name, number) } -> std::convertible_to<std::int32_t>;
    // A zero-filled file table of `count` records and the spare bytes after them; null when it
    // cannot be had.
    { reader.AllocateFiles(count) } -> std::convertible_to<FileEntry*>;
};

namespace script_reading {

// The longest read of a text key: a disk label or a file line.
constexpr std::size_t kLongestRead = 128;
static_assert(kPathSize <= kLongestRead && kProductNameReadSize <= kLongestRead &&
              kDriverNameReadSize <= kLongestRead && kDiskLabelReadSize <= kLongestRead &&
              kFileLineSize <= kLongestRead);

// One text key: read as the reader cuts it with a buffer of `readSize` bytes, then cut to its
// slot of `capacity` bytes.
template <ScriptReader Reader>
void ReadTextKey(Reader& reader, unsigned section, unsigned key, const char* fallback,
                 std::size_t readSize, char* slot, std::size_t capacity)
{
    char value[kLongestRead];
    // Section and key come from two of the rotating text buffers at once.
    reader.ReadText(reader.Text(section), reader.Text(key), fallback, value, readSize);
    CopyText(slot, capacity, value);
}

template <ScriptReader Reader>
std::int32_t ReadNumberKey(Reader& reader, unsigned section, unsigned key, std::int32_t fallback)
{
    return static_cast<std::int32_t>(
        reader.ReadNumber(reader.Text(section), reader.Text(key), fallback));
}

// The [Main] keys, in the loader's order, and the caption made of the product name.
template <ScriptReader Reader>
void ReadMainKeys(Reader& reader, const char* windowsDir, const char* programFilesDir,
                  ScriptSettings& settings)
{
    // The default destination: moved to the Windows drive, or placed below Program Files.
    char defaultPath[kPathSize];
    ReadTextKey(reader, IDS_MAIN_SECTION, IDS_DEFAULT_PATH, kDefaultPathDefault, kPathSize,
                defaultPath, sizeof defaultPath);
    BuildDefaultDestination(defaultPath, windowsDir, programFilesDir, settings.destDir,
                            sizeof settings.destDir);

    ReadTextKey(reader, IDS_MAIN_SECTION, IDS_PRODUCT_NAME, kProductNameDefault,
                kProductNameReadSize, settings.productName, sizeof settings.productName);
    ReadTextKey(reader, IDS_MAIN_SECTION, IDS_DRIVER_NAME, kDriverNameDefault,
                kDriverNameReadSize, settings.driverName, sizeof settings.driverName);
    settings.oemData1 = ReadNumberKey(reader, IDS_MAIN_SECTION, IDS_OEM_DATA1, kOemData1Default);
    settings.oemData2 = ReadNumberKey(reader, IDS_MAIN_SECTION, IDS_OEM_DATA2, kOemData2Default);

    CopyText(settings.caption, settings.productName);
    AppendText(settings.caption, " ");
    const char* setupProgram = reader.Text(IDS_SETUP_PROGRAM);
    AppendText(settings.caption, setupProgram != nullptr ? setupProgram : "");

    settings.minimumSpaceKb = static_cast<std::int16_t>(
        ReadNumberKey(reader, IDS_MAIN_SECTION, IDS_MINIMUM_SPACE, kMinimumSpaceDefault));
}

template <ScriptReader Reader>
void ReadFileLines(Reader& reader, const char* windowsDir, const ScriptSettings& settings,
                   FileEntry* const (&diskFiles)[kDiskSlots])
{
    // The ten directory key names, kept while the lines are matched against them.
    char keyText[kDirectoryKeyCount][kTextBufferSize];
    const char* keyNames[kDirectoryKeyCount];
    for (int i = 0; i < kDirectoryKeyCount; ++i) {
        const char* name = reader.Text(IDS_ROOT_DIR + i);
        CopyText(keyText[i], name != nullptr ? name : "");
        keyNames[i] = keyText[i];
    }

    // A disk whose count is 0 or less has no file line.
    for (int d = 0; d < settings.diskCount; ++d) {
        for (int j = 1; j <= settings.fileCounts[d]; ++j) {
            char key[kNumberedKeySize];
            NumberedKey(j, key);
            char line[kFileLineSize];
            reader.ReadText(reader.Text(IDS_DISK1 + d), key, "", line, sizeof line);
            if (line[0] != '\0') {
                FillFileEntry(line, keyNames, settings.directoryNames, windowsDir,
                              diskFiles[d][j - 1]);
            }
        }
    }
}

} // namespace script_reading

// Reads the script through `reader` into `settings` and into the file table that the reader
// allocates; `diskFiles` gets the first record of every counted disk and, after them, the end of
// the records. `windowsDir` and `programFilesDir` are those of the machine the setup runs on.
// Returns 1 on success; 0 when the file counts add up to more than 32767 files or the table
// cannot be had, the settings read until then kept.
template <ScriptReader Reader>
int ReadSetupScript(Reader& reader, const char* windowsDir, const char* programFilesDir,
                    ScriptSettings& settings, FileEntry* (&diskFiles)[kDiskSlots])
{
    using namespace script_reading;

    ReadMainKeys(reader, windowsDir, programFilesDir, settings);
    for (int d = 0; d < kMaxDisks; ++d) {
        ReadTextKey(reader, IDS_DISK_LABEL_SECTION, IDS_DISK1 + d, "", kDiskLabelReadSize,
                    settings.diskLabels[d], kDiskLabelSize);
    }
    settings.diskCount = static_cast<std::int16_t>(CountDisks(settings.diskLabels));

    for (int i = 0; i < kDirectoryKeyCount; ++i) {
        ReadTextKey(reader, IDS_DIRECTORY_NAME_SECTION, IDS_ROOT_DIR + i, "", kPathSize,
                    settings.directoryNames[i], kPathSize);
    }

    for (int d = 0; d < settings.diskCount; ++d) {
        settings.fileCounts[d] = static_cast<std::int16_t>(
            ReadNumberKey(reader, IDS_FILE_COUNTS_SECTION, IDS_DISK1 + d, 0));
    }
    const int total = TotalFiles(settings.fileCounts, settings.diskCount);
    if (total < 0) {
        return 0;
    }
    settings.totalFiles = static_cast<std::int16_t>(total);

    FileEntry* const table = reader.AllocateFiles(settings.totalFiles);
    if (table == nullptr) {
        return 0;
    }
    // A disk whose count is 0 or less holds no records.
    diskFiles[0] = table;
    for (int d = 1; d <= settings.diskCount; ++d) {
        const int previous = settings.fileCounts[d - 1];
        diskFiles[d] = diskFiles[d - 1] + (previous > 0 ? previous : 0);
    }

    ReadFileLines(reader, windowsDir, settings, diskFiles);
    return 1;
}
