// The copy page run in this program, with a thread hook that records every text the page shows,
// so that fast changes such as the percent label are all seen; its boxes are answered on this
// thread (support/automation.h).
#include "base/resource_ids.h"
#include "base/setup_state.h"
#include "install/copy_page.h"
#include "install/file_copy.h"
#include "files/file_operations.h"
#include "install/file_placement.h"
#include "install/source_disks.h"
#include "files/leftovers.h"
#include "install/record_writer.h"
#include "script/script_loader.h"
#include "script/script_names.h"
#include "support/automation.h"
#include "support/test_files.h"
#include "ui/page_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string kMedium = "C:\\MEDIUM";
const std::string kDest = "C:\\COPYDEST";

// The renames of placing a file go through here, this program's own: those whose numbers (from 1)
// the test names fail, as a file that some program holds or a full disk would make them fail.
int g_renames = 0;
std::set<int> g_failingRenames;

} // namespace

bool RenameFile(const char* from, const char* to)
{
    return g_failingRenames.count(++g_renames) == 0 && MoveFileA(from, to) != FALSE;
}

namespace {

std::vector<std::string> g_percentTexts;
std::vector<std::string> g_statusTexts;
// Clicks the copy page's Cancel once the percent label first changes; off when false.
bool g_cancelAtFirstPercent = false;

LRESULT CALLBACK RecordTexts(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETTEXT && call->lParam != 0) {
        const int id = GetDlgCtrlID(call->hwnd);
        const char* text = reinterpret_cast<const char*>(call->lParam);
        if (id == IDC_COPY_PERCENT) {
            if (g_cancelAtFirstPercent && g_percentTexts.empty()) {
                PostMessageA(GetDlgItem(GetParent(call->hwnd), IDC_COPY_CANCEL), BM_CLICK, 0, 0);
            }
            g_percentTexts.push_back(text);
        } else if (id == IDC_COPY_STATUS) {
            g_statusTexts.push_back(text);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class CopyPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_setup = SetupState{};
        g_setup.instance = GetModuleHandleA(nullptr);
        GetWindowsDirectoryA(g_setup.windowsDir, sizeof g_setup.windowsDir);
        g_setup.screenWidth = static_cast<std::int16_t>(GetSystemMetrics(SM_CXSCREEN));
        g_setup.screenHeight = static_cast<std::int16_t>(GetSystemMetrics(SM_CYSCREEN));
        g_percentTexts.clear();
        g_statusTexts.clear();
        g_cancelAtFirstPercent = false;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, RecordTexts, nullptr, GetCurrentThreadId());
        FreshFolder(kDest);
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(hook_);
        ReleaseFileTable();
    }

    // Writes the script, loads it and runs the copy page to its end, answering its boxes with OK.
    std::int16_t Run(const std::string& script)
    {
        const std::string path = kMedium + "\\" + kScriptName;
        WriteWholeFile(path, script);
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
        EXPECT_EQ(LoadSetupScript(), 1);
        std::strcpy(g_setup.destDir, kDest.c_str());
        return RunPage("SETUP_INSTALL", CopyPageProc, IDD_COPY_PAGE);
    }

    // The boxes that the page showed.
    const std::vector<std::string>& Boxes() const { return user_.OtherBoxes(); }

    static std::string Disk(int number, int files)
    {
        std::string text = "[Disk" + std::to_string(number) + "]\n";
        for (int i = 1; i <= files; ++i) {
            const std::string name =
                "D" + std::to_string(number) + "F" + std::to_string(i) + ".TXT";
            WriteWholeFile(kMedium + "\\" + name, "content of " + name);
            text += std::to_string(i) + "=" + name + "," + name + ",File " + std::to_string(i) +
                    ",RootDir\n";
        }
        return text;
    }

    HHOOK hook_ = nullptr;
    ThreadUser user_;
};

TEST_F(CopyPage, PercentFollowsEachDiskFilesForThreeAndSeven)
{
    const std::string script = "[DiskLabel]\nDisk1=A\nDisk2=B\n[FileCounts]\nDisk1=3\nDisk2=7\n" +
                               Disk(1, 3) + Disk(2, 7);
    EXPECT_EQ(Run(script), kPageNext);
    EXPECT_EQ(g_percentTexts, (std::vector<std::string>{"33%", "66%", "100%", "14%", "28%", "42%",
                                                        "57%", "71%", "85%", "100%"}));
    EXPECT_EQ(ReadWholeFile(kDest + "\\D2F7.TXT"), "content of D2F7.TXT");
}

TEST_F(CopyPage, StatusNamesEachFileThenTheRegistrySteps)
{
    EXPECT_EQ(Run("[DiskLabel]\nDisk1=A\n[FileCounts]\nDisk1=2\n" + Disk(1, 2)), kPageNext);
    EXPECT_EQ(g_statusTexts,
              (std::vector<std::string>{"Copying D1F1.TXT\n\nFile 1", "Copying D1F2.TXT\n\nFile 2",
                                        "Adding Registry...", "Updating Registry..."}));
}

TEST_F(CopyPage, WithoutDisksOnlyTheRegistryStepsRunAndTheyPause)
{
    const DWORD start = GetTickCount();
    EXPECT_EQ(Run("[Main]\nProductName=Nothing\n"), kPageNext);
    EXPECT_GE(GetTickCount() - start, 1000u);
    EXPECT_TRUE(g_percentTexts.empty());
    EXPECT_EQ(g_statusTexts,
              (std::vector<std::string>{"Adding Registry...", "Updating Registry..."}));
}

TEST_F(CopyPage, SubdirectoriesAreCreatedInOrderOneLevelEach)
{
    Run("[DirectoryName]\nSubDir1=UTILS\nSubDir2=UTILS\\CALIB\nSubDir3=NO\\PARENT\nSubDir6=LAST\n");
    EXPECT_TRUE(GetFileAttributesA((kDest + "\\UTILS\\CALIB").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(GetFileAttributesA((kDest + "\\LAST").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((kDest + "\\NO").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CopyPage, FailedFilesAreReportedAndThePageEndsWithCancel)
{
    const std::string script =
        "[Main]\nProductName=Pad\n[DiskLabel]\nDisk1=A\n[FileCounts]\nDisk1=3\n" + Disk(1, 3);
    // The second file's source is gone; the first and third are still copied.
    DeleteFileA((kMedium + "\\D1F2.TXT").c_str());
    EXPECT_EQ(Run(script), kPageCancel);
    EXPECT_EQ(g_percentTexts, (std::vector<std::string>{"33%", "66%", "100%"}));
    EXPECT_EQ(FileSize(kDest + "\\D1F2.TXT"), -1);
    EXPECT_GT(FileSize(kDest + "\\D1F3.TXT"), 0);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"These files could not be copied:\n\nD1F2.TXT",
                                                 "Pad installation is not completed !"}));
}

TEST_F(CopyPage, TargetThatCannotBeOpenedKeepsNoPartialFile)
{
    // A target directory that does not exist: the target cannot be created.
    WriteWholeFile(kMedium + "\\A.TXT", "some bytes for a file");
    const std::string script = "[DiskLabel]\nDisk1=A\n[DirectoryName]\nSubDir1=MISSING\\DEEP\n"
                               "[FileCounts]\nDisk1=1\n[Disk1]\n1=A.TXT,A.TXT,a,SubDir1\n";
    EXPECT_EQ(Run(script), kPageCancel);
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes()[0], "These files could not be copied:\n\nA.TXT");
}

// Numbered keys that the script leaves out give records without names; they let messages through
// as every record does, so that a long run of them does not hold a click on Cancel.
TEST_F(CopyPage, CancelIsHeardDuringARunOfMissingNumberedKeys)
{
    WriteWholeFile(kMedium + "\\LAST.TXT", "the one named file, after 999 unnamed records");
    const std::string script = "[Main]\nProductName=Pad\n[DiskLabel]\nDisk1=A\n[FileCounts]\n"
                               "Disk1=1000\n[Disk1]\n1000=LAST.TXT,LAST.TXT,Last,RootDir\n";
    g_cancelAtFirstPercent = true;
    EXPECT_EQ(Run(script), kPageCancel);
    // The click comes during the record that first moves the percent (1 %), and is heard there.
    EXPECT_EQ(g_percentTexts, std::vector<std::string>{"1%"});
    EXPECT_EQ(FileSize(kDest + "\\LAST.TXT"), -1);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Pad installation is not completed !"});
}

FileEntry Record(const char* source, const char* target)
{
    FileEntry entry{};
    std::strcpy(entry.sourceName, source);
    std::strcpy(entry.targetName, target);
    return entry;
}

// The two steps without the page: a file read from any folder (not the program's) is placed,
// replaced at the next start while it is in use, and named in the install record with its length;
// a missing source, the install record itself and a record without names each say so.
TEST(FileCopy, EachFileSaysWhatBecameOfIt)
{
    g_setup = SetupState{};
    GetWindowsDirectoryA(g_setup.windowsDir, sizeof g_setup.windowsDir);
    const std::string disk = FreshFolder("C:\\SECOND");
    ASSERT_TRUE(WriteWholeFile(disk + "\\NEW.TXT", "new content"));
    StartRecordIn(kDest);
    StartFileCopies();
    const auto copy = [&](const FileEntry& entry) {
        return FinishFileCopy(OpenFileCopy(entry, disk.c_str()));
    };

    EXPECT_EQ(copy(Record("NEW.TXT", "NEW.TXT")), CopyOutcome::Placed);
    EXPECT_EQ(ReadWholeFile(kDest + "\\NEW.TXT"), "new content");

    ASSERT_TRUE(WriteWholeFile(disk + "\\NEW.TXT", "newer content"));
    const HANDLE held = CreateFileA((kDest + "\\NEW.TXT").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(copy(Record("NEW.TXT", "NEW.TXT")), CopyOutcome::AtRestart);
    CloseHandle(held);
    EXPECT_EQ(ReadWholeFile(kDest + "\\NEW.TXT"), "new content");

    const std::set<std::string> before = FileNamesIn(kDest);
    EXPECT_EQ(copy(Record("GONE.TXT", "GONE.TXT")), CopyOutcome::Failed);
    EXPECT_EQ(copy(Record("NEW.TXT", kInstallRecordName)), CopyOutcome::Failed);
    EXPECT_EQ(copy(FileEntry{}), CopyOutcome::NothingToCopy);
    EXPECT_EQ(FileNamesIn(kDest), before);
    EndInstallRecord();

    const std::string record = ReadWholeFile(kDest + "\\" + kInstallRecordName);
    EXPECT_NE(record.find("F\t" + kDest + "\\NEW.TXT\to\tB\t"), std::string::npos) << record;
    EXPECT_NE(record.find("F\t" + kDest + "\\NEW.TXT\teo\tD\t"), std::string::npos) << record;
    EXPECT_EQ(record.find("GONE.TXT"), std::string::npos) << record;
}

// A disk is told by a file of its own, one that no earlier disk has: disk 1's floppy, which holds
// disk 2's first file too, is not disk 2; a folder with only another of disk 2's files is. A disk
// whose files are all on earlier disks is there when its first file is.
TEST_F(CopyPage, ADiskIsThereWhenAFileOfItsOwnIs)
{
    const std::string script = kMedium + "\\" + kScriptName;
    WriteWholeFile(script, "[DiskLabel]\nDisk1=One\nDisk2=Two\nDisk3=Three\n"
                           "[FileCounts]\nDisk1=2\nDisk2=2\nDisk3=1\n"
                           "[Disk1]\n1=A.TXT,A.TXT,a,RootDir\n2=SHARED.TXT,S1.TXT,s,RootDir\n"
                           "[Disk2]\n1=SHARED.TXT,S2.TXT,s,RootDir\n2=B.TXT,B.TXT,b,RootDir\n"
                           "[Disk3]\n1=A.TXT,A3.TXT,a,RootDir\n");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, script.c_str());
    ASSERT_EQ(LoadSetupScript(), 1);
    const std::string first = FreshFolder("C:\\FLOPPY1");
    const std::string second = FreshFolder("C:\\FLOPPY2");
    for (const char* name : {"A.TXT", "SHARED.TXT"}) {
        WriteWholeFile(first + "\\" + name, name);
    }
    WriteWholeFile(second + "\\B.TXT", "B.TXT");

    EXPECT_TRUE(DiskIsIn(0, first.c_str()));
    EXPECT_FALSE(DiskIsIn(1, first.c_str()));
    EXPECT_TRUE(DiskIsIn(1, second.c_str()));
    EXPECT_TRUE(DiskIsIn(2, first.c_str()));
    EXPECT_FALSE(DiskIsIn(2, second.c_str()));
    std::strcpy(g_setup.sourceDir, first.c_str());
    EXPECT_TRUE(SetAsksForDisks());
    WriteWholeFile(first + "\\B.TXT", "B.TXT");
    EXPECT_FALSE(SetAsksForDisks());
}

// The old file steps aside (the first rename), the new one takes its name (the second), and the
// old one comes back should the second fail (the third).
TEST(PutInPlace, TheOldFileComesBackWhenTheNewOneCannotTakeItsPlace)
{
    const std::string folder = "C:\\PLACING";
    const std::string target = folder + "\\PANEL.DLL";
    StartRecordIn(folder);
    char windowsDir[MAX_PATH];
    GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    ASSERT_TRUE(WriteWholeFile(target, "old"));
    const auto placeFailing = [&](std::set<int> failing) {
        char temporary[MAX_PATH];
        EXPECT_TRUE(CreateTemporaryBeside(target.c_str(), temporary));
        EXPECT_TRUE(WriteWholeFile(temporary, "new"));
        g_renames = 0;
        g_failingRenames = std::move(failing);
        const Placement placement = PutInPlace(temporary, target.c_str(), windowsDir);
        g_failingRenames.clear();
        return placement;
    };

    EXPECT_EQ(placeFailing({2}), Placement::Failed);
    EXPECT_EQ(ReadWholeFile(target), "old");
    EXPECT_EQ(FileNamesIn(folder), (std::set<std::string>{"PANEL.DLL", kInstallRecordName}));

    // Should not even the old file come back, it waits under a name that the record names: the
    // next run (or the uninstall) puts it back.
    EXPECT_EQ(placeFailing({2, 3}), Placement::Failed);
    EXPECT_FALSE(FileExists(target));
    EndInstallRecord();
    const std::string record = ReadWholeFile(folder + "\\" + kInstallRecordName);
    RemoveLeftovers(record.data(), record.size());
    EXPECT_EQ(ReadWholeFile(target), "old");
    EXPECT_EQ(FileNamesIn(folder), (std::set<std::string>{"PANEL.DLL", kInstallRecordName}));

    // Without a record to name it, no temporary file is made.
    char temporary[MAX_PATH];
    EXPECT_FALSE(CreateTemporaryBeside(target.c_str(), temporary));
    EXPECT_EQ(FileNamesIn(folder), (std::set<std::string>{"PANEL.DLL", kInstallRecordName}));
}

// Milliseconds of processor time that this thread has used.
std::uint64_t ProcessorTime()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& time) {
        return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10000;
}

TEST(DelayWithMessages, DiscardsInputButKeepsAQuitRequestAndSleeps)
{
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    PostMessageA(window, WM_USER + 7, 0, 0);
    PostQuitMessage(3);
    const DWORD start = GetTickCount();
    const std::uint64_t busyBefore = ProcessorTime();
    DelayWithMessages(1000);
    EXPECT_GE(GetTickCount() - start, 1000u);
    // It sleeps through the pause rather than asking for messages all the time. The thread's own
    // time: under Wine each ask waits for Wine's server, so a pause that asks all the time shows
    // as part of its length (more than half of it here), on Windows as the whole of it.
    EXPECT_LT(ProcessorTime() - busyBefore, 30u) << "milliseconds of processor time";
    // A pending quit is returned whatever the filter, so it is taken first.
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&message, window, WM_USER + 7, WM_USER + 7, PM_REMOVE));
    DestroyWindow(window);
}

// A window whose update region waits to be painted keeps a paint request in the queue, which
// taking messages does not remove: the pause still ends on time.
TEST(DelayWithMessages, EndsWhileAWindowWaitsToBePainted)
{
    const auto pauseBesideAnUnpaintedWindow = [](LPVOID) -> DWORD {
        HWND window = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                    nullptr, nullptr, nullptr);
        InvalidateRect(window, nullptr, TRUE);
        DelayWithMessages(200);
        DestroyWindow(window);
        return 0;
    };
    HANDLE thread = CreateThread(nullptr, 0, pauseBesideAnUnpaintedWindow, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0) << "the pause never ended";
    CloseHandle(thread);
}

LRESULT CALLBACK CountCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        SetWindowLongPtrA(window, GWLP_USERDATA, GetWindowLongPtrA(window, GWLP_USERDATA) + wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(PumpOneMessage, DropsAQueuedCommandOneAndDispatchesOthersOneAtATime)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CountCommands;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PumpProbe";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("PumpProbe", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    PostMessageA(window, WM_COMMAND, IDC_COPY_CANCEL, 0);
    PostMessageA(window, WM_COMMAND, 10, 0);
    PostMessageA(window, WM_COMMAND, 100, 0);
    PumpOneMessage(window);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 0);
    PumpOneMessage(window);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 10);
    PumpOneMessage(window);
    PumpOneMessage(window);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 110);
    DestroyWindow(window);
}

TEST(ControlRectInPage, MissingControlGivesAnEmptyRectangle)
{
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    RECT rect{11, 22, 33, 44};
    ControlRectInPage(window, IDC_COPY_GAUGE_FRAME, &rect);
    EXPECT_TRUE(IsRectEmpty(&rect));
    DestroyWindow(window);
    ControlRectInPage(window, IDC_COPY_GAUGE_FRAME, &rect);
    EXPECT_TRUE(IsRectEmpty(&rect));
}

TEST(PumpOneMessage, KeepsAQuitRequestForThePageLoop)
{
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    PostQuitMessage(5);
    PumpOneMessage(window); // a live window, as Wine hands it the quit request
    PumpOneMessage(nullptr);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 5u);
    DestroyWindow(window);
}

} // namespace

int main(int argc, char** argv)
{
    return RunTestsFromFolder(kMedium, argc, argv);
}
