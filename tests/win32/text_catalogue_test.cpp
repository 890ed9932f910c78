#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "script/script_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TextCatalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_setup.instance = GetModuleHandleA(nullptr);
    }
};

TEST_F(TextCatalogue, EveryEntryHasItsExactText)
{
    const struct {
        unsigned id;
        const char* text;
    } table[] = {
        {IDS_DISK_LABEL_SECTION, "DiskLabel"},
        {IDS_DIRECTORY_NAME_SECTION, "DirectoryName"},
        {IDS_FILE_COUNTS_SECTION, "FileCounts"},
        {IDS_DISK1, "Disk1"},
        {IDS_DISK2, "Disk2"},
        {IDS_DISK3, "Disk3"},
        {IDS_DISK4, "Disk4"},
        {IDS_DISK5, "Disk5"},
        {IDS_DISK6, "Disk6"},
        {IDS_ROOT_DIR, "RootDir"},
        {IDS_SUB_DIR1, "SubDir1"},
        {IDS_SUB_DIR2, "SubDir2"},
        {IDS_SUB_DIR3, "SubDir3"},
        {IDS_SUB_DIR4, "SubDir4"},
        {IDS_SUB_DIR5, "SubDir5"},
        {IDS_SUB_DIR6, "SubDir6"},
        {IDS_WIN_DIR, "WinDir"},
        {IDS_WIN_SYSTEM_DIR, "WinSystemDir"},
        {IDS_WIN_INF_DIR, "WinInfDir"},
        {IDS_READING_ERROR, "SETUP.INF Reading error !"},
        {IDS_MAIN_SECTION, "Main"},
        {IDS_DEFAULT_PATH, "DefaultPath"},
        {IDS_MINIMUM_SPACE, "MinimumSpace"},
        {IDS_NOT_COMPLETED, " installation is not completed !"},
        {IDS_SETUP_PROGRAM, "Setup Program"},
        {IDS_PRODUCT_NAME, "ProductName"},
        {IDS_DIRECTORY_EXISTS,
         "The specified directory is already existed !\nDo you still want to copy to this "
         "directory ?"},
        {IDS_CANNOT_CREATE,
         "Can not create directory !\nThe specified directory is either invalid or disk drive is "
         "write protected."},
        {IDS_NO_FREE_SPACE, "There is no enough free space in the specified disk drive !"},
        {IDS_COPYING, "Copying "},
        {IDS_DRIVER_NAME, "DriverName"},
        {IDS_WINDOWS_ONLY, "This Gamepad/Joystick Driver is for Windows 95/98 only !"},
        {IDS_DIRECTORY_MISSING,
         "The specified directory is not existed!\n Are you sure you want to create it ?"},
        {IDS_OEM_DATA1, "OEMData1"},
        {IDS_OEM_DATA2, "OEMData2"},
    };
    for (const auto& entry : table) {
        const char* text = LoadText(entry.id);
        ASSERT_NE(text, nullptr) << "id " << entry.id;
        EXPECT_STREQ(text, entry.text) << "id " << entry.id;
    }
}

// The loading sequence takes its section and key names from the table in SETUP.EXE and from
// script/script_names.h everywhere else: both must name the same keys.
TEST_F(TextCatalogue, ScriptNamesOutsideTheProgramAreTheTableTexts)
{
    int named = 0;
    for (unsigned id = 0; id < 64; ++id) {
        const char* name = ScriptText(id);
        if (name == nullptr) {
            continue;
        }
        ++named;
        const char* text = LoadText(id);
        ASSERT_NE(text, nullptr) << "id " << id;
        EXPECT_STREQ(text, name) << "id " << id;
    }
    EXPECT_EQ(named, 27); // 4 sections, 6 [Main] keys, 6 disks, 10 directory keys, "Setup Program"
}

TEST_F(TextCatalogue, FifthCallReusesFirstBuffer)
{
    char* first = LoadText(IDS_DISK_LABEL_SECTION);
    char* second = LoadText(IDS_DIRECTORY_NAME_SECTION);
    char* third = LoadText(IDS_FILE_COUNTS_SECTION);
    char* fourth = LoadText(IDS_DISK1);
    EXPECT_STREQ(first, "DiskLabel");
    EXPECT_NE(first, second);
    EXPECT_NE(second, third);
    EXPECT_NE(third, fourth);
    EXPECT_NE(first, fourth);
    char* fifth = LoadText(IDS_MAIN_SECTION);
    EXPECT_EQ(fifth, first);
    EXPECT_STREQ(first, "Main");
    EXPECT_STREQ(second, "DirectoryName");
}

TEST_F(TextCatalogue, MissingIdGivesNullAndStillAdvances)
{
    char* first = LoadText(IDS_DISK_LABEL_SECTION);
    EXPECT_EQ(LoadText(21), nullptr);
    EXPECT_EQ(LoadText(0x10000 + 21), nullptr);
    LoadText(IDS_FILE_COUNTS_SECTION);
    EXPECT_EQ(LoadText(IDS_DISK1), first); // the two failed calls used buffers 1 and 2
}

TEST_F(TextCatalogue, UsesOnlyTheLow16BitsOfTheId)
{
    const char* text = LoadText(0x50000 + IDS_MAIN_SECTION);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Main");
}

} // namespace
