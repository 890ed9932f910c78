// Drives a running SETUP.EXE from the command line, one step per call, so that a script can take
// a screenshot between the steps. Runs in the same Wine prefix as SETUP.EXE.
//   setup_driver wait CLASS [SECONDS]   wait for a visible window of that class; print its caption
//   setup_driver gone CLASS [SECONDS]   wait until no window of that class is left
//   setup_driver click CLASS ID         click button ID of the window of that class
//   setup_driver box BUTTON [SECONDS]   wait for a message box, print its text, press BUTTON
//   setup_driver text CLASS ID          print the text of control ID
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/automation.h"

namespace {

HWND FindVisible(const char* className, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(className, nullptr);
        if (window != nullptr && IsWindowVisible(window)) {
            return window;
        }
        if (GetTickCount() - start >= milliseconds) {
            return nullptr;
        }
        Sleep(50);
    }
}

DWORD Seconds(int argc, char** argv, int index, DWORD fallback)
{
    return (argc > index ? static_cast<DWORD>(std::atoi(argv[index])) : fallback) * 1000;
}

int Usage()
{
    std::fputs("usage: setup_driver wait|gone|click|box|text ...\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        return Usage();
    }
    const std::string verb = argv[1];
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
        HWND window = FindVisible(argv[2], 10000);
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
        return 0;
    }
    if (verb == "text" && argc >= 4) {
        HWND window = FindVisible(argv[2], 10000);
        if (window == nullptr) {
            return 1;
        }
        std::printf("%s\n", ControlText(window, std::atoi(argv[3])).c_str());
        return 0;
    }
    return Usage();
}
