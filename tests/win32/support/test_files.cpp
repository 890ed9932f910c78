#include "support/test_files.h"

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "install/record_writer.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

std::string WindowsPathOf(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::string BuiltSetupExe()
{
    return WindowsPathOf(SETUP_BUILD_DIR "/SETUP.EXE");
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string FreshFolder(const std::string& path)
{
    RemoveTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

bool WriteWholeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return static_cast<bool>(out);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CopyFolderFiles(const std::string& from, const std::string& to)
{
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ok = CopyFileA((from + "\\" + found.cFileName).c_str(),
                           (to + "\\" + found.cFileName).c_str(), FALSE) && ok;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::set<std::string> FileNamesIn(const std::string& folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.insert(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

int RunHostShell(const std::string& script, DWORD milliseconds)
{
    // Wine starts a program of the host without a handle to wait on, so the script leaves its
    // exit status in a file.
    const std::string base = "/tmp/setup-test-shell-" + std::to_string(GetCurrentProcessId()) +
                             "-" + std::to_string(GetTickCount());
    const std::string status = WindowsPathOf(base + ".status");
    DeleteFileA(status.c_str());
    if (!WriteWholeFile(WindowsPathOf(base + ".sh"),
                        "(\n" + script + "\n) >/dev/null 2>&1\necho $? > " + base +
                            ".tmp && mv " + base + ".tmp " + base + ".status\n")) {
        return -1;
    }
    std::string commandLine = "sh " + base + ".sh";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return -1;
    }
    if (process.hProcess != nullptr) {
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    int code = -1;
    for (DWORD waited = 0; waited <= milliseconds; waited += 20) {
        const std::string text = ReadWholeFile(status);
        if (!text.empty()) {
            code = std::atoi(text.c_str());
            break;
        }
        Sleep(20);
    }
    DeleteFileA(status.c_str());
    DeleteFileA(WindowsPathOf(base + ".sh").c_str());
    return code;
}

namespace {

// The exit code of a copy of this program run from `folder`, or -1 when it already runs there.
int RunFromFolder(const std::string& folder, int argc, char** argv)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string selfPath = self;
    const std::string selfDir = selfPath.substr(0, selfPath.find_last_of('\\'));
    if (lstrcmpiA(selfDir.c_str(), folder.c_str()) == 0) {
        return -1;
    }
    FreshFolder(folder);
    const std::string copy = folder + "\\" + selfPath.substr(selfPath.find_last_of('\\') + 1);
    if (!CopyFileA(self, copy.c_str(), FALSE)) {
        return 3;
    }
    std::string commandLine = "\"" + copy + "\"";
    for (int i = 1; i < argc; ++i) {
        commandLine += std::string(" \"") + argv[i] + "\"";
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return 3;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 3;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

} // namespace

int RunTestsFromFolder(const std::string& folder, int argc, char** argv)
{
    const int relaunched = RunFromFolder(folder, argc, argv);
    if (relaunched >= 0) {
        return relaunched;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

void StartRecordIn(const std::string& folder)
{
    FreshFolder(folder);
    CopyText(g_setup.destDir, folder.c_str());
    EXPECT_TRUE(StartInstallRecord());
}
