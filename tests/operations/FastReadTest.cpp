// The fast whole-disk read: what it learns of a disk's layout and where it reckons the
// head is, then, against the emulated controller, that it leaves the image the scan with
// sector read leaves, on uniform disks and on disks whose layout changes, and that it
// stops as the other runs do.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "OperationsFixture.h"
#include "controller/virtual/FormatTable.h"
#include "controller/virtual/SectorAccess.h"
#include "controller/virtual/TrackScan.h"
#include "controller/virtual/VirtualDisk.h"
#include "formats/Fdi.h"
#include "formats/udi/Udi.h"
#include "model/Geometry.h"
#include "operations/DiskRun.h"
#include "operations/FastRead.h"
#include "operations/OperationSession.h"
#include "support/Corpus.h"

namespace morvane {
namespace {

using test::CaseName;
using test::OperationsFixture;

constexpr std::uint8_t kSeek = 0x10, kReadAddresses = 0x20, kReadSectors = 0x24;
constexpr const char* kGuessMissed = "Дорожка размечена не так, как ожидалось: сканирование.";
constexpr const char* kFoundOther = "Сканирование нашло не ту разметку, что ожидалась.";

// --- Where the head is and which sector comes next

struct PlaceCase {
    const char* name;
    double angle;
    double lead;
    std::size_t places;
    std::size_t first;
};

class FirstPlace : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(FirstPlace, IsTheFirstIdFieldAtLeastTheLeadAhead) {
    const PlaceCase& c = GetParam();
    EXPECT_EQ(FirstPlaceAfter(c.angle, c.lead, c.places), c.first);
}

// After sector place 5 of 16 (256 bytes) the head is 0.361 of a revolution past the index;
// a step and its settling take 0.105, one exchange's allowance 0.0075.
const double kAfterFifth = SectorEndAngle(5, 16, 256);

INSTANTIATE_TEST_SUITE_P(
    Cases, FirstPlace,
    ::testing::Values(PlaceCase{"OnTheIndex", 0.0, 0.0, 16, 0},
                      PlaceCase{"JustPastTheIndex", 0.0, 0.001, 16, 1},
                      PlaceCase{"OnAnIdField", 0.25, 0.0, 16, 4},
                      PlaceCase{"RoundPastTheLast", 0.99, 0.0, 16, 0},
                      PlaceCase{"NextAfterAProbe", kAfterFifth, 0.0075, 16, 6},
                      PlaceCase{"AfterASideChange", kAfterFifth, 0.015, 16, 7},
                      PlaceCase{"AfterAStep", kAfterFifth + 0.105, 0.015, 16, 8},
                      PlaceCase{"BigSectorsWrapRound", SectorEndAngle(4, 5, 1024), 0.0075, 5, 0},
                      PlaceCase{"NoPlaces", 0.5, 0.0, 0, 0}),
    CaseName());

TEST(FastReadModel, SectorEndsFollowTheirIdFields) {
    EXPECT_DOUBLE_EQ(IdAngle(4, 16), 0.25);
    EXPECT_DOUBLE_EQ(SectorEndAngle(4, 16, 256), 0.25 + 303.0 / 6250.0);
    EXPECT_DOUBLE_EQ(SectorEndAngle(0, 5, 1024), 1071.0 / 6250.0);
}

struct RoundCase {
    const char* name;
    std::size_t first, places;
    std::optional<std::size_t> skip;
    std::vector<std::uint8_t> order;
};

class Round : public ::testing::TestWithParam<RoundCase> {};

TEST_P(Round, GoesRoundOnceLeavingOutTheSkipped) {
    const RoundCase& c = GetParam();
    EXPECT_EQ(RoundFrom(c.first, c.places, c.skip), c.order);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Round,
    ::testing::Values(RoundCase{"FromTheMiddle", 3, 5, std::nullopt, {3, 4, 0, 1, 2}},
                      RoundCase{"LeavingOutTheProbe", 3, 5, 2, {3, 4, 0, 1}},
                      RoundCase{"ProbeFirst", 3, 5, 3, {4, 0, 1, 2}},
                      RoundCase{"OnlyTheProbe", 0, 1, 0, {}},
                      RoundCase{"Nothing", 0, 0, std::nullopt, {}}),
    CaseName());

struct LateCase {
    const char* name;
    double measuredMs, expectedMs;
    bool late;
};

class Late : public ::testing::TestWithParam<LateCase> {};

TEST_P(Late, MeansHalfARevolutionOverTheModel) {
    EXPECT_EQ(CameRoundLate(GetParam().measuredMs, GetParam().expectedMs), GetParam().late);
}

INSTANTIATE_TEST_SUITE_P(Cases, Late,
                         ::testing::Values(LateCase{"OnTime", 13.0, 12.5, false},
                                           LateCase{"HeldUpAMoment", 112.4, 12.5, false},
                                           LateCase{"ARevolutionLate", 209.0, 12.5, true},
                                           LateCase{"JustOverHalf", 112.6, 12.5, true}),
                         CaseName());

struct AllowanceCase {
    const char* name;
    std::vector<bool> lists;  // timed lists in turn: late or not
    std::size_t places;
    double ms;  // the allowance for one exchange afterwards
};

class Allowance : public ::testing::TestWithParam<AllowanceCase> {};

TEST_P(Allowance, GrowsOnlyWhenListsComeLateOften) {
    TurnaroundAllowance allowance;
    for (bool late : GetParam().lists)
        allowance.Timed(late, GetParam().places);
    EXPECT_DOUBLE_EQ(allowance.Ms(), GetParam().ms);
}

std::vector<bool> LateEvery(std::size_t every, std::size_t lists) {
    std::vector<bool> out(lists);
    for (std::size_t i = every - 1; i < lists; i += every)
        out[i] = true;
    return out;
}

// Half a sector of 16 is 6.25 ms; of 5, 20 ms.
INSTANTIATE_TEST_SUITE_P(
    Cases, Allowance,
    ::testing::Values(AllowanceCase{"AtFirst", {}, 16, 1.5},
                      AllowanceCase{"OneLate", {false, true, false}, 16, 1.5},
                      AllowanceCase{"ThreeLateInARow", {true, true, true}, 16, 7.75},
                      AllowanceCase{"ThreeLateWithinSixteen", LateEvery(5, 15), 16, 7.75},
                      AllowanceCase{"LateNowAndThen", LateEvery(8, 64), 16, 1.5},
                      AllowanceCase{"SixLateGrowTwice", std::vector<bool>(6, true), 16, 14.0},
                      AllowanceCase{"BigSectors", {true, true, true}, 5, 21.5},
                      AllowanceCase{"AtMostAQuarterTurn", std::vector<bool>(60, true), 16, 50.0}),
    CaseName());

// --- The layout learnt from the scans

TrackIds Ids(std::uint8_t c, std::uint8_t h, std::vector<std::uint8_t> numbers,
             std::uint8_t n = 1) {
    TrackIds ids;
    for (std::uint8_t r : numbers)
        ids.push_back({c, h, r, n});
    return ids;
}

std::vector<std::uint8_t> Numbers(std::uint8_t first, std::size_t count, std::size_t turn = 0) {
    std::vector<std::uint8_t> numbers(count);
    for (std::size_t k = 0; k < count; ++k)
        numbers[(k + turn) % count] = static_cast<std::uint8_t>(first + k);
    return numbers;
}

struct RotationCase {
    const char* name;
    TrackIds a, b;
    std::optional<std::size_t> turn;
};

class Rotation : public ::testing::TestWithParam<RotationCase> {};

TEST_P(Rotation, FindsTheTurnFromOneCylinderToTheNext) {
    EXPECT_EQ(RotationBetween(GetParam().a, GetParam().b, 1), GetParam().turn);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Rotation,
    ::testing::Values(
        RotationCase{"Unturned", Ids(4, 0, Numbers(1, 16)), Ids(5, 0, Numbers(1, 16)), 0},
        RotationCase{"TurnedByThree", Ids(4, 0, Numbers(1, 16)), Ids(5, 0, Numbers(1, 16, 3)), 3},
        RotationCase{"SameCylinderByte", Ids(4, 0, Numbers(1, 16)), Ids(4, 0, Numbers(1, 16)),
                     std::nullopt},
        RotationCase{"OtherNumbers", Ids(4, 0, Numbers(1, 16)), Ids(5, 0, Numbers(17, 16)),
                     std::nullopt},
        RotationCase{"OtherSize", Ids(4, 0, Numbers(1, 16)), Ids(5, 0, Numbers(1, 16), 2),
                     std::nullopt},
        RotationCase{"OtherHead", Ids(4, 0, Numbers(1, 16)), Ids(5, 1, Numbers(1, 16)),
                     std::nullopt},
        RotationCase{"OneSectorLess", Ids(4, 0, Numbers(1, 16)), Ids(5, 0, Numbers(1, 15)),
                     std::nullopt},
        RotationCase{"Unformatted", TrackIds{}, TrackIds{}, std::nullopt}),
    CaseName());

TEST(LayoutGuess, TrustsASideOnceTwoNeighbouringCylindersAgree) {
    LayoutGuess layouts;
    EXPECT_FALSE(layouts.Guess(0, 0));
    layouts.Scanned(0, 0, Ids(0, 0, Numbers(1, 16)));
    EXPECT_FALSE(layouts.Guess(1, 0)) << "one track says nothing of the skew";
    layouts.Scanned(1, 0, Ids(1, 0, Numbers(1, 16, 2)));
    EXPECT_TRUE(layouts.Trusted(0));
    EXPECT_EQ(layouts.Skew(0), 2u);
    EXPECT_EQ(layouts.Guess(2, 0), Ids(2, 0, Numbers(1, 16, 4)));
    EXPECT_EQ(layouts.Guess(4, 0), Ids(4, 0, Numbers(1, 16, 8))) << "three cylinders on";
    EXPECT_FALSE(layouts.Guess(1, 0)) << "no guess backwards";
    EXPECT_FALSE(layouts.Guess(2, 1)) << "the other side learns on its own";
}

TEST(LayoutGuess, FollowsTheLastTrackReadOnTheSide) {
    LayoutGuess layouts;
    layouts.Scanned(0, 1, Ids(0, 1, Numbers(17, 16)));
    layouts.Scanned(1, 1, Ids(1, 1, Numbers(17, 16)));
    layouts.ReadAsGuessed(2, 1, Ids(2, 1, Numbers(17, 16)));
    EXPECT_EQ(layouts.Guess(3, 1), Ids(3, 1, Numbers(17, 16)));
}

TEST(LayoutGuess, ATrackThatDiffersEndsTheTrustUntilTwoAgreeAgain) {
    LayoutGuess layouts;
    layouts.Scanned(0, 0, Ids(0, 0, Numbers(1, 16)));
    layouts.Scanned(1, 0, Ids(1, 0, Numbers(1, 16)));
    layouts.Scanned(2, 0, Ids(2, 0, Numbers(1, 5), 3));
    EXPECT_FALSE(layouts.Guess(3, 0));
    layouts.Scanned(3, 0, Ids(3, 0, Numbers(1, 16)));
    EXPECT_FALSE(layouts.Guess(4, 0));
    layouts.Scanned(4, 0, Ids(4, 0, Numbers(1, 16)));
    EXPECT_EQ(layouts.Guess(5, 0), Ids(5, 0, Numbers(1, 16)));
}

TEST(LayoutGuess, NeverGuessesAnUnformattedTrackOrAcrossAGap) {
    LayoutGuess layouts;
    layouts.Scanned(0, 0, TrackIds{});
    layouts.Scanned(1, 0, TrackIds{});
    EXPECT_FALSE(layouts.Guess(2, 0));
    layouts.Scanned(2, 0, Ids(2, 0, Numbers(1, 16)));
    layouts.Scanned(4, 0, Ids(4, 0, Numbers(1, 16)));
    EXPECT_FALSE(layouts.Guess(5, 0)) << "cylinders 2 and 4 are no neighbours";
}

// --- Against the emulated controller

struct Layout {
    std::uint8_t c = 0, h = 0;
    std::vector<std::uint8_t> numbers;
    std::uint8_t n = 1;
};
using LayoutAt = std::function<std::optional<Layout>(int track)>;

std::uint8_t SectorByte(int track, std::uint8_t r, std::size_t i) {
    return static_cast<std::uint8_t>(track * 31 + r * 7 + i);
}

std::unique_ptr<virt::VirtualDisk> BuildDisk(int tracks, const LayoutAt& layoutAt) {
    auto disk = std::make_unique<virt::VirtualDisk>();
    for (int t = 0; t < tracks; ++t) {
        const std::optional<Layout> l = layoutAt(t);
        if (!l) continue;
        virt::RawTrack track =
            virt::LayDownTrack(virt::StandardFormatPairs(l->c, l->h, l->numbers, l->n));
        for (const virt::IdField& id : virt::ReadIdFields(track)) {
            Bytes data(virt::WdSectorSize(id.N));
            for (std::size_t i = 0; i < data.size(); ++i)
                data[i] = SectorByte(t, id.R, i);
            virt::WriteDataField(track, id, data, virt::kDataAddressMark);
        }
        track.Present = true;
        disk->SetTrack(static_cast<std::uint8_t>(t), std::move(track));
    }
    return disk;
}

// A TR-DOS track: 16 sectors of 256 bytes numbered 1..16 in order from the index, H 0.
std::optional<Layout> TrDos(int t) {
    return Layout{static_cast<std::uint8_t>(CylinderOf(static_cast<unsigned>(t))), 0,
                  Numbers(1, 16)};
}

class FastReadTest : public OperationsFixture {
  protected:
    DiskRunResult RunInto(int mode, int count, DiskImage& into) {
        OperationContext ctx{*protocol, into, host};
        return RunDisk(ctx, {QStringLiteral("run"), mode, 0, count, kTimeoutForTests});
    }
    // The tracks a scan was sent on, from the frames received.
    std::set<int> ScannedTracks() const {
        std::set<int> scanned;
        int at = -1;
        for (const virt::CommandFrame& f : device->ReceivedFrames()) {
            if (f.Code == kSeek && !f.Payload.empty()) at = f.Payload[0];
            if (f.Code == kReadAddresses) scanned.insert(at);
        }
        return scanned;
    }
    // The sector lists sent on track t.
    std::vector<Bytes> ListsOn(int t) const {
        std::vector<Bytes> lists;
        int at = -1;
        for (const virt::CommandFrame& f : device->ReceivedFrames()) {
            if (f.Code == kSeek && !f.Payload.empty()) at = f.Payload[0];
            if (f.Code == kReadSectors && at == t) lists.push_back(f.Payload);
        }
        return lists;
    }
    static std::set<int> GuessesMissed(const DiskImage& image, int count) {
        std::set<int> missed;
        for (int t = 0; t < count; ++t)
            if (InTrackLog(*image.GetTrack(static_cast<std::uint8_t>(t)), kGuessMissed))
                missed.insert(t);
        return missed;
    }
    // The tracks whose sectors read as guessed, but whose scan found another layout.
    static std::set<int> FoundOther(const DiskImage& image, int count) {
        std::set<int> found;
        for (int t = 0; t < count; ++t)
            for (const std::string& line : image.GetTrack(static_cast<std::uint8_t>(t))->Log)
                if (line.starts_with(kFoundOther)) found.insert(t);
        return found;
    }
    static constexpr int kTimeoutForTests = 300;
};

// Everything of the two images a file can hold: tracks, IDs, data, status; and the UDI and
// FDI files they save to.
void ExpectSameImage(DiskImage& fast, DiskImage& scanned) {
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& a = *fast.GetTrack(static_cast<std::uint8_t>(t));
        const Track& b = *scanned.GetTrack(static_cast<std::uint8_t>(t));
        SCOPED_TRACE("track " + std::to_string(t));
        ASSERT_EQ(a.Present, b.Present);
        for (std::size_t k = 0; k < kSlotsPerTrack; ++k) {
            const SectorSlot& x = a.Slots[k];
            const SectorSlot& y = b.Slots[k];
            SCOPED_TRACE("slot " + std::to_string(k));
            ASSERT_EQ(x.Present, y.Present);
            EXPECT_EQ(x.Cylinder, y.Cylinder);
            EXPECT_EQ(x.Head, y.Head);
            EXPECT_EQ(x.Sector, y.Sector);
            EXPECT_EQ(x.SizeCode, y.SizeCode);
            EXPECT_EQ(x.HeaderCrc, y.HeaderCrc);
            EXPECT_EQ(x.DataGood, y.DataGood);
            ASSERT_EQ(x.DataLength, y.DataLength);
            EXPECT_TRUE(std::ranges::equal(x.Data.first(x.DataLength), y.Data.first(y.DataLength)));
        }
    }
    Bytes udiA, udiB, fdiA, fdiB;
    ASSERT_TRUE(WriteUdi(fast, udiA));
    ASSERT_TRUE(WriteUdi(scanned, udiB));
    EXPECT_TRUE(udiA == udiB);
    ASSERT_TRUE(WriteFdi(fast, fdiA));
    ASSERT_TRUE(WriteFdi(scanned, fdiB));
    EXPECT_TRUE(fdiA == fdiB);
}

struct DiskCase {
    const char* name;
    int tracks;
    LayoutAt layoutAt;
    std::function<void(virt::MediaFaults&)> faults;
    std::set<int> scanned;       // the tracks the fast read scans
    std::set<int> missed;        // the tracks it guessed wrong, then scanned
    std::set<int> foundOther{};  // the tracks read as guessed that a scan found otherwise
};

void PrintTo(const DiskCase& c, std::ostream* os) {
    *os << c.name;
}

class FastReadDisks : public FastReadTest, public ::testing::WithParamInterface<DiskCase> {};

TEST_P(FastReadDisks, LeaveTheImageTheScanWithSectorReadLeaves) {
    const DiskCase& c = GetParam();
    device->InsertDisk(virt::Drive::A, BuildDisk(c.tracks, c.layoutAt));
    if (c.faults) c.faults(device->Faults());
    device->ClearReceivedFrames();
    const DiskRunResult fast = RunInto(kRunFast, c.tracks, *disk);
    EXPECT_EQ(fast.outcome, OperationOutcome::Done);
    EXPECT_EQ(fast.tracksDone, c.tracks);
    EXPECT_EQ(ScannedTracks(), c.scanned);
    EXPECT_EQ(GuessesMissed(*disk, c.tracks), c.missed);
    EXPECT_EQ(FoundOther(*disk, c.tracks), c.foundOther);
    EXPECT_EQ(host.log.back(), fast.failedSectors > 0
                                   ? "Сбойных секторов - " + std::to_string(fast.failedSectors)
                                   : "Операция выполнена!");

    auto scanned = std::make_unique<DiskImage>();
    const DiskRunResult reference = RunInto(kRunScan | kRunSectors, c.tracks, *scanned);
    EXPECT_EQ(reference.outcome, OperationOutcome::Done);
    EXPECT_EQ(fast.failedSectors, reference.failedSectors);
    ExpectSameImage(*disk, *scanned);
}

std::set<int> Upto(int count) {
    std::set<int> all;
    for (int t = 0; t < count; ++t)
        all.insert(t);
    return all;
}

const std::set<int> kLearning{0, 1, 2, 3};  // the first two cylinders of each side

// The learning tracks, then both sides' checks every kCheckCylinders cylinders up to 79,
// then every track past cylinder 79.
std::set<int> LearningAndChecks(int count) {
    std::set<int> scanned = kLearning;
    for (unsigned c = 1 + kCheckCylinders; c < kGuessedCylinders; c += kCheckCylinders)
        scanned.insert({static_cast<int>(2 * c), static_cast<int>(2 * c + 1)});
    for (int t = 2 * static_cast<int>(kGuessedCylinders); t < count; ++t)
        scanned.insert(t);
    return scanned;
}

INSTANTIATE_TEST_SUITE_P(
    Disks, FastReadDisks,
    ::testing::Values(DiskCase{"Uniform", 12, TrDos, {}, kLearning, {}},
                      DiskCase{"SkewedByThreePerCylinder",
                               12,
                               [](int track) {
                                   Layout l = *TrDos(track);
                                   l.numbers =
                                       Numbers(1, 16, static_cast<std::size_t>(3 * (track / 2)));
                                   return std::optional<Layout>(l);
                               },
                               {},
                               kLearning,
                               {}},
                      DiskCase{"MixedSizes",
                               12,
                               [](int track) {
                                   if (track == 6)
                                       return std::optional<Layout>(Layout{3, 0, Numbers(1, 5), 3});
                                   return TrDos(track);
                               },
                               {},
                               Upto(12),
                               {6}},
                      DiskCase{"MissingSector",
                               12,
                               [](int track) {
                                   Layout l = *TrDos(track);
                                   if (track == 7) std::erase(l.numbers, std::uint8_t{9});
                                   return std::optional<Layout>(l);
                               },
                               {},
                               Upto(12),
                               {7}},
                      DiskCase{"OtherNumbering",
                               12,
                               [](int track) {
                                   Layout l = *TrDos(track);
                                   if (track % 2 == 1)
                                       l = {l.c, 1, Numbers(17, 16)};  // side 1: H 1, 17..32
                                   if (track == 8) l.numbers = Numbers(0x41, 16);
                                   return std::optional<Layout>(l);
                               },
                               {},
                               Upto(12),
                               {8}},
                      DiskCase{"UnformattedTail",
                               12,
                               [](int track) { return track < 8 ? TrDos(track) : std::nullopt; },
                               {},
                               Upto(12),
                               {8}},
                      DiskCase{"PastCylinder79EveryTrackIsScanned",
                               166,
                               [](int track) { return track < 164 ? TrDos(track) : std::nullopt; },
                               {},
                               LearningAndChecks(166),
                               {}},
                      DiskCase{"LayoutChangesEveryCylinder",
                               12,
                               [](int track) {
                                   Layout l = *TrDos(track);
                                   if ((track / 2) % 2 == 1) l = {l.c, 0, Numbers(1, 9), 2};
                                   return std::optional<Layout>(l);
                               },
                               {},
                               Upto(12),
                               {}},
                      DiskCase{"BadDataAndBadId",
                               12,
                               TrDos,
                               [](virt::MediaFaults& f) {
                                   f.AddDataCrcError(virt::Drive::A, 5, 3);
                                   f.AddIdCrcError(virt::Drive::A, 6, 4);
                               },
                               Upto(12),
                               {6}},
                      // Side 0 turns by five places from cylinder 3 on: every sector reads
                      // as guessed, and only the check at cylinder 6 finds it.
                      DiskCase{"OrderTurnedUnseen",
                               16,
                               [](int track) {
                                   Layout l = *TrDos(track);
                                   if (track % 2 == 0 && track >= 6) l.numbers = Numbers(1, 16, 5);
                                   return std::optional<Layout>(l);
                               },
                               {},
                               Upto(16),
                               {},
                               {6, 8, 10, 12}},
                      // Track 9's cylinder byte is 2, under a sector that fails.
                      DiskCase{
                          "CylinderByteUnderABadSector",
                          12,
                          [](int track) {
                              Layout l = *TrDos(track);
                              if (track == 9) l.c = 2;
                              return std::optional<Layout>(l);
                          },
                          [](virt::MediaFaults& f) { f.AddDataCrcError(virt::Drive::A, 9, 1); },
                          Upto(12),
                          {},
                          {9}}),
    CaseName());

// Disk images written by other tools, each put into the emulated drive as the format table
// reads it: the fast read leaves what the scan with sector read leaves, whatever their
// layouts. (The corpus' SCL and Hobeta files become disks of this program's own layout.)
std::vector<std::string> CorpusImages() {
    std::vector<std::string> images;
    for (const char* folder : {"trd", "udi", "fdi", "td0"})
        for (const std::filesystem::path& file : test::CorpusFiles(folder))
            images.push_back(file.string());
    return images;
}

class FastReadCorpus : public FastReadTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(FastReadCorpus, LeavesTheImageTheScanWithSectorReadLeaves) {
    std::string problem;
    if (!device->LoadImageFile(virt::Drive::A, GetParam(), &problem))
        GTEST_SKIP() << "the format table does not read it: " << problem;
    const int tracks = static_cast<int>(kTrackCount);
    const DiskRunResult fast = RunInto(kRunFast, tracks, *disk);
    ASSERT_EQ(fast.outcome, OperationOutcome::Done);
    auto scanned = std::make_unique<DiskImage>();
    const DiskRunResult reference = RunInto(kRunScan | kRunSectors, tracks, *scanned);
    ASSERT_EQ(reference.outcome, OperationOutcome::Done);
    EXPECT_EQ(fast.failedSectors, reference.failedSectors);
    ExpectSameImage(*disk, *scanned);
}

INSTANTIATE_TEST_SUITE_P(Images, FastReadCorpus, ::testing::ValuesIn(CorpusImages()),
                         [](const auto& image) {
                             return test::CaseNameOf(
                                 std::filesystem::path(image.param).filename().string());
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FastReadCorpus);

TEST_F(FastReadTest, GuessedTrackIsReadByAProbeThenTheRestFromTheNextSectorToCome) {
    device->InsertDisk(virt::Drive::A, BuildDisk(6, TrDos));
    device->ClearReceivedFrames();
    ASSERT_EQ(RunInto(kRunFast, 6, *disk).outcome, OperationOutcome::Done);
    // Track 3 was read from place 1 round to place 0; the step to track 4 and the
    // allowance for two exchanges bring the head to place 3 (sector 4).
    EXPECT_EQ(ListsOn(3), (std::vector<Bytes>{Numbers(1, 16, 15)}));
    EXPECT_EQ(ListsOn(4),
              (std::vector<Bytes>{{4}, {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3}}));
    const Track& track = *disk->GetTrack(4);
    EXPECT_TRUE(InTrackLog(track, "Чтение секторов -  04"));
    EXPECT_FALSE(InTrackLog(track, "Начало сканирования дорожки."));
    for (std::uint8_t k = 0; k < 16; ++k) {
        EXPECT_EQ(track.Slots[k].Sector, k + 1) << "slots in the order of the disk";
        EXPECT_EQ(track.Slots[k].DataGood, kDataGood);
        EXPECT_EQ(track.Slots[k].Data[10], SectorByte(4, static_cast<std::uint8_t>(k + 1), 10));
    }
}

// What ends a fast read early ends it as it ends the other runs; what was read stays.
struct StopCase {
    const char* name;
    int atTrack;  // the event comes as the run shows this track
    std::function<void(virt::VirtualController&, test::ScriptedHost&, UsbPort&)> event;
    OperationOutcome outcome;
    std::string message;  // its first line; "" for none
    std::string lastLogLineStart;
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.name;
}

class FastReadStops : public FastReadTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(FastReadStops, StopsAtOnceKeepingWhatWasRead) {
    const StopCase& c = GetParam();
    device->InsertDisk(virt::Drive::A, BuildDisk(10, TrDos));
    host.onRunTrack = [&](const std::string& text) {
        if (text == std::to_string(c.atTrack)) c.event(*device, host, *port);
    };
    protocol->SetTimeoutInterval(1234);
    const DiskRunResult r = RunInto(kRunFast, 10, *disk);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.tracksDone, c.atTrack);
    for (int t = 0; t < c.atTrack; ++t) {
        const Track& track = *disk->GetTrack(static_cast<std::uint8_t>(t));
        EXPECT_EQ(track.Present, kPresent) << t;
        EXPECT_EQ(track.Slots[15].DataGood, kDataGood) << t;
    }
    EXPECT_EQ(disk->GetTrack(static_cast<std::uint8_t>(c.atTrack + 1))->Present, 0);
    const std::vector<std::string> texts = host.MessageTexts();
    if (c.message.empty()) {
        EXPECT_TRUE(texts.empty());
    } else {
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].substr(0, texts[0].find('\n')), c.message);
    }
    EXPECT_EQ(host.log.back().rfind(c.lastLogLineStart, 0), 0u) << host.log.back();
    EXPECT_EQ(protocol->TimeoutInterval(), 1234) << "the run's time-out is given back";
    EXPECT_EQ(host.runEvents.back(), "end");
}

const std::string kLinkLostKept = std::string(kLinkLostText) + " " + kTextReadKept;

INSTANTIATE_TEST_SUITE_P(
    Events, FastReadStops,
    ::testing::Values(
        StopCase{"TimeOutOnAGuessedTrack", 6,
                 [](virt::VirtualController& d, test::ScriptedHost&, UsbPort&) {
                     d.SilenceNextCommands(1);
                 },
                 OperationOutcome::Stopped, "Время ожидания вышло...", "Чтение сектора - "},
        StopCase{"DeviceVanishesAfterTheProbe", 6,
                 [](virt::VirtualController& d, test::ScriptedHost&, UsbPort&) {
                     d.VanishAfterCommands(1);
                 },
                 OperationOutcome::LinkLost, kLinkLostKept, "Чтение сектора - "},
        StopCase{"LinkStopped", 6,
                 [](virt::VirtualController&, test::ScriptedHost&, UsbPort& p) {
                     p.SetDeviceActive(false);
                 },
                 OperationOutcome::LinkLost, kLinkLostKept, "Чтение сектора - "},
        StopCase{
            "CancelOnAGuessedTrack", 6,
            [](virt::VirtualController&, test::ScriptedHost& h, UsbPort&) { h.cancel = true; },
            OperationOutcome::Cancelled, "", "Операция отменена пользователем!"},
        StopCase{
            "CancelOnAScannedTrack", 2,
            [](virt::VirtualController&, test::ScriptedHost& h, UsbPort&) { h.cancel = true; },
            OperationOutcome::Cancelled, "", "Операция отменена пользователем!"}),
    CaseName());

TEST_F(FastReadTest, CancelledProbeLeavesTheRestOfTheTrackUnread) {
    device->InsertDisk(virt::Drive::A, BuildDisk(10, TrDos));
    host.onRunTrack = [&](const std::string& text) { host.cancel = text == "6"; };
    EXPECT_EQ(RunInto(kRunFast, 10, *disk).outcome, OperationOutcome::Cancelled);
    EXPECT_EQ(ListsOn(6).size(), 1u) << "the probe only";
    int read = 0;
    for (const SectorSlot& slot : disk->GetTrack(6)->Slots)
        read += slot.DataLength > 0 ? 1 : 0;
    EXPECT_EQ(read, 1);
}

}  // namespace
}  // namespace morvane
