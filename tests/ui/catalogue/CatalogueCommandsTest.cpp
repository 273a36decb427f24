#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "../shell/NoDeviceDriver.h"
#include "ScriptedCatalogueDialogs.h"
#include "filesystems/Hobeta.h"
#include "support/TestDisks.h"
#include "ui/catalogue/CpmCatalogueWindow.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"
#include "ui/shell/CatalogueCommands.h"
#include "ui/shell/MainWindow.h"
#include "support/ScriptedAsker.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/SectorView.h"

namespace morvane::test {
namespace {

using RecordingDialogs = ScriptedAsker;

class CatalogueCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MainWindowOptions o;
        o.iniPath = dir.filePath(QStringLiteral("Morvane.ini"));
        o.programFolder = dir.path();
        o.dialogs = dialogs;
        o.catalogueDialogs = catalogueDialogs;
        o.hardwareDriver = [] { return std::make_unique<NoDeviceDriver>(); };
        o.raisePriority = false;
        window = std::make_unique<MainWindow>(std::move(o));
    }

    QString Owner() const { return window->findChild<QLabel*>(QStringLiteral("mml1"))->text(); }
    bool OwnerBarShown() const {
        return window->findChild<QWidget*>(QStringLiteral("trp1"))->isVisibleTo(window.get());
    }

    QTemporaryDir dir;
    std::shared_ptr<RecordingDialogs> dialogs = std::make_shared<RecordingDialogs>();
    std::shared_ptr<ScriptedCatalogueDialogs> catalogueDialogs =
        std::make_shared<ScriptedCatalogueDialogs>();
    std::unique_ptr<MainWindow> window;
};

struct RefusalCase {
    const char* what;
    bool cpmImage;
    bool zxCommand;
    const char* message;
};

class CatalogueRefusalTest : public CatalogueCommandsTest,
                             public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(CatalogueRefusalTest, AnImageOfTheOtherSystemIsRefused) {
    if (GetParam().cpmImage)
        CreateCpmImage(window->Disk());
    else
        CreateTrDosImage(window->Disk(), "X");
    if (GetParam().zxCommand)
        window->Catalogues().ViewZxCatalogueCommand();
    else
        window->Catalogues().ViewCpmCatalogueCommand();
    EXPECT_EQ(dialogs->messages,
              QStringList{QStringLiteral("Ошибка!|") + QString::fromUtf8(GetParam().message)});
}

INSTANTIATE_TEST_SUITE_P(
    Images, CatalogueRefusalTest,
    ::testing::Values(
        RefusalCase{"CpmAsTrDos", true, true, "Образ не соответствует стандартному TR-DOS диску!"},
        RefusalCase{"TrDosAsCpm", false, false, "Образ не соответствует CP/M диску!"}),
    [](const auto& p) { return std::string(p.param.what); });

TEST_F(CatalogueCommandsTest, NewTrDosImageTakesTheNameAndShowsAnEmptyCatalogue) {
    catalogueDialogs->name = QStringLiteral("ABC");
    window->Actions().createTrdos->trigger();
    const SectorSlot* info = window->Disk().FindSector(0, kTrDosInfoSector);
    EXPECT_EQ(
        std::string(info->Data.begin() + kInfoDiskName, info->Data.begin() + kInfoDiskName + 8),
        "ABC     ");
    QTimer::singleShot(0, window.get(), [this] { window->Catalogues().ZxCatalogue()->reject(); });
    window->Actions().viewZxCatalogue->trigger();
    EXPECT_TRUE(dialogs->messages.isEmpty());
    EXPECT_EQ(window->Catalogues().ZxCatalogue()->List()->topLevelItemCount(), 0);
    EXPECT_EQ(window->Catalogues().ZxCatalogue()->DescriptionValues(),
              (QStringList{"ABC     ", "80-дорожек", "1", "1", "2544", "0", "0"}));
}

TEST_F(CatalogueCommandsTest, NewCpmImageShowsAnEmptyCatalogueWindow) {
    window->Actions().createCpm->trigger();
    std::vector<int> numbers;
    for (std::uint8_t s = 0; s < 5; ++s)
        numbers.push_back(window->Disk().GetSlot(0, s)->Sector);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 9}));
    window->Actions().viewCpmCatalogue->trigger();
    EXPECT_TRUE(window->Catalogues().CpmCatalogue()->isVisible());
    EXPECT_EQ(window->Catalogues().CpmCatalogue()->DescriptionValues(), (QStringList{"0", "4 кБ", "796 кБ"}));
    window->Catalogues().CpmCatalogue()->close();
}

TEST_F(CatalogueCommandsTest, OwnerLineFollowsTheCatalogueAsTheImageChanges) {
    CreateTrDosImage(window->Disk(), "X");
    AddTrDosFile(window->Disk(), "boot", 'B', 2, 1);
    AddTrDosFile(window->Disk(), "code", 'C', 3, 2);
    window->Sectors()->showCell(1, 1);
    EXPECT_EQ(Owner(), QStringLiteral("boot     _B"));
    EXPECT_TRUE(OwnerBarShown());
    window->Sectors()->showCell(1, 0);
    EXPECT_FALSE(OwnerBarShown());

    // Delete and compact through the window: "code" moves to the start of track 1.
    window->Map()->setCurrentCell(1, 1);
    window->Sectors()->showCell(1, 1);
    TrDosCatalogueWindow* cat = window->Catalogues().ZxCatalogue();
    ASSERT_TRUE(cat->LoadFromImage());
    cat->SelectRows({0});
    cat->DeleteFiles();
    cat->Compact();
    EXPECT_EQ(Owner(), QStringLiteral("code     _C"));
    window->Sectors()->showCell(4, 1);
    EXPECT_EQ(Owner(), QStringLiteral("Free sector!"));
}

// A file added in the window shows at once in the sector view that was looking at its sector.
TEST_F(CatalogueCommandsTest, FilesAddedInTheWindowReachTheSectorView) {
    auto source = NewTrDosDisk();
    Bytes hobeta;
    ASSERT_TRUE(BuildHobeta(*source, AddTrDosFile(*source, "boot", 'B', 2, 1), hobeta));
    const QString path = dir.filePath(QStringLiteral("boot.$B"));
    ASSERT_TRUE(WriteWholeFile(path, hobeta));

    CreateTrDosImage(window->Disk(), "X");
    window->Map()->setCurrentCell(1, 1);
    window->Sectors()->showCell(1, 1);
    EXPECT_EQ(Owner(), QStringLiteral("Free sector!"));
    catalogueDialogs->openFiles = {path};
    TrDosCatalogueWindow* cat = window->Catalogues().ZxCatalogue();
    ASSERT_TRUE(cat->LoadFromImage());
    cat->AddFiles();
    EXPECT_TRUE(catalogueDialogs->messages.isEmpty());
    EXPECT_EQ(Owner(), QStringLiteral("boot     _B"));
}

TEST_F(CatalogueCommandsTest, ReadZxCatalogueRunsThroughTheOperationRunner) {
    window->Catalogues().ReadZxCatalogueCommand();  // no runner yet: nothing happens
    int runs = 0;
    window->Catalogues().SetOperationRunner([&runs](const std::function<void(OperationContext&)>& operation) {
        runs += operation ? 1 : 0;
    });
    window->Catalogues().ReadZxCatalogueCommand();
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace morvane::test
