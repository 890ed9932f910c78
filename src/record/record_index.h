// One table over a whole install record, made in one reading: every valid line in order, and
// for each thing the record names (a file, a folder, a key, a value...) its first and its last
// line of each kind. A thing is named by its kind's key fields, ASCII case ignored; finding it
// costs one hash, whatever the record's length.
#pragma once

#include <cstddef>
#include <cstdint>

#include "record/install_record.h"

// One thing of the table: its key's hash and where its first and last lines start (+1; 0: free).
struct RecordSlot {
    std::uint32_t hash;
    std::uint32_t first;
    std::uint32_t last;
};

struct RecordIndex {
    const char* text;
    std::size_t size;
    std::uint32_t* lines;   // where each valid line starts, in order
    std::size_t lineCount;
    RecordSlot* slots;      // a power of two of them, at least twice the lines
    std::size_t slotCount;
    std::size_t damaged;    // lines that failed their check or shape
};

// The number of key fields that name the thing of a line of `kind`: the value of a B or W line
// (root, key, name), a replacement, key or install (both fields), otherwise the first field.
int RecordKeyFields(char kind);

// The room a table of `text` needs: lines (an upper bound) and slots.
struct RecordIndexRoom {
    std::size_t lines;
    std::size_t slots;
};
RecordIndexRoom RecordIndexNeeds(const char* text, std::size_t size);

// Fills `index` over `text`, in the caller's room as RecordIndexNeeds gave it.
void BuildRecordIndex(RecordIndex& index, const char* text, std::size_t size,
                      std::uint32_t* lines, RecordSlot* slots, std::size_t slotCount);

// The line that starts at `start` (one of index.lines).
RecordLine RecordLineAt(const RecordIndex& index, std::uint32_t start);

// The first (or with `last`, the last) line of `kind` that names the thing `like` names (by the
// key fields of `kind`); false when there is none.
bool FindRecordLine(const RecordIndex& index, char kind, const RecordLine& like, bool last,
                    RecordLine& found);
// The same, for the thing that a plain text names as the first field (a path).
bool FindRecordText(const RecordIndex& index, char kind, const char* text, bool last,
                    RecordLine& found);

// True when `line` is the first that names its thing.
bool IsFirstRecordLine(const RecordIndex& index, const RecordLine& line);

// Calls `action` with every line of `kind` that is the first to name its thing, in the record's
// order, or with `backwards`, from its end (a setup records a folder or key before those below).
template <typename Action>
void ForEachFirstLine(const RecordIndex& index, char kind, Action action, bool backwards = false)
{
    for (std::size_t i = 0; i < index.lineCount; ++i) {
        const std::uint32_t start = index.lines[backwards ? index.lineCount - 1 - i : i];
        if (index.text[start + kRecordCheckDigits + 1] != kind) {
            continue;
        }
        const RecordLine line = RecordLineAt(index, start);
        if (IsFirstRecordLine(index, line)) {
            action(line);
        }
    }
}
