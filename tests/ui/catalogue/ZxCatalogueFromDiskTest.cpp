#include "ui/catalogue/ZxCatalogueFromDisk.h"

#include <QTreeWidget>

#include "ScriptedCatalogueDialogs.h"
#include "operations/OperationsFixture.h"
#include "support/TestDisks.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"

namespace morvane::test {
namespace {

// The emulated controller's drive A holds a TR-DOS image with two files.
class ZxCatalogueFromDiskTest : public OperationsFixture {
  protected:
    void SetUp() override {
        OperationsFixture::SetUp();
        image = NewTrDosDisk();
        AddTrDosFile(*image, "boot", 'B', 2, 1);
        AddTrDosFile(*image, "code", 'C', 3, 2);
    }
    void InsertImage() { device->LoadImage(virt::Drive::A, *image); }

    std::unique_ptr<DiskImage> image;
    ScriptedCatalogueDialogs dialogs;
};

TEST_F(ZxCatalogueFromDiskTest, TrDosDiskFillsTheWindowWithFileCommandsOff) {
    InsertImage();
    TrDosCatalogueWindow window(TrDosWindowContext{disk.get(), &dialogs, {}, {}, {}});
    OperationContext ctx = Ctx();
    ASSERT_TRUE(ReadZxCatalogueFromDisk(ctx, window));
    EXPECT_EQ(window.List()->topLevelItemCount(), 2);
    EXPECT_FALSE(window.FromImage());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ZxCatalogueFromDiskTest, ADiskWithoutTrDosInformationIsRefused) {
    image->FindSector(0, kTrDosInfoSector)->Data[kInfoIdByte] = 0;
    InsertImage();
    TrDosCatalogueWindow window(TrDosWindowContext{disk.get(), &dialogs, {}, {}, {}});
    OperationContext ctx = Ctx();
    EXPECT_FALSE(ReadZxCatalogueFromDisk(ctx, window));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Диск не соответствует формату TR-DOS!.");
    EXPECT_EQ(host.messages[0].caption, "Ошибка!");
}

}  // namespace
}  // namespace morvane::test
