#include "uninstall/recorded_changes.h"


namespace {

// Lines of other kinds are compared on the fields both have.
bool SameFields(const RecordLine& a, const RecordLine& b, unsigned fields)
{
    for (int i = 0; i < kMostRecordFields; ++i) {
        if ((fields & (1u << i)) != 0 &&
            (i >= a.fieldCount || i >= b.fieldCount ||
             !SameRecordField(a.fields[i], b.fields[i]))) {
            return false;
        }
    }
    return true;
}

bool FieldHasFlag(const RecordField& flags, char flag)
{
    for (std::size_t i = 0; i < flags.length; ++i) {
        if (flags.text[i] == flag) {
            return true;
        }
    }
    return false;
}

} // namespace

bool FindRecordLine(const char* text, std::size_t size, char kind, const RecordLine& like,
                    unsigned fields, bool last, RecordLine& found)
{
    bool any = false;
    std::size_t position = 0;
    RecordLine line;
    while (ReadRecordLine(text, size, position, line)) {
        if (line.kind == kind && SameFields(line, like, fields)) {
            found = line;
            any = true;
            if (!last) {
                break;
            }
        }
    }
    return any;
}

bool IsFirstRecordLine(const char* text, std::size_t size, const RecordLine& line,
                       unsigned fields)
{
    RecordLine first;
    return FindRecordLine(text, size, line.kind, line, fields, false, first) &&
           first.start == line.start;
}

RecordedFile MergeFileLines(const char* text, std::size_t size, const RecordLine& first)
{
    RecordLine last = first;
    FindRecordLine(text, size, kRecordFile, first, kFirstField, true, last);
    RecordLine count;
    return RecordedFile{
        FieldHasFlag(first.fields[1], kFileFlagExisted),
        FieldHasFlag(last.fields[1], kFileFlagOwn),
        FieldHasFlag(last.fields[1], kFileFlagWindows),
        FieldHasFlag(last.fields[1], kFileFlagKept),
        FindRecordLine(text, size, kRecordCount, first, kFirstField, false, count),
    };
}

bool UninstallDeletesFile(const RecordedFile& file, bool noUseLeft)
{
    if (file.windows && !(file.counted && noUseLeft)) {
        return false;
    }
    return !file.existedBefore || (file.own && !file.kept);
}

RecordedValue MergeValueLines(const char* text, std::size_t size, const RecordLine& first)
{
    RecordedValue value{};
    RecordLine line;
    if (FindRecordLine(text, size, kRecordBefore, first, kFirstThreeFields, false, line)) {
        value.hasBefore = true;
        value.before = line.fields[3];
    }
    if (FindRecordLine(text, size, kRecordWritten, first, kFirstThreeFields, true, line)) {
        value.hasWritten = true;
        value.written = line.fields[3];
    }
    return value;
}
