// A whole script through SETUP.EXE's own loading sequence (script/read_script.h) and the project's
// profile reader, into settings and a file table of exactly SETUP.EXE's size (the records and 600
// spare bytes), each allocated on its own: nothing may be written outside a read buffer, a slot or
// a record, every slot holds a terminated text, and the spare bytes stay zero. The reader's index
// must also answer as the walk over the text does.
#include <cstring>
#include <memory>
#include <string>

#include "authoring/script_text_reader.h"
#include "fuzz_input.h"
#include "script/profile_reader.h"
#include "script/read_script.h"

namespace {

// The named keys are read first; after them only keys that the text holds are compared with the
// walk, which keeps thousands of missing numbered keys quick.
constexpr int kComparedReads = 40;

// The project's reader with a file table sized as SETUP.EXE sizes it, checking what it hands out.
class FuzzReader : public authoring::ScriptTextReader {
public:
    explicit FuzzReader(std::string_view text) : ScriptTextReader(text), text_(text) {}

    void ReadText(const char* section, const char* key, const char* fallback, char* out,
                  std::size_t size)
    {
        std::memset(out, 'x', size); // the whole buffer that the loader says it passes
        ScriptTextReader::ReadText(section, key, fallback, out, size);
        Require(strnlen(out, size) < size);
        if (Compared(section, key)) {
            std::string walked(size, 'x');
            ReadProfileString(text_.data(), text_.size(), section, key, fallback, walked.data(),
                              size);
            Require(std::strcmp(walked.c_str(), out) == 0);
        }
    }

    std::int32_t ReadNumber(const char* section, const char* key, std::int32_t fallback)
    {
        const std::int32_t number = ScriptTextReader::ReadNumber(section, key, fallback);
        if (Compared(section, key)) {
            Require(ReadProfileInt(text_.data(), text_.size(), section, key, fallback) == number);
        }
        return number;
    }

    FileEntry* AllocateFiles(std::int16_t count)
    {
        Require(count >= 0 && block_ == nullptr);
        records_ = count;
        bytes_ = static_cast<std::size_t>(count) * sizeof(FileEntry) + kFileTableSpareBytes;
        block_.reset(new unsigned char[bytes_]());
        return reinterpret_cast<FileEntry*>(block_.get());
    }

    const unsigned char* Block() const { return block_.get(); }
    std::size_t Records() const { return records_; }
    std::size_t Bytes() const { return bytes_; }

private:
    bool Compared(const char* section, const char* key)
    {
        return reads_++ < kComparedReads || Find(section, key) != nullptr;
    }

    std::string_view text_;
    int reads_ = 0;
    std::unique_ptr<unsigned char[]> block_;
    std::size_t records_ = 0;
    std::size_t bytes_ = 0;
};

template <std::size_t N>
void RequireText(const char (&slot)[N])
{
    Require(strnlen(slot, N) < N);
}

void RequireRecord(const FileEntry& entry, const char* windowsDir)
{
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
    FuzzReader reader(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

    const auto settings = std::make_unique<ScriptSettings>();
    FileEntry* diskFiles[kDiskSlots] = {};
    const int loaded =
        ReadSetupScript(reader, windowsDir, kProgramFilesFallback, *settings, diskFiles);

    RequireText(settings->productName);
    RequireText(settings->caption);
    RequireText(settings->destDir);
    RequireText(settings->driverName);
    for (const auto& label : settings->diskLabels) {
        RequireText(label);
    }
    for (const auto& name : settings->directoryNames) {
        RequireText(name);
    }
    Require(settings->diskCount >= 0 && settings->diskCount <= kMaxDisks);
    if (loaded == 0) {
        Require(reader.Block() == nullptr); // the counts add up to more than 32767 files
        return 0;
    }

    const auto* records = reinterpret_cast<const FileEntry*>(reader.Block());
    Require(settings->totalFiles >= 0 &&
            reader.Records() == static_cast<std::size_t>(settings->totalFiles));
    Require(diskFiles[0] == records);
    Require(diskFiles[settings->diskCount] == records + reader.Records());
    for (std::size_t i = 0; i < reader.Records(); ++i) {
        RequireRecord(records[i], windowsDir);
    }
    // The spare bytes after the records stay zero.
    for (std::size_t i = reader.Records() * sizeof(FileEntry); i < reader.Bytes(); ++i) {
        Require(reader.Block()[i] == 0);
    }
    return 0;
}
