// What the install record says of each thing the setup changed, over every line that names it:
// a file's state before the product's first install and how the last install held it, a value's
// first "before" and last "written". And what the uninstall makes of that.
#pragma once

#include <cstddef>

#include "record/install_record.h"

// The fields a line is compared on, as bits (bit i: field i).
constexpr unsigned kFirstField = 1u;
constexpr unsigned kFirstTwoFields = 3u;
constexpr unsigned kSecondField = 2u;
constexpr unsigned kFirstThreeFields = 7u;

// True when no line before `line` has its kind and the same `fields` (ASCII case ignored): the
// line is the first that names its thing, so the thing is taken back once.
bool IsFirstRecordLine(const char* text, std::size_t size, const RecordLine& line,
                       unsigned fields);

// The first line (or with `last`, the last) of `kind` whose `fields` match those of `like`;
// false when there is none.
bool FindRecordLine(const char* text, std::size_t size, char kind, const RecordLine& like,
                    unsigned fields, bool last, RecordLine& found);

// Calls `action` with every line of `kind` that is the first to name its thing (by `fields`).
template <typename Action>
void ForEachFirstLine(const char* text, std::size_t size, char kind, unsigned fields,
                      Action action)
{
    std::size_t position = 0;
    RecordLine line;
    while (ReadRecordLine(text, size, position, line)) {
        if (line.kind == kind && IsFirstRecordLine(text, size, line, fields)) {
            action(line);
        }
    }
}

struct RecordedFile {
    bool existedBefore; // before the product's first install (the first file line)
    bool own;           // the last install took it as the product's own
    bool windows;       // in a Windows folder
    bool kept;          // the last install kept a newer file that was there
    bool counted;       // its use count was raised
};

// The facts of the file that the file line `first` names.
RecordedFile MergeFileLines(const char* text, std::size_t size, const RecordLine& first);

// True when the uninstall deletes the file: one that was not there before the product came, or
// one of the product's own that the last install placed. A file in a Windows folder goes only
// when its use count was raised and no use is left (`noUseLeft`).
bool UninstallDeletesFile(const RecordedFile& file, bool noUseLeft);

// A value's data before the product's first install and as the setup last wrote it.
struct RecordedValue {
    bool hasBefore;
    RecordField before;
    bool hasWritten;
    RecordField written;
};
RecordedValue MergeValueLines(const char* text, std::size_t size, const RecordLine& first);
