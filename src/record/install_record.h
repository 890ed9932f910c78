// The install record, UNINSTAL.DAT: what SETUP.EXE changed, written line by line as it goes, for
// UNINSTAL.EXE to take back exactly that. Plain text, one change a line:
//
//     CHECK KIND<TAB>FIELD<TAB>FIELD...<CR><LF>
//
// CHECK is eight upper-case hexadecimal digits of a 32-bit FNV-1a hash of everything from KIND to
// the end of the last field. A line whose check fails, or that is not of its kind's shape, is
// damaged: readers skip it and go on with the next. A last line without its line end is what a
// setup stopped while writing it left: it is no line, and no damage. Fields are texts with every byte below 32, 127 and
// "%" written as "%XX", or registry data: "-" for a value that was not there, or the decimal type,
// ":" and the bytes in hexadecimal.
//
// The kinds and their fields:
//   H folder                      the folder the record belongs to; the record's first line
//   P folder product              an install of `product` (the folder it went to)
//   D folder                      a folder about to be made
//   T path                        a temporary file about to be made (a new file's content)
//   A path target                 the earlier `target` about to step aside under `path`
//   F path flags size sum         a file about to be placed or kept (kFileFlag... letters), its
//                                 length in bytes and the FNV-1a hash of its bytes, both in
//                                 hexadecimal; records of earlier versions have no size and sum
//   C path                        the file's use count among shared files has been raised
//   R target path                 `path` waits to replace `target` at the next start of Windows
//   K root key                    a registry key about to be made ("HKLM" or "HKCR")
//   B root key name data          a value's data before the setup writes it
//   W root key name data          the value's data as read back right after the setup wrote it
//   L path                        the uninstall is about to lower the file's use count
// Every install into a folder adds to the same record; a reader takes the first "before" of an
// item and its last "written". The uninstall adds its own lines to it, so that an uninstall that
// was stopped and is run again knows what it did already.
#pragma once

#include <cstddef>
#include <cstdint>

// The kinds, by what writes them: the setup's installs, its files, its registry changes, and the
// uninstall.
enum RecordKind : char {
    kRecordHeader = 'H', kRecordProduct = 'P', kRecordFolder = 'D',
    kRecordTemporary = 'T', kRecordAside = 'A', kRecordFile = 'F', kRecordCount = 'C',
    kRecordPending = 'R',
    kRecordKey = 'K', kRecordBefore = 'B', kRecordWritten = 'W',
    kRecordLowered = 'L',
};

// The letters of a file line's flags.
constexpr char kFileFlagExisted = 'e';  // a file of that name was there before
constexpr char kFileFlagOwn = 'o';      // the product's own: in its folders, or its driver
constexpr char kFileFlagWindows = 'w';  // in a Windows folder: its use count is kept
constexpr char kFileFlagKept = 'k';     // the file there is newer and was kept
inline constexpr char kFileFlagKeptText[] = {kFileFlagKept, '\0'};
constexpr std::size_t kFileFlagsSize = 5; // all four and the NUL

// True when a file line's flags hold `flag`.
bool HasFileFlag(const char* flags, char flag);

constexpr std::size_t kRecordCheckDigits = 8;
// The longest path or registry key path that a reader takes from a record.
constexpr std::size_t kMostRecordPath = 260;
constexpr int kMostRecordFields = 4;
// A registry value holds at most 16,300 bytes on Windows 95; a line with such a value and the
// longest key and name fits in this.
constexpr std::size_t kMostRecordLine = 34 * 1024;

// The root names of the registry keys a record names.
inline constexpr char kRecordLocalMachine[] = "HKLM";
inline constexpr char kRecordClassesRoot[] = "HKCR";

// Builds one line in a buffer of the caller's: begin, add fields, finish.
struct RecordLineBuilder {
    char* out;
    std::size_t capacity;
    std::size_t length;
    bool overflow;
};
void BeginRecordLine(RecordLineBuilder& line, char* out, std::size_t capacity, char kind);
void AddRecordText(RecordLineBuilder& line, const char* text);
// Registry data: absent when `present` is false.
void AddRecordData(RecordLineBuilder& line, bool present, std::uint32_t type,
                   const std::uint8_t* bytes, std::uint32_t count);
// Writes the check and the line end. The line's length, or 0 when it did not fit.
std::size_t FinishRecordLine(RecordLineBuilder& line);

// One line of a record as read: its kind and its fields, still escaped, inside the record's text.
struct RecordField {
    const char* text;
    std::size_t length;
};
struct RecordLine {
    char kind;
    int fieldCount;
    RecordField fields[kMostRecordFields];
    std::size_t start; // where the line begins in the text
    std::size_t end;   // just past its line end
};

// The number of fields a line of `kind` has; 0 for an unknown kind. A file line of an earlier
// record may have only the first kOldFileFields.
int RecordFieldCount(char kind);
constexpr int kOldFileFields = 2;

// Reads the next line at `position` of the record `text` (`size` bytes) that is whole, whose
// check holds, whose kind is known and that has that kind's fields; `position` then moves past
// it. Damaged lines on the way are skipped, and counted in `damaged` when it is given. False at
// the end of the text, or of its whole lines.
bool ReadRecordLine(const char* text, std::size_t size, std::size_t& position, RecordLine& line,
                    std::size_t* damaged = nullptr);

// The length of the record's whole lines, damaged ones included: all but a torn end.
std::size_t WholeRecordLength(const char* text, std::size_t size);

// True when two fields hold the same text, ASCII case ignored (paths, key and value names).
bool SameRecordField(const RecordField& a, const RecordField& b);
// True when the field holds `text`, ASCII case ignored.
bool RecordFieldIs(const RecordField& field, const char* text);

// The field's text into `out`; false (and `out` empty) when it does not fit, is badly escaped or
// holds a NUL byte.
bool DecodeRecordText(const RecordField& field, char* out, std::size_t capacity);

// Registry data of a field: present or not, its type and bytes (into `bytes`, `capacity` at
// most). False when the field is not registry data or its bytes do not fit.
struct RecordData {
    bool present;
    std::uint32_t type;
    std::uint32_t count;
};
bool DecodeRecordData(const RecordField& field, std::uint8_t* bytes, std::size_t capacity,
                      RecordData& out);

// Where the last line of `kind` whose field number `field` is `value` (ASCII case ignored) ends in
// the record `text`; 0 when it holds none.
std::size_t LastRecordLineWith(const char* text, std::size_t size, char kind, int field,
                               const char* value);
inline bool RecordHoldsText(const char* text, std::size_t size, char kind, int field,
                            const char* value)
{
    return LastRecordLineWith(text, size, kind, field, value) != 0;
}

// The record's folder, named by its first line, into `folder`. False when the text does not begin
// with a whole header line or the folder does not fit.
bool RecordFolder(const char* text, std::size_t size, char* folder, std::size_t capacity);

// The 32-bit FNV-1a hash that a line's check and a file's sum are made of: `hash` (start with
// kRecordCheckStart) taken on over `length` more bytes.
constexpr std::uint32_t kRecordCheckStart = 2166136261u;
std::uint32_t RecordCheck(const char* text, std::size_t length,
                          std::uint32_t hash = kRecordCheckStart);

// A number as upper-case hexadecimal digits, without leading zeros, into `out` (9 bytes at least).
void HexNumber(std::uint32_t number, char* out);
// The number of a field of hexadecimal digits; false when it is none.
bool DecodeRecordNumber(const RecordField& field, std::uint32_t& number);
