// A hidden window that notes in a file when Windows asks it whether the session may end, the way
// a restart request reaches every program. Usage: endsession_watcher FILE
#include <windows.h>

#include <cstdio>

namespace {

const char* g_noteFile = nullptr;

void Note(const char* text)
{
    if (FILE* f = std::fopen(g_noteFile, "a")) {
        std::fputs(text, f);
        std::fclose(f);
    }
}

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUERYENDSESSION) {
        Note("QUERYENDSESSION\n");
        return TRUE;
    }
    if (message == WM_ENDSESSION) {
        Note("ENDSESSION\n");
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return 2;
    }
    g_noteFile = argv[1];
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WatcherProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "EndSessionWatcher";
    RegisterClassA(&windowClass);
    CreateWindowA("EndSessionWatcher", "watcher", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                  windowClass.hInstance, nullptr);
    Note("READY\n");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}
