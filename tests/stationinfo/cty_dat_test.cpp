#include "dxccgen/CtyDat.h"

#include <gtest/gtest.h>

using namespace tavrel;
using namespace tavrel::dxccgen;

namespace {

const char* const kSample = "Testland:                 14:  27:  EU:   52.77:     1.47:     0.0:  T:\n"
                            "    T,TA(15)[28],=T1ABC,TC<10.0/-20.0>{AF}~-2.0~,TB,\n"
                            "    TABCDE,T;\n"
                            "Comma, Island:            05:  08:  NA:  -10.50:    73.97:     5.0:  C1:\n"
                            "    C1,C2,TB;\n"
                            "Wae Part:                 14:  27:  EU:   50.00:   -10.00:    -1.0:  *W1:\n"
                            "    W1,=W1X;\n"
                            "Other Place:              14:  27:  EU:    0.00:     0.00:     0.0:  TB:\n"
                            "    TB,=VER20230502;\n"
                            "Calls Only:               14:  27:  EU:    1.00:     1.00:     0.0:  T1A:\n"
                            "    =T1AB,=T1AC;\n"
                            "Label Only:               14:  27:  EU:    2.00:     2.00:     0.0:  C2:\n"
                            "    =C2X;\n"
                            "Wae Calls:                14:  27:  EU:    3.00:     3.00:     0.0:  *W2:\n"
                            "    =W2AB;\n";

} // namespace

TEST(CountryFileConversion, OnePrefixRowPerAliasInPrefixOrderReadBackExactly) {
    GenerationReport report;
    const auto records = buildPrefixRecords(parseCtyDat(kSample), report);
    const std::vector<DxccRecord> expected = {
        unknownRecord(),
        {"C1", "Comma, Island", "NA", "5", "8", "-5.0", "10.50S", "73.97W"},
        {"C2", "Comma, Island", "NA", "5", "8", "-5.0", "10.50S", "73.97W"},
        {"T", "Testland", "EU", "14", "27", "0.0", "52.77N", "1.47W"},
        // Main prefixes of entities cty.dat knows by whole calls only; C2 stays Comma, Island's.
        {"T1A", "Calls Only", "EU", "14", "27", "0.0", "1.00N", "1.00W"},
        {"TA", "Testland", "EU", "15", "28", "0.0", "52.77N", "1.47W"},
        {"TB", "Other Place", "EU", "14", "27", "0.0", "0.00N", "0.00E"},
        {"TC", "Testland", "AF", "14", "27", "2.0", "10.0N", "20.0E"},
        {"W2", "Wae Calls", "EU", "14", "27", "0.0", "3.00N", "3.00W"},
    };
    EXPECT_EQ(records, expected);
    EXPECT_EQ(report.unreachable, (std::vector<std::string>{"Label Only (C2)"}));
    EXPECT_EQ(std::vector({report.entities, report.waeOnlySkipped, report.wholeCallsSkipped,
                           report.tooLongSkipped, report.repeatsMerged}),
              std::vector({5, 1, 6, 1, 1}));
    EXPECT_EQ(report.version, "20230502");
    // TB: Comma, Island loses to the first lister, which loses to the entity named by it.
    ASSERT_EQ(report.conflicts.size(), 2u);
    // The written table reads back exactly.
    const std::string text = formatDxcc(records);
    EXPECT_NE(text.find("\"Comma, Island\""), std::string::npos);
    EXPECT_EQ(parseDxcc(text).records(), records);

    const std::vector<DxccRecord> awkward = {{"A\"B", "x,y", " lead", "", "", "", "1N", "1E"}};
    EXPECT_EQ(parseDxcc(formatDxcc(awkward)).records(),
              (std::vector<DxccRecord>{{"A'B", "x,y", "lead", "", "", "", "1N", "1E"}}));
}

TEST(CountryFileConversion, DamagedCountryFileIsRefused) {
    EXPECT_THROW(parseCtyDat("Broken:  14:  27:  EU:  52.77;"), CtyError);
    EXPECT_THROW(parseCtyDat("Broken:  14:  27:  EU:  north:  1.47:  0.0:  B:\n B;"), CtyError);
    GenerationReport report;
    EXPECT_THROW(buildPrefixRecords(parseCtyDat("B:  14:  27:  EU:  1:  1:  0:  B:\n B(14;"), report),
                 CtyError);
}

// Omega has no place in the set; text already in it stays.
TEST(CountryFileConversion, NamesBecomeWindows1252) {
    const std::pair<const char*, const char*> cases[] = {{"Cura\303\247ao", "Cura\347ao"},
                                                         {"\342\202\254", "\200"},
                                                         {"\316\251", "?"},
                                                         {"Cura\347ao", "Cura\347ao"}};
    for (const auto& [utf8, stored] : cases)
        EXPECT_EQ(toCp1252(utf8), stored) << utf8;
}
