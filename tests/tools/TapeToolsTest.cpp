// Our tape files and BASIC listings as another tool of the field reads them: tzxlist and
// listbasic (Debian package fuse-emulator-utils), over every file of the corpus TRDs.
// Skipped when the tools are not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "MorvaneImg.h"
#include "MorvaneImgFixture.h"
#include "filesystems/TrDosCatalogue.h"
#include "filesystems/TrDosSectors.h"
#include "support/Corpus.h"
#include "support/ExternalTools.h"

namespace morvane {
namespace {

using Header = std::tuple<unsigned, unsigned, unsigned>;  // zxlength, parameter 1, parameter 2

class TapeTools : public test::MorvaneImgFixture {
  protected:
    void SetUp() override {
        if (!test::HaveTool("tzxlist") || !test::HaveTool("listbasic"))
            GTEST_SKIP() << "tzxlist/listbasic absent: install the Debian package "
                            "fuse-emulator-utils";
    }
};

// What a tape header of the file must say, from the catalogue and the file's bytes: a
// BASIC file's start field counts program and variables, its length field the program,
// and 0x80 0xAA with the autostart line follow its data. No file gives more bytes than its
// sectors hold (a few catalogues claim more).
Header ExpectedHeader(const TrDosEntry& e, const Bytes& sectors) {
    const auto held = static_cast<unsigned>(sectors.size());
    if (e.type != 'B') return {std::min<unsigned>(e.length, held), e.start, 32768};
    const unsigned total = std::min<unsigned>(e.start, static_cast<unsigned>(sectors.size()));
    unsigned line = 32768;
    if (total + 4 <= sectors.size() && sectors[total] == 0x80 && sectors[total + 1] == 0xAA)
        line = GetLe16(sectors, total + 2);
    return {total, line, std::min<unsigned>(e.length, total)};
}

std::vector<Header> TzxlistHeaders(const std::string& listing) {
    static const std::regex kHeader(R"(zxlength: (\d+), parameter1: (\d+), parameter2: (\d+))");
    std::vector<Header> headers;
    for (auto it = std::sregex_iterator(listing.begin(), listing.end(), kHeader);
         it != std::sregex_iterator(); ++it)
        headers.emplace_back(std::stoul((*it)[1]), std::stoul((*it)[2]), std::stoul((*it)[3]));
    return headers;
}

TEST_F(TapeTools, ExportTapOfEveryCorpusDiskReadsInTzxlist) {
    MORVANE_CORPUS_OR_SKIP(images, "trd");
    for (const auto& image : images) {
        SCOPED_TRACE(image.filename().string());
        auto disk = Load(image.string());
        TrDosCatalogue c;
        ASSERT_TRUE(ReadTrDosCatalogue(*disk, c));
        std::vector<Header> expected;
        for (std::size_t i : ListedEntries(c, false)) {
            Bytes sectors;
            ASSERT_TRUE(ReadTrDosFile(*disk, c.entries[i], sectors));
            expected.push_back(ExpectedHeader(c.entries[i], sectors));
        }
        const std::string tap = Path(image.stem().string() + ".tap");
        ASSERT_EQ(Run({"export-tap", image.string(), tap}), kExitOk) << err.str();
        const std::string listing = test::Output("tzxlist " + test::Quoted(tap));
        EXPECT_EQ(TzxlistHeaders(listing), expected);
        std::size_t passed = 0;
        for (std::size_t at = listing.find("(PASS)"); at != std::string::npos;
             at = listing.find("(PASS)", at + 1))
            ++passed;
        EXPECT_EQ(passed, 2 * expected.size());
        EXPECT_EQ(listing.find("FAIL"), std::string::npos);
    }
}

// A listing made comparable across tools: the colour and other codes below 32 that we
// show and listbasic drops (or names, as DELETE) left out, the keywords it has beyond the
// 48K table as their characters, our (C) and pound signs as listbasic writes them, no spaces, one
// case.
constexpr std::pair<std::string_view, std::string_view> kOtherKeywords[] = {
    {"SPECTRUM", "\\T"}, {"PLAY", "\\U"}, {"ON ERR", "{"},  {"STICK", "|"},
    {"SOUND", "}"},      {"FREE", "~"},   {"RESET", "\\*"}, {"DELETE", ""}};

std::vector<std::string> Comparable(const std::string& listing, bool ours) {
    std::vector<std::string> lines;
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);) {
        if (ours) {
            line =
                std::regex_replace(line, std::regex(R"(\{([A-Z]+ \d+(,\d+)?|[0-9A-F]{2})\})"), "");
            line = std::regex_replace(line, std::regex("©"), "\\*");
            line = std::regex_replace(line, std::regex("£"), "`");
        } else {
            // listbasic knows keywords of the 128K and the TS2068 where the 48K table has
            // UDGs and characters; DELETE it shows for 0x0C, which we show as {0C}.
            for (const auto& [word, character] : kOtherKeywords)
                line = std::regex_replace(line, std::regex(" ?" + std::string(word) + " ?"),
                                          std::string(character));
        }
        std::string packed;
        for (char ch : line)
            if (ch != ' ' && ch != '\r')
                packed += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (!packed.empty()) lines.push_back(packed);
    }
    return lines;
}

// Line by line, a difference shown where it starts (the lines are long).
void ExpectSameLines(const std::vector<std::string>& ours, const std::vector<std::string>& theirs) {
    EXPECT_EQ(ours.size(), theirs.size());
    for (std::size_t i = 0; i < std::min(ours.size(), theirs.size()); ++i) {
        const auto [a, b] =
            std::mismatch(ours[i].begin(), ours[i].end(), theirs[i].begin(), theirs[i].end());
        if (a == ours[i].end() && b == theirs[i].end()) continue;
        const std::size_t at = static_cast<std::size_t>(a - ours[i].begin());
        const std::size_t from = at < 20 ? 0 : at - 20;
        ADD_FAILURE() << "line " << i + 1 << " differs at " << at << ": ours "
                      << ours[i].substr(from, 40) << " | listbasic " << theirs[i].substr(from, 40);
        return;
    }
}

// On standard error, so it may land anywhere in the listing.
constexpr std::string_view kCutShort = "listbasic: attempt to read past end of block\n";

TEST_F(TapeTools, BasicListingsOfTheCorpusMatchListbasic) {
    MORVANE_CORPUS_OR_SKIP(images, "trd");
    std::size_t programs = 0;
    for (const auto& image : images) {
        auto disk = Load(image.string());
        TrDosCatalogue c;
        ASSERT_TRUE(ReadTrDosCatalogue(*disk, c));
        for (std::size_t i : ListedEntries(c, false)) {
            if (c.entries[i].type != 'B') continue;
            const std::string file = "#" + std::to_string(i + 1);
            SCOPED_TRACE(image.filename().string() + " " + TrimmedZxName(c.entries[i].name));
            const std::string tap = Path("one.tap");
            ASSERT_EQ(Run({"export-tap", "--force", image.string(), tap, file}), kExitOk);
            ASSERT_EQ(Run({"list", image.string(), file}), kExitOk) << err.str();
            std::vector<std::string> ours = Comparable(out.str(), true);
            std::string listed = test::Output("listbasic " + test::Quoted(tap) + " 2>&1");
            // A line whose length runs past the data: listbasic stops in it, we show it up
            // to the end; the lines before it must agree.
            const std::size_t cut = listed.find(kCutShort);
            if (cut != std::string::npos) listed.erase(cut, kCutShort.size());
            std::vector<std::string> theirs = Comparable(listed, false);
            if (cut != std::string::npos && !ours.empty() &&
                (ours.size() == theirs.size() + 1 || ours.size() == theirs.size())) {
                if (ours.size() == theirs.size() && !theirs.empty()) theirs.pop_back();
                ours.pop_back();
            }
            ExpectSameLines(ours, theirs);
            ++programs;
        }
    }
    EXPECT_GT(programs, 0u);
}

}  // namespace
}  // namespace morvane
