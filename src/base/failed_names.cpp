#include "base/failed_names.h"

#include "base/bounded_text.h"

namespace {

constexpr char kEllipsis[] = "...";
constexpr char kSeparator[] = ", ";

} // namespace

void NoteFailed(FailedNames& failed, const char* name)
{
    ++failed.count;
    char* list = failed.names;
    const std::size_t length = TextLength(list);
    if (length >= 3 && EqualsExactly(list + length - 3, kEllipsis)) {
        return;
    }
    // Room is kept for a final separator and "..." after any name.
    constexpr std::size_t reserve = sizeof kSeparator - 1 + sizeof kEllipsis - 1;
    const std::size_t needed = (length > 0 ? sizeof kSeparator - 1 : 0) + TextLength(name);
    if (length > 0) {
        AppendText(failed.names, kSeparator);
    }
    AppendText(failed.names, length + needed < sizeof failed.names - reserve ? name : kEllipsis);
}
