// The page host and the pages run inside this process: the class and the placement of a page,
// its caption and formatted texts, the results it leaves, the message boxes of the destination
// page with their icons and buttons, and the finish page's choice. A second thread plays the
// user while the page's own loop runs on the main thread.
#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "support/automation.h"
#include "support/page_state.h"
#include "support/test_files.h"
#include "support/watchdog.h"
#include "ui/page_host.h"
#include "ui/pages.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

namespace {

constexpr unsigned kWelcome = 101;
constexpr unsigned kFinish = 102;
constexpr unsigned kDestination = 107;

class PageHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrepareQuorraPadState();
    }
};

// What a page procedure wrapped for a test saw: the window before and after its WM_CREATE,
// the caption and control texts after its start message.
struct PageRecord {
    RECT created{};
    RECT placed{};
    std::string caption;
    std::string text1023;
    std::string text1024;
    std::string text1003;
    bool radio1032 = false;
    bool radio1033 = false;
};

PageRecord g_record;
WNDPROC g_wrapped = nullptr;
// The command the wrapper posts to the page after its start message; 0 for none.
WPARAM g_commandAfterStart = 0;

LRESULT CALLBACK RecordingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        GetWindowRect(page, &g_record.created);
        const LRESULT result = g_wrapped(page, message, wParam, lParam);
        GetWindowRect(page, &g_record.placed);
        return result;
    }
    if (message == WM_SETUP_START) {
        const LRESULT result = g_wrapped(page, message, wParam, lParam);
        g_record.caption = WindowText(page);
        g_record.text1023 = ControlText(page, 1023);
        g_record.text1024 = ControlText(page, 1024);
        g_record.text1003 = ControlText(page, 1003);
        g_record.radio1032 = IsDlgButtonChecked(page, 1032) == BST_CHECKED;
        g_record.radio1033 = IsDlgButtonChecked(page, 1033) == BST_CHECKED;
        if (g_commandAfterStart != 0) {
            PostMessageA(page, WM_COMMAND, g_commandAfterStart, 0);
        }
        return result;
    }
    return g_wrapped(page, message, wParam, lParam);
}

// Runs a real page procedure under its page name, wrapped so that the test sees it, and ends
// it with `command` right after its start (0: the test ends it). A page class is registered
// once per process with the wrapper as its procedure, so every page of this program runs
// through the wrapper.
std::int16_t RunRecorded(const char* className, WNDPROC procedure, unsigned templateId,
                         WPARAM command)
{
    g_record = PageRecord{};
    g_wrapped = procedure;
    g_commandAfterStart = command;
    return RunPage(className, RecordingPageProc, templateId);
}

// RunRecorded for a page that `user` plays from a second thread until it ends the page.
std::int16_t RunRecordedWithUser(const char* className, WNDPROC procedure, unsigned templateId,
                                 const std::function<void()>& user)
{
    Watchdog watchdog;
    std::thread thread(user);
    const std::int16_t result = RunRecorded(className, procedure, templateId, 0);
    thread.join();
    return result;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

TEST_F(PageHost, PageGrowsByOnePixelAndIsCentredOnTheRecordedScreen)
{
    ASSERT_EQ(RunRecorded("SETUP_BEGIN", WelcomePageProc, kWelcome, 1), kPageNext);
    EXPECT_EQ(Width(g_record.placed), Width(g_record.created) + 1);
    EXPECT_EQ(Height(g_record.placed), Height(g_record.created) + 1);
    EXPECT_EQ(g_record.placed.left, (640 - Width(g_record.placed)) / 2);
    EXPECT_EQ(g_record.placed.top, (480 - Height(g_record.placed)) / 2);

    // The screen size recorded at start-up decides, not the display's.
    g_setup.screenWidth = 1000;
    g_setup.screenHeight = 900;
    ASSERT_EQ(RunRecorded("SETUP_SELDIR", DestinationPageProc, kDestination, 3), kPageBack);
    EXPECT_EQ(g_record.placed.left, (1000 - Width(g_record.placed)) / 2);
    EXPECT_EQ(g_record.placed.top, (900 - Height(g_record.placed)) / 2);
}

TEST_F(PageHost, FinishPageIsCentredOnTheDisplayAsItIsNow)
{
    g_setup.screenWidth = 1000;
    g_setup.screenHeight = 900;
    RunRecorded("SETUP_END", FinishPageProc, kFinish, 1);
    EXPECT_EQ(Width(g_record.placed), Width(g_record.created) + 1);
    EXPECT_EQ(g_record.placed.left, (640 - Width(g_record.placed)) / 2);
    EXPECT_EQ(g_record.placed.top, (480 - Height(g_record.placed)) / 2);
}

TEST_F(PageHost, CaptionIsTheProductNameABlankAndSetup)
{
    RunRecorded("SETUP_BEGIN", WelcomePageProc, kWelcome, 1);
    EXPECT_EQ(g_record.caption, "Quorra Pad Setup");

    g_setup.productName[0] = '\0';
    RunRecorded("SETUP_BEGIN", WelcomePageProc, kWelcome, 1);
    EXPECT_EQ(g_record.caption, " Setup");

    CopyText(g_setup.productName, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE"); // 31 characters
    RunRecorded("SETUP_END", FinishPageProc, kFinish, 1);
    EXPECT_EQ(g_record.caption.size(), 31u + 6u);
}

TEST_F(PageHost, TextsAreFormattedWithTheProductName)
{
    RunRecorded("SETUP_BEGIN", WelcomePageProc, kWelcome, 1);
    EXPECT_EQ(g_record.text1023, " Welcome to Quorra Pad Installer.");
    EXPECT_EQ(g_record.text1024, "This program will guide you to complete setup through an "
                                 "easiest way with only few simple steps.");

    RunRecorded("SETUP_SELDIR", DestinationPageProc, kDestination, 3);
    EXPECT_EQ(g_record.text1023, "Quorra Pad files are to be installed :");
    EXPECT_EQ(g_record.text1003, "C:\\QUORRA");

    RunRecorded("SETUP_END", FinishPageProc, kFinish, 1);
    EXPECT_EQ(g_record.text1023, "You have installed Quorra Pad successfully !");
}

TEST_F(PageHost, PageClassIsRegisteredUnderThePageName)
{
    RunRecorded("SETUP_BEGIN", WelcomePageProc, kWelcome, 1);
    WNDCLASSA pageClass{};
    ASSERT_TRUE(GetClassInfoA(g_setup.instance, "SETUP_BEGIN", &pageClass));
    EXPECT_EQ(pageClass.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(pageClass.cbClsExtra, 0);
    EXPECT_EQ(pageClass.cbWndExtra, DLGWINDOWEXTRA);
    EXPECT_EQ(pageClass.hbrBackground, GetStockObject(LTGRAY_BRUSH));
    EXPECT_EQ(pageClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(pageClass.hIcon, nullptr);
}

TEST_F(PageHost, APageRunsAgainWithItsClassAlreadyRegistered)
{
    for (int run = 0; run < 3; ++run) {
        EXPECT_EQ(RunRecorded("SETUP_BEGIN", WelcomePageProc, kWelcome, 1), kPageNext);
        EXPECT_EQ(g_record.text1023, " Welcome to Quorra Pad Installer.") << "run " << run;
    }
}

TEST_F(PageHost, APageWithoutATemplateEndsTheSetupAtOnce)
{
    g_setup.pageResult = kPageNext;
    const DWORD start = GetTickCount();
    EXPECT_EQ(RunPage("SETUP_NOWHERE", WelcomePageProc, 999), kPageCancel);
    EXPECT_LT(GetTickCount() - start, 2000u);
}

TEST_F(PageHost, OnlyTheLow16BitsOfTheTemplateIdCount)
{
    EXPECT_EQ(RunRecorded("SETUP_BEGIN", WelcomePageProc, 0x10000 + kWelcome, 1), kPageNext);
    EXPECT_EQ(g_record.text1023, " Welcome to Quorra Pad Installer.");
}

TEST_F(PageHost, FinishPageLeavesTheResultOfThePageBefore)
{
    g_setup.pageResult = 7;
    EXPECT_EQ(RunRecorded("SETUP_END", FinishPageProc, kFinish, 1), 7);
    g_setup.pageResult = kPageNext;
    EXPECT_EQ(RunRecorded("SETUP_END", FinishPageProc, kFinish, 1), kPageNext);
}

TEST_F(PageHost, CommandsCountOnlyWithTheClickNotification)
{
    // A command with a notification in the high half is not a click: the page stays, and the
    // Back command that follows ends it.
    g_setup.pageResult = 9;
    EXPECT_EQ(RunRecordedWithUser("SETUP_SELDIR", DestinationPageProc, kDestination, [] {
                  HWND page = WaitForWindow(GetCurrentProcessId(), "SETUP_SELDIR");
                  PostMessageA(page, WM_COMMAND, MAKEWPARAM(1, 1), 0);
                  PostMessageA(page, WM_COMMAND, MAKEWPARAM(2, 5), 0);
                  PostMessageA(page, WM_COMMAND, 3, 0);
              }),
              kPageBack);
}

// ---- Message boxes and the finish page, answered from a second thread ----

struct BoxSeen {
    std::string text;
    std::string caption;
    HICON icon = nullptr;
    bool hasCancel = false;
    bool found = false;
};

HICON IconOf(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassNameOf(child) == "Static" &&
            (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            return reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        }
    }
    return nullptr;
}

// Waits for the next message box of this process, notes what it shows and answers it.
BoxSeen AnswerBox(int answer)
{
    BoxSeen seen;
    HWND box = WaitForWindow(GetCurrentProcessId(), "#32770");
    if (box == nullptr) {
        return seen;
    }
    seen.found = true;
    seen.text = MessageBoxText(box);
    seen.caption = WindowText(box);
    seen.icon = IconOf(box);
    seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
    PressButton(box, answer);
    WaitForWindowGone(GetCurrentProcessId(), "#32770");
    return seen;
}

// The box was seen, with the page's caption, this text and icon, and a Cancel button or none.
void ExpectBox(const BoxSeen& box, const std::string& text, HICON icon, bool hasCancel)
{
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, "Quorra Pad Setup Program");
    EXPECT_EQ(box.icon, icon);
    EXPECT_EQ(box.hasCancel, hasCancel);
}

const std::string kMissingText =
    "The specified directory is not existed!\n Are you sure you want to create it ?";
const std::string kExistsText =
    "The specified directory is already existed !\nDo you still want to copy to this directory ?";
const std::string kCannotCreateText =
    "Can not create directory !\nThe specified directory is either invalid or disk drive is "
    "write protected.";
const std::string kNoSpaceText = "There is no enough free space in the specified disk drive !";

void SetDestination(HWND page, const std::string& path)
{
    SendMessageA(GetDlgItem(page, 1003), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
}

TEST_F(PageHost, DestinationQuestionsAndWarningsHaveTheirIconsAndButtons)
{
    const std::string target = "C:\\HOSTDEST";
    FreshFolder(target);
    RemoveDirectoryA(target.c_str());
    CopyText(g_setup.destDir, target.c_str());
    const HICON question = LoadIconA(nullptr, IDI_QUESTION);
    const HICON warning = LoadIconA(nullptr, IDI_EXCLAMATION);

    BoxSeen missingCancelled, missingAccepted;
    EXPECT_EQ(RunRecordedWithUser("SETUP_SELDIR", DestinationPageProc, kDestination, [&] {
                  HWND page = WaitForWindow(GetCurrentProcessId(), "SETUP_SELDIR");
                  PressButton(page, 1);
                  missingCancelled = AnswerBox(IDCANCEL);
                  PressButton(page, 1);
                  missingAccepted = AnswerBox(IDOK);
              }),
              kPageNext);
    ExpectBox(missingCancelled, kMissingText, question, true);
    ExpectBox(missingAccepted, kMissingText, question, true);
    EXPECT_TRUE(DirectoryExists(target.c_str()));

    // The directory exists now; a minimum that no drive offers fails the space test.
    g_setup.minimumSpaceKb = -1;
    BoxSeen exists, badForm, existsAgain, noSpace, notice;
    EXPECT_EQ(RunRecordedWithUser("SETUP_SELDIR", DestinationPageProc, kDestination, [&] {
                  HWND page = WaitForWindow(GetCurrentProcessId(), "SETUP_SELDIR");
                  PressButton(page, 1);
                  exists = AnswerBox(IDCANCEL);
                  SetDestination(page, "C:HOSTDEST");
                  PressButton(page, 1);
                  badForm = AnswerBox(IDOK);
                  SetDestination(page, target);
                  PressButton(page, 1);
                  existsAgain = AnswerBox(IDOK);
                  noSpace = AnswerBox(IDOK);
                  PressButton(page, 2);
                  notice = AnswerBox(IDOK);
              }),
              kPageCancel);
    ExpectBox(exists, kExistsText, question, true);
    ExpectBox(existsAgain, kExistsText, question, true);
    ExpectBox(badForm, kCannotCreateText, warning, false);
    ExpectBox(noSpace, kNoSpaceText, warning, false);
    ExpectBox(notice, "Quorra Pad installation is not completed !", warning, false);
    EXPECT_STREQ(g_setup.destDir, target.c_str());
    RemoveDirectoryA(target.c_str());
}

TEST_F(PageHost, WelcomeCancelShowsTheNoticeOwnedByThePage)
{
    HWND owner = nullptr;
    BoxSeen notice;
    g_setup.pageResult = kPageNext;
    EXPECT_EQ(RunRecordedWithUser("SETUP_BEGIN", WelcomePageProc, kWelcome, [&] {
                  HWND page = WaitForWindow(GetCurrentProcessId(), "SETUP_BEGIN");
                  PressButton(page, 2);
                  HWND box = WaitForWindow(GetCurrentProcessId(), "#32770");
                  owner = GetWindow(box, GW_OWNER);
                  owner = owner == page ? page : nullptr;
                  notice = AnswerBox(IDOK);
              }),
              kPageCancel);
    EXPECT_NE(owner, nullptr);
    EXPECT_EQ(notice.text, "Quorra Pad installation is not completed !");
}

// Waits until the page has handled its start message: its product text is formatted then.
HWND WaitForStartedPage(const char* className)
{
    HWND page = WaitForWindow(GetCurrentProcessId(), className);
    if (page != nullptr) {
        WaitUntil([&] { return ControlText(page, 1023).find("%s") == std::string::npos; }, 5000, 10);
    }
    return page;
}

// Runs the finish page; `choose` clicks what the user would before Finish.
struct FinishRun {
    bool yesAtStart = false;
    bool noAtStart = false;
    bool yesAtEnd = false;
    bool noAtEnd = false;
};

FinishRun RunFinish(const std::function<void(HWND)>& choose)
{
    FinishRun run;
    RunRecordedWithUser("SETUP_END", FinishPageProc, kFinish, [&] {
        HWND page = WaitForStartedPage("SETUP_END");
        const auto checked = [&](int id) {
            return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
        };
        run.yesAtStart = checked(1032);
        run.noAtStart = checked(1033);
        choose(page);
        run.yesAtEnd = checked(1032);
        run.noAtEnd = checked(1033);
        PressButton(page, 1);
    });
    return run;
}

void Click(HWND page, int id)
{
    SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
}

TEST_F(PageHost, FinishWithYesKeepsTheRestart)
{
    const FinishRun run = RunFinish([](HWND) {});
    EXPECT_TRUE(run.yesAtStart);
    EXPECT_FALSE(run.noAtStart);
    EXPECT_EQ(g_setup.restartNow, 1);
}

TEST_F(PageHost, FinishWithNoChoosesTheControlPanel)
{
    const FinishRun run = RunFinish([](HWND page) { Click(page, 1033); });
    EXPECT_TRUE(run.noAtEnd);
    EXPECT_FALSE(run.yesAtEnd) << "the two radio buttons share one group";
    EXPECT_EQ(g_setup.restartNow, 0);
}

TEST_F(PageHost, FinishWithNoThenYesKeepsTheRestart)
{
    const FinishRun run = RunFinish([](HWND page) {
        Click(page, 1033);
        Click(page, 1032);
    });
    EXPECT_TRUE(run.yesAtEnd);
    EXPECT_FALSE(run.noAtEnd);
    EXPECT_EQ(g_setup.restartNow, 1);
}

TEST_F(PageHost, FinishPageShowsNoWhenTheRestartWasAlreadyRefused)
{
    g_setup.restartNow = 0;
    const FinishRun run = RunFinish([](HWND) {});
    EXPECT_FALSE(run.yesAtStart);
    EXPECT_TRUE(run.noAtStart);
    EXPECT_EQ(g_setup.restartNow, 0) << "nothing sets it back";
}

} // namespace
