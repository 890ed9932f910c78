// Drives a running SETUP.EXE from a test program, as a user would: find its windows, read their
// texts, press their buttons, answer its message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

// Which SETUP.EXE a test starts from a medium.
enum class SetupExe {
    Built,    // the build's, copied onto the medium first
    OnMedium, // the one that the medium holds
};

// How long a wait gives a program to show or do what it should do at once. Time under Wine is
// no measure of the program: with four tests and two builds sharing two processors a test takes
// four times as long as alone. A wait that is long enough only ends the run of a test that fails.
constexpr DWORD kPatience = 60000;

// A program of the package started as a user would: SETUP.EXE from a folder of its own (the
// medium), or any program by its path (UNINSTAL.EXE from the uninstall entry).
class SetupProcess {
public:
    // Starts SETUP.EXE in `mediumDir` (a folder, or a drive such as "A:").
    explicit SetupProcess(const std::string& mediumDir, SetupExe program = SetupExe::Built);
    // Starts the program at `path`, in the folder `folder`.
    SetupProcess(const std::string& path, const std::string& folder);
    // Follows a program that runs already: the copy of itself that SETUP.EXE hands over to.
    explicit SetupProcess(DWORD processId);
    ~SetupProcess();
    SetupProcess(const SetupProcess&) = delete;
    SetupProcess& operator=(const SetupProcess&) = delete;

    bool started() const { return process_.hProcess != nullptr; }
    DWORD id() const { return process_.dwProcessId; }
    // Waits for the process to end; returns false on time-out.
    bool WaitForExit(DWORD milliseconds = kPatience);
    bool HasExited() const;
    DWORD ExitCode() const;
    // Ends the process at once, as a power cut or the task list would, and waits until it is gone.
    void Kill();

private:
    void Start(const std::string& path, const std::string& folder);

    PROCESS_INFORMATION process_{};
};

// Asks `done` every `step` milliseconds until it says yes (true) or the time is up (false).
bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds = kPatience, DWORD step = 20);

// For the waits below: a window of whichever process shows it (a program that another one starts).
constexpr DWORD kAnyProcess = 0;

// The first visible top-level window of `processId` with this class ("#32770" for a message box);
// null when none appears within the time.
HWND WaitForWindow(DWORD processId, const char* className, DWORD milliseconds = kPatience);

// Like WaitForWindow, but for a window whose caption contains `captionPart`.
HWND WaitForWindowWithCaption(DWORD processId, const char* className,
                              const std::string& captionPart, DWORD milliseconds = kPatience);

// The process of the first visible top-level window of this class, whichever program shows it; 0
// when none appears within the time.
DWORD WindowProcess(const char* className, DWORD milliseconds = kPatience);

// Waits until no window of that class is left for the process; false on time-out.
bool WaitForWindowGone(DWORD processId, const char* className, DWORD milliseconds = kPatience);

std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int controlId);
std::string ClassNameOf(HWND window);

// The text of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND box);

// Presses a button of a dialog or page as a click would.
void PressButton(HWND dialog, int buttonId);

// Waits for a message box of the process that shows exactly `text`; null on time-out.
HWND WaitForMessageBox(DWORD processId, const std::string& text, DWORD milliseconds = kPatience);

// A user played on the test's own thread while the code under test runs its modal loops there (a
// page's, a message box's, a dialog's). The steps run one after another, driven by events: an
// action runs once every message posted before it has been handled; a box step runs when the next
// box (message box or dialog, class "#32770") shows, which a hook on this thread sees; and after
// a box that a step answered, the next action waits until the box is gone. A box that no step
// waits for is noted and answered with OK. No second thread, no polling, no clock.
class ThreadUser {
public:
    ThreadUser();
    ~ThreadUser();
    ThreadUser(const ThreadUser&) = delete;
    ThreadUser& operator=(const ThreadUser&) = delete;

    // An action on the windows of this thread.
    ThreadUser& Then(std::function<void()> action);
    // Waits for the next box and hands it to `seen`, before anything else reaches it; then
    // presses `answer` (IDOK, IDCANCEL, ...), or with 0 leaves the box to the steps that follow.
    ThreadUser& Box(int answer, std::function<void(HWND box)> seen = {});

    // For an action: presses `button` of a box that a box step left open; the next action waits
    // until the box is gone.
    void Close(HWND box, int button);

    // Starts the steps; the modal loop that runs next on this thread carries them out.
    void Start();
    // True when every step has run.
    bool Done() const { return next_ == steps_.size(); }
    // The texts of the boxes that no step waited for, each answered with OK.
    const std::vector<std::string>& OtherBoxes() const { return otherBoxes_; }

private:
    struct Step {
        std::function<void()> action; // empty for a box step
        int answer = 0;
        std::function<void(HWND box)> seen;
    };

    static LRESULT CALLBACK ShowHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK DestroyHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Shown(HWND box);
    void Gone(HWND window);
    void Continue();
    void PostContinue();

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::set<HWND> boxes_;   // shown and not yet destroyed
    std::set<HWND> closing_; // answered, not yet destroyed
    std::vector<std::string> otherBoxes_;
    HHOOK showHook_ = nullptr;
    HHOOK destroyHook_ = nullptr;
    HWND window_ = nullptr;  // receives the posted "continue"
};

// The first window of this thread with this class; null when there is none.
HWND ThreadWindow(const char* className);
