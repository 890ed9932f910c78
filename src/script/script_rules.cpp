#include "script/script_rules.h"

#include "base/bounded_text.h"
#include "script/scanners.h"
#include "script/script_names.h"

void TrimToDirectory(char* path)
{
    for (std::size_t i = TextLength(path); i-- > 1;) {
        if (path[i] == '\\') {
            path[i] = '\0';
            return;
        }
    }
}

bool BuildScriptPath(const char* directory, char* out, std::size_t capacity)
{
    if (CopyText(out, capacity, directory) && AppendText(out, capacity, "\\") &&
        AppendText(out, capacity, kScriptName)) {
        return true;
    }
    if (capacity > 0) {
        out[0] = '\0';
    }
    return false;
}

void BuildDefaultDestination(const char* defaultPath, const char* windowsDir,
                             const char* programFilesDir, char* out, std::size_t capacity)
{
    if (TextLength(defaultPath) > 2 && defaultPath[1] == ':') {
        CopyText(out, capacity, defaultPath);
        if (capacity > 1 && windowsDir[0] != '\0') {
            out[0] = windowsDir[0];
        }
        return;
    }
    CopyText(out, capacity, programFilesDir);
    if (defaultPath[0] != '\\') {
        AppendText(out, capacity, "\\");
    }
    AppendText(out, capacity, defaultPath);
}

int MatchDirectoryKey(const char* key, const char* const (&keyNames)[kDirectoryKeyCount])
{
    for (int i = 0; i < kDirectoryKeyCount; ++i) {
        if (EqualsIgnoreCase(key, keyNames[i])) {
            return i;
        }
    }
    return -1;
}

void FillFileEntry(const char* line, const char* const (&keyNames)[kDirectoryKeyCount],
                   const char (&directoryNames)[kDirectoryKeyCount][kPathSize],
                   const char* windowsDir, FileEntry& entry)
{
    char field[kFieldSize];
    const char* next = SplitField(line, field);
    CopyText(entry.sourceName, field);
    next = SplitField(next, field);
    CopyText(entry.targetName, field);
    next = SplitField(next, field);
    CopyText(entry.description, field);
    SplitField(next, field);

    const int key = MatchDirectoryKey(field, keyNames);
    if (key < 0) {
        return;
    }
    CopyText(entry.directoryValue, directoryNames[key]);
    if (key < kFirstWindowsKey) {
        CopyText(entry.targetDir, directoryNames[key]);
        entry.absoluteTarget = 0;
        return;
    }
    CopyText(entry.targetDir, windowsDir);
    if (key == kFirstWindowsKey + 1) {
        AppendText(entry.targetDir, "\\SYSTEM");
    } else if (key == kFirstWindowsKey + 2) {
        AppendText(entry.targetDir, "\\INF");
    }
    entry.absoluteTarget = 1;
}

bool StaysInsideFolder(const char* name)
{
    if (name[0] == '\\') {
        return false;
    }
    bool onlyDotsAndBlanks = true; // so far in the current component
    bool componentEmpty = true;
    for (std::size_t i = 0;; ++i) {
        const char c = name[i];
        if (c == '\0' || c == '\\') {
            if (!componentEmpty && onlyDotsAndBlanks) {
                return false;
            }
            if (c == '\0') {
                return true;
            }
            onlyDotsAndBlanks = true;
            componentEmpty = true;
            continue;
        }
        if (c == ':' || c == '/') {
            return false;
        }
        componentEmpty = false;
        onlyDotsAndBlanks = onlyDotsAndBlanks && (c == '.' || c == ' ');
    }
}

int CountDisks(const char (&labels)[kMaxDisks][kDiskLabelSize])
{
    int count = 0;
    for (const auto& label : labels) {
        if (label[0] != '\0') {
            ++count;
        }
    }
    return count;
}

int TotalFiles(const short* fileCounts, int diskCount)
{
    long total = 0;
    for (int d = 0; d < diskCount; ++d) {
        if (fileCounts[d] > 0) {
            total += fileCounts[d];
        }
    }
    return total > 32767 ? -1 : static_cast<int>(total);
}

void NumberedKey(int number, char (&key)[kNumberedKeySize])
{
    char digits[kNumberedKeySize];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number > 0 && count < kNumberedKeySize - 1);
    for (std::size_t i = 0; i < count; ++i) {
        key[i] = digits[count - 1 - i];
    }
    key[count] = '\0';
}
