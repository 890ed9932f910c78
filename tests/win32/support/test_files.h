// Files and folders for the Win32 tests: paths of the build, scratch folders, small files.
#pragma once

#include <windows.h>

#include <set>
#include <string>

// A Unix path of the build machine as Wine sees it (drive Z: is the root).
std::string WindowsPathOf(const std::string& unixPath);

// The built SETUP.EXE, as a Windows path.
std::string BuiltSetupExe();

// Removes a folder with everything in it.
void RemoveTree(const std::string& path);

// Creates an empty folder (removing any earlier one of that name) and returns its path.
std::string FreshFolder(const std::string& path);

// Writes a file whole. Returns false when it cannot be written.
bool WriteWholeFile(const std::string& path, const std::string& content);

// Reads a file whole; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

bool FileExists(const std::string& path);

// The main of a test program whose code reads files beside its own module: copies the program
// into `folder`, runs the copy there with the same arguments and returns its exit code; the
// copy runs the tests.
int RunTestsFromFolder(const std::string& folder, int argc, char** argv);

// Copies every file of a folder (not its subfolders) into another, which is made if missing.
bool CopyFolderFiles(const std::string& from, const std::string& to);

// The size of a file in bytes, or -1 when it does not exist.
long long FileSize(const std::string& path);

// The names of the files (not folders) in a folder.
std::set<std::string> FileNamesIn(const std::string& folder);

// Runs a script of the machine's own shell, outside Wine, and waits for it. Its exit status, or
// -1 when it cannot be run or does not end in time.
int RunHostShell(const std::string& script, DWORD milliseconds = 20000);

// Makes `folder` anew as the destination of the shared state and starts the install record
// there, as the copy page does before it changes anything: the setup's registry writers need it.
void StartRecordIn(const std::string& folder);
