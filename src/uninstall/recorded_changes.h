// What the install record says of each thing the setup changed, over every line that names it:
// a file's state before the product's first install and how the last install held it, a value's
// first "before" and last "written". And what the uninstall makes of that.
#pragma once

#include <cstdint>

#include "record/record_index.h"

struct RecordedFile {
    bool existedBefore; // before the product's first install (the first file line)
    bool own;           // the last install took it as the product's own
    bool windows;       // in a Windows folder
    bool kept;          // the last install kept a newer file that was there
    bool counted;       // its use count was raised
    bool lowered;       // an uninstall has lowered that count since (or was about to)
    bool summed;        // the last install noted the file's length and sum
    std::uint32_t length;
    std::uint32_t sum;
};

// The facts of the file that the file line `first` names.
RecordedFile MergeFileLines(const RecordIndex& index, const RecordLine& first);

// True when the uninstall deletes the file. A file in a Windows folder goes when the record counted
// it and no use is left (`noUseLeft`): its use count, not who had it first, says whether anyone
// still needs it. Elsewhere: one that was not there before the product came, or one of the
// product's own that the last install placed, unless its bytes are no longer what the setup
// placed (`changed`): then someone changed it, and it stays.
bool UninstallDeletesFile(const RecordedFile& file, bool noUseLeft, bool changed);

// A value's data before the product's first install and as the setup last wrote it.
struct RecordedValue {
    bool hasBefore;
    RecordField before;
    bool hasWritten;
    RecordField written;
};
RecordedValue MergeValueLines(const RecordIndex& index, const RecordLine& first);
