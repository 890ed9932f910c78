// The browse dialog as the user of the destination page meets it, inside this process: the
// destination page runs on the main thread and a second thread plays the user, who presses
// Browse, looks at the dialog, types into its path field, moves through its directory and drive
// lists and ends it with OK or Cancel.
#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "support/automation.h"
#include "support/page_state.h"
#include "support/test_files.h"
#include "support/watchdog.h"
#include "ui/page_host.h"
#include "ui/pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr unsigned IDD_DESTINATION_PAGE = 107;
constexpr int IDC_BACK = 3;
constexpr int IDC_BROWSE_BUTTON = 1025;
constexpr int IDC_DESTINATION_TEXT = 1003;

// Controls of the browse dialog.
constexpr int kPathField = 1003;
constexpr int kCurrentDirectoryText = 1088;
constexpr int kFileNameLabel = 1090;
constexpr int kDirectoryList = 1121;
constexpr int kDriveList = 1137;
constexpr int kFileNameField = 1152;
constexpr int kUnnamed = 0xFFFF;

const std::string kDestination = "C:\\QUORRA";
const std::string kBrowseRoot = "C:\\BRWSTEST";

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string CurrentDirectory()
{
    char path[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof path, path);
    return path;
}

bool RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Waits until the dialog's thread has handled every message posted to it so far (the hook posts
// its start and refresh messages): a marker posted behind them sets the path field's modified
// flag, which the field's own text changes clear.
void Settle(HWND dialog)
{
    HWND field = GetDlgItem(dialog, kPathField);
    SendMessageA(field, EM_SETMODIFY, FALSE, 0);
    PostMessageA(field, EM_SETMODIFY, TRUE, 0);
    for (int i = 0; i < 500 && SendMessageA(field, EM_GETMODIFY, 0, 0) == 0; ++i) {
        Sleep(10);
    }
}

// Presses Browse on the page and returns the dialog once its hook has handled its start.
HWND OpenBrowse(HWND page)
{
    PressButton(page, IDC_BROWSE_BUTTON);
    HWND dialog = WaitForWindow(GetCurrentProcessId(), "#32770");
    if (dialog != nullptr) {
        Settle(dialog);
    }
    return dialog;
}

// Ends the dialog with OK or Cancel and returns what the page shows afterwards.
std::string EndBrowse(HWND page, HWND dialog, int button)
{
    PressButton(dialog, button);
    WaitForWindowGone(GetCurrentProcessId(), "#32770");
    // Comes back once the Browse command, which shows the destination again, has returned.
    DWORD_PTR ignored;
    SendMessageTimeoutA(page, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    return ControlText(page, IDC_DESTINATION_TEXT);
}

// Selects the whole path field and types `text` into it, key by key.
void TypePath(HWND dialog, const std::string& text)
{
    HWND field = GetDlgItem(dialog, kPathField);
    SendMessageA(field, EM_SETSEL, 0, -1);
    for (char c : text) {
        SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 0);
    }
}

// Selects `entry` in the dialog's list or combo box `controlId` and sends the dialog the
// control's notification `code`, as a click on it would. False when there is no such entry.
bool SelectEntry(HWND dialog, int controlId, const std::string& entry, WORD code)
{
    HWND control = GetDlgItem(dialog, controlId);
    const bool combo = controlId == kDriveList;
    const LRESULT index = SendMessageA(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT,
                                       -1, reinterpret_cast<LPARAM>(entry.c_str()));
    if (index == (combo ? CB_ERR : LB_ERR)) {
        return false;
    }
    SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, code), reinterpret_cast<LPARAM>(control));
    Settle(dialog);
    return true;
}

// The directory list's entry for `name` is "[name]", or ".." for the parent.
bool ClickDirectory(HWND dialog, const std::string& name, WORD code)
{
    return SelectEntry(dialog, kDirectoryList, "[" + name + "]", code);
}

bool PickDrive(HWND dialog, char letter)
{
    return SelectEntry(dialog, kDriveList, std::string("[-") + letter + "-]", CBN_SELCHANGE);
}

class BrowseDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrepareQuorraPadState(kDestination.c_str());
        FreshFolder(kBrowseRoot);
        CreateDirectoryA((kBrowseRoot + "\\INNER").c_str(), nullptr);
    }
    void TearDown() override { RemoveTree(kBrowseRoot); }

    // Runs the destination page while `user` acts on it from a second thread; the page ends
    // with Back afterwards. The user's findings are checked on this thread once it is done.
    static void RunPageWithUser(const std::function<void(HWND page)>& user)
    {
        Watchdog watchdog;
        std::thread thread([&] {
            HWND page = WaitForWindow(GetCurrentProcessId(), "SETUP_SELDIR");
            if (page == nullptr) {
                return;
            }
            user(page);
            PressButton(page, IDC_BACK);
        });
        EXPECT_EQ(RunPage("SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION_PAGE), kPageBack);
        thread.join();
    }

    // Like RunPageWithUser, for a user who starts by pressing Browse; a dialog the user leaves
    // open is ended with Cancel.
    static void RunBrowseWithUser(const std::function<void(HWND page, HWND dialog)>& user)
    {
        RunPageWithUser([&](HWND page) {
            HWND dialog = OpenBrowse(page);
            if (dialog == nullptr) {
                return;
            }
            user(page, dialog);
            if (IsWindow(dialog)) {
                EndBrowse(page, dialog, IDCANCEL);
            }
        });
    }
};

// ---- What the dialog shows when it opens ----

// A control of template 104 as the user sees it: found by id, or by its text for the unnamed
// ones; its place in dialog units.
struct TemplateControl {
    int id;
    const char* text;
    RECT units; // left, top, width, height
    bool visible;
};

const TemplateControl kVisibleControls[] = {
    {IDOK, "OK", {108, 46, 52, 14}, true},
    {IDCANCEL, "Cancel", {108, 66, 52, 14}, true},
    {kDirectoryList, nullptr, {8, 70, 92, 68}, true},
    {kDriveList, nullptr, {8, 152, 92, 68}, true},
    {kCurrentDirectoryText, nullptr, {8, 55, 92, 9}, true},
    {kUnnamed, "&Directories:", {8, 45, 92, 9}, true},
    {1091, "Dri&ves:", {8, 142, 92, 9}, true},
    {kUnnamed, "Destination Directory :", {8, 6, 92, 8}, true},
    {kPathField, nullptr, {8, 19, 152, 12}, true},
    // The platform dialog's file controls, hidden or placed beyond the right edge.
    {1136, nullptr, {209, 50, 30, 36}, false},
    {kFileNameField, nullptr, {208, 38, 26, 12}, false},
    {1120, nullptr, {220, 30, 36, 9}, false},
    {1089, "List Files of &Type:", {181, 12, 62, 9}, false},
    {1040, "&Read Only", {188, 34, 33, 12}, false},
    {1092, "List Files of &Type:", {204, 22, 47, 9}, false},
};

struct ControlSeen {
    bool found = false;
    std::string text;
    RECT pixels{};
    RECT expected{};
    bool visible = false;
    // List and combo boxes size their height to their items.
    bool ownHeight = false;
};

HWND FindControl(HWND dialog, const TemplateControl& control)
{
    if (control.id != kUnnamed) {
        return GetDlgItem(dialog, control.id);
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        // An unnamed control's id is -1, whose low 16 bits the template stores.
        if (LOWORD(GetDlgCtrlID(child)) == kUnnamed && WindowText(child) == control.text) {
            return child;
        }
    }
    return nullptr;
}

RECT RectInDialog(HWND dialog, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(BrowseDialog, BrowseOpensTheBrowseDirectoryTemplate)
{
    std::vector<ControlSeen> seen(std::size(kVisibleControls));
    RECT client{};
    RECT expectedClient{0, 0, 169, 170};
    RECT fileNameLabel{};
    RunBrowseWithUser([&](HWND, HWND dialog) {
        GetClientRect(dialog, &client);
        MapDialogRect(dialog, &expectedClient);
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const TemplateControl& control = kVisibleControls[i];
            HWND window = FindControl(dialog, control);
            if (window == nullptr) {
                continue;
            }
            seen[i].found = true;
            seen[i].text = WindowText(window);
            seen[i].pixels = RectInDialog(dialog, window);
            // The dialog maps a control's position and its size each on their own.
            RECT mapped = control.units;
            MapDialogRect(dialog, &mapped);
            seen[i].expected =
                RECT{mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
            seen[i].visible = IsWindowVisible(window) != FALSE;
            const std::string className = ClassNameOf(window);
            seen[i].ownHeight = className == "ListBox" || className == "ComboBox";
        }
        fileNameLabel = RectInDialog(dialog, GetDlgItem(dialog, kFileNameLabel));
    });

    EXPECT_EQ(client.right, expectedClient.right);
    EXPECT_EQ(client.bottom, expectedClient.bottom);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const TemplateControl& control = kVisibleControls[i];
        SCOPED_TRACE(testing::Message() << "control " << control.id << " "
                                        << (control.text != nullptr ? control.text : ""));
        ASSERT_TRUE(seen[i].found);
        if (control.text != nullptr) {
            EXPECT_EQ(seen[i].text, control.text);
        }
        EXPECT_EQ(seen[i].pixels.left, seen[i].expected.left);
        EXPECT_EQ(seen[i].pixels.top, seen[i].expected.top);
        EXPECT_EQ(seen[i].pixels.right, seen[i].expected.right);
        if (!seen[i].ownHeight) {
            EXPECT_EQ(seen[i].pixels.bottom, seen[i].expected.bottom);
        }
        EXPECT_EQ(seen[i].visible, control.visible);
        if (!control.visible) {
            EXPECT_GE(seen[i].pixels.left, client.right);
        }
    }
    // "File &Name:" is visible, but beyond the dialog's right edge.
    EXPECT_GE(fileNameLabel.left, client.right);
}

// Wine differs from Windows 98: Wine shows a title of its own, so the test is skipped under Wine.
TEST_F(BrowseDialog, CaptionIsTheTemplatesTitle)
{
    std::string caption;
    RunBrowseWithUser([&](HWND, HWND dialog) {
        caption = WindowText(dialog);
    });
    if (RunningUnderWine() && caption != "Browse Directory") {
        // Wine's old-style dialog always sets a title of its own ("Open File") when the request
        // has none, where Windows keeps the template's caption.
        GTEST_SKIP() << "Wine shows the caption \"" << caption << "\"";
    }
    EXPECT_EQ(caption, "Browse Directory");
}

TEST_F(BrowseDialog, PathFieldShowsTheDestinationWhollySelectedWithTheFocus)
{
    std::string field;
    DWORD selection = 0;
    bool focused = false;
    const DWORD mainThread = GetCurrentThreadId();
    RunBrowseWithUser([&](HWND, HWND dialog) {
        field = ControlText(dialog, kPathField);
        selection = static_cast<DWORD>(SendDlgItemMessageA(dialog, kPathField, EM_GETSEL, 0, 0));
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        focused = GetGUIThreadInfo(mainThread, &info) &&
                  info.hwndFocus == GetDlgItem(dialog, kPathField);
    });
    EXPECT_EQ(field, kDestination);
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), kDestination.size());
    EXPECT_TRUE(focused);
}

TEST_F(BrowseDialog, ListsStartAtTheInitialDirectory)
{
    std::string shownDirectory, currentDirectory, drive;
    RunBrowseWithUser([&](HWND, HWND dialog) {
        shownDirectory = ControlText(dialog, kCurrentDirectoryText);
        currentDirectory = CurrentDirectory();
        HWND combo = GetDlgItem(dialog, kDriveList);
        const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        char text[64] = {};
        if (index != CB_ERR) {
            SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        }
        drive = text;
    });
    // The old-style dialog writes the directory in lower case.
    EXPECT_EQ(Upper(shownDirectory), "C:\\");
    EXPECT_EQ(Upper(currentDirectory), "C:\\");
    EXPECT_EQ(Upper(drive), "[-C-]");
}

TEST_F(BrowseDialog, HiddenFileNameFieldHoldsTheDummyName)
{
    std::string fileName;
    RunBrowseWithUser([&](HWND, HWND dialog) {
        fileName = ControlText(dialog, kFileNameField);
    });
    EXPECT_EQ(fileName, "12345678.ABC");
}

// ---- OK and Cancel ----

struct TypedPath {
    std::string typed;
    std::string destination;
};

const std::string kLongPath = "C:\\" + std::string(97, 'P'); // 100 characters

const TypedPath kTypedPaths[] = {
    {"D:\\GAMES\\PAD", "D:\\GAMES\\PAD"},
    // Taken as typed: only Next on the page checks the form.
    {"not a path", "not a path"},
    {"c:\\quorra pad", "c:\\quorra pad"},
};

TEST_F(BrowseDialog, TypedPathConfirmedWithOkBecomesTheDestination)
{
    for (const TypedPath& path : kTypedPaths) {
        SCOPED_TRACE(path.typed);
        CopyText(g_setup.destDir, kDestination.c_str());
        std::string shown;
        RunBrowseWithUser([&](HWND page, HWND dialog) {
            TypePath(dialog, path.typed);
            shown = EndBrowse(page, dialog, IDOK);
        });
        EXPECT_EQ(shown, path.destination);
        EXPECT_EQ(std::string(g_setup.destDir), path.destination);
    }
}

TEST_F(BrowseDialog, APathTooLongForTheDestinationIsRefusedAndTheDialogStays)
{
    std::string refusal;
    bool stays = false;
    std::string shown;
    RunBrowseWithUser([&](HWND page, HWND dialog) {
        TypePath(dialog, kLongPath);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        HWND box = WaitForMessageBox(GetCurrentProcessId(),
                                     "The specified directory name is too long !\nIt can have at "
                                     "most 79 characters.");
        if (box != nullptr) {
            refusal = WindowText(box);
            PressButton(box, IDOK);
            WaitUntil([box] { return !IsWindow(box); });
        }
        stays = IsWindow(dialog) && IsWindowVisible(dialog);
        shown = EndBrowse(page, dialog, IDCANCEL);
    });
    EXPECT_EQ(refusal, "Quorra Pad Setup Program");
    EXPECT_TRUE(stays);
    EXPECT_EQ(shown, kDestination);
    EXPECT_EQ(std::string(g_setup.destDir), kDestination);
}

TEST_F(BrowseDialog, CancelLeavesTheDestinationUnchanged)
{
    std::string afterTyping, afterMoving;
    bool moved = false;
    RunBrowseWithUser([&](HWND page, HWND dialog) {
        TypePath(dialog, "D:\\ELSEWHERE");
        afterTyping = EndBrowse(page, dialog, IDCANCEL);

        dialog = OpenBrowse(page);
        if (dialog == nullptr) {
            return;
        }
        moved = ClickDirectory(dialog, "BRWSTEST", LBN_DBLCLK);
        afterMoving = EndBrowse(page, dialog, IDCANCEL);
    });
    EXPECT_EQ(afterTyping, kDestination);
    ASSERT_TRUE(moved);
    EXPECT_EQ(afterMoving, kDestination);
    EXPECT_EQ(std::string(g_setup.destDir), kDestination);
}

TEST_F(BrowseDialog, OkAfterMovingThroughTheListsTakesTheDirectoryShown)
{
    std::string field, shown;
    bool moved = false;
    RunBrowseWithUser([&](HWND page, HWND dialog) {
        moved = ClickDirectory(dialog, "BRWSTEST", LBN_DBLCLK) &&
                ClickDirectory(dialog, "INNER", LBN_DBLCLK);
        field = ControlText(dialog, kPathField);
        shown = EndBrowse(page, dialog, IDOK);
    });
    ASSERT_TRUE(moved);
    EXPECT_EQ(Upper(field), kBrowseRoot + "\\INNER");
    EXPECT_EQ(shown, field);
    EXPECT_EQ(std::string(g_setup.destDir), field);
}

TEST_F(BrowseDialog, ReopenedDialogStartsFromTheDestinationAgain)
{
    std::string second;
    RunBrowseWithUser([&](HWND page, HWND dialog) {
        ClickDirectory(dialog, "BRWSTEST", LBN_DBLCLK);
        EndBrowse(page, dialog, IDCANCEL);
        dialog = OpenBrowse(page);
        if (dialog != nullptr) {
            second = ControlText(dialog, kPathField);
            EndBrowse(page, dialog, IDCANCEL);
        }
    });
    EXPECT_EQ(second, kDestination);
}

TEST_F(BrowseDialog, CurrentDirectoryIsRestoredAfterTheDialog)
{
    const std::string before = CurrentDirectory();
    std::string afterOk, afterCancel;
    RunPageWithUser([&](HWND page) {
        for (int button : {IDOK, IDCANCEL}) {
            HWND dialog = OpenBrowse(page);
            if (dialog == nullptr) {
                return;
            }
            ClickDirectory(dialog, "BRWSTEST", LBN_DBLCLK);
            EndBrowse(page, dialog, button);
            (button == IDOK ? afterOk : afterCancel) = CurrentDirectory();
        }
    });
    EXPECT_EQ(afterOk, before);
    EXPECT_EQ(afterCancel, before);
}

// ---- The path field follows the lists ----

TEST_F(BrowseDialog, DoubleClickOnADirectoryShowsTheNewCurrentDirectory)
{
    std::string inside, currentInside, back, currentBack;
    bool clicked = false;
    RunBrowseWithUser([&](HWND, HWND dialog) {
        clicked = ClickDirectory(dialog, "BRWSTEST", LBN_DBLCLK);
        inside = ControlText(dialog, kPathField);
        currentInside = CurrentDirectory();
        clicked = clicked && ClickDirectory(dialog, "..", LBN_DBLCLK);
        back = ControlText(dialog, kPathField);
        currentBack = CurrentDirectory();
    });
    ASSERT_TRUE(clicked);
    EXPECT_EQ(Upper(inside), kBrowseRoot);
    EXPECT_EQ(inside, currentInside);
    // At a drive's root the path keeps its backslash.
    EXPECT_EQ(Upper(back), "C:\\");
    EXPECT_EQ(back, currentBack);
}

TEST_F(BrowseDialog, SingleClickOnADirectoryShowsTheCurrentDirectory)
{
    std::string typed, afterClick, current;
    bool clicked = false;
    RunBrowseWithUser([&](HWND, HWND dialog) {
        TypePath(dialog, "D:\\TYPED");
        typed = ControlText(dialog, kPathField);
        clicked = ClickDirectory(dialog, "BRWSTEST", LBN_SELCHANGE);
        afterClick = ControlText(dialog, kPathField);
        current = CurrentDirectory();
    });
    ASSERT_TRUE(clicked);
    EXPECT_EQ(typed, "D:\\TYPED");
    // A single click moves nowhere: the field shows the directory the lists are in.
    EXPECT_EQ(Upper(afterClick), "C:\\");
    EXPECT_EQ(afterClick, current);
}

TEST_F(BrowseDialog, NewDriveShowsItsCurrentDirectory)
{
    std::string afterPick, current;
    bool picked = false;
    RunBrowseWithUser([&](HWND, HWND dialog) {
        TypePath(dialog, "D:\\TYPED");
        picked = PickDrive(dialog, 'z');
        afterPick = ControlText(dialog, kPathField);
        current = CurrentDirectory();
    });
    ASSERT_TRUE(picked);
    EXPECT_EQ(Upper(afterPick.substr(0, 3)), "Z:\\");
    EXPECT_EQ(afterPick, current);
}

TEST_F(BrowseDialog, OtherNotificationsLeaveThePathField)
{
    std::string afterNotifications;
    RunBrowseWithUser([&](HWND, HWND dialog) {
        TypePath(dialog, "D:\\TYPED");
        const struct {
            int id;
            WORD code;
        } notifications[] = {
            {kDirectoryList, LBN_SETFOCUS},
            {kDirectoryList, LBN_KILLFOCUS},
            {kDriveList, CBN_SETFOCUS},
            {kDriveList, CBN_DROPDOWN},
            {kPathField, EN_CHANGE},
        };
        for (const auto& notification : notifications) {
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(notification.id, notification.code),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, notification.id)));
        }
        Settle(dialog);
        afterNotifications = ControlText(dialog, kPathField);
    });
    EXPECT_EQ(afterNotifications, "D:\\TYPED");
}

// A current directory that does not fit the 80-byte path buffer leaves the previous path.
struct LongDirectory {
    std::size_t nameLength;
    bool fits;
};

const LongDirectory kLongDirectories[] = {
    {76, true},  // "C:\" and 76 characters: 79, fits with its terminator
    {77, false}, // 80 characters do not
};

TEST_F(BrowseDialog, CurrentDirectoryTooLongForThePathLeavesThePreviousPath)
{
    for (const LongDirectory& directory : kLongDirectories) {
        SCOPED_TRACE(directory.nameLength);
        const std::string name(directory.nameLength, 'L');
        const std::string path = "C:\\" + name;
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        std::string field;
        bool clicked = false;
        RunBrowseWithUser([&](HWND, HWND dialog) {
            TypePath(dialog, "D:\\TYPED");
            clicked = ClickDirectory(dialog, name, LBN_DBLCLK);
            field = ControlText(dialog, kPathField);
        });
        RemoveDirectoryA(path.c_str());
        ASSERT_TRUE(clicked);
        EXPECT_EQ(Upper(field), directory.fits ? path : kDestination);
    }
}

} // namespace
