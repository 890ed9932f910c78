// SETUP.EXE's side of the install record (record/install_record.h): UNINSTAL.DAT in the
// destination folder, written a line at a time, each line before the change it allows, so that a
// setup stopped at any point leaves a record that names everything it changed. Nothing is held
// back in the program: each line goes to the file as it is made.
#pragma once

#include <windows.h>

#include <cstdint>

// Opens the record of g_setup.destDir, or makes it. A record of an earlier install into the same
// folder is added to; one that another folder's install left, and that the product's uninstall
// entry still names, is taken over and removed there, so that one uninstall takes back both. Then
// removes what an interrupted run left (install/leftovers.h) and notes this install and the
// destination folder, if the destination page made it. False when the record cannot be had (a
// file of that name that is no record of this folder, or one that cannot be written): the setup
// must then change nothing.
bool StartInstallRecord();

// Opens the record of g_setup.destDir that this run began (StartInstallRecord) in another process:
// a copy of the program that goes on where the one that started it stopped. Nothing is noted or
// removed. False when the record cannot be had; the setup must then change nothing.
bool ContinueInstallRecord();

// Makes sure that what has been written is on the disk.
void FlushInstallRecord();

// Flushes and closes the record.
void EndInstallRecord();

// True when a line could not be written (or the record could not be had): from then on nothing is
// written, and the changes it would have allowed must not be made.
bool InstallRecordFailed();

// Writes a line of one or two text fields. False when it cannot be written.
bool RecordChange(char kind, const char* first, const char* second = nullptr);

// Writes a file's line: its path, flags (kFileFlag...), length and the hash of its bytes.
bool RecordFile(const char* path, const char* flags, std::uint32_t length, std::uint32_t sum);

// Writes a registry value's line (kRecordBefore or kRecordWritten): root name, key, value name,
// and its data (absent when `present` is false).
bool RecordValue(char kind, const char* rootName, const char* keyPath, const char* valueName,
                 bool present, std::uint32_t type, const BYTE* data, std::uint32_t count);

// True when the record, this run's lines included, counts a use of `path`: its last line that
// raised the file's use count comes after any uninstall's that lowered it.
bool RecordCountsUse(const char* path);
