#include "operations/ReadCatalogueTrack.h"

#include "OperationsFixture.h"
#include "support/TestDisks.h"

namespace morvane::test {
namespace {

// Drive A holds a TR-DOS image with one file; the read must give back its track 0.
class ReadCatalogueTrackTest : public OperationsFixture {
  protected:
    void SetUp() override {
        OperationsFixture::SetUp();
        image = NewTrDosDisk();
        AddTrDosFile(*image, "boot", 'B', 2, 1);
        device->LoadImage(virt::Drive::A, *image);
    }
    Bytes Sector(std::uint8_t r) const {
        const SectorSlot* s = image->FindSector(0, r);
        return Bytes(s->Data.begin(), s->Data.begin() + 256);
    }
    std::unique_ptr<DiskImage> image;
};

struct ReadCase {
    std::string name;
    int crcReads;  // data CRC errors on sector 3 of track 0; 0 none
    std::vector<Answer> answers;
    OperationOutcome outcome;
    std::vector<std::string> logged;
    std::vector<int> seeks;
};

class ReadCatalogueTrackCases : public ReadCatalogueTrackTest,
                                public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadCatalogueTrackCases, ReadsTheSixteenSectorsOfTrackZero) {
    const ReadCase& c = GetParam();
    if (c.crcReads != 0) device->Faults().AddDataCrcError(virt::Drive::A, 0, 3, c.crcReads);
    host.answers.assign(c.answers.begin(), c.answers.end());
    OperationContext ctx = Ctx();
    std::vector<std::uint8_t> out;
    EXPECT_EQ(ReadCatalogueTrack(ctx, out), c.outcome);
    EXPECT_EQ(host.questions.size(), c.answers.size());
    for (const std::string& line : c.logged)
        EXPECT_TRUE(Logged(line)) << line;
    EXPECT_EQ(SeekTargets(), c.seeks);
    EXPECT_EQ(host.trackLabel, "0");
    ASSERT_EQ(out.size(), kCatalogueTrackBytes);
    if (c.outcome == OperationOutcome::Done) {
        EXPECT_EQ(Bytes(out.begin(), out.begin() + 256), Sector(1));
        EXPECT_EQ(Bytes(out.begin() + 8 * 256, out.begin() + 9 * 256), Sector(9));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ReadCatalogueTrackCases,
    ::testing::Values(ReadCase{"Clean", 0, {}, OperationOutcome::Done, {}, {160, 0}},
                      ReadCase{"Ignored",
                               -1,
                               {Answer::Ignore},
                               OperationOutcome::Done,
                               {"Игнорировать ошибку!"},
                               {160, 0}},
                      ReadCase{"RetriedOnce",
                               1,
                               {Answer::Retry},
                               OperationOutcome::Done,
                               {"Повтор команды!"},
                               {160, 0, 160, 0}},
                      ReadCase{"Aborted",
                               -1,
                               {Answer::Abort},
                               OperationOutcome::Cancelled,
                               {"Отменено пользователем!"},
                               {160, 0}}),
    CaseName{});

TEST_F(ReadCatalogueTrackTest, ReadErrorNamesTheSectorInTheQuestionAndTheLog) {
    device->Faults().AddDataCrcError(virt::Drive::A, 0, 3);
    host.answers = {Answer::Ignore};
    OperationContext ctx = Ctx();
    std::vector<std::uint8_t> out;
    ReadCatalogueTrack(ctx, out);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].caption, "Ошибка чтения");
    EXPECT_EQ(host.questions[0].text.rfind("Ошибка - ", 0), 0u);
    const std::string line = "Ошибка чтения - " +
                             host.questions[0].text.substr(std::string("Ошибка - ").size()) +
                             " (Track - 0 / Sector - 3)";
    EXPECT_TRUE(Logged(line)) << line;
}

}  // namespace
}  // namespace morvane::test
