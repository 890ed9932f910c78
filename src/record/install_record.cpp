#include "record/install_record.h"

#include "base/bounded_text.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kKindAt = kRecordCheckDigits + 1; // the check, a blank, then the kind

// The value of an upper-case hexadecimal digit; -1 for any other character.
int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool NeedsEscape(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == '%';
}

void Put(RecordLineBuilder& line, char c)
{
    if (line.length + 1 < line.capacity) {
        line.out[line.length++] = c;
    } else {
        line.overflow = true;
    }
}

void PutHex(RecordLineBuilder& line, unsigned char byte)
{
    Put(line, kHexDigits[byte >> 4]);
    Put(line, kHexDigits[byte & 0xF]);
}

// Reads the escaped field at `at` one byte at a time: the byte, and the position after it.
// False for a broken escape.
bool NextFieldByte(const RecordField& field, std::size_t& at, unsigned char& byte)
{
    const char c = field.text[at];
    if (c != '%') {
        byte = static_cast<unsigned char>(c);
        ++at;
        return true;
    }
    if (at + 2 >= field.length) {
        return false;
    }
    const int high = HexDigit(field.text[at + 1]);
    const int low = HexDigit(field.text[at + 2]);
    if (high < 0 || low < 0) {
        return false;
    }
    byte = static_cast<unsigned char>(high * 16 + low);
    at += 3;
    return true;
}

} // namespace

bool HasFileFlag(const char* flags, char flag)
{
    for (std::size_t i = 0; flags[i] != '\0'; ++i) {
        if (flags[i] == flag) {
            return true;
        }
    }
    return false;
}

std::uint32_t RecordCheck(const char* text, std::size_t length, std::uint32_t hash)
{
    for (std::size_t i = 0; i < length; ++i) {
        hash = (hash ^ static_cast<unsigned char>(text[i])) * 16777619u;
    }
    return hash;
}

void BeginRecordLine(RecordLineBuilder& line, char* out, std::size_t capacity, char kind)
{
    line = RecordLineBuilder{out, capacity, 0, false};
    for (std::size_t i = 0; i < kRecordCheckDigits; ++i) {
        Put(line, '0');
    }
    Put(line, ' ');
    Put(line, kind);
}

void AddRecordText(RecordLineBuilder& line, const char* text)
{
    Put(line, '\t');
    for (std::size_t i = 0; text[i] != '\0'; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (NeedsEscape(c)) {
            Put(line, '%');
            PutHex(line, c);
        } else {
            Put(line, text[i]);
        }
    }
}

void AddRecordData(RecordLineBuilder& line, bool present, std::uint32_t type,
                   const std::uint8_t* bytes, std::uint32_t count)
{
    if (!present) {
        AddRecordText(line, "-");
        return;
    }
    // The type in decimal: the registry's types are small numbers, but any is kept.
    char digits[11];
    std::size_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + type % 10);
        type /= 10;
    } while (type != 0);
    Put(line, '\t');
    while (n > 0) {
        Put(line, digits[--n]);
    }
    Put(line, ':');
    for (std::uint32_t i = 0; i < count; ++i) {
        PutHex(line, bytes[i]);
    }
}

std::size_t FinishRecordLine(RecordLineBuilder& line)
{
    const std::uint32_t check =
        RecordCheck(line.out + kKindAt, line.length > kKindAt ? line.length - kKindAt : 0);
    Put(line, '\r');
    Put(line, '\n');
    if (line.overflow) {
        if (line.capacity > 0) {
            line.out[0] = '\0';
        }
        return 0;
    }
    for (std::size_t i = 0; i < kRecordCheckDigits; ++i) {
        line.out[i] = kHexDigits[(check >> (28 - 4 * i)) & 0xF];
    }
    line.out[line.length] = '\0';
    return line.length;
}

int RecordFieldCount(char kind)
{
    switch (kind) {
    case kRecordHeader:
    case kRecordFolder:
    case kRecordTemporary:
    case kRecordCount:
    case kRecordLowered:
        return 1;
    case kRecordProduct:
    case kRecordAside:
    case kRecordPending:
    case kRecordKey:
        return 2;
    case kRecordFile:
    case kRecordBefore:
    case kRecordWritten:
        return 4;
    default:
        return 0;
    }
}

namespace {

enum class LineRead { Whole, Damaged, End };

// Reads the line at `start`: Whole (into `line`) or Damaged, with `next` just past its line end;
// End at the end of the text or at a last line without its line end.
LineRead ReadOneLine(const char* text, std::size_t size, std::size_t start, RecordLine& line,
                     std::size_t& next)
{
    std::size_t newline = start;
    while (newline < size && text[newline] != '\n') {
        ++newline;
    }
    if (newline >= size) {
        return LineRead::End;
    }
    next = newline + 1;
    std::size_t contentEnd = newline;
    if (contentEnd > start && text[contentEnd - 1] == '\r') {
        --contentEnd;
    }
    if (contentEnd < start + kKindAt + 1 || text[start + kRecordCheckDigits] != ' ') {
        return LineRead::Damaged;
    }
    std::uint32_t check = 0;
    for (std::size_t i = 0; i < kRecordCheckDigits; ++i) {
        const int digit = HexDigit(text[start + i]);
        if (digit < 0) {
            return LineRead::Damaged;
        }
        check = check * 16 + static_cast<std::uint32_t>(digit);
    }
    const char* content = text + start + kKindAt;
    const std::size_t length = contentEnd - (start + kKindAt);
    if (RecordCheck(content, length) != check) {
        return LineRead::Damaged;
    }
    line.kind = content[0];
    line.fieldCount = 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (content[i] == '\t') {
            if (line.fieldCount == kMostRecordFields) {
                return LineRead::Damaged;
            }
            line.fields[line.fieldCount++] = RecordField{content + i + 1, 0};
        } else if (line.fieldCount == 0) {
            return LineRead::Damaged; // something between the kind and the first field
        } else {
            ++line.fields[line.fieldCount - 1].length;
        }
    }
    const bool shaped = line.fieldCount == RecordFieldCount(line.kind) ||
                        (line.kind == kRecordFile && line.fieldCount == kOldFileFields);
    if (line.fieldCount == 0 || !shaped) {
        return LineRead::Damaged;
    }
    line.start = start;
    line.end = next;
    return LineRead::Whole;
}

} // namespace

bool ReadRecordLine(const char* text, std::size_t size, std::size_t& position, RecordLine& line,
                    std::size_t* damaged)
{
    for (;;) {
        std::size_t next = position;
        const LineRead read = ReadOneLine(text, size, position, line, next);
        if (read == LineRead::End) {
            return false;
        }
        position = next;
        if (read == LineRead::Whole) {
            return true;
        }
        if (damaged != nullptr) {
            ++*damaged;
        }
    }
}

std::size_t WholeRecordLength(const char* text, std::size_t size)
{
    std::size_t length = size;
    while (length > 0 && text[length - 1] != '\n') {
        --length;
    }
    return length;
}

bool SameRecordField(const RecordField& a, const RecordField& b)
{
    if (a.length != b.length) {
        return false;
    }
    for (std::size_t i = 0; i < a.length; ++i) {
        if (AsciiUpper(a.text[i]) != AsciiUpper(b.text[i])) {
            return false;
        }
    }
    return true;
}

bool RecordFieldIs(const RecordField& field, const char* text)
{
    std::size_t at = 0;
    std::size_t i = 0;
    unsigned char byte = 0;
    for (; at < field.length; ++i) {
        if (!NextFieldByte(field, at, byte) ||
            AsciiUpper(static_cast<char>(byte)) != AsciiUpper(text[i]) || text[i] == '\0') {
            return false;
        }
    }
    return text[i] == '\0';
}

bool DecodeRecordText(const RecordField& field, char* out, std::size_t capacity)
{
    std::size_t at = 0;
    std::size_t n = 0;
    unsigned char byte = 0;
    while (at < field.length) {
        if (!NextFieldByte(field, at, byte) || byte == 0 || n + 1 >= capacity) {
            if (capacity > 0) {
                out[0] = '\0';
            }
            return false;
        }
        out[n++] = static_cast<char>(byte);
    }
    if (capacity == 0) {
        return false;
    }
    out[n] = '\0';
    return true;
}

bool DecodeRecordData(const RecordField& field, std::uint8_t* bytes, std::size_t capacity,
                      RecordData& out)
{
    out = RecordData{false, 0, 0};
    if (field.length == 1 && field.text[0] == '-') {
        return true;
    }
    std::size_t at = 0;
    std::uint32_t type = 0;
    for (; at < field.length && field.text[at] != ':'; ++at) {
        const char c = field.text[at];
        if (c < '0' || c > '9' || at >= 10) {
            return false;
        }
        type = type * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (at == 0 || at >= field.length || (field.length - at - 1) % 2 != 0) {
        return false;
    }
    std::uint32_t count = 0;
    for (++at; at < field.length; at += 2) {
        const int high = HexDigit(field.text[at]);
        const int low = HexDigit(field.text[at + 1]);
        if (high < 0 || low < 0 || count >= capacity) {
            return false;
        }
        bytes[count++] = static_cast<std::uint8_t>(high * 16 + low);
    }
    out = RecordData{true, type, count};
    return true;
}

bool RecordFolder(const char* text, std::size_t size, char* folder, std::size_t capacity)
{
    std::size_t next = 0;
    RecordLine header;
    return ReadOneLine(text, size, 0, header, next) == LineRead::Whole &&
           header.kind == kRecordHeader &&
           DecodeRecordText(header.fields[0], folder, capacity);
}

std::size_t LastRecordLineWith(const char* text, std::size_t size, char kind, int field,
                               const char* value)
{
    std::size_t position = 0;
    std::size_t found = 0;
    RecordLine line;
    while (ReadRecordLine(text, size, position, line)) {
        if (line.kind == kind && field < line.fieldCount &&
            RecordFieldIs(line.fields[field], value)) {
            found = line.end;
        }
    }
    return found;
}

void HexNumber(std::uint32_t number, char* out)
{
    char digits[8];
    std::size_t n = 0;
    do {
        digits[n++] = kHexDigits[number & 0xF];
        number >>= 4;
    } while (number != 0);
    while (n > 0) {
        *out++ = digits[--n];
    }
    *out = '\0';
}

bool DecodeRecordNumber(const RecordField& field, std::uint32_t& number)
{
    number = 0;
    if (field.length == 0 || field.length > 8) {
        return false;
    }
    for (std::size_t i = 0; i < field.length; ++i) {
        const int digit = HexDigit(field.text[i]);
        if (digit < 0) {
            return false;
        }
        number = number * 16 + static_cast<std::uint32_t>(digit);
    }
    return true;
}
