// Drives a running SETUP.EXE from the command line, one step per call, so that a script can take
// a screenshot between the steps. Runs in the same Wine prefix as SETUP.EXE.
//   setup_driver wait CLASS [SECONDS]   wait for a visible window of that class; print its caption
//   setup_driver gone CLASS [SECONDS]   wait until no window of that class is left
//   setup_driver click CLASS ID         click button ID of the window of that class
//   setup_driver first SECONDS CLASS... wait for a visible window of any of the classes; print
//                                       its class and caption
//   setup_driver box BUTTON [SECONDS]   wait for a message box, print its text, press BUTTON, and
//                                       wait until the box is gone
//   setup_driver text CLASS ID          print the text of control ID
//   setup_driver set CLASS ID TEXT      type TEXT into control ID
//   setup_driver run COMMAND            start a command line as the control panel starts an
//                                       uninstall entry's command; print "started" at once and
//                                       its exit code when it ends (exit 1: it could not start)
//   setup_driver close CLASS            close the window of that class (as Alt+F4 does)
//   setup_driver times [SECONDS]        wait for the copy page and time it: print the
//                                       milliseconds from its appearance to its status text
//                                       "Adding Registry..." and to the finish page's appearance
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/resource_ids.h"
#include "support/automation.h"

namespace {

// The first visible window of any of `classNames` (their count `count`), or null when none
// appears within the time; `found` is the index of its class.
HWND FindFirstVisible(const char* const* classNames, int count, DWORD milliseconds, int& found)
{
    const DWORD start = GetTickCount();
    for (;;) {
        for (found = 0; found < count; ++found) {
            HWND window = FindWindowA(classNames[found], nullptr);
            if (window != nullptr && IsWindowVisible(window)) {
                return window;
            }
        }
        if (GetTickCount() - start >= milliseconds) {
            return nullptr;
        }
        Sleep(50);
    }
}

HWND FindVisible(const char* className, DWORD milliseconds)
{
    const char* names[] = {className};
    int found = 0;
    return FindFirstVisible(names, 1, milliseconds, found);
}

bool WaitForDestruction(HWND window, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= milliseconds) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

// Starts `commandLine` as the control panel's "Add/Remove Programs" does (the program named by the
// command line, found as CreateProcess finds it, in the folder it is started from), and waits
// for it to end.
int RunCommand(const char* commandLine)
{
    std::string line = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("cannot start: error %lu\n", GetLastError());
        return 1;
    }
    std::printf("started\n");
    std::fflush(stdout);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("exit code %lu\n", code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

// Milliseconds on the performance counter.
double Now()
{
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Watches the copy page without sending it anything, so that the watching does not add to its
// work: the page's state is read from the window manager (its visibility and the window text of
// its status control, which reading from another process does not ask the page for).
int TimeCopyPage(DWORD limit)
{
    const DWORD start = GetTickCount();
    auto expired = [&] { return GetTickCount() - start >= limit; };
    HWND page = nullptr;
    while ((page = FindWindowA("SETUP_INSTALL", nullptr)) == nullptr || !IsWindowVisible(page)) {
        if (expired()) {
            std::fputs("no copy page\n", stderr);
            return 1;
        }
        Sleep(5);
    }
    const double appeared = Now();
    // The page shows itself before its controls are made.
    HWND status = nullptr;
    double copied = -1;
    for (;;) {
        if (status == nullptr) {
            status = GetDlgItem(page, IDC_COPY_STATUS);
        }
        char text[64] = {};
        if (copied < 0 && status != nullptr && GetWindowTextA(status, text, sizeof text) > 0 &&
            std::strcmp(text, "Adding Registry...") == 0) {
            copied = Now();
        }
        HWND finish = FindWindowA("SETUP_END", nullptr);
        if (finish != nullptr && IsWindowVisible(finish)) {
            break;
        }
        if (expired()) {
            std::fputs("no finish page\n", stderr);
            return 1;
        }
        Sleep(5);
    }
    const double finished = Now();
    std::printf("copy-loop-ms %.1f page-ms %.1f\n", copied < 0 ? -1.0 : copied - appeared,
                finished - appeared);
    return copied < 0 ? 1 : 0;
}

DWORD Seconds(int argc, char** argv, int index, DWORD fallback)
{
    return (argc > index ? static_cast<DWORD>(std::atoi(argv[index])) : fallback) * 1000;
}

int Usage()
{
    std::fputs("usage: setup_driver wait|first|gone|click|box|text|set|close|run|times ...\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == "times") {
        return TimeCopyPage(Seconds(argc, argv, 2, 600));
    }
    if (argc < 3) {
        return Usage();
    }
    const std::string verb = argv[1];
    if (verb == "run") {
        return RunCommand(argv[2]);
    }
    if (verb == "first" && argc >= 4) {
        int found = 0;
        HWND window = FindFirstVisible(argv + 3, argc - 3, Seconds(argc, argv, 2, 30), found);
        if (window == nullptr) {
            return 1;
        }
        std::printf("%s %s\n", argv[3 + found], WindowText(window).c_str());
        return 0;
    }
    if (verb == "wait") {
        HWND window = FindVisible(argv[2], Seconds(argc, argv, 3, 30));
        if (window == nullptr) {
            std::fprintf(stderr, "no %s window\n", argv[2]);
            return 1;
        }
        std::printf("%s\n", WindowText(window).c_str());
        return 0;
    }
    if (verb == "gone") {
        const DWORD start = GetTickCount();
        const DWORD limit = Seconds(argc, argv, 3, 60);
        while (FindWindowA(argv[2], nullptr) != nullptr) {
            if (GetTickCount() - start >= limit) {
                return 1;
            }
            Sleep(50);
        }
        return 0;
    }
    if (verb == "click" && argc >= 4) {
        HWND window = FindVisible(argv[2], kPatience);
        HWND button = window != nullptr ? GetDlgItem(window, std::atoi(argv[3])) : nullptr;
        if (button == nullptr) {
            return 1;
        }
        PostMessageA(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (verb == "box") {
        HWND box = FindVisible("#32770", Seconds(argc, argv, 3, 30));
        if (box == nullptr) {
            return 1;
        }
        std::printf("%s: %s\n", WindowText(box).c_str(), MessageBoxText(box).c_str());
        PressButton(box, std::atoi(argv[2]));
        // The next box of the same program may take its place at once; the caller's next "wait"
        // must not find this one.
        return WaitForDestruction(box, kPatience) ? 0 : 1;
    }
    if (verb == "close") {
        HWND window = FindVisible(argv[2], kPatience);
        return window != nullptr && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (verb == "set" && argc >= 5) {
        HWND window = FindVisible(argv[2], kPatience);
        HWND control = window != nullptr ? GetDlgItem(window, std::atoi(argv[3])) : nullptr;
        return control != nullptr && SetWindowTextA(control, argv[4]) ? 0 : 1;
    }
    if (verb == "text" && argc >= 4) {
        HWND window = FindVisible(argv[2], kPatience);
        if (window == nullptr) {
            return 1;
        }
        std::printf("%s\n", ControlText(window, std::atoi(argv[3])).c_str());
        return 0;
    }
    return Usage();
}
