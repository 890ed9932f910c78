#include "medium/command.h"

#include "authoring/exit_status.h"
#include "authoring/folder.h"
#include "checker/command.h"
#include "szdd/szdd_reader.h"
#include "command_fixture.h"
#include "common/szdd_cases.h"
#include "medium/disk_image.h"
#include "medium/floppy_set.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kSample = SETUP_SOURCE_DIR "/sample";

std::string ReadText(const std::string& path)
{
    const auto bytes = authoring::ReadFileBytes(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// The output of a shell command.
std::string Output(const std::string& command)
{
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) {
            text += static_cast<char>(c);
        }
        pclose(pipe);
    }
    return text;
}

class MediumCommand : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        setupExe_ = Write("build/SETUP.EXE", "MZ stands in for SETUP.EXE");
        SampleOriginals();
    }

    // Runs setup-medium on `script` (a path) with the fixture's originals and SETUP.EXE, into the
    // folder "medium", with `more` arguments after.
    int Build(const std::string& script, std::vector<std::string> more = {})
    {
        std::vector<std::string> args = {"--script", script, "--originals", Path("originals"),
                                         "--setup", setupExe_, "--out", Path("medium")};
        args.insert(args.end(), more.begin(), more.end());
        return RunCommand(medium::RunMediumCommand, "setup-medium", args);
    }

    // The sample script with texts replaced, written to the scratch folder.
    std::string SampleWith(const std::vector<std::pair<std::string, std::string>>& changes)
    {
        std::string text = ReadText(kSample + "/SETUP.INF");
        for (const auto& [from, to] : changes) {
            const std::size_t at = text.find(from);
            EXPECT_NE(at, std::string::npos) << from;
            if (at != std::string::npos) {
                text.replace(at, from.size(), to);
            }
        }
        return Write("SETUP.INF", text);
    }

    // Every file that the sample's records name, made back from the medium: compressed ones
    // expanded, plain ones as they are.
    void ExpectSampleMediumIn(const std::string& folder)
    {
        const struct {
            const char* onMedium;
            const char* original;
        } files[] = {
            {"README.TXT", "README.TXT"},   {"KESTREL.VX_", "KESTREL.VXD"},
            {"KESTREL.IN_", "KESTREL.INF"}, {"KPANEL.DL_", "KPANEL.DLL"},
            {"KCAL.EX_", "KCAL.EXE"},       {"BUTTONS.TXT", "BUTTONS.TXT"},
            {"KESTREL.HL_", "KESTREL.HLP"}, {"UNINSTAL.EX_", "UNINSTAL.EXE"},
        };
        for (const auto& file : files) {
            std::string made = ReadText(folder + "/" + file.onMedium);
            if (std::string(file.onMedium).back() == '_') {
                const auto expanded = szdd::ExpandSzdd(
                    reinterpret_cast<const std::uint8_t*>(made.data()), made.size());
                made.assign(expanded.begin(), expanded.end());
            }
            EXPECT_EQ(made, ReadText(Path("originals") + "/" + file.original)) << file.onMedium;
        }
        EXPECT_EQ(ReadText(folder + "/SETUP.EXE"), ReadText(setupExe_));
        EXPECT_EQ(ReadText(folder + "/SETUP.INF"), ReadText(kSample + "/SETUP.INF"));
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 10);
    }

    // The names of the files of a floppy image (mdir's bare listing, in its order), and its
    // volume label.
    static std::vector<std::string> ImageNames(const std::string& image)
    {
        std::vector<std::string> names;
        std::string listing = Output("mdir -b -i '" + image + "' ::");
        for (std::size_t at = 0; at < listing.size();) {
            const std::size_t end = listing.find('\n', at);
            const std::string line = listing.substr(at, end - at);
            names.push_back(line.substr(line.rfind('/') + 1));
            at = end == std::string::npos ? listing.size() : end + 1;
        }
        return names;
    }
    static std::string VolumeLabel(const std::string& image)
    {
        const std::string listing = Output("mdir -i '" + image + "' ::");
        const std::string before = "Volume in drive : is ";
        const std::size_t at = listing.find(before);
        if (at == std::string::npos) {
            return {};
        }
        std::string label =
            listing.substr(at + before.size(), listing.find('\n', at) - at - before.size());
        label.erase(label.find_last_not_of(' ') + 1); // mdir fills it out to 11 characters
        return label;
    }

    // Each image holds the files named, as the medium folder holds them, and the label given.
    void ExpectImages(const std::vector<std::pair<std::string, std::string>>& imagesAndLabels,
                      const std::vector<std::vector<std::string>>& files)
    {
        for (std::size_t d = 0; d < imagesAndLabels.size(); ++d) {
            const auto& [image, label] = imagesAndLabels[d];
            EXPECT_EQ(VolumeLabel(image), label) << image;
            EXPECT_EQ(ImageNames(image), files[d]) << image;
            const std::string read = Path("read-" + std::to_string(d + 1));
            fs::create_directories(read);
            ASSERT_EQ(std::system(("mcopy -n -i '" + image + "' '::/*' '" + read + "/'").c_str()),
                      0);
            for (const std::string& name : files[d]) {
                EXPECT_EQ(ReadText(read + "/" + name), ReadText(Path("medium/" + name)))
                    << image << " " << name;
            }
        }
    }

    std::string setupExe_;
};

TEST_F(MediumCommand, BuildsTheSampleMediumThatExpandsToItsOriginals)
{
    ASSERT_EQ(Build(kSample + "/SETUP.INF"), authoring::kExitClean) << err_;
    EXPECT_TRUE(err_.empty()) << err_;
    ExpectSampleMediumIn(Path("medium"));
    EXPECT_NE(out_.find("KESTREL.VX_"), std::string::npos) << out_;

    // A second build into the same folder replaces the files, also under another case.
    fs::rename(Path("medium/KCAL.EX_"), Path("medium/kcal.ex_"));
    ASSERT_EQ(Build(kSample + "/SETUP.INF"), authoring::kExitClean) << err_;
    ExpectSampleMediumIn(Path("medium"));

    // An original is found whatever the case of its name.
    fs::rename(Path("originals/KCAL.EXE"), Path("originals/kcal.exe"));
    EXPECT_EQ(Build(kSample + "/SETUP.INF"), authoring::kExitClean) << err_;
    fs::rename(Path("originals/kcal.exe"), Path("originals/KCAL.EXE"));
    ExpectSampleMediumIn(Path("medium"));
}

TEST_F(MediumCommand, FaultsStopTheBuildWithTheirExitStatus)
{
    const struct {
        const char* what;
        std::string from, to;            // a change to the sample script
        std::vector<std::string> more;   // arguments after the usual ones
        const char* removedOriginal;     // from the originals, or null
        bool folderInItsPlace;           // ... and a folder of its name there instead
        int status;
        std::string message;             // in the error output; one that begins with ":"
                                         // follows the script's path
        bool mediumWritten;
    } table[] = {
        {"names that do not pair", "1=README.TXT,README.TXT", "1=README.TX_,READ.TXT", {},
         nullptr, false, authoring::kExitFaults,
         ":28: [Disk1] 1: the source \"README.TX_\" is neither the target", false},
        {"a name longer than its field", "1=README.TXT,README.TXT",
         "1=README.TXT,README-FIRST.TEXT", {}, nullptr, false, authoring::kExitFaults,
         ":28: [Disk1] 1: the original \"README-FIRST.TEXT\" cannot be used: its name is longer "
         "than 8.3, and the file line keeps 14 characters of a name (\"README-FIRST.T\")",
         false},
        {"a target that is not 8.3, forced", "1=README.TXT,README.TXT",
         "1=KESTRELPAD.TX_,KESTRELPAD.TXT", {"--force"}, nullptr, false,
         authoring::kExitFaults,
         ":28: [Disk1] 1: the target \"KESTRELPAD.TXT\" is not an 8.3 name: Windows 95 and 98 "
         "would bring it back under its 8.3 alias",
         false},
        {"missing original", "", "", {}, "KCAL.EXE", false, authoring::kExitCannotRun,
         ":34: [Disk2] 1: the original \"KCAL.EXE\" of \"KCAL.EX_\" is not in", false},
        {"original that is a folder", "", "", {}, "KCAL.EXE", true, authoring::kExitCannotRun,
         ":34: [Disk2] 1: the original \"KCAL.EXE\" of \"KCAL.EX_\" is a folder\n", false},
        {"checker warning", "MinimumSpace=512", "MinimumSpace=10", {}, nullptr, false,
         authoring::kExitFaults, ":8: [Main] MinimumSpace is 10 KB", true},
        {"checker warning, forced", "MinimumSpace=512", "MinimumSpace=10", {"--force"}, nullptr,
         false, authoring::kExitClean, ":8: [Main] MinimumSpace is 10 KB", true},
        {"image that cannot be written", "", "", {"--floppy", Path("none/disk.img")}, nullptr,
         false, authoring::kExitCannotRun,
         Path("none/disk.img") + ": cannot be written: No such file or directory", true},
        {"records of two disks to split", "", "", {"--split"}, nullptr, false,
         authoring::kExitFaults,
         ":10: --split lays out the file records of [Disk1] of a script of one disk", false},
        {"unknown argument", "", "", {"--floppies", "x"}, nullptr, false,
         authoring::kExitCannotRun, "setup-medium: unknown argument --floppies", false},
        {"option without value", "", "", {"--iso"}, nullptr, false, authoring::kExitCannotRun,
         "setup-medium: --iso needs a value", false},
    };
    for (const auto& row : table) {
        fs::remove_all(Path("medium"));
        fs::remove_all(Path("originals"));
        SampleOriginals();
        if (row.removedOriginal != nullptr) {
            fs::remove(Path("originals") + "/" + row.removedOriginal);
        }
        if (row.folderInItsPlace) {
            fs::create_directories(Path("originals") + "/" + row.removedOriginal);
        }
        const std::string script =
            row.from.empty() ? kSample + "/SETUP.INF" : SampleWith({{row.from, row.to}});
        EXPECT_EQ(Build(script, row.more), row.status) << row.what << "\n" << err_;
        const std::string wanted = row.message[0] == ':' ? script + row.message : row.message;
        EXPECT_NE(err_.find(wanted), std::string::npos) << row.what << "\n" << err_;
        EXPECT_EQ(fs::exists(Path("medium/SETUP.INF")), row.mediumWritten) << row.what;
    }
}

TEST_F(MediumCommand, InputsAndOutputsThatCannotBeUsedGiveExitTwo)
{
    const std::string script = kSample + "/SETUP.INF";
    const std::string originals = Path("originals");
    const std::vector<std::string> usual = {"--script", script, "--originals", originals,
                                            "--setup", setupExe_};
    const auto with = [&usual](std::vector<std::string> more) {
        more.insert(more.begin(), usual.begin(), usual.end());
        return more;
    };
    fs::create_directories(Path("images"));
    const struct {
        const char* what;
        std::vector<std::string> args;
        std::string message;
    } table[] = {
        {"no script", {"--script", Path("NOSUCH.INF"), "--originals", originals, "--setup",
                       setupExe_, "--out", Path("medium")},
         "the script cannot be read: No such file or directory"},
        {"no SETUP.EXE", {"--script", script, "--originals", originals, "--setup",
                          Path("NOSUCH.EXE"), "--out", Path("medium")}, "SETUP.EXE cannot be read"},
        {"no originals", {"--script", script, "--originals", Path("none"), "--setup", setupExe_,
                          "--out", Path("medium")}, "none: error: no such folder"},
        {"no --out", usual, "--out is required"},
        {"a stray file in the medium's folder",
         with({"--out", fs::path(Write("medium/STRAY.TXT", "x")).parent_path()}),
         "the folder holds what the medium has not (STRAY.TXT)"},
        {"a medium folder that cannot be made", with({"--out", setupExe_ + "/medium"}),
         setupExe_ + "/medium: the folder cannot be made: Not a directory"},
        {"a floppy image that names a folder",
         with({"--out", Path("medium"), "--floppy", Path("images")}),
         Path("images") + ": error: is a folder; give the image's file name"},
        {"an ISO image that names a folder",
         with({"--out", Path("medium"), "--iso", Path("images")}),
         Path("images") + ": error: is a folder; give the image's file name"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(RunCommand(medium::RunMediumCommand, "setup-medium", row.args),
                  authoring::kExitCannotRun)
            << row.what;
        EXPECT_NE(err_.find(row.message), std::string::npos) << row.what << "\n" << err_;
        EXPECT_FALSE(fs::exists(Path("medium/SETUP.INF"))) << row.what;
    }
    EXPECT_TRUE(fs::is_directory(Path("images"))); // refused, never replaced
}

TEST_F(MediumCommand, FloppyImageReadsBackAsTheMediumWithItsLabel)
{
    ASSERT_EQ(Build(kSample + "/SETUP.INF", {"--floppy", Path("disk.img")}), authoring::kExitClean)
        << err_;
    const std::string image = Path("disk.img");
    EXPECT_EQ(fs::file_size(image), medium::kFloppySectors * medium::kFloppySectorSize);
    // "Kestrel Gamepad Driver Disk 1" in capitals, cut to 11 characters.
    EXPECT_NE(Output("mdir -i '" + image + "' ::").find("Volume in drive : is KESTREL GAM\n"),
              std::string::npos);
    fs::create_directories(Path("read"));
    const std::string readBack = "mcopy -n -i '" + image + "' '::/*' '" + Path("read") + "/'";
    ASSERT_EQ(std::system(readBack.c_str()), 0);
    ExpectSampleMediumIn(Path("read"));
}

TEST_F(MediumCommand, IsoImageHoldsTheMediumUnderItsEightDotThreeNames)
{
    ASSERT_EQ(Build(kSample + "/SETUP.INF", {"--iso", Path("disk.iso")}), authoring::kExitClean)
        << err_;
    // The ISO 9660 names alone, as a system without Rock Ridge reads them.
    const std::string listing =
        Output("xorriso -read_fs norock -indev '" + Path("disk.iso") + "' -ls / 2>&1");
    for (const char* name : {"'SETUP.EXE'", "'SETUP.INF'", "'KESTREL.VX_'", "'UNINSTAL.EX_'"}) {
        EXPECT_NE(listing.find(name), std::string::npos) << name << "\n" << listing;
    }
    EXPECT_NE(listing.find("Volume id    : 'KESTREL GAMEPAD DRIVER DISK 1'"), std::string::npos)
        << listing;
    ASSERT_EQ(std::system(("xorriso -read_fs norock -osirrox on -indev '" + Path("disk.iso") +
                           "' -extract / '" + Path("read") + "' >/dev/null 2>&1")
                              .c_str()),
              0);
    ExpectSampleMediumIn(Path("read"));
}

TEST_F(MediumCommand, MediumTooLargeForTheFloppySaysByHowMuch)
{
    constexpr std::uint64_t kBig = 1500000;
    const std::vector<std::uint8_t> big = RandomBytes(kBig, 1);
    Write("originals/BIG.BIN", std::string(big.begin(), big.end()));
    const std::string script =
        SampleWith({{"MinimumSpace=512", "MinimumSpace=4000"},
                    {"Disk2=4", "Disk2=5"},
                    {"4=UNINSTAL.EX_", "5=BIG.BIN,BIG.BIN,Big,RootDir\n4=UNINSTAL.EX_"}});
    EXPECT_EQ(Build(script, {"--floppy", Path("disk.img")}), authoring::kExitFaults) << err_;

    std::uint64_t taken = 0;
    for (const auto& entry : fs::directory_iterator(Path("medium"))) {
        taken += (entry.file_size() + 511) / 512 * 512;
    }
    ASSERT_GT(taken, medium::kFloppyDataBytes);
    const std::string tooMany = std::to_string(taken - medium::kFloppyDataBytes);
    EXPECT_NE(err_.find(": " + tooMany + " bytes too many"), std::string::npos)
        << err_;
    EXPECT_FALSE(fs::exists(Path("disk.img")));
}

TEST_F(MediumCommand, FloppySetHoldsEachDiskOnAnImageOfItsOwn)
{
    // The sample's disk labels, alike in their first 11 characters, label the disks by number.
    const std::string script = kSample + "/SETUP.INF";
    ASSERT_EQ(Build(script, {"--floppy-set", Path("set.img")}), authoring::kExitClean) << err_;
    ExpectImages({{Path("set-1.img"), "KESTREL G 1"}, {Path("set-2.img"), "KESTREL G 2"}},
                 {{"SETUP.EXE", "SETUP.INF", "README.TXT", "KESTREL.VX_", "KESTREL.IN_",
                   "KPANEL.DL_"},
                  {"KCAL.EX_", "BUTTONS.TXT", "KESTREL.HL_", "UNINSTAL.EX_"}});
    EXPECT_FALSE(fs::exists(Path("set-3.img")));
    EXPECT_NE(out_.find(Path("set-2.img") + ": 1.44 MB floppy \"KESTREL G 2\""),
              std::string::npos)
        << out_;
    // The medium folder holds the whole set, as a set copied into one folder does.
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("medium")), fs::directory_iterator()), 10);
}

// A script of one disk whose [Disk1] lists every file: three large ones among the sample's.
std::string OneDiskScript()
{
    std::string text = "[Main]\r\nProductName=Kestrel Gamepad\r\nDefaultPath=C:\\KESTREL\r\n"
                       "DriverName=KESTREL.VXD\r\nMinimumSpace=4000\r\n"
                       "[DiskLabel]\r\nDisk1=KGP Disk 1\r\n"
                       "[DirectoryName]\r\nRootDir=\r\nSubDir1=DOCS\r\n"
                       "[FileCounts]\r\nDisk1=11\r\n[Disk1]\r\n";
    const char* const files[] = {
        "README.TXT,README.TXT,Read me first,RootDir",
        "KESTREL.VX_,KESTREL.VXD,Gamepad driver,WinSystemDir",
        "KESTREL.IN_,KESTREL.INF,Driver information,WinInfDir",
        "KPANEL.DL_,KPANEL.DLL,Control panel extension,WinSystemDir",
        "BIG1.BIN,BIG1.BIN,Sounds,SubDir1",
        "KCAL.EX_,KCAL.EXE,Calibration utility,RootDir",
        "BIG2.BIN,BIG2.BIN,Pictures,SubDir1",
        "BUTTONS.TXT,BUTTONS.TXT,Button layout,SubDir1",
        "BIG3.BIN,BIG3.BIN,Films,SubDir1",
        "KESTREL.HL_,KESTREL.HLP,Help file,SubDir1",
        "UNINSTAL.EX_,UNINSTAL.EXE,Uninstall program,RootDir",
    };
    for (std::size_t i = 0; i < std::size(files); ++i) {
        text += std::to_string(i + 1) + "=" + files[i] + "\r\n";
    }
    return text;
}

TEST_F(MediumCommand, SplitLaysDiskOneOutOverThreeFloppiesInItsOrder)
{
    for (int i = 1; i <= 3; ++i) {
        const std::vector<std::uint8_t> big = RandomBytes(900000, i);
        Write("originals/BIG" + std::to_string(i) + ".BIN", std::string(big.begin(), big.end()));
    }
    const std::string script = Write("ALL.INF", OneDiskScript());
    // The checker passes the script that the split writes, or no image would be written.
    ASSERT_EQ(Build(script, {"--split", "--floppy-set", Path("KGP#.img")}), authoring::kExitClean)
        << err_;
    const std::string written = ReadText(Path("medium/SETUP.INF"));
    for (const char* part :
         {"[Main]\r\nProductName=Kestrel Gamepad\r\n",
          "[DiskLabel]\r\nDisk1=KGP Disk 1\r\nDisk2=KGP Disk 2\r\nDisk3=KGP Disk 3\r\n",
          "[FileCounts]\r\nDisk1=6\r\nDisk2=2\r\nDisk3=3\r\n",
          "[Disk1]\r\n1=README.TXT,", "6=KCAL.EX_,KCAL.EXE,Calibration utility,RootDir\r\n",
          "[Disk2]\r\n1=BIG2.BIN,BIG2.BIN,Pictures,SubDir1\r\n2=BUTTONS.TXT,",
          "[Disk3]\r\n1=BIG3.BIN,BIG3.BIN,Films,SubDir1\r\n2=KESTREL.HL_,KESTREL.HLP,Help "
          "file,SubDir1\r\n3=UNINSTAL.EX_,"}) {
        EXPECT_NE(written.find(part), std::string::npos) << part << "\n" << written;
    }
    ExpectImages({{Path("KGP1.img"), "KGP DISK 1"},
                  {Path("KGP2.img"), "KGP DISK 2"},
                  {Path("KGP3.img"), "KGP DISK 3"}},
                 {{"SETUP.EXE", "SETUP.INF", "README.TXT", "KESTREL.VX_", "KESTREL.IN_",
                   "KPANEL.DL_", "BIG1.BIN", "KCAL.EX_"},
                  {"BIG2.BIN", "BUTTONS.TXT"},
                  {"BIG3.BIN", "KESTREL.HL_", "UNINSTAL.EX_"}});
    EXPECT_FALSE(fs::exists(Path("KGP4.img")));

    // The checker finds the set as setup-medium laid it out.
    ASSERT_EQ(RunCommand(checker::RunCheckCommand, "setup-inf-check",
                         {"--floppy-set", Path("medium")}),
              authoring::kExitClean)
        << out_;
    EXPECT_NE(out_.find("disk 3 (\"KGP Disk 3\") on a 1.44 MB floppy: 3 files,"),
              std::string::npos)
        << out_;
    EXPECT_NE(out_.find("no warnings (3 disks, 11 file records)"), std::string::npos) << out_;
}

TEST_F(MediumCommand, DiskTooLargeForItsFloppyIsNamedWithByHowMuch)
{
    // Two files that each fit a floppy, and together do not.
    for (const char* name : {"SOUNDS.BIN", "FILMS.BIN"}) {
        const std::vector<std::uint8_t> bytes = RandomBytes(800000, name[0]);
        Write(std::string("originals/") + name, std::string(bytes.begin(), bytes.end()));
    }
    EXPECT_EQ(Build(SampleWith({{"MinimumSpace=512", "MinimumSpace=4000"},
                                {"Disk2=4", "Disk2=6"},
                                {"4=UNINSTAL.EX_,UNINSTAL.EXE,Uninstall program,RootDir",
                                 "4=UNINSTAL.EX_,UNINSTAL.EXE,Uninstall program,RootDir\n"
                                 "5=SOUNDS.BIN,SOUNDS.BIN,Sounds,SubDir3\n"
                                 "6=FILMS.BIN,FILMS.BIN,Films,SubDir3"}}),
                    {"--floppy-set", Path("set.img")}),
              authoring::kExitFaults)
        << err_;
    std::uint64_t taken = 0;
    for (const char* name :
         {"KCAL.EX_", "BUTTONS.TXT", "KESTREL.HL_", "UNINSTAL.EX_", "SOUNDS.BIN", "FILMS.BIN"}) {
        taken += (fs::file_size(Path("medium/") + name) + 511) / 512 * 512;
    }
    ASSERT_GT(taken, medium::kFloppyDataBytes);
    EXPECT_NE(err_.find(Path("set-2.img") +
                        ": disk 2 (\"Kestrel Gamepad Driver Disk 2\") takes " +
                        std::to_string(taken) + " bytes in whole sectors, and a 1.44 MB floppy "
                        "holds 1457664: " + std::to_string(taken - medium::kFloppyDataBytes) +
                        " bytes too many"),
              std::string::npos)
        << err_;
    EXPECT_EQ(err_.find("disk 1"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(Path("set-1.img")));
    EXPECT_FALSE(fs::exists(Path("set-2.img")));
}

TEST(FloppySetImageName, DiskNumberInPlaceOfHashOrBeforeTheExtension)
{
    const struct {
        const char* pattern;
        int disk;
        const char* image;
    } table[] = {
        {"kestrel.img", 0, "kestrel-1.img"},
        {"out/kestrel.img", 1, "out/kestrel-2.img"},
        {"out.d/kestrel", 2, "out.d/kestrel-3"},
        {"KGP#.IMG", 5, "KGP6.IMG"},
        {"set#/disk.img", 0, "set#/disk-1.img"}, // a "#" of a folder stays
    };
    for (const auto& row : table) {
        EXPECT_EQ(medium::FloppySetImageName(row.pattern, row.disk), row.image) << row.pattern;
    }
}

TEST_F(MediumCommand, MissingImageToolNamesItsPackage)
{
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", Path("no-tools").c_str(), 1);
    const int floppy = Build(kSample + "/SETUP.INF", {"--floppy", Path("disk.img")});
    const std::string floppyErr = err_;
    const int iso = Build(kSample + "/SETUP.INF", {"--iso", Path("disk.iso")});
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(floppy, authoring::kExitCannotRun);
    EXPECT_NE(floppyErr.find("mformat is missing: install the package mtools"), std::string::npos)
        << floppyErr;
    EXPECT_EQ(iso, authoring::kExitCannotRun);
    EXPECT_NE(err_.find("xorriso is missing: install the package xorriso"), std::string::npos)
        << err_;
}

TEST(FloppyLabel, CapitalsCutToElevenWithoutForbiddenCharacters)
{
    const struct {
        const char* disk;
        const char* label;
    } table[] = {
        {"Kestrel Gamepad Driver Disk 1", "KESTREL GAM"},
        {"Disk 1", "DISK 1"},
        {"v1.2: a+b", "V1_2_ A_B"},
        {"", ""},
    };
    for (const auto& row : table) {
        EXPECT_EQ(medium::FloppyLabel(row.disk), row.label) << row.disk;
    }
}

TEST(FloppySetLabels, LabelsAlikeOnceCutEndInTheirDisksNumber)
{
    const struct {
        std::vector<std::string> disks;
        std::vector<std::string> labels;
    } table[] = {
        {{"Kestrel Gamepad Driver Disk 1", "Kestrel Gamepad Driver Disk 2"},
         {"KESTREL G 1", "KESTREL G 2"}},
        {{"KGP Disk 1", "KGP Disk 2"}, {"KGP DISK 1", "KGP DISK 2"}},
        // Only the labels that meet are numbered; a blank before the number is not doubled.
        {{"Kestrel Gamepad 1", "Kestrel Gamepad 2", "Extras"},
         {"KESTREL G 1", "KESTREL G 2", "EXTRAS"}},
        {{"Pad", "Pad"}, {"PAD 1", "PAD 2"}},
        {{"A very long label for disk ten of a set"}, {"A VERY LONG"}},
    };
    for (const auto& row : table) {
        EXPECT_EQ(medium::FloppySetLabels(row.disks), row.labels) << row.disks[0];
    }
}

TEST(FloppyUse, WholeSectorsAndRootEntries)
{
    const struct {
        std::vector<medium::ImageFile> files;
        std::uint64_t bytes;
        std::uint64_t entries; // the label's included
    } table[] = {
        {{}, 0, 1},
        {{{"EMPTY.TXT", 0}}, 0, 2},
        {{{"ONE.TXT", 1}, {"FULL.BIN", 512}, {"OVER.BIN", 513}}, 512 + 512 + 1024, 4},
        {{{"readme.txt", 10}}, 512, 3},           // lower case: a long name entry besides
        {{{"LONGNAME1.TXT", 10}}, 512, 3},        // 13 characters: one long name entry
        {{{"LONGFILENAME.TEXT", 10}}, 512, 4},    // 14 to 26 characters: two
    };
    for (const auto& row : table) {
        const medium::FloppyUse use = medium::FloppyUseOf(row.files);
        EXPECT_EQ(use.dataBytes, row.bytes);
        EXPECT_EQ(use.rootEntries, row.entries);
    }
    EXPECT_FALSE(medium::FloppyOverflow({medium::kFloppyDataBytes, medium::kFloppyRootEntries}));
    EXPECT_EQ(medium::FloppyOverflow({medium::kFloppyDataBytes + 512, 2}).value_or(""),
              "the medium takes 1458176 bytes in whole sectors, and a 1.44 MB floppy holds "
              "1457664: 512 bytes too many");
    const auto entries = medium::FloppyOverflow({0, medium::kFloppyRootEntries + 3});
    EXPECT_NE(entries.value_or("").find(": 3 too many"), std::string::npos);
}

} // namespace
