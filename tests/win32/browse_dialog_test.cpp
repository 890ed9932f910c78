// The browse dialog as the user of the destination page meets it, inside this process: the
// destination page runs on the main thread, and the user, played on that same thread
// (support/automation.h), presses Browse, looks at the dialog, types into its path field, moves
// through its directory and drive lists and ends it with OK or Cancel.
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

#include <dlgs.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

namespace {

// The platform dialog's own controls (<dlgs.h>) that the tests address.
constexpr int kCurrentDirectoryText = stc1;
constexpr int kFileNameLabel = stc3;
constexpr int kFileNameField = edt1;
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

HWND DestinationPage()
{
    return ThreadWindow("SETUP_SELDIR");
}

// Selects the whole path field and types `text` into it, key by key.
void TypePath(HWND dialog, const std::string& text)
{
    HWND field = GetDlgItem(dialog, IDC_BROWSE_PATH);
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
    const bool combo = controlId == cmb2;
    const LRESULT index = SendMessageA(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT,
                                       -1, reinterpret_cast<LPARAM>(entry.c_str()));
    if (index == (combo ? CB_ERR : LB_ERR)) {
        return false;
    }
    SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, code),
                 reinterpret_cast<LPARAM>(control));
    return true;
}

// The directory list's entry for `name` is "[name]", or ".." for the parent.
bool ClickDirectory(HWND dialog, const std::string& name, WORD code)
{
    return SelectEntry(dialog, lst2, "[" + name + "]", code);
}

bool PickDrive(HWND dialog, char letter)
{
    return SelectEntry(dialog, cmb2, std::string("[-") + letter + "-]", CBN_SELCHANGE);
}

// The user of the destination page and its browse dialog. Each step runs once the dialog and the
// page have handled what the steps before it caused (the dialog's hook posts its start and refresh
// messages): reading a field in the step after a click reads what the click made of it.
class BrowseUser {
public:
    // Presses Browse; the dialog stays open for the steps that follow.
    BrowseUser& Open()
    {
        user_.Then([] { PressButton(DestinationPage(), IDC_BROWSE_BUTTON); })
            .Box(0, [this](HWND dialog) { dialog_ = dialog; });
        open_ = true;
        return *this;
    }

    // An action on the open dialog.
    BrowseUser& Do(std::function<void(HWND dialog)> action)
    {
        user_.Then([this, action] { action(dialog_); });
        return *this;
    }

    // A box that the dialog shows, answered with `answer` once `seen` has seen it.
    BrowseUser& Box(int answer, std::function<void(HWND box)> seen)
    {
        user_.Box(answer, std::move(seen));
        return *this;
    }

    // Ends the dialog with `button`; `shown` gets what the page shows afterwards.
    BrowseUser& End(int button, std::string* shown = nullptr)
    {
        user_.Then([this, button] { user_.Close(dialog_, button); });
        user_.Then([shown] {
            if (shown != nullptr) {
                *shown = ControlText(DestinationPage(), IDC_DESTINATION_TEXT);
            }
        });
        open_ = false;
        return *this;
    }

    // An action once the dialog is gone.
    BrowseUser& Then(std::function<void()> action)
    {
        user_.Then(std::move(action));
        return *this;
    }

    // Runs the destination page with these steps; a dialog left open ends with Cancel, and the
    // page ends with Back.
    void Run()
    {
        if (open_) {
            End(IDCANCEL);
        }
        user_.Then([] { PressButton(DestinationPage(), IDC_BACK); });
        Watchdog watchdog;
        user_.Start();
        EXPECT_EQ(RunPage("SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION_PAGE), kPageBack);
        EXPECT_TRUE(user_.Done()) << "the page ended before the user's last step";
        EXPECT_EQ(user_.OtherBoxes(), std::vector<std::string>{}) << "boxes that no step expected";
    }

private:
    ThreadUser user_;
    HWND dialog_ = nullptr;
    bool open_ = false;
};

class BrowseDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrepareQuorraPadState(kDestination.c_str());
        FreshFolder(kBrowseRoot);
        CreateDirectoryA((kBrowseRoot + "\\INNER").c_str(), nullptr);
    }
    void TearDown() override { RemoveTree(kBrowseRoot); }
};

// ---- What the dialog shows when it opens ----

// A control of the browse template as the user sees it: found by id, or by its text for the
// unnamed ones; its place in dialog units.
struct TemplateControl {
    int id;
    const char* text;
    RECT units; // left, top, width, height
    bool visible;
};

const TemplateControl kVisibleControls[] = {
    {IDOK, "OK", {108, 46, 52, 14}, true},
    {IDCANCEL, "Cancel", {108, 66, 52, 14}, true},
    {lst2, nullptr, {8, 70, 92, 68}, true},
    {cmb2, nullptr, {8, 152, 92, 68}, true},
    {kCurrentDirectoryText, nullptr, {8, 55, 92, 9}, true},
    {kUnnamed, "&Directories:", {8, 45, 92, 9}, true},
    {stc4, "Dri&ves:", {8, 142, 92, 9}, true},
    {kUnnamed, "Destination Directory :", {8, 6, 92, 8}, true},
    {IDC_BROWSE_PATH, nullptr, {8, 19, 152, 12}, true},
    // The platform dialog's file controls, hidden or placed beyond the right edge.
    {cmb1, nullptr, {209, 50, 30, 36}, false},
    {kFileNameField, nullptr, {208, 38, 26, 12}, false},
    {lst1, nullptr, {220, 30, 36, 9}, false},
    {stc2, "List Files of &Type:", {181, 12, 62, 9}, false},
    {chx1, "&Read Only", {188, 34, 33, 12}, false},
    {stc5, "List Files of &Type:", {204, 22, 47, 9}, false},
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

// What the user sees of `control` in the dialog.
void Look(HWND dialog, const TemplateControl& control, ControlSeen& seen)
{
    HWND window = FindControl(dialog, control);
    if (window == nullptr) {
        return;
    }
    seen.found = true;
    seen.text = WindowText(window);
    seen.pixels = RectInDialog(dialog, window);
    // The dialog maps a control's position and its size each on their own.
    RECT mapped = control.units;
    MapDialogRect(dialog, &mapped);
    seen.expected =
        RECT{mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
    seen.visible = IsWindowVisible(window) != FALSE;
    const std::string className = ClassNameOf(window);
    seen.ownHeight = className == "ListBox" || className == "ComboBox";
}

TEST_F(BrowseDialog, BrowseOpensTheBrowseDirectoryTemplate)
{
    std::vector<ControlSeen> seen(std::size(kVisibleControls));
    RECT client{};
    RECT expectedClient{0, 0, 169, 170};
    RECT fileNameLabel{};
    BrowseUser user;
    user.Open()
        .Do([&](HWND dialog) {
            GetClientRect(dialog, &client);
            MapDialogRect(dialog, &expectedClient);
            for (std::size_t i = 0; i < seen.size(); ++i) {
                Look(dialog, kVisibleControls[i], seen[i]);
            }
            fileNameLabel = RectInDialog(dialog, GetDlgItem(dialog, kFileNameLabel));
        })
        .Run();

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
    BrowseUser user;
    user.Open().Do([&](HWND dialog) { caption = WindowText(dialog); }).Run();
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
    BrowseUser user;
    user.Open()
        .Do([&](HWND dialog) {
            field = ControlText(dialog, IDC_BROWSE_PATH);
            selection =
                static_cast<DWORD>(SendDlgItemMessageA(dialog, IDC_BROWSE_PATH, EM_GETSEL, 0, 0));
            focused = GetFocus() == GetDlgItem(dialog, IDC_BROWSE_PATH);
        })
        .Run();
    EXPECT_EQ(field, kDestination);
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), kDestination.size());
    EXPECT_TRUE(focused);
}

TEST_F(BrowseDialog, ListsStartAtTheInitialDirectory)
{
    std::string shownDirectory, currentDirectory, drive;
    BrowseUser user;
    user.Open()
        .Do([&](HWND dialog) {
            shownDirectory = ControlText(dialog, kCurrentDirectoryText);
            currentDirectory = CurrentDirectory();
            HWND combo = GetDlgItem(dialog, cmb2);
            const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
            char text[64] = {};
            if (index != CB_ERR) {
                SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
            }
            drive = text;
        })
        .Run();
    // The old-style dialog writes the directory in lower case.
    EXPECT_EQ(Upper(shownDirectory), "C:\\");
    EXPECT_EQ(Upper(currentDirectory), "C:\\");
    EXPECT_EQ(Upper(drive), "[-C-]");
}

TEST_F(BrowseDialog, HiddenFileNameFieldHoldsTheDummyName)
{
    std::string fileName;
    BrowseUser user;
    user.Open().Do([&](HWND dialog) { fileName = ControlText(dialog, kFileNameField); }).Run();
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
        BrowseUser user;
        user.Open().Do([&](HWND dialog) { TypePath(dialog, path.typed); }).End(IDOK, &shown).Run();
        EXPECT_EQ(shown, path.destination);
        EXPECT_EQ(std::string(g_setup.destDir), path.destination);
    }
}

TEST_F(BrowseDialog, APathTooLongForTheDestinationIsRefusedAndTheDialogStays)
{
    std::string refusal, caption;
    bool stays = false;
    std::string shown;
    BrowseUser user;
    user.Open()
        .Do([&](HWND dialog) {
            TypePath(dialog, kLongPath);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        })
        .Box(IDOK,
             [&](HWND box) {
                 refusal = MessageBoxText(box);
                 caption = WindowText(box);
             })
        .Do([&](HWND dialog) { stays = IsWindow(dialog) && IsWindowVisible(dialog); })
        .End(IDCANCEL, &shown)
        .Run();
    EXPECT_EQ(refusal,
              "The specified directory name is too long !\nIt can have at most 79 characters.");
    EXPECT_EQ(caption, "Quorra Pad Setup Program");
    EXPECT_TRUE(stays);
    EXPECT_EQ(shown, kDestination);
    EXPECT_EQ(std::string(g_setup.destDir), kDestination);
}

TEST_F(BrowseDialog, CancelLeavesTheDestinationUnchanged)
{
    std::string afterTyping, afterMoving;
    bool moved = false;
    BrowseUser user;
    user.Open()
        .Do([](HWND dialog) { TypePath(dialog, "D:\\ELSEWHERE"); })
        .End(IDCANCEL, &afterTyping)
        .Open()
        .Do([&](HWND dialog) { moved = ClickDirectory(dialog, "BRWSTEST", LBN_DBLCLK); })
        .End(IDCANCEL, &afterMoving)
        .Run();
    EXPECT_EQ(afterTyping, kDestination);
    ASSERT_TRUE(moved);
    EXPECT_EQ(afterMoving, kDestination);
    EXPECT_EQ(std::string(g_setup.destDir), kDestination);
}

TEST_F(BrowseDialog, OkAfterMovingThroughTheListsTakesTheDirectoryShown)
{
    std::string field, shown;
    bool moved = false;
    BrowseUser user;
    user.Open()
        .Do([&](HWND dialog) { moved = ClickDirectory(dialog, "BRWSTEST", LBN_DBLCLK); })
        .Do([&](HWND dialog) { moved = moved && ClickDirectory(dialog, "INNER", LBN_DBLCLK); })
        .Do([&](HWND dialog) { field = ControlText(dialog, IDC_BROWSE_PATH); })
        .End(IDOK, &shown)
        .Run();
    ASSERT_TRUE(moved);
    EXPECT_EQ(Upper(field), kBrowseRoot + "\\INNER");
    EXPECT_EQ(shown, field);
    EXPECT_EQ(std::string(g_setup.destDir), field);
}

TEST_F(BrowseDialog, ReopenedDialogStartsFromTheDestinationAgain)
{
    std::string second;
    BrowseUser user;
    user.Open()
        .Do([](HWND dialog) { ClickDirectory(dialog, "BRWSTEST", LBN_DBLCLK); })
        .End(IDCANCEL)
        .Open()
        .Do([&](HWND dialog) { second = ControlText(dialog, IDC_BROWSE_PATH); })
        .Run();
    EXPECT_EQ(second, kDestination);
}

TEST_F(BrowseDialog, CurrentDirectoryIsRestoredAfterTheDialog)
{
    const std::string before = CurrentDirectory();
    std::string afterOk, afterCancel;
    BrowseUser user;
    for (int button : {IDOK, IDCANCEL}) {
        user.Open()
            .Do([](HWND dialog) { ClickDirectory(dialog, "BRWSTEST", LBN_DBLCLK); })
            .End(button)
            .Then([&, button] { (button == IDOK ? afterOk : afterCancel) = CurrentDirectory(); });
    }
    user.Run();
    EXPECT_EQ(afterOk, before);
    EXPECT_EQ(afterCancel, before);
}

// ---- The path field follows the lists ----

TEST_F(BrowseDialog, DoubleClickOnADirectoryShowsTheNewCurrentDirectory)
{
    std::string inside, currentInside, back, currentBack;
    bool clicked = false;
    BrowseUser user;
    user.Open()
        .Do([&](HWND dialog) { clicked = ClickDirectory(dialog, "BRWSTEST", LBN_DBLCLK); })
        .Do([&](HWND dialog) {
            inside = ControlText(dialog, IDC_BROWSE_PATH);
            currentInside = CurrentDirectory();
            clicked = clicked && ClickDirectory(dialog, "..", LBN_DBLCLK);
        })
        .Do([&](HWND dialog) {
            back = ControlText(dialog, IDC_BROWSE_PATH);
            currentBack = CurrentDirectory();
        })
        .Run();
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
    BrowseUser user;
    user.Open()
        .Do([&](HWND dialog) {
            TypePath(dialog, "D:\\TYPED");
            typed = ControlText(dialog, IDC_BROWSE_PATH);
            clicked = ClickDirectory(dialog, "BRWSTEST", LBN_SELCHANGE);
        })
        .Do([&](HWND dialog) {
            afterClick = ControlText(dialog, IDC_BROWSE_PATH);
            current = CurrentDirectory();
        })
        .Run();
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
    BrowseUser user;
    user.Open()
        .Do([&](HWND dialog) {
            TypePath(dialog, "D:\\TYPED");
            picked = PickDrive(dialog, 'z');
        })
        .Do([&](HWND dialog) {
            afterPick = ControlText(dialog, IDC_BROWSE_PATH);
            current = CurrentDirectory();
        })
        .Run();
    ASSERT_TRUE(picked);
    EXPECT_EQ(Upper(afterPick.substr(0, 3)), "Z:\\");
    EXPECT_EQ(afterPick, current);
}

TEST_F(BrowseDialog, OtherNotificationsLeaveThePathField)
{
    std::string afterNotifications;
    BrowseUser user;
    user.Open()
        .Do([](HWND dialog) {
            TypePath(dialog, "D:\\TYPED");
            const struct {
                int id;
                WORD code;
            } notifications[] = {
                {lst2, LBN_SETFOCUS},
                {lst2, LBN_KILLFOCUS},
                {cmb2, CBN_SETFOCUS},
                {cmb2, CBN_DROPDOWN},
                {IDC_BROWSE_PATH, EN_CHANGE},
            };
            for (const auto& notification : notifications) {
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(notification.id, notification.code),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, notification.id)));
            }
        })
        .Do([&](HWND dialog) { afterNotifications = ControlText(dialog, IDC_BROWSE_PATH); })
        .Run();
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
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
        std::string field;
        bool clicked = false;
        BrowseUser user;
        user.Open()
            .Do([&](HWND dialog) {
                TypePath(dialog, "D:\\TYPED");
                clicked = ClickDirectory(dialog, name, LBN_DBLCLK);
            })
            .Do([&](HWND dialog) { field = ControlText(dialog, IDC_BROWSE_PATH); })
            .Run();
        RemoveDirectoryA(path.c_str());
        ASSERT_TRUE(clicked);
        EXPECT_EQ(Upper(field), directory.fits ? path : kDestination);
    }
}

} // namespace
