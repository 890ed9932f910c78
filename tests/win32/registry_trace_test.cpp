// The byte counts that the registry writers pass to RegSetValueExA, seen in Wine's relay trace of
// the calls. Reading the registry back cannot show them: Wine keeps a NUL after every REG_SZ,
// whatever count it was given.
//
// The test prepares a script and the joystick keys, then runs a second copy of this program with
// the relay trace on (WINEDEBUG=+relay, RelayInclude limited to advapi32.RegSetValueExA). The
// trace goes to the process's Unix standard error, which a Windows parent cannot redirect, so the
// copy is started through /bin/sh with its standard error sent to a file. Wine does not wait for
// Unix processes, so the shell leaves a second file when the copy has ended.
#include "base/setup_state.h"
#include "install/joystick_registration.h"
#include "install/registry_section.h"
#include "script/script_names.h"
#include "support/automation.h"
#include "support/registry_values.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kMedium = "C:\\MEDIUM";
const std::string kBase = "SOFTWARE\\RegistryTraceTest";
const std::string kJoystick = "System\\CurrentControlSet\\control\\MediaResources\\joystick";
const std::string kMedia = "System\\CurrentControlSet\\Services\\Class\\MEDIA";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kTraceFile = "C:\\relay-trace.txt";
const std::string kDoneFile = "C:\\relay-done.txt";
const std::string kShellScript = "C:\\relay-run.sh";
const char kChildVariable[] = "REGISTRY_TRACE_CHILD";

const char kProduct[] = "Quorra Pad";
const char kDriver[] = "QUORRA.VXD";
const char kDestination[] = "C:\\Pad";

void FillSetupState()
{
    g_setup = SetupState{};
    std::strcpy(g_setup.sourceDir, kMedium.c_str());
    std::strcpy(g_setup.productName, kProduct);
    std::strcpy(g_setup.driverName, kDriver);
    std::strcpy(g_setup.destDir, kDestination);
    g_setup.oemData1 = 0;
    g_setup.oemData2 = 4;
}

// The traced copy does its work before the tests would start, and ends.
const bool kTracedCopy = [] {
    if (GetEnvironmentVariableA(kChildVariable, nullptr, 0) == 0) {
        return false;
    }
    FillSetupState();
    StartRecordIn(kDestination);
    const int section = ApplyRegistrySection();
    const int joystick = RegisterJoystickDriver();
    ExitProcess(section == 1 && joystick == 1 ? 0 : 1);
}();

std::string UnixPathOf(const std::string& windowsPath)
{
    using Converter = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Converter>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) {
        return "";
    }
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* unixPath = convert(wide.c_str());
    if (unixPath == nullptr) {
        return "";
    }
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

std::string Quoted(const std::string& text)
{
    return "'" + text + "'";
}

struct TracedCall {
    std::string name;
    std::uint32_t type;
    std::uint32_t count;
    bool operator==(const TracedCall&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TracedCall& call)
{
    return out << '"' << call.name << "\" type " << call.type << " count " << call.count;
}

// One traced call, such as (one line of the trace, wrapped here)
//   0104:Call advapi32.RegSetValueExA(00000030,14000a01a "Five",00000000,00000001,14000a01e,
//   100000005) ret=1400017bf
// The arguments are register-sized: only the low 32 bits of type and count are the program's.
bool ParseTracedCall(const std::string& line, TracedCall& call)
{
    const std::string marker = "Call advapi32.RegSetValueExA(";
    const std::size_t start = line.find(marker);
    const std::size_t open = line.find('"', start);
    const std::size_t close = line.find("\",", open + 1);
    const std::size_t end = line.rfind(") ret=");
    if (start == std::string::npos || open == std::string::npos || close == std::string::npos ||
        end == std::string::npos) {
        return false;
    }
    call.name = line.substr(open + 1, close - open - 1);
    std::vector<std::string> rest;
    std::stringstream tail(line.substr(close + 2, end - close - 2));
    for (std::string item; std::getline(tail, item, ',');) {
        rest.push_back(item);
    }
    if (rest.size() != 4) { // reserved, type, data, count
        return false;
    }
    call.type = static_cast<std::uint32_t>(std::stoull(rest[1], nullptr, 16));
    call.count = static_cast<std::uint32_t>(std::stoull(rest[3], nullptr, 16));
    return true;
}

class RegistryTrace : public ::testing::Test {
protected:
    void SetUp() override
    {
        FillSetupState();
        FreshFolder(kMedium);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kBase);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kJoystick);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kMedia);
        DeleteFileA(kTraceFile.c_str());
        DeleteFileA(kDoneFile.c_str());
    }

    // Runs the traced copy; returns the calls of RegSetValueExA in their order.
    static std::vector<TracedCall> RunTraced()
    {
        HKEY debug = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Debug", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &debug, nullptr),
                  ERROR_SUCCESS);
        const char include[] = "advapi32.RegSetValueExA";
        RegSetValueExA(debug, "RelayInclude", 0, REG_SZ, reinterpret_cast<const BYTE*>(include),
                       sizeof include);
        RegCloseKey(debug);

        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, sizeof self);
        char loader[MAX_PATH] = "wine";
        GetEnvironmentVariableA("WINELOADER", loader, sizeof loader);
        const std::string selfUnix = UnixPathOf(self);
        const std::string traceUnix = UnixPathOf(kTraceFile);
        const std::string doneUnix = UnixPathOf(kDoneFile);
        const std::string scriptUnix = UnixPathOf(kShellScript);
        EXPECT_FALSE(selfUnix.empty() || traceUnix.empty() || doneUnix.empty());
        EXPECT_TRUE(WriteWholeFile(
            kShellScript, std::string(kChildVariable) + "=1 WINEDEBUG=-all,+relay " +
                              Quoted(loader) + " " + Quoted(selfUnix) + " >/dev/null 2>" +
                              Quoted(traceUnix) + "\necho $? >" + Quoted(doneUnix) + "\n"));

        std::string commandLine = "Z:\\bin\\sh " + scriptUnix;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        EXPECT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &process));
        if (process.hProcess != nullptr) {
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        WaitUntil([] { return !ReadWholeFile(kDoneFile).empty(); }, kPatience, 100);
        EXPECT_EQ(ReadWholeFile(kDoneFile), "0\n") << "the traced copy did not end well";

        std::vector<TracedCall> calls;
        std::stringstream trace(ReadWholeFile(kTraceFile));
        for (std::string line; std::getline(trace, line);) {
            TracedCall call;
            if (line.find("Call advapi32.RegSetValueExA(") != std::string::npos) {
                EXPECT_TRUE(ParseTracedCall(line, call)) << line;
                calls.push_back(call);
            }
        }
        return calls;
    }
};

TracedCall String(const std::string& name, const std::string& text)
{
    return {name, REG_SZ, static_cast<std::uint32_t>(text.size())};
}

TracedCall Binary(const std::string& name, std::uint32_t count)
{
    return {name, REG_BINARY, count};
}

// Wine differs from Windows 98: the test exists because a value read back under Wine does not
// show the count it was set with.
TEST_F(RegistryTrace, EveryValueIsSetWithItsExactByteCount)
{
    ASSERT_TRUE(WriteWholeFile(kMedium + "\\" + kScriptName,
                               "[Main]\r\n"
                               "ProductName=Quorra Pad\r\n"
                               "[REGISTRY_BEGIN]\r\n"
                               "HKLM," + kBase + "\\%s,Five,,Hello\r\n"
                               "HKLM," + kBase + "\\%s,Empty,,\r\n"
                               "HKLM," + kBase + "\\%s,Product,,%s\r\n"
                               "HKLM," + kBase + "\\%s,Bytes,1,01, 0a, ff, 7\r\n"
                               "HKLM," + kBase + "\\%s,,,Default\r\n"
                               "HKR,Settings\\%s,Gain,,12345\r\n"
                               "[REGISTRY_END]\r\n"));
    ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, kMedia + "\\0004\\Drivers\\joystick"));
    ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE,
                              kJoystick + "\\msjstick.drv<0000>\\CurrentJoystickSettings"));
    ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, kJoystick + "\\gameport.drv<0003>"));
    ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE,
                              kJoystick + "\\msjstick.drv<0004>\\CurrentJoystickSettings"));

    const std::vector<TracedCall> calls = RunTraced();

    const std::string product = kProduct;
    const std::string command = std::string(kDestination) + "\\" + kUninstallerName;
    const std::vector<TracedCall> expected = {
        String("Five", "Hello"),
        String("Empty", ""),
        String("Product", product),
        Binary("Bytes", 4),
        String("", "Default"),
        String("Gain", "12345"),
        String("Joystick1OEMCallout", kDriver),
        String("Joystick1OEMName", product),
        Binary("Joystick1Configuration", 112),
        String("Joystick1OEMCallout", kDriver),
        String("Joystick1OEMName", product),
        Binary("Joystick1Configuration", 112),
        String("DisplayName", product),
        String("UninstallString", command),
    };
    EXPECT_EQ(calls, expected);
    ASSERT_EQ(calls.size(), expected.size());
    EXPECT_EQ(calls[0].count, 5u);      // "Hello"
    EXPECT_EQ(calls.back().count, 19u); // "C:\Pad\UNINSTAL.EXE"
}

} // namespace
