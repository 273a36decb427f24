#include "model/ImageEditing.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace morvane {
namespace {

struct ScriptedHost : ImageEditHost {
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    bool answer = true;
    int logCleared = 0;
    Answer Ask(const Question& q) override {
        const std::string asked = q.caption + "|" + q.text;
        if (q.buttons == Buttons::Ok) {
            errors.push_back(asked);
            return Answer::Ok;
        }
        questions.push_back(asked);
        return answer ? Answer::Yes : Answer::No;
    }
    void ClearAndShowLog() override { ++logCleared; }
};

class ImageEditingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Track* t = disk->GetTrack(10);
        t->Present = kPresent;
        t->RawValid = 1;
        t->RawLength = 6250;
        t->Raw.fill(0x4E);
        t->Log = {"read 1", "read 2"};
        for (std::uint8_t i = 0; i < 3; ++i) {
            SectorSlot* s = t->GetSlot(i);
            s->Present = kPresent;
            s->Sector = static_cast<std::uint8_t>(i + 1);
            s->DataLength = 256;
            s->DataGood = kDataGood;
            s->Data.fill(static_cast<std::uint8_t>(0x10 + i));
        }
        t->SectorCount = 3;
    }
    std::unique_ptr<DiskImage> disk = std::make_unique<DiskImage>();
    ScriptedHost host;
};

TEST_F(ImageEditingTest, RemoveThenAddTrackRestoresItExactly) {
    auto before = std::make_unique<Track>(*disk->GetTrack(10));
    RemoveTrack(*disk, 10);
    EXPECT_EQ(disk->GetTrack(10)->Present, 0);
    EXPECT_EQ(disk->CountTracks(), 0);
    AddTrack(*disk, 10);
    const Track& after = *disk->GetTrack(10);
    EXPECT_EQ(after.Present, kPresent);
    EXPECT_EQ(after.SectorCount, before->SectorCount);
    EXPECT_EQ(after.RawLength, before->RawLength);
    EXPECT_EQ(after.Raw, before->Raw);
    EXPECT_EQ(after.Log, before->Log);
    for (std::size_t i = 0; i < kSlotsPerTrack; ++i) {
        EXPECT_EQ(after.Slots[i].Data, before->Slots[i].Data);
        EXPECT_EQ(after.Slots[i].Sector, before->Slots[i].Sector);
        EXPECT_EQ(after.Slots[i].DataLength, before->Slots[i].DataLength);
    }
    AddTrack(*disk, 200);  // out of range: nothing
    RemoveTrack(*disk, 166);
}

TEST_F(ImageEditingTest, RemoveSectorNeedsASectorCell) {
    RemoveSector(*disk, host, MapCell{10, 0});
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], "Ошибка!|Сектор для чтения не выбран!");
    EXPECT_EQ(host.logCleared, 1);
    EXPECT_EQ(disk->GetSlot(10, 0)->Present, kPresent);

    RemoveSector(*disk, host, MapCell{10, 2});
    const SectorSlot& s = *disk->GetSlot(10, 1);
    EXPECT_EQ(s.Present, 0);
    EXPECT_EQ(s.Sector, 2);  // the other fields stay
    EXPECT_EQ(s.DataLength, 256);
    EXPECT_EQ(host.logCleared, 2);
}

TEST_F(ImageEditingTest, ClearRawTrackAsksAndKeepsSlotsAndLog) {
    host.answer = false;
    EXPECT_FALSE(ClearRawTrack(*disk, host, MapCell{10, 0}));
    EXPECT_EQ(disk->GetTrack(10)->RawLength, 6250);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0],
              "Очиска RAW дорожки!|Вы действительно хотите удалить данные дорожки?");

    EXPECT_FALSE(ClearRawTrack(*disk, host, MapCell{10, 1}));  // a sector cell: no question
    EXPECT_EQ(host.questions.size(), 1u);

    host.answer = true;
    EXPECT_TRUE(ClearRawTrack(*disk, host, MapCell{10, 0}));
    const Track& t = *disk->GetTrack(10);
    EXPECT_EQ(t.RawLength, 0);
    EXPECT_EQ(t.RawValid, 0);
    EXPECT_EQ(t.Raw[100], 0);
    EXPECT_EQ(t.SectorCount, 3);
    EXPECT_EQ(t.Log.size(), 2u);
}

TEST_F(ImageEditingTest, BaseTrackCaptionAndToggle) {
    EXPECT_FALSE(ToggleUseBaseTrack(*disk, false));  // no base track yet
    EXPECT_EQ(SetBaseTrack(*disk, 11), "Использовать базовый шаблон для всех дорожек (Трэк - 11)");
    EXPECT_EQ(disk->BaseTrack, 11);
    EXPECT_FALSE(disk->UseBaseTrack);  // track 11 has no raw image
    EXPECT_FALSE(ToggleUseBaseTrack(*disk, false));

    SetBaseTrack(*disk, 10);
    EXPECT_TRUE(disk->UseBaseTrack);
    EXPECT_FALSE(ToggleUseBaseTrack(*disk, true));
    EXPECT_FALSE(disk->UseBaseTrack);
    EXPECT_TRUE(ToggleUseBaseTrack(*disk, false));
    EXPECT_TRUE(disk->UseBaseTrack);

    Track* high = disk->GetTrack(160);
    high->Present = kPresent;
    high->RawLength = 100;
    SetBaseTrack(*disk, 160);
    EXPECT_FALSE(ToggleUseBaseTrack(*disk, true));
    EXPECT_FALSE(ToggleUseBaseTrack(*disk, false));  // above 159: never a template
}

TEST_F(ImageEditingTest, ClearImageAsksFirst) {
    host.answer = false;
    EXPECT_FALSE(ConfirmAndClearImage(*disk, host));
    EXPECT_EQ(disk->CountTracks(), 1);
    host.answer = true;
    EXPECT_TRUE(ConfirmAndClearImage(*disk, host));
    EXPECT_EQ(disk->CountTracks(), 0);
    EXPECT_EQ(host.questions.back(), "Очистка образа..|Вы действительно хотите очистить образ?");
}

}  // namespace
}  // namespace morvane
