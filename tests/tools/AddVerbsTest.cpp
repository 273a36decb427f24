// morvane-img add, cpm-put and SCL/Hobeta files as images: files go in, come out the same,
// and a refusal leaves the image file as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MorvaneImg.h"
#include "MorvaneImgFixture.h"
#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "imagefiles/ImageFiles.h"
#include "support/TestDisks.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

class AddVerbsTest : public test::MorvaneImgFixture {
  protected:
    // An SCL archive of `count` files of `sectors` sectors, written from a TR-DOS disk.
    std::string WriteScl(const std::string& name, std::size_t count, std::uint8_t sectors) {
        auto disk = test::NewTrDosDisk();
        std::vector<TrDosEntry> files;
        for (std::size_t i = 0; i < count; ++i)
            files.push_back(test::AddTrDosFile(*disk, "s" + std::to_string(i), 'C', sectors,
                                               static_cast<std::uint8_t>(i)));
        Bytes scl;
        EXPECT_TRUE(BuildScl(*disk, files, scl));
        Write(Path(name), scl);
        return Path(name);
    }
};

TEST_F(AddVerbsTest, AddPutsHobetaAndSclFilesAfterTheLastFile) {
    const std::string image = Path("disk.trd");
    ASSERT_EQ(Run({"new", "trdos", image}), kExitOk) << err.str();
    const std::string scl = WriteScl("two.scl", 2, 3);
    Bytes hobeta = HobetaHeader(test::AddTrDosFile(*test::NewTrDosDisk(), "hob", 'B', 1, 9));
    const Bytes data = test::ExpectedFileBytes(9, 1);
    hobeta.insert(hobeta.end(), data.begin(), data.end());
    Write(Path("hob.$B"), hobeta);

    ASSERT_EQ(Run({"add", image, scl, Path("hob.$B")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "s0.C\ns1.C\nhob.B\n");
    fs::create_directories(Path("out"));
    ASSERT_EQ(Run({"export-hob", image, Path("out"), "hob"}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("out/hob.$B")), hobeta);
    ASSERT_EQ(Run({"export-scl", image, Path("back.scl"), "s0", "s1"}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("back.scl")), Read(scl));
}

TEST_F(AddVerbsTest, AddThatDoesNotFitLeavesTheImageFile) {
    const std::string image = Path("disk.trd");
    ASSERT_EQ(Run({"new", "trdos", image}), kExitOk);
    ASSERT_EQ(Run({"add", image, WriteScl("big.scl", 9, 255)}), kExitOk) << err.str();
    const Bytes before = Read(image);
    EXPECT_EQ(Run({"add", image, WriteScl("more.scl", 1, 255)}), kExitFailure);
    EXPECT_NE(err.str().find("249 free sectors, 255 needed"), std::string::npos) << err.str();
    EXPECT_EQ(Read(image), before);
}

TEST_F(AddVerbsTest, SclConvertsToTrdAndBack) {
    const std::string scl = WriteScl("game.scl", 3, 5);
    ASSERT_EQ(Run({"info", scl}), kExitOk) << err.str();
    EXPECT_NE(out.str().find("format: SCL"), std::string::npos);
    ASSERT_EQ(Run({"convert", scl, Path("game.trd")}), kExitOk) << err.str();
    ASSERT_EQ(Run({"convert", Path("game.trd"), Path("again.scl")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("again.scl")), Read(scl));
    Bytes broken = Read(scl);
    broken.back() ^= 1;
    Write(Path("broken.scl"), broken);
    EXPECT_EQ(Run({"convert", Path("broken.scl"), Path("broken.trd")}), kExitFailure);
    EXPECT_NE(err.str().find("SCL checksum does not match"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(Path("broken.trd")));
}

TEST_F(AddVerbsTest, NameBeginningWithAColourCodeIsAFileForEveryExport) {
    auto disk = test::NewTrDosDisk();
    test::AddTrDosFile(*disk, "boot", 'B', 1, 1);
    test::AddTrDosFile(*disk, "\x10\x02pic", 'C', 2, 2);  // INK 2 before the name
    ASSERT_TRUE(SaveImageFile(Path("ink.trd"), *disk));
    ASSERT_EQ(Run({"convert", Path("ink.trd"), Path("ink.scl")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("ink.scl"))[8], 2);  // the number of files
    ASSERT_EQ(Run({"convert", Path("ink.scl"), Path("back.trd")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("back.trd")), Read(Path("ink.trd")));
    ASSERT_EQ(Run({"export-scl", Path("ink.trd"), Path("all.scl")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("all.scl")), Read(Path("ink.scl")));
    fs::create_directory(Path("hob"));
    ASSERT_EQ(Run({"export-hob", Path("ink.trd"), Path("hob")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("hob/__pic.$C")).size(), 17u + 512u);
}

TEST_F(AddVerbsTest, CpmPutStoresFilesThatCpmGetGivesBack) {
    const std::string image = Path("cpm.udi");
    ASSERT_EQ(Run({"new", "cpm", image}), kExitOk) << err.str();
    const Bytes data = test::ExpectedFileBytes(3, 100);  // 25600 bytes, two extents
    Write(Path("game.com"), data);
    ASSERT_EQ(Run({"cpm-put", image, Path("game.com")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "GAME    COM\n");
    ASSERT_EQ(Run({"cpm-get", image, "GAME.COM", Path("back.com")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("back.com")), data);
    EXPECT_EQ(Run({"cpm-put", image, Path("game.com")}), kExitFailure);
    EXPECT_NE(err.str().find("a file GAME.COM exists"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"cpm-put", image, Path("long_name.com")}), kExitUsage);
}

TEST_F(AddVerbsTest, CpmPutPutsAFileGivenAsUserColonPathInThatUserArea) {
    const std::string image = Path("cpm.udi");
    ASSERT_EQ(Run({"new", "cpm", image}), kExitOk) << err.str();
    const Bytes five = test::ExpectedFileBytes(5, 3);
    Write(Path("game.com"), five);
    ASSERT_EQ(Run({"cpm-put", image, "5:" + Path("game.com")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "5:GAME    COM\n");
    Write(Path("game.com"), test::ExpectedFileBytes(0, 2));
    ASSERT_EQ(Run({"cpm-put", image, Path("game.com")}), kExitOk) << err.str();  // user 0
    ASSERT_EQ(Run({"cpm-get", image, "5:GAME.COM", Path("back.com")}), kExitOk) << err.str();
    EXPECT_EQ(Read(Path("back.com")), five);
    EXPECT_EQ(Run({"cpm-put", image, "16:" + Path("game.com")}), kExitUsage);
}

TEST_F(AddVerbsTest, CpmPutThatDoesNotFitLeavesTheImageFile) {
    ASSERT_EQ(Run({"new", "cpm", Path("cpm.udi")}), kExitOk);
    Write(Path("a.bin"), Bytes(400 * 1024, 1));
    Write(Path("b.bin"), Bytes(400 * 1024, 2));
    const Bytes before = Read(Path("cpm.udi"));
    EXPECT_EQ(Run({"cpm-put", Path("cpm.udi"), Path("a.bin"), Path("b.bin")}), kExitFailure);
    EXPECT_NE(err.str().find("the disk is full"), std::string::npos) << err.str();
    EXPECT_EQ(Read(Path("cpm.udi")), before);
}

}  // namespace
}  // namespace morvane
