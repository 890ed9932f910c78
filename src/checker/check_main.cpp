// [Main]: cut values, defaults taken, the default destination, the numbers and MinimumSpace.
#include "checker/check_helpers.h"
#include "checker/script_names.h"
#include "base/bounded_text.h"
#include "script/script_rules.h"

namespace checker {

void CheckMain(const ScriptModel& model, Diagnostics& out)
{
    const ScriptSettings& settings = model.settings;
    const std::size_t mainLine = SectionLine(model, kMainSection);
    const auto line = [&](const KeySource& key) { return key.line != 0 ? key.line : mainLine; };

    // ProductName
    const KeySource& product = Source(model, kMainSection, kProductNameKey);
    if (!product.present) {
        Warn(out, mainLine,
             "[Main] has no ProductName; SETUP.EXE uses " + Quoted(kProductNameDefault));
    } else if (product.hasValue) {
        WarnCut(out, product.line, "[Main] ProductName", product.written, settings.productName,
                "SETUP.EXE");
        const std::string kept = settings.productName;
        if (kept.empty()) {
            Warn(out, product.line,
                 "[Main] ProductName is empty: the caption reads \" " +
                     std::string(kSetupProgramText) +
                     "\" and the uninstall entry is written into the Uninstall key itself");
        } else if (kept.find('\\') != std::string::npos) {
            Warn(out, product.line,
                 "[Main] ProductName " + Quoted(kept) +
                     " holds a backslash: the uninstall entry becomes a key several levels "
                     "below Uninstall");
        }
    }

    // DriverName: read up to 31 characters, kept in a slot of 19.
    const KeySource& driver = Source(model, kMainSection, kDriverNameKey);
    if (!driver.present) {
        Warn(out, mainLine,
             "[Main] has no DriverName; SETUP.EXE uses " + Quoted(kDriverNameDefault));
    } else if (driver.hasValue) {
        WarnCut(out, driver.line, "[Main] DriverName", driver.written, settings.driverName,
                "SETUP.EXE");
        if (settings.driverName[0] == '\0') {
            Warn(out, driver.line,
                 "[Main] DriverName is empty: every joystick driver key gets an empty OEM "
                 "callout");
        }
    }
    if (settings.driverName[0] != '\0' && !model.files.empty()) {
        bool installed = false;
        for (const FileRecord& record : model.files) {
            installed = installed || EqualsNoCase(record.entry.targetName, settings.driverName);
        }
        if (!installed) {
            Warn(out, line(driver),
                 "[Main] DriverName " + Quoted(settings.driverName) +
                     " is not the target name of any file that SETUP.EXE installs");
        }
    }

    // DefaultPath and the default destination built from it.
    const KeySource& path = Source(model, kMainSection, kDefaultPathKey);
    const Assumptions& assume = model.assumptions;
    if (!path.present) {
        Warn(out, mainLine,
             "[Main] has no DefaultPath; SETUP.EXE uses " + Quoted(kDefaultPathDefault) +
                 ", moved to the drive that holds Windows");
    } else if (path.hasValue) {
        WarnCut(out, path.line, "[Main] DefaultPath", path.written, path.read, "SETUP.EXE");
        const std::string& value = path.read;
        const std::string destination = settings.destDir;
        if (value.size() > 2 && value[1] == ':') {
            if (value[2] != '\\') {
                Warn(out, path.line,
                     "[Main] DefaultPath " + Quoted(value) +
                         " has no backslash after the drive: the destination " +
                         Quoted(destination) + " is no full path");
            } else if (!assume.windowsDir.empty() &&
                       AsciiUpper(value[0]) != AsciiUpper(assume.windowsDir[0])) {
                Warn(out, path.line,
                     "[Main] DefaultPath " + Quoted(value) +
                         " is moved to the drive that holds Windows: with Windows in " +
                         assume.windowsDir + " the destination is " + Quoted(destination));
            }
        } else if (value.empty()) {
            Warn(out, path.line,
                 "[Main] DefaultPath is empty: the destination is the Program Files directory "
                 "itself (" +
                     Quoted(destination) + ")");
        } else if (value.size() == 2 && value[1] == ':') {
            Warn(out, path.line,
                 "[Main] DefaultPath " + Quoted(value) +
                     " is a drive alone: SETUP.EXE joins it to the Program Files directory (" +
                     Quoted(destination) + ")");
        } else {
            Warn(out, path.line,
                 "[Main] DefaultPath " + Quoted(value) +
                     " has no drive: SETUP.EXE places it below the Program Files directory (" +
                     Quoted(destination) + ")");
        }
    }
    char wholeDestination[1024];
    BuildDefaultDestination(path.read.c_str(), assume.windowsDir.c_str(),
                            assume.programFilesDir.c_str(), wholeDestination,
                            sizeof wholeDestination);
    WarnCut(out, line(path), "the default destination", wholeDestination, settings.destDir,
            "SETUP.EXE");

    // The numbers.
    CheckNumberKey(out, kMainSection, kOemData1Key, Source(model, kMainSection, kOemData1Key),
                   kOemData1Default);
    CheckNumberKey(out, kMainSection, kOemData2Key, Source(model, kMainSection, kOemData2Key),
                   kOemData2Default);
    const KeySource& minimumSpace = Source(model, kMainSection, kMinimumSpaceKey);
    CheckNumberKey(out, kMainSection, kMinimumSpaceKey, minimumSpace, kMinimumSpaceDefault);
    if (minimumSpace.hasValue) {
        const std::int32_t read = minimumSpace.number;
        const std::int16_t kept = settings.minimumSpaceKb;
        if (read != kept) {
            std::string message = "[Main] MinimumSpace " + std::to_string(read) +
                                  " is kept in 16 bits as " + std::to_string(kept);
            if (kept < 0) {
                message += ": no drive has that much free space, and every destination fails";
            }
            Warn(out, minimumSpace.line, std::move(message));
        } else if (kept < 0) {
            Warn(out, minimumSpace.line,
                 "[Main] MinimumSpace " + std::to_string(read) +
                     " is negative: no drive has that much free space, and every destination "
                     "fails");
        }
    }
}

} // namespace checker
