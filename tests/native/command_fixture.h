// A test of a command-line program's entry point: a scratch folder of its own, and runs of the
// command with its output streams captured.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class CommandTest : public ::testing::Test {
protected:
    using Command = int (*)(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

    void SetUp() override
    {
        const auto* unit = ::testing::UnitTest::GetInstance();
        const auto* test = unit->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("command_test_" + std::to_string(unit->random_seed()) + "_" +
                   test->test_suite_name() + "_" + test->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Writes a file of the scratch folder (`name` may hold subfolders) and returns its path.
    std::string Write(const std::string& name, const std::string& text)
    {
        const std::filesystem::path path = folder_ / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    // The sample medium's originals in the scratch folder "originals": the sample's files, and a
    // stand-in for the uninstaller, which only the Windows build makes. Returns the folder.
    std::string SampleOriginals()
    {
        std::filesystem::copy(SETUP_SOURCE_DIR "/sample/files", Path("originals"));
        Write("originals/UNINSTAL.EXE", "MZ stands in for the uninstaller of the Windows build");
        return Path("originals");
    }

    // Runs `command` as `program` with `args`; its output is left in out_ and err_.
    int RunCommand(Command command, const char* program, std::vector<std::string> args)
    {
        args.insert(args.begin(), program);
        std::vector<const char*> argv;
        for (const std::string& arg : args) {
            argv.push_back(arg.c_str());
        }
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const int status = command(static_cast<int>(argv.size()), argv.data(), out, err);
        out_ = Slurp(out);
        err_ = Slurp(err);
        return status;
    }

    static std::string Slurp(std::FILE* file)
    {
        std::string text;
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;) {
            text += static_cast<char>(c);
        }
        std::fclose(file);
        return text;
    }

    std::filesystem::path folder_;
    std::string out_;
    std::string err_;
};
