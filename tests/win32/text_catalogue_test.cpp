#include "script/script_names.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TextCatalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_setup.instance = GetModuleHandleA(nullptr);
        g_setup.textIndex = 4;
    }
};

TEST_F(TextCatalogue, EveryEntryHasItsExactText)
{
    const struct {
        unsigned id;
        const char* text;
    } table[] = {
        {1, "DiskLabel"}, {2, "DirectoryName"}, {3, "FileCounts"},
        {4, "Disk1"}, {5, "Disk2"}, {6, "Disk3"}, {7, "Disk4"}, {8, "Disk5"}, {9, "Disk6"},
        {10, "RootDir"}, {11, "SubDir1"}, {12, "SubDir2"}, {13, "SubDir3"}, {14, "SubDir4"},
        {15, "SubDir5"}, {16, "SubDir6"}, {17, "WinDir"}, {18, "WinSystemDir"}, {19, "WinInfDir"},
        {20, "SETUP.INF Reading error !"}, {22, "Main"}, {23, "DefaultPath"},
        {25, "MinimumSpace"}, {28, " installation is not completed !"}, {29, "Setup Program"},
        {30, "ProductName"},
        {32, "The specified directory is already existed !\nDo you still want to copy to this "
             "directory ?"},
        {33, "Can not create directory !\nThe specified directory is either invalid or disk "
             "drive is write protected."},
        {34, "There is no enough free space in the specified disk drive !"},
        {36, "Copying "}, {41, "DriverName"},
        {42, "This Gamepad/Joystick Driver is for Windows 95/98 only !"},
        {43, "The specified directory is not existed!\n Are you sure you want to create it ?"},
        {45, "OEMData1"}, {46, "OEMData2"},
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
    char* first = LoadText(1);
    char* second = LoadText(2);
    char* third = LoadText(3);
    char* fourth = LoadText(4);
    EXPECT_STREQ(first, "DiskLabel");
    EXPECT_NE(first, second);
    EXPECT_NE(second, third);
    EXPECT_NE(third, fourth);
    EXPECT_NE(first, fourth);
    char* fifth = LoadText(22);
    EXPECT_EQ(fifth, first);
    EXPECT_STREQ(first, "Main");
    EXPECT_STREQ(second, "DirectoryName");
}

TEST_F(TextCatalogue, MissingIdGivesNullAndStillAdvances)
{
    char* first = LoadText(1);
    EXPECT_EQ(LoadText(21), nullptr);
    EXPECT_EQ(LoadText(0x10000 + 21), nullptr);
    LoadText(3);
    EXPECT_EQ(LoadText(4), first); // the two failed calls used buffers 1 and 2
}

TEST_F(TextCatalogue, UsesOnlyTheLow16BitsOfTheId)
{
    const char* text = LoadText(0x50000 + 22);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Main");
}

} // namespace
