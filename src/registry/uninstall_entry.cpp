#include "registry/uninstall_entry.h"

#include "base/bounded_text.h"
#include "script/script_names.h"

namespace {

constexpr char kQuote = '"';
constexpr char kQuoteText[] = {kQuote, '\0'};

bool HoldsBlank(const char* text)
{
    for (; *text != '\0'; ++text) {
        if (*text == ' ') {
            return true;
        }
    }
    return false;
}

} // namespace

bool BuildUninstallKeyPath(const char* productName, char (&out)[kUninstallTextSize])
{
    return JoinTexts(out, {kUninstallKeyPrefix, productName});
}

bool BuildUninstallCommand(const char* destDir, char (&out)[kUninstallTextSize])
{
    const char* quote = HoldsBlank(destDir) ? kQuoteText : "";
    return JoinTexts(out, {quote, destDir, "\\", kUninstallerName, quote});
}

char* ProgramOfUninstallCommand(char* command)
{
    if (command[0] != kQuote) {
        return command;
    }
    char* path = command + 1;
    for (char* c = path; *c != '\0'; ++c) {
        if (*c == kQuote) {
            *c = '\0';
            break;
        }
    }
    return path;
}

void MakeUninstallValues(const char* productName, const char* uninstallCommand,
                         RegistryValue (&values)[kUninstallValueCount])
{
    values[0] = StringValue(kUninstallValueNames[0], productName);
    values[1] = StringValue(kUninstallValueNames[1], uninstallCommand);
}
