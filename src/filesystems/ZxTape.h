// The .tap tape file of ZX Spectrum emulators: blocks of a 2-byte length (LE), a flag byte
// (0x00 header, 0xFF data), the bytes and an XOR checksum of flag and bytes. A file on tape
// is a 17-byte header block and a data block:
//   0  1  type: 0 program, 1 number array, 2 character array, 3 code
//   1  10 name, space padded       11 2  data length
//   13 2  parameter 1: autostart line (32768 and above: none), array name, load address
//   15 2  parameter 2: program length without variables (program), 32768 (code)
// Here TR-DOS files become tape files and back: B is a program, C code, D an array; every
// other type goes to tape as code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "filesystems/TrDosAdding.h"
#include "filesystems/TrDosCatalogue.h"
#include "model/Bytes.h"

namespace morvane {

inline constexpr std::uint8_t kTapeHeaderFlag = 0x00;
inline constexpr std::uint8_t kTapeDataFlag = 0xFF;
inline constexpr std::size_t kTapeHeaderSize = 17;
inline constexpr std::size_t kTapeNameSize = 10;
inline constexpr std::uint8_t kTapeProgram = 0;
inline constexpr std::uint8_t kTapeNumberArray = 1;
inline constexpr std::uint8_t kTapeCharArray = 2;
inline constexpr std::uint8_t kTapeCode = 3;
inline constexpr std::uint16_t kTapeCodeParam2 = 32768;

struct TapeBlock {
    std::uint8_t flag = 0;
    Bytes bytes;  // without flag and checksum
};

// The blocks of a .tap file. False with error set for a block cut short, one without its
// flag byte or one whose checksum does not match.
bool ParseTap(std::span<const std::uint8_t> tap, std::vector<TapeBlock>& out, std::string& error);
// One block as it is stored: length, flag, bytes, checksum.
void AppendTapBlock(Bytes& tap, std::uint8_t flag, std::span<const std::uint8_t> bytes);

struct TapeFile {
    std::uint8_t type = kTapeCode;
    std::array<std::uint8_t, kTapeNameSize> name{};
    std::uint16_t param1 = 0;
    std::uint16_t param2 = kTapeCodeParam2;
    Bytes data;
};
// Header block and data block of the file.
void AppendTapeFile(Bytes& tap, const TapeFile& file);

// The tape file of a TR-DOS file (sectors: its sectors as read): the name padded to 10
// characters; a BASIC file keeps its autostart line (none without the 0x80 0xAA mark)
// and its program length; an array (D) its parameter, a character array when bit 6 of the
// name byte (the parameter's high byte) is set.
TapeFile TapeFileOfTrDos(const TrDosEntry& entry, std::span<const std::uint8_t> sectors);

// Whether a PC file name ends in .tap (any letter case).
bool IsTapFileName(std::string_view path);

// The TR-DOS files of a .tap file, in tape order: each header with the data block after
// it; a data block without a header becomes a code file "blockN" (N its block number from
// 1) loaded at 0. A name keeps its first 8 characters. False with error set for a damaged
// tape, a header without its data, an unknown header type or data too long for TR-DOS.
bool TrDosFilesOfTap(std::span<const std::uint8_t> tap, std::vector<TrDosFileData>& out,
                     std::string& error);

}  // namespace morvane
