#include "filesystems/ZxTape.h"

#include <algorithm>
#include <cctype>

#include "filesystems/TrDosPlainFiles.h"

namespace morvane {

namespace {

constexpr std::uint8_t kCharArrayNameBit = 0x40;

std::uint8_t XorOf(std::uint8_t flag, std::span<const std::uint8_t> bytes) {
    std::uint8_t x = flag;
    for (std::uint8_t b : bytes)
        x ^= b;
    return x;
}

std::string BlockText(std::size_t index) {
    return "block " + std::to_string(index + 1);
}

TapeFile ParseHeader(std::span<const std::uint8_t> h) {
    TapeFile f;
    f.type = h[0];
    std::copy_n(h.begin() + 1, kTapeNameSize, f.name.begin());
    f.param1 = GetLe16(h, 13);
    f.param2 = GetLe16(h, 15);
    return f;
}

// The TR-DOS file of one header and its data.
bool TrDosFileOfTape(const TapeFile& tape, std::span<const std::uint8_t> data, TrDosFileData& out,
                     std::string& error) {
    PlainFileFields fields;
    std::copy_n(tape.name.begin(), fields.name.size(), fields.name.begin());
    switch (tape.type) {
        case kTapeProgram:
            fields.type = kTrDosBasic;
            fields.start = tape.param1;
            fields.programLength = std::min<std::size_t>(tape.param2, data.size());
            break;
        case kTapeNumberArray:
        case kTapeCharArray:
            fields.type = kTrDosData;
            fields.start = tape.param1;
            break;
        case kTapeCode:
            fields.type = kTrDosCode;
            fields.start = tape.param1;
            break;
        default:
            error = "unknown header type " + std::to_string(tape.type);
            return false;
    }
    return MakeTrDosFile(fields, data, out, error);
}

}  // namespace

bool ParseTap(std::span<const std::uint8_t> tap, std::vector<TapeBlock>& out, std::string& error) {
    out.clear();
    ByteCursor cursor(tap);
    while (!cursor.AtEnd()) {
        const std::string where = BlockText(out.size());
        std::uint16_t length = 0;
        std::span<const std::uint8_t> block;
        if (!cursor.Le16(length) || !cursor.Take(length, block)) {
            error = where + " is cut short";
            return false;
        }
        if (length < 2) {
            error = where + " has no flag and checksum";
            return false;
        }
        const auto bytes = block.subspan(1, length - 2u);
        if (XorOf(block[0], bytes) != block.back()) {
            error = where + ": the checksum does not match";
            return false;
        }
        out.push_back({block[0], Bytes(bytes.begin(), bytes.end())});
    }
    return true;
}

void AppendTapBlock(Bytes& tap, std::uint8_t flag, std::span<const std::uint8_t> bytes) {
    PutLe16(tap, static_cast<std::uint16_t>(bytes.size() + 2));
    tap.push_back(flag);
    tap.insert(tap.end(), bytes.begin(), bytes.end());
    tap.push_back(XorOf(flag, bytes));
}

void AppendTapeFile(Bytes& tap, const TapeFile& file) {
    Bytes header{file.type};
    header.insert(header.end(), file.name.begin(), file.name.end());
    PutLe16(header, static_cast<std::uint16_t>(file.data.size()));
    PutLe16(header, file.param1);
    PutLe16(header, file.param2);
    AppendTapBlock(tap, kTapeHeaderFlag, header);
    AppendTapBlock(tap, kTapeDataFlag, file.data);
}

TapeFile TapeFileOfTrDos(const TrDosEntry& entry, std::span<const std::uint8_t> sectors) {
    TapeFile f;
    f.name.fill(' ');
    std::copy(entry.name.begin(), entry.name.end(), f.name.begin());
    f.data = TrDosPlainBytes(entry, sectors);
    if (entry.type == kTrDosBasic) {
        f.type = kTapeProgram;
        f.param1 = TrDosBasicAutostart(entry, sectors).value_or(kNoAutostartLine);
        f.param2 = static_cast<std::uint16_t>(TrDosBasicProgramLength(entry, sectors));
    } else if (entry.type == kTrDosData) {
        f.type = (entry.start >> 8) & kCharArrayNameBit ? kTapeCharArray : kTapeNumberArray;
        f.param1 = entry.start;
        f.param2 = kTapeCodeParam2;
    } else {
        f.type = kTapeCode;
        f.param1 = entry.start;
        f.param2 = kTapeCodeParam2;
    }
    return f;
}

bool IsTapFileName(std::string_view path) {
    if (path.size() < 4) return false;
    const std::string_view ext = path.substr(path.size() - 4);
    static constexpr std::string_view kTap = ".tap";
    for (std::size_t i = 0; i < ext.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(ext[i])) != kTap[i]) return false;
    return true;
}

bool TrDosFilesOfTap(std::span<const std::uint8_t> tap, std::vector<TrDosFileData>& out,
                     std::string& error) {
    out.clear();
    std::vector<TapeBlock> blocks;
    if (!ParseTap(tap, blocks, error)) return false;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const TapeBlock& b = blocks[i];
        TrDosFileData file;
        std::string problem;
        const bool header = b.flag == kTapeHeaderFlag && b.bytes.size() == kTapeHeaderSize;
        if (header) {
            if (i + 1 >= blocks.size() || blocks[i + 1].flag == kTapeHeaderFlag) {
                error = BlockText(i) + ": a header without its data";
                return false;
            }
            if (!TrDosFileOfTape(ParseHeader(b.bytes), blocks[i + 1].bytes, file, problem)) {
                error = BlockText(i) + ": " + problem;
                return false;
            }
            ++i;
        } else {
            PlainFileFields fields;
            fields.name = TrDosNameFromArgument("block" + std::to_string(i + 1));
            if (!MakeTrDosFile(fields, b.bytes, file, problem)) {
                error = BlockText(i) + ": " + problem;
                return false;
            }
        }
        out.push_back(std::move(file));
    }
    return true;
}

}  // namespace morvane
