// The emulated drive takes SCL archives and Hobeta files as the TR-DOS disk loading them
// makes.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

#include "controller/virtual/VirtualController.h"
#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosCatalogue.h"
#include "ui/catalogue/CatalogueDialogs.h"
#include "ui/shell/ControllerLink.h"
#include "ui/shell/VirtualDrive.h"

namespace morvane {
namespace {

struct FileShape {
    const char* name;
    std::uint8_t sectors;
};

TrDosEntry EntryOf(const FileShape& shape) {
    TrDosEntry e;
    e.name.fill(' ');
    std::copy_n(shape.name, std::strlen(shape.name), e.name.begin());
    e.type = 'C';
    e.start = 0x8000;
    e.length = static_cast<std::uint16_t>(shape.sectors * 256);
    e.sectors = shape.sectors;
    return e;
}

Bytes Sectors(std::uint8_t count, std::uint8_t seed) {
    Bytes b(std::size_t{count} * 256);
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(seed + i * 3);
    return b;
}

Bytes Hobeta(const FileShape& shape) {
    Bytes out = HobetaHeader(EntryOf(shape));
    const Bytes data = Sectors(shape.sectors, 1);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes Scl(std::initializer_list<FileShape> shapes) {
    Bytes out(kSclSignature.begin(), kSclSignature.end());
    out.push_back(static_cast<std::uint8_t>(shapes.size()));
    for (const FileShape& s : shapes) {
        const Bytes header = HobetaHeader(EntryOf(s));
        out.insert(out.end(), header.begin(), header.begin() + 13);
        out.push_back(s.sectors);
    }
    std::uint8_t seed = 2;
    for (const FileShape& s : shapes) {
        const Bytes data = Sectors(s.sectors, seed++);
        out.insert(out.end(), data.begin(), data.end());
    }
    const std::uint32_t sum = SclChecksum(out);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));
    return out;
}

TEST(VirtualDrive, HoldsTheTrDosDiskOfAnSclOrHobetaFile) {
    struct Case {
        const char* fileName;
        Bytes bytes;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"game.scl", Scl({{"boot", 2}, {"game", 30}}), {"boot    ", "game    "}},
        {"GAME.SCL", Scl({{"one", 1}}), {"one     "}},
        {"code.$C", Hobeta({"code", 7}), {"code    "}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        const QString path = dir.filePath(QString::fromLatin1(c.fileName));
        ASSERT_TRUE(WriteWholeFile(path, c.bytes));
        ControllerLink link(
            [] {
                virt::VirtualController* made = nullptr;
                return MakeVirtualDriver(made);
            },
            nullptr);
        link.UseVirtual(true);
        QString error;
        ASSERT_TRUE(LoadVirtualDrive(link, path, Drive::A, &error)) << error.toStdString();

        DiskImage inDrive;
        ASSERT_TRUE(link.Virtual().SaveImage(virt::Drive::A, inDrive));
        TrDosCatalogue catalogue;
        ASSERT_TRUE(ReadTrDosCatalogue(inDrive, catalogue));
        std::vector<std::string> names;
        for (const TrDosEntry& e : catalogue.entries)
            names.emplace_back(e.name.begin(), e.name.end());
        EXPECT_EQ(names, c.names);
        Bytes back;
        if (c.names.size() == 1 && c.bytes[0] != 'S')
            ASSERT_TRUE(BuildHobeta(inDrive, catalogue.entries[0], back));
        else
            ASSERT_TRUE(BuildScl(inDrive, catalogue.entries, back));
        EXPECT_EQ(back, c.bytes);
    }
}

}  // namespace
}  // namespace morvane
