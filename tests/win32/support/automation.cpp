#include "script/script_names.h"
#include "support/automation.h"

#include "support/test_files.h"

#include <vector>

SetupProcess::SetupProcess(const std::string& mediumDir, SetupExe program)
{
    const std::string exe = mediumDir + "\\" + kSetupName;
    if (program == SetupExe::Built && !CopyFileA(BuiltSetupExe().c_str(), exe.c_str(), FALSE)) {
        return;
    }
    Start(exe, mediumDir);
}

SetupProcess::SetupProcess(const std::string& path, const std::string& folder)
{
    Start(path, folder);
}

SetupProcess::SetupProcess(DWORD processId)
{
    process_.hProcess =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, processId);
    process_.dwProcessId = process_.hProcess != nullptr ? processId : 0;
}

void SetupProcess::Start(const std::string& path, const std::string& folder)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + path + "\"";
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process_)) {
        process_ = {};
    }
}

SetupProcess::~SetupProcess()
{
    if (process_.hProcess != nullptr) {
        if (!HasExited()) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

bool SetupProcess::WaitForExit(DWORD milliseconds)
{
    return process_.hProcess != nullptr &&
           WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
}

bool SetupProcess::HasExited() const
{
    return process_.hProcess == nullptr ||
           WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
}

void SetupProcess::Kill()
{
    if (process_.hProcess != nullptr) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, INFINITE);
    }
}

DWORD SetupProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

namespace {

struct Search {
    DWORD processId;
    const char* className;
    const std::string* captionPart;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search->processId != kAnyProcess && owner != search->processId) ||
        !IsWindowVisible(window) ||
        ClassNameOf(window) != search->className) {
        return TRUE;
    }
    if (search->captionPart != nullptr &&
        WindowText(window).find(*search->captionPart) == std::string::npos) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindNow(DWORD processId, const char* className, const std::string* captionPart)
{
    Search search{processId, className, captionPart, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Wait(DWORD processId, const char* className, const std::string* captionPart,
          DWORD milliseconds)
{
    HWND window = nullptr;
    if (!WaitUntil([&] { return (window = FindNow(processId, className, captionPart)) != nullptr; },
                   milliseconds)) {
        return nullptr;
    }
    // A page shows itself while it is still being created, before its controls exist. A message
    // sent to it comes back only once its thread waits for messages again, by which time the page
    // (or box) is complete.
    DWORD_PTR ignored;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kPatience, &ignored);
    return window;
}

} // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds, DWORD step)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) {
            return true;
        }
        if (GetTickCount() - start > milliseconds) {
            return false;
        }
        Sleep(step);
    }
}

HWND WaitForWindow(DWORD processId, const char* className, DWORD milliseconds)
{
    return Wait(processId, className, nullptr, milliseconds);
}

HWND WaitForWindowWithCaption(DWORD processId, const char* className,
                              const std::string& captionPart, DWORD milliseconds)
{
    return Wait(processId, className, &captionPart, milliseconds);
}

DWORD WindowProcess(const char* className, DWORD milliseconds)
{
    DWORD processId = 0;
    WaitUntil(
        [&] {
            HWND window = FindWindowA(className, nullptr);
            return window != nullptr && IsWindowVisible(window) &&
                   GetWindowThreadProcessId(window, &processId) != 0;
        },
        milliseconds);
    return processId;
}

bool WaitForWindowGone(DWORD processId, const char* className, DWORD milliseconds)
{
    return WaitUntil([&] { return FindNow(processId, className, nullptr) == nullptr; },
                     milliseconds);
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, kPatience, nullptr);
    return text;
}

std::string ControlText(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    return control != nullptr ? WindowText(control) : std::string("<no control>");
}

std::string ClassNameOf(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string MessageBoxText(HWND box)
{
    return ControlText(box, 0xFFFF);
}

void PressButton(HWND dialog, int buttonId)
{
    HWND button = GetDlgItem(dialog, buttonId);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

HWND WaitForMessageBox(DWORD processId, const std::string& text, DWORD milliseconds)
{
    HWND box = nullptr;
    const bool shown = WaitUntil(
        [&] {
            box = FindNow(processId, "#32770", nullptr);
            return box != nullptr && MessageBoxText(box) == text;
        },
        milliseconds);
    return shown ? box : nullptr;
}

namespace {

ThreadUser* g_user = nullptr;
constexpr UINT kContinueMessage = WM_APP + 0x51;
constexpr char kUserWindowClass[] = "ThreadUserContinue";

BOOL CALLBACK FirstOfClass(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<std::pair<const char*, HWND>*>(data);
    if (ClassNameOf(window) == search->first) {
        search->second = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND ThreadWindow(const char* className)
{
    std::pair<const char*, HWND> search{className, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FirstOfClass, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

ThreadUser::ThreadUser()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kUserWindowClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowA(kUserWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            windowClass.hInstance, nullptr);
    g_user = this;
    showHook_ = SetWindowsHookExA(WH_CALLWNDPROC, ShowHook, nullptr, GetCurrentThreadId());
    destroyHook_ = SetWindowsHookExA(WH_CBT, DestroyHook, nullptr, GetCurrentThreadId());
}

ThreadUser::~ThreadUser()
{
    UnhookWindowsHookEx(showHook_);
    UnhookWindowsHookEx(destroyHook_);
    DestroyWindow(window_);
    g_user = nullptr;
}

ThreadUser& ThreadUser::Then(std::function<void()> action)
{
    steps_.push_back(Step{std::move(action), 0, {}});
    return *this;
}

ThreadUser& ThreadUser::Box(int answer, std::function<void(HWND box)> seen)
{
    steps_.push_back(Step{{}, answer, std::move(seen)});
    return *this;
}

void ThreadUser::Close(HWND box, int button)
{
    PressButton(box, button);
    closing_.insert(box);
}

void ThreadUser::Start()
{
    PostContinue();
}

LRESULT CALLBACK ThreadUser::ShowHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (g_user != nullptr && code == HC_ACTION && call->message == WM_SHOWWINDOW &&
        call->wParam != FALSE) {
        g_user->Shown(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ThreadUser::DestroyHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (g_user != nullptr && code == HCBT_DESTROYWND) {
        g_user->Gone(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ThreadUser::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kContinueMessage && g_user != nullptr) {
        g_user->Continue();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ThreadUser::Shown(HWND box)
{
    // Only a box's first showing counts.
    if (ClassNameOf(box) != "#32770" || !boxes_.insert(box).second) {
        return;
    }
    if (next_ < steps_.size() && !steps_[next_].action) {
        const Step& step = steps_[next_++];
        if (step.seen) {
            step.seen(box);
        }
        if (step.answer == 0) {
            PostContinue();
            return;
        }
        PressButton(box, step.answer);
    } else {
        otherBoxes_.push_back(MessageBoxText(box));
        PressButton(box, IDOK);
    }
    closing_.insert(box);
}

void ThreadUser::Gone(HWND window)
{
    boxes_.erase(window);
    if (closing_.erase(window) > 0) {
        PostContinue();
    }
}

void ThreadUser::Continue()
{
    // The next action waits until the boxes that were answered are gone, and a box step for its
    // box.
    if (!closing_.empty() || next_ == steps_.size() || !steps_[next_].action) {
        return;
    }
    steps_[next_++].action();
    PostContinue();
}

void ThreadUser::PostContinue()
{
    PostMessageA(window_, kContinueMessage, 0, 0);
}
