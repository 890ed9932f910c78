#include "record/record_index.h"

#include "base/bounded_text.h"

namespace {

std::uint32_t KeyHash(char kind, const RecordLine& line)
{
    std::uint32_t hash = RecordCheck(&kind, 1);
    const int fields = RecordKeyFields(kind);
    for (int i = 0; i < fields && i < line.fieldCount; ++i) {
        for (std::size_t at = 0; at < line.fields[i].length; ++at) {
            const char c = AsciiUpper(line.fields[i].text[at]);
            hash = RecordCheck(&c, 1, hash);
        }
        hash = RecordCheck("\t", 1, hash);
    }
    return hash;
}

bool SameKey(char kind, const RecordLine& a, const RecordLine& b)
{
    const int fields = RecordKeyFields(kind);
    if (a.fieldCount < fields || b.fieldCount < fields) {
        return false;
    }
    for (int i = 0; i < fields; ++i) {
        if (!SameRecordField(a.fields[i], b.fields[i])) {
            return false;
        }
    }
    return true;
}

// The slot of the thing `like` names among lines of `kind`: its own, or the free one where it
// would go.
RecordSlot& SlotOf(const RecordIndex& index, char kind, const RecordLine& like)
{
    const std::uint32_t hash = KeyHash(kind, like);
    const std::size_t mask = index.slotCount - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        RecordSlot& slot = index.slots[i];
        if (slot.first == 0) {
            return slot;
        }
        if (slot.hash == hash) {
            const RecordLine first = RecordLineAt(index, slot.first - 1);
            if (first.kind == kind && SameKey(kind, first, like)) {
                return slot;
            }
        }
    }
}

} // namespace

int RecordKeyFields(char kind)
{
    switch (kind) {
    case kRecordBefore:
    case kRecordWritten:
        return 3;
    case kRecordProduct:
    case kRecordPending:
    case kRecordKey:
        return 2;
    default:
        return 1;
    }
}

RecordIndexRoom RecordIndexNeeds(const char* text, std::size_t size)
{
    std::size_t lines = 0;
    for (std::size_t i = 0; i < size; ++i) {
        lines += text[i] == '\n' ? 1 : 0;
    }
    std::size_t slots = 16;
    while (slots < 2 * lines) {
        slots *= 2;
    }
    return RecordIndexRoom{lines, slots};
}

void BuildRecordIndex(RecordIndex& index, const char* text, std::size_t size,
                      std::uint32_t* lines, RecordSlot* slots, std::size_t slotCount)
{
    index = RecordIndex{text, size, lines, 0, slots, slotCount, 0};
    for (std::size_t i = 0; i < slotCount; ++i) {
        slots[i] = RecordSlot{0, 0, 0};
    }
    std::size_t position = 0;
    RecordLine line;
    while (ReadRecordLine(text, size, position, line, &index.damaged)) {
        const auto start = static_cast<std::uint32_t>(line.start);
        lines[index.lineCount++] = start;
        RecordSlot& slot = SlotOf(index, line.kind, line);
        if (slot.first == 0) {
            slot = RecordSlot{KeyHash(line.kind, line), start + 1, start + 1};
        } else {
            slot.last = start + 1;
        }
    }
}

RecordLine RecordLineAt(const RecordIndex& index, std::uint32_t start)
{
    std::size_t position = start;
    RecordLine line{};
    ReadRecordLine(index.text, index.size, position, line);
    return line;
}

bool FindRecordLine(const RecordIndex& index, char kind, const RecordLine& like, bool last,
                    RecordLine& found)
{
    const RecordSlot& slot = SlotOf(index, kind, like);
    if (slot.first == 0) {
        return false;
    }
    found = RecordLineAt(index, (last ? slot.last : slot.first) - 1);
    return true;
}

bool FindRecordText(const RecordIndex& index, char kind, const char* text, bool last,
                    RecordLine& found)
{
    if (RecordKeyFields(kind) != 1) {
        return false; // a thing of this kind is not named by its first field alone
    }
    // The text as a line holds it, escapes and all: "CHECK K<TAB>" and the field.
    char buffer[4 * kMostRecordPath];
    RecordLineBuilder builder;
    BeginRecordLine(builder, buffer, sizeof buffer, kind);
    AddRecordText(builder, text);
    constexpr std::size_t kFieldAt = kRecordCheckDigits + 3;
    if (builder.overflow || builder.length < kFieldAt) {
        return false;
    }
    RecordLine like{};
    like.kind = kind;
    like.fieldCount = 1;
    like.fields[0] = RecordField{buffer + kFieldAt, builder.length - kFieldAt};
    return FindRecordLine(index, kind, like, last, found);
}

bool IsFirstRecordLine(const RecordIndex& index, const RecordLine& line)
{
    const RecordSlot& slot = SlotOf(index, line.kind, line);
    return slot.first == line.start + 1;
}
