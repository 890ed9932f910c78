#include "registry/registry_section_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Taken {
    std::string line;
    bool cut;
    bool operator==(const Taken&) const = default;
};

// Every line that the walk hands out, in order.
std::vector<Taken> Walk(const std::string& text)
{
    std::vector<Taken> lines;
    RegistrySectionScan scan = StartRegistrySectionScan(text.c_str());
    char line[kLineSize];
    bool cut = true;
    while (NextRegistryLine(scan, line, cut)) {
        lines.push_back({line, cut});
    }
    EXPECT_EQ(scan.position, nullptr);
    return lines;
}

std::vector<Taken> Whole(std::initializer_list<const char*> lines)
{
    std::vector<Taken> out;
    for (const char* l : lines) {
        out.push_back({l, false});
    }
    return out;
}

TEST(RegistrySection, ScriptWithoutBeginMarkerHasNoLines)
{
    EXPECT_TRUE(Walk("").empty());
    EXPECT_TRUE(Walk("[Main]\r\nProductName=Pad\r\nHKLM,SOFTWARE\\Pad,V,,x\r\n").empty());
    EXPECT_TRUE(Walk("HKLM,K,V,,x\r\n[REGISTRY_END]\r\nHKLM,K,W,,y").empty());
}

TEST(RegistrySection, OnlyLinesBetweenTheMarkersAreTaken)
{
    EXPECT_EQ(Walk("HKLM,Before,V,,x\r\n"
                   "[REGISTRY_BEGIN]\r\n"
                   "HKLM,Inside,V,,x\r\n"
                   "\r\n"
                   "HKLM,Inside,W,,y\r\n"
                   "[REGISTRY_END]\r\n"
                   "HKLM,After,V,,x\r\n"),
              Whole({"HKLM,Inside,V,,x", "HKLM,Inside,W,,y"}));
}

TEST(RegistrySection, MarkersAreWholeExactLines)
{
    // Blanks, lower case or more on the line: no marker. Outside the section such a line is
    // skipped, inside it is a registry line like any other.
    EXPECT_TRUE(Walk(" [REGISTRY_BEGIN]\nHKLM,K,V,,x\n").empty());
    EXPECT_TRUE(Walk("[registry_begin]\nHKLM,K,V,,x\n").empty());
    EXPECT_TRUE(Walk("[REGISTRY_BEGIN] \nHKLM,K,V,,x\n").empty());
    EXPECT_TRUE(Walk("[REGISTRY_BEGIN]x\nHKLM,K,V,,x\n").empty());
    EXPECT_EQ(Walk("[REGISTRY_BEGIN]\n [REGISTRY_END]\n[registry_end]\n[REGISTRY_END] \n"
                   "HKLM,K,V,,x\n"),
              Whole({" [REGISTRY_END]", "[registry_end]", "[REGISTRY_END] ", "HKLM,K,V,,x"}));
}

TEST(RegistrySection, TwoSectionsAreBothTakenInOrder)
{
    EXPECT_EQ(Walk("[REGISTRY_BEGIN]\nA\n[REGISTRY_END]\nskipped\n"
                   "[REGISTRY_BEGIN]\nB\nC\n[REGISTRY_END]\n"),
              Whole({"A", "B", "C"}));
}

TEST(RegistrySection, SectionNeverClosedRunsToTheEnd)
{
    EXPECT_EQ(Walk("x\r\n[REGISTRY_BEGIN]\r\nA\r\n\r\nB\r\nlast"), Whole({"A", "B", "last"}));
}

TEST(RegistrySection, RepeatedMarkersChangeNothing)
{
    EXPECT_EQ(Walk("[REGISTRY_END]\n[REGISTRY_BEGIN]\nA\n[REGISTRY_BEGIN]\nB\n"
                   "[REGISTRY_END]\n[REGISTRY_END]\nC\n"),
              Whole({"A", "B"}));
}

TEST(RegistrySection, EmptyLinesAreNeverTaken)
{
    EXPECT_EQ(Walk("[REGISTRY_BEGIN]\r\r\n\n\rA\r\n\r\n\r\n"), Whole({"A"}));
    // A line of blanks is not empty.
    EXPECT_EQ(Walk("[REGISTRY_BEGIN]\n  \n"), Whole({"  "}));
}

TEST(RegistrySection, LineOver255CharactersIsMarkedCut)
{
    const std::string exact(255, 'a');
    const std::string over(256, 'b');
    const std::vector<Taken> lines =
        Walk("[REGISTRY_BEGIN]\r\n" + exact + "\r\n" + over + "\r\n" + exact + over + "\nZ");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], (Taken{exact, false}));
    EXPECT_EQ(lines[1], (Taken{over.substr(0, 255), true}));
    EXPECT_EQ(lines[2], (Taken{exact, true}));
    EXPECT_EQ(lines[3], (Taken{"Z", false}));
    // At the end of the text, without a line break, too.
    EXPECT_EQ(Walk("[REGISTRY_BEGIN]\n" + exact), (std::vector<Taken>{{exact, false}}));
    EXPECT_EQ(Walk("[REGISTRY_BEGIN]\n" + over), (std::vector<Taken>{{over.substr(0, 255), true}}));
}

TEST(RegistrySection, LongLineOutsideTheSectionHidesNoMarker)
{
    // The marker's text at the start of a cut line opens nothing.
    EXPECT_TRUE(Walk("[REGISTRY_BEGIN]" + std::string(300, ' ') + "\nA\n").empty());
}

} // namespace
