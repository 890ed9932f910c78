// The page host and the pages run inside this process: the class and the placement of a page,
// its caption and formatted texts, the results it leaves, the message boxes of the destination
// page with their icons and buttons, and the finish page's choice. The user is played on the
// page's own thread (support/automation.h): the page's loop carries out the user's steps.
#include "base/bounded_text.h"
#include "base/resource_ids.h"
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
#include <vector>

namespace {

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
    std::string productText;
    std::string welcomeIntro;
    std::string destinationText;
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
        g_record.productText = ControlText(page, IDC_PRODUCT_TEXT);
        g_record.welcomeIntro = ControlText(page, IDC_WELCOME_INTRO);
        g_record.destinationText = ControlText(page, IDC_DESTINATION_TEXT);
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

// RunRecorded for a page that `user` plays, on this thread, until it ends the page.
std::int16_t RunRecordedWithUser(const char* className, WNDPROC procedure, unsigned templateId,
                                 ThreadUser& user)
{
    Watchdog watchdog;
    user.Start();
    const std::int16_t result = RunRecorded(className, procedure, templateId, 0);
    EXPECT_TRUE(user.Done()) << "the page ended before the user's last step";
    EXPECT_EQ(user.OtherBoxes(), std::vector<std::string>{}) << "boxes that no step expected";
    return result;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

TEST_F(PageHost, PageGrowsByOnePixelAndIsCentredOnTheRecordedScreen)
{
    ASSERT_EQ(RunRecorded("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME_PAGE, IDC_NEXT), kPageNext);
    EXPECT_EQ(Width(g_record.placed), Width(g_record.created) + 1);
    EXPECT_EQ(Height(g_record.placed), Height(g_record.created) + 1);
    EXPECT_EQ(g_record.placed.left, (640 - Width(g_record.placed)) / 2);
    EXPECT_EQ(g_record.placed.top, (480 - Height(g_record.placed)) / 2);

    // The screen size recorded at start-up decides, not the display's.
    g_setup.screenWidth = 1000;
    g_setup.screenHeight = 900;
    ASSERT_EQ(RunRecorded("SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION_PAGE, IDC_BACK),
              kPageBack);
    EXPECT_EQ(g_record.placed.left, (1000 - Width(g_record.placed)) / 2);
    EXPECT_EQ(g_record.placed.top, (900 - Height(g_record.placed)) / 2);
}

TEST_F(PageHost, FinishPageIsCentredOnTheDisplayAsItIsNow)
{
    g_setup.screenWidth = 1000;
    g_setup.screenHeight = 900;
    RunRecorded("SETUP_END", FinishPageProc, IDD_FINISH_PAGE, IDC_FINISH);
    EXPECT_EQ(Width(g_record.placed), Width(g_record.created) + 1);
    EXPECT_EQ(g_record.placed.left, (640 - Width(g_record.placed)) / 2);
    EXPECT_EQ(g_record.placed.top, (480 - Height(g_record.placed)) / 2);
}

TEST_F(PageHost, CaptionIsTheProductNameABlankAndSetup)
{
    RunRecorded("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME_PAGE, IDC_NEXT);
    EXPECT_EQ(g_record.caption, "Quorra Pad Setup");

    g_setup.productName[0] = '\0';
    RunRecorded("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME_PAGE, IDC_NEXT);
    EXPECT_EQ(g_record.caption, " Setup");

    CopyText(g_setup.productName, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE"); // 31 characters
    RunRecorded("SETUP_END", FinishPageProc, IDD_FINISH_PAGE, IDC_FINISH);
    EXPECT_EQ(g_record.caption.size(), 31u + 6u);
}

TEST_F(PageHost, TextsAreFormattedWithTheProductName)
{
    RunRecorded("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME_PAGE, IDC_NEXT);
    EXPECT_EQ(g_record.productText, " Welcome to Quorra Pad Installer.");
    EXPECT_EQ(g_record.welcomeIntro, "This program will guide you to complete setup through an "
                                 "easiest way with only few simple steps.");

    RunRecorded("SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION_PAGE, IDC_BACK);
    EXPECT_EQ(g_record.productText, "Quorra Pad files are to be installed :");
    EXPECT_EQ(g_record.destinationText, "C:\\QUORRA");

    RunRecorded("SETUP_END", FinishPageProc, IDD_FINISH_PAGE, IDC_FINISH);
    EXPECT_EQ(g_record.productText, "You have installed Quorra Pad successfully !");
}

TEST_F(PageHost, PageClassIsRegisteredUnderThePageName)
{
    RunRecorded("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME_PAGE, IDC_NEXT);
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
        EXPECT_EQ(RunRecorded("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME_PAGE, IDC_NEXT),
                  kPageNext);
        EXPECT_EQ(g_record.productText, " Welcome to Quorra Pad Installer.") << "run " << run;
    }
}

TEST_F(PageHost, APageWithoutATemplateEndsTheSetupAtOnce)
{
    g_setup.pageResult = kPageNext;
    Watchdog watchdog; // a page loop without a page would never end
    EXPECT_EQ(RunPage("SETUP_NOWHERE", WelcomePageProc, 999), kPageCancel);
}

TEST_F(PageHost, OnlyTheLow16BitsOfTheTemplateIdCount)
{
    EXPECT_EQ(RunRecorded("SETUP_BEGIN", WelcomePageProc, 0x10000 + IDD_WELCOME_PAGE, IDC_NEXT),
              kPageNext);
    EXPECT_EQ(g_record.productText, " Welcome to Quorra Pad Installer.");
}

TEST_F(PageHost, FinishPageLeavesTheResultOfThePageBefore)
{
    g_setup.pageResult = 7;
    EXPECT_EQ(RunRecorded("SETUP_END", FinishPageProc, IDD_FINISH_PAGE, IDC_FINISH), 7);
    g_setup.pageResult = kPageNext;
    EXPECT_EQ(RunRecorded("SETUP_END", FinishPageProc, IDD_FINISH_PAGE, IDC_FINISH), kPageNext);
}

TEST_F(PageHost, CommandsCountOnlyWithTheClickNotification)
{
    // A command with a notification in the high half is not a click: the page stays, and the
    // Back command that follows ends it.
    g_setup.pageResult = 9;
    ThreadUser user;
    user.Then([] {
        HWND page = ThreadWindow("SETUP_SELDIR");
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_NEXT, 1), 0);
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, 5), 0);
        PostMessageA(page, WM_COMMAND, IDC_BACK, 0);
    });
    EXPECT_EQ(RunRecordedWithUser("SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION_PAGE, user),
              kPageBack);
}

// ---- Message boxes and the finish page ----

struct BoxSeen {
    std::string text;
    std::string caption;
    HICON icon = nullptr;
    bool hasCancel = false;
    HWND owner = nullptr;
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

// A box step's note of what the box shows.
std::function<void(HWND)> Note(BoxSeen& seen)
{
    return [&seen](HWND box) {
        seen.found = true;
        seen.text = MessageBoxText(box);
        seen.caption = WindowText(box);
        seen.icon = IconOf(box);
        seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
        seen.owner = GetWindow(box, GW_OWNER);
    };
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
const std::string kNotCompletedText = "Quorra Pad installation is not completed !";

// Actions on the destination page.
void PressOnDestination(int button)
{
    PressButton(ThreadWindow("SETUP_SELDIR"), button);
}

void SetDestination(const std::string& path)
{
    SendMessageA(GetDlgItem(ThreadWindow("SETUP_SELDIR"), IDC_DESTINATION_TEXT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(path.c_str()));
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
    ThreadUser first;
    first.Then([] { PressOnDestination(IDC_NEXT); })
        .Box(IDCANCEL, Note(missingCancelled))
        .Then([] { PressOnDestination(IDC_NEXT); })
        .Box(IDOK, Note(missingAccepted));
    EXPECT_EQ(RunRecordedWithUser("SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION_PAGE, first),
              kPageNext);
    ExpectBox(missingCancelled, kMissingText, question, true);
    ExpectBox(missingAccepted, kMissingText, question, true);
    EXPECT_TRUE(DirectoryExists(target.c_str()));

    // The directory exists now; a minimum that no drive offers fails the space test.
    g_setup.minimumSpaceKb = -1;
    BoxSeen exists, badForm, existsAgain, noSpace, notice;
    ThreadUser second;
    second.Then([] { PressOnDestination(IDC_NEXT); })
        .Box(IDCANCEL, Note(exists))
        .Then([] { SetDestination("C:HOSTDEST"); })
        .Then([] { PressOnDestination(IDC_NEXT); })
        .Box(IDOK, Note(badForm))
        .Then([&] { SetDestination(target); })
        .Then([] { PressOnDestination(IDC_NEXT); })
        .Box(IDOK, Note(existsAgain))
        .Box(IDOK, Note(noSpace))
        .Then([] { PressOnDestination(IDC_CANCEL); })
        .Box(IDOK, Note(notice));
    EXPECT_EQ(
        RunRecordedWithUser("SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION_PAGE, second),
        kPageCancel);
    ExpectBox(exists, kExistsText, question, true);
    ExpectBox(existsAgain, kExistsText, question, true);
    ExpectBox(badForm, kCannotCreateText, warning, false);
    ExpectBox(noSpace, kNoSpaceText, warning, false);
    ExpectBox(notice, kNotCompletedText, warning, false);
    EXPECT_STREQ(g_setup.destDir, target.c_str());
    RemoveDirectoryA(target.c_str());
}

// The pages whose Cancel shows the notice that the installation is not completed.
struct CancellingPage {
    const char* className;
    WNDPROC procedure;
    unsigned templateId;
};

const CancellingPage kCancellingPages[] = {
    {"SETUP_BEGIN", WelcomePageProc, IDD_WELCOME_PAGE},
    {"SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION_PAGE},
};

TEST_F(PageHost, CancelShowsTheNoticeOwnedByThePage)
{
    for (const CancellingPage& cancelling : kCancellingPages) {
        SCOPED_TRACE(cancelling.className);
        HWND page = nullptr;
        BoxSeen notice;
        g_setup.pageResult = kPageNext;
        ThreadUser user;
        user.Then([&] {
                page = ThreadWindow(cancelling.className);
                PressButton(page, IDC_CANCEL);
            })
            .Box(IDOK, Note(notice));
        EXPECT_EQ(RunRecordedWithUser(cancelling.className, cancelling.procedure,
                                      cancelling.templateId, user),
                  kPageCancel);
        ExpectBox(notice, kNotCompletedText, LoadIconA(nullptr, IDI_EXCLAMATION), false);
        EXPECT_NE(page, nullptr);
        EXPECT_EQ(notice.owner, page);
    }
}

// A close from outside (Alt+F4, the task list) means Cancel on these pages; one that arrives
// while the notice is up is that same Cancel: the notice shows once.
TEST_F(PageHost, CloseWhileTheNoticeIsUpShowsItOnce)
{
    for (const CancellingPage& cancelling : kCancellingPages) {
        SCOPED_TRACE(cancelling.className);
        BoxSeen notice;
        ThreadUser user;
        user.Then([&] { PressButton(ThreadWindow(cancelling.className), IDC_CANCEL); })
            .Box(IDOK, [&](HWND box) {
                Note(notice)(box);
                PostMessageA(ThreadWindow(cancelling.className), WM_CLOSE, 0, 0);
            });
        // A second notice would be a box that no step expects.
        EXPECT_EQ(RunRecordedWithUser(cancelling.className, cancelling.procedure,
                                      cancelling.templateId, user),
                  kPageCancel);
        EXPECT_EQ(notice.text, kNotCompletedText);
    }
}

// Runs the finish page; `choose` clicks what the user would before Finish.
struct FinishRun {
    bool yesAtStart = false;
    bool noAtStart = false;
    bool yesAtEnd = false;
    bool noAtEnd = false;
};

bool Checked(int id)
{
    return SendMessageA(GetDlgItem(ThreadWindow("SETUP_END"), id), BM_GETCHECK, 0, 0) ==
           BST_CHECKED;
}

void Click(int id)
{
    SendMessageA(GetDlgItem(ThreadWindow("SETUP_END"), id), BM_CLICK, 0, 0);
}

FinishRun RunFinish(const std::function<void()>& choose)
{
    FinishRun run;
    ThreadUser user;
    user.Then([&] {
        run.yesAtStart = Checked(IDC_RESTART_NOW);
        run.noAtStart = Checked(IDC_RESTART_LATER);
        choose();
        run.yesAtEnd = Checked(IDC_RESTART_NOW);
        run.noAtEnd = Checked(IDC_RESTART_LATER);
        PressButton(ThreadWindow("SETUP_END"), IDC_FINISH);
    });
    RunRecordedWithUser("SETUP_END", FinishPageProc, IDD_FINISH_PAGE, user);
    return run;
}

TEST_F(PageHost, FinishWithYesKeepsTheRestart)
{
    const FinishRun run = RunFinish([] {});
    EXPECT_TRUE(run.yesAtStart);
    EXPECT_FALSE(run.noAtStart);
    EXPECT_EQ(g_setup.restartNow, 1);
}

TEST_F(PageHost, FinishWithNoChoosesTheControlPanel)
{
    const FinishRun run = RunFinish([] { Click(IDC_RESTART_LATER); });
    EXPECT_TRUE(run.noAtEnd);
    EXPECT_FALSE(run.yesAtEnd) << "the two radio buttons share one group";
    EXPECT_EQ(g_setup.restartNow, 0);
}

TEST_F(PageHost, FinishWithNoThenYesKeepsTheRestart)
{
    const FinishRun run = RunFinish([] {
        Click(IDC_RESTART_LATER);
        Click(IDC_RESTART_NOW);
    });
    EXPECT_TRUE(run.yesAtEnd);
    EXPECT_FALSE(run.noAtEnd);
    EXPECT_EQ(g_setup.restartNow, 1);
}

TEST_F(PageHost, FinishPageShowsNoWhenTheRestartWasAlreadyRefused)
{
    g_setup.restartNow = 0;
    const FinishRun run = RunFinish([] {});
    EXPECT_FALSE(run.yesAtStart);
    EXPECT_TRUE(run.noAtStart);
    EXPECT_EQ(g_setup.restartNow, 0) << "nothing sets it back";
}

} // namespace
