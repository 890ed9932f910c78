// [Main]: cut values, defaults taken, the default destination, the numbers and MinimumSpace.
#include "base/bounded_text.h"
#include "checker/check_helpers.h"
#include "script/script_names.h"
#include "script/script_rules.h"

namespace checker {

namespace {

// A text key of [Main]: missing, so that SETUP.EXE takes its default (`defaultNote` after it), or
// cut to the `kept` text. True when the author gave it a value, which the caller checks further.
bool CheckMainText(const ScriptModel& model, const char* key, const char* fallback,
                   std::string_view defaultNote, const std::string& kept, Diagnostics& out)
{
    const KeySource& source = Source(model, kMainSection, key);
    const std::string name = KeyName(kMainSection, key);
    if (!source.present) {
        Warn(out, SectionLine(model, kMainSection),
             "[Main] has no " + std::string(key) + "; SETUP.EXE uses " + Quoted(fallback) +
                 std::string(defaultNote));
        return false;
    }
    if (!source.hasValue) {
        return false;
    }
    WarnCut(out, source.line, name, source.written, kept, "SETUP.EXE");
    return true;
}

void CheckProductName(const ScriptModel& model, Diagnostics& out)
{
    const std::string kept = model.settings.productName;
    if (!CheckMainText(model, kProductNameKey, kProductNameDefault, "", kept, out)) {
        return;
    }
    const std::size_t line = Source(model, kMainSection, kProductNameKey).line;
    if (kept.empty()) {
        Warn(out, line,
             "[Main] ProductName is empty: the caption reads \" " + std::string(kSetupProgramText) +
                 "\" and the uninstall entry is written into the Uninstall key itself");
    } else if (kept.find('\\') != std::string::npos) {
        Warn(out, line,
             "[Main] ProductName " + Quoted(kept) +
                 " holds a backslash: the uninstall entry becomes a key several levels below "
                 "Uninstall");
    }
}

// DriverName: read up to 31 characters, kept in a slot of 19; the driver is one of the files.
void CheckDriverName(const ScriptModel& model, Diagnostics& out)
{
    const std::string kept = model.settings.driverName;
    const KeySource& source = Source(model, kMainSection, kDriverNameKey);
    if (CheckMainText(model, kDriverNameKey, kDriverNameDefault, "", kept, out) && kept.empty()) {
        Warn(out, source.line,
             "[Main] DriverName is empty: every joystick driver key gets an empty OEM callout");
    }
    if (kept.empty() || model.files.empty()) {
        return;
    }
    for (const FileRecord& record : model.files) {
        if (EqualsNoCase(record.entry.targetName, kept)) {
            return;
        }
    }
    Warn(out, KeyOrSectionLine(model, source, kMainSection),
         "[Main] DriverName " + Quoted(kept) +
             " is not the target name of any file that SETUP.EXE installs");
}

// Where a DefaultPath that the author wrote takes the destination, when that is not where it
// says; "" when it is.
std::string DestinationNote(const std::string& value, const std::string& destination,
                            const Assumptions& assume)
{
    const std::string path = "[Main] DefaultPath " + Quoted(value);
    if (value.size() > 2 && value[1] == ':') {
        if (value[2] != '\\') {
            return path + " has no backslash after the drive: the destination " +
                   Quoted(destination) + " is no full path";
        }
        if (!assume.windowsDir.empty() &&
            AsciiUpper(value[0]) != AsciiUpper(assume.windowsDir[0])) {
            return path + " is moved to the drive that holds Windows: with Windows in " +
                   assume.windowsDir + " the destination is " + Quoted(destination);
        }
        return {};
    }
    if (value.empty()) {
        return "[Main] DefaultPath is empty: the destination is the Program Files directory "
               "itself (" + Quoted(destination) + ")";
    }
    if (value.size() == 2 && value[1] == ':') {
        return path + " is a drive alone: SETUP.EXE joins it to the Program Files directory (" +
               Quoted(destination) + ")";
    }
    return path + " has no drive: SETUP.EXE places it below the Program Files directory (" +
           Quoted(destination) + ")";
}

// DefaultPath and the default destination built from it.
void CheckDefaultPath(const ScriptModel& model, Diagnostics& out)
{
    const KeySource& path = Source(model, kMainSection, kDefaultPathKey);
    const Assumptions& assume = model.assumptions;
    if (CheckMainText(model, kDefaultPathKey, kDefaultPathDefault,
                      ", moved to the drive that holds Windows", path.read, out)) {
        const std::string note = DestinationNote(path.read, model.settings.destDir, assume);
        if (!note.empty()) {
            Warn(out, path.line, note);
        }
    }
    char wholeDestination[1024];
    BuildDefaultDestination(path.read.c_str(), assume.windowsDir.c_str(),
                            assume.programFilesDir.c_str(), wholeDestination,
                            sizeof wholeDestination);
    WarnCut(out, KeyOrSectionLine(model, path, kMainSection), "the default destination",
            wholeDestination, model.settings.destDir, "SETUP.EXE");
}

void CheckNumbers(const ScriptModel& model, Diagnostics& out)
{
    CheckNumberKey(out, kMainSection, kOemData1Key, Source(model, kMainSection, kOemData1Key),
                   kOemData1Default);
    CheckNumberKey(out, kMainSection, kOemData2Key, Source(model, kMainSection, kOemData2Key),
                   kOemData2Default);
    const KeySource& minimumSpace = Source(model, kMainSection, kMinimumSpaceKey);
    CheckNumberKey(out, kMainSection, kMinimumSpaceKey, minimumSpace, kMinimumSpaceDefault);
    if (minimumSpace.hasValue) {
        const std::int16_t kept = model.settings.minimumSpaceKb;
        CheckSixteenBits(out, KeyName(kMainSection, kMinimumSpaceKey), minimumSpace, kept,
                         kept < 0,
                         "no drive has that much free space, and every destination fails");
    }
}

} // namespace

void CheckMain(const ScriptModel& model, Diagnostics& out)
{
    CheckProductName(model, out);
    CheckDriverName(model, out);
    CheckDefaultPath(model, out);
    CheckNumbers(model, out);
}

} // namespace checker
