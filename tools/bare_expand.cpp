// The file transfer of the copy page and nothing else: for every source and target pair of a
// list it opens the source and the target and expands with LZCopy, as the copy page does, but
// with no window, no painting and no message handling. The benchmark compares its time with the
// copy page's.
//   bare_expand LIST   LIST holds one "source<TAB>target" pair a line (Windows paths)
// Prints the number of files, how many failed and the time of the transfers in milliseconds.
#include <windows.h>
#include <lzexpand.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<std::string, std::string>> ReadPairs(const char* listPath)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    std::FILE* list = std::fopen(listPath, "r");
    if (list == nullptr) {
        return pairs;
    }
    char line[1024];
    while (std::fgets(line, sizeof line, list) != nullptr) {
        line[std::strcspn(line, "\r\n")] = '\0';
        char* tab = std::strchr(line, '\t');
        if (tab != nullptr) {
            *tab = '\0';
            pairs.emplace_back(line, tab + 1);
        }
    }
    std::fclose(list);
    return pairs;
}

// One transfer, in the copy page's order of calls. False when a file could not be opened or
// the expansion failed.
bool Expand(const std::string& source, const std::string& target)
{
    OFSTRUCT info{};
    const INT from = LZOpenFileA(const_cast<char*>(source.c_str()), &info, OF_READ);
    if (from < 0) {
        return false;
    }
    const INT to = LZOpenFileA(const_cast<char*>(target.c_str()), &info, OF_CREATE);
    bool copied = false;
    if (to >= 0) {
        copied = LZCopy(from, to) >= 0;
        LZClose(to);
    }
    LZClose(from);
    return copied;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: bare_expand LIST\n", stderr);
        return 2;
    }
    const auto pairs = ReadPairs(argv[1]);
    if (pairs.empty()) {
        std::fprintf(stderr, "bare_expand: no pairs in %s\n", argv[1]);
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int failed = 0;
    for (const auto& [source, target] : pairs) {
        if (!Expand(source, target)) {
            ++failed;
        }
    }
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    std::printf("files %zu failed %d ms %.1f\n", pairs.size(), failed, ms);
    return failed == 0 ? 0 : 1;
}
