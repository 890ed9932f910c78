#include "uninstall/registry_removal.h"

#include "base/bounded_text.h"
#include "files/file_system.h"
#include "registry/joystick_config.h"
#include "registry/uninstall_entry.h"
#include "registry/registry_line.h"
#include "script/install_locations.h"
#include "uninstall/recorded_changes.h"
#include "uninstall/removal_rules.h"

namespace {

// The largest value a Windows 95 key holds is 16,300 bytes.
constexpr DWORD kMostValueBytes = 16 * 1024;
BYTE g_current[kMostValueBytes + 1];
BYTE g_recorded[kMostValueBytes + 1];

// A value as the record names it.
struct ValuePlace {
    RegistryRoot root;
    char key[kMostRecordPath];
    char name[kMostRecordPath];
};

HKEY RootKey(RegistryRoot root)
{
    return root == RegistryRoot::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
}

RegistryRoot RootOf(const RecordField& field)
{
    return RecordFieldIs(field, kRecordClassesRoot)  ? RegistryRoot::ClassesRoot
           : RecordFieldIs(field, kRecordLocalMachine) ? RegistryRoot::LocalMachine
                                                       : RegistryRoot::None;
}

bool DecodePlace(const RecordLine& line, ValuePlace& place)
{
    place.root = RootOf(line.fields[0]);
    return place.root != RegistryRoot::None &&
           DecodeRecordText(line.fields[1], place.key, sizeof place.key) &&
           DecodeRecordText(line.fields[2], place.name, sizeof place.name);
}

// An uninstall entry of Windows' list: a key below the list's key.
bool IsUninstallEntry(const ValuePlace& place)
{
    return place.root == RegistryRoot::LocalMachine &&
           PathIsAtOrBelow(place.key, kUninstallKeyPrefix) &&
           PathDepth(place.key) > PathDepth(kUninstallKeyPrefix);
}

// One of the first joystick's values in a driver's settings key; its index among the three, or
// -1.
int JoystickValueIndex(const ValuePlace& place)
{
    if (place.root != RegistryRoot::LocalMachine ||
        !PathIsAtOrBelow(place.key, kJoystickDriversKey)) {
        return -1;
    }
    for (int i = 0; i < kJoystickValueCount; ++i) {
        if (EqualsIgnoreCase(place.name, kJoystickValueNames[i])) {
            return i;
        }
    }
    return -1;
}

void NoteFailure(const ValuePlace& place, FailedNames& notRemoved)
{
    char name[2 * kMostRecordPath];
    CopyText(name, place.key);
    AppendText(name, "\\");
    AppendText(name, place.name);
    NoteFailed(notRemoved, name);
}

// The value's data now, into g_current; false when it cannot be read (absent: `present` false).
bool ReadCurrent(HKEY key, const char* name, RecordData& now)
{
    DWORD type = 0;
    DWORD size = kMostValueBytes;
    const LONG read = RegQueryValueExA(key, name, nullptr, &type, g_current, &size);
    now = RecordData{read == ERROR_SUCCESS, type, read == ERROR_SUCCESS ? size : 0};
    return read == ERROR_SUCCESS || read == ERROR_FILE_NOT_FOUND;
}

// True when the value holds exactly the data of the record's field.
bool StillHolds(HKEY key, const char* name, const RecordField& written)
{
    RecordData now;
    RecordData then;
    if (!ReadCurrent(key, name, now) ||
        !DecodeRecordData(written, g_recorded, kMostValueBytes, then) ||
        now.present != then.present || now.type != then.type || now.count != then.count) {
        return false;
    }
    for (DWORD i = 0; i < now.count; ++i) {
        if (g_current[i] != g_recorded[i]) {
            return false;
        }
    }
    return true;
}

// Gives the value its data before (none: it goes). True when data was put back.
bool PutBefore(HKEY key, const ValuePlace& place, const RecordField& before,
               FailedNames& notRemoved)
{
    RecordData data;
    if (!DecodeRecordData(before, g_recorded, kMostValueBytes, data)) {
        return false;
    }
    const LONG done = data.present
                          ? RegSetValueExA(key, place.name, 0, data.type, g_recorded, data.count)
                          : RegDeleteValueA(key, place.name);
    if (done != ERROR_SUCCESS && done != ERROR_FILE_NOT_FOUND) {
        NoteFailure(place, notRemoved);
        return false;
    }
    return data.present;
}

// The first joystick's three values back as they were, as one.
bool PutJoystickBack(const RecordIndex& index, const RecordLine& line, HKEY key,
                     ValuePlace& place, FailedNames& notRemoved)
{
    bool putBack = false;
    for (const char* name : kJoystickValueNames) {
        RecordLine like = line;
        like.fields[2] = RecordField{name, TextLength(name)};
        RecordLine first;
        if (CopyText(place.name, name) &&
            FindRecordLine(index, kRecordBefore, like, false, first)) {
            putBack = PutBefore(key, place, first.fields[3], notRemoved) || putBack;
        }
    }
    return putBack;
}

} // namespace

bool TakeBackValue(const RecordIndex& index, const RecordLine& line, FailedNames& notRemoved)
{
    ValuePlace place;
    if (!DecodePlace(line, place) || IsUninstallEntry(place)) {
        return false;
    }
    const int joystick = JoystickValueIndex(place);
    HKEY key = nullptr;
    if (joystick > 0 ||
        RegOpenKeyExA(RootKey(place.root), place.key, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return false; // the joystick's other values go with its callout; no key, no value
    }
    const RecordedValue value = MergeValueLines(index, line);
    bool putBack = false;
    if (!value.hasBefore || !value.hasWritten) {
        // Without what the setup wrote, nobody can tell whether it is still there: left.
    } else if (joystick == 0) {
        putBack = StillHolds(key, place.name, value.written) &&
                  PutJoystickBack(index, line, key, place, notRemoved);
    } else if (StillHolds(key, place.name, value.written)) {
        putBack = PutBefore(key, place, value.before, notRemoved);
    }
    RegCloseKey(key);
    return putBack;
}

void RemoveCreatedKeys(const RecordIndex& index)
{
    ForEachFirstLine(
        index, kRecordKey,
        [](const RecordLine& line) {
            const RegistryRoot root = RootOf(line.fields[0]);
            char path[kMostRecordPath];
            if (DecodeRecordText(line.fields[1], path, sizeof path) &&
                MayDeleteEmptyKey(root, path) && KeyIsEmpty(RootKey(root), path)) {
                RegDeleteKeyA(RootKey(root), path);
            }
        },
        true);
}

bool KeyIsEmpty(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD subkeys = 1;
    DWORD values = 1;
    const bool read = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                       &values, nullptr, nullptr, nullptr, nullptr) ==
                      ERROR_SUCCESS;
    RegCloseKey(key);
    return read && subkeys == 0 && values == 0;
}
