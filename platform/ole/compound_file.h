// Compound documents (structured storage), the container of .xls files:
// a file of equal sectors holding streams that are chained through a
// sector allocation table (FAT).
//
// Header, sector -1 (512 bytes; all numbers little-endian):
//   0   8  signature D0 CF 11 E0 A1 B1 1A E1
//   24  2  minor version 0x003E        26  2  major version 3 (512-byte
//   28  2  byte order FFFE                     sectors) or 4 (4096)
//   30  2  sector shift (9 or 12)      32  2  mini sector shift 6
//   40  4  directory sectors (v4 only) 44  4  FAT sectors
//   48  4  first directory sector      52  4  transaction signature 0
//   56  4  mini stream cut-off 4096    60  4  first mini FAT sector
//   64  4  mini FAT sectors            68  4  first DIFAT sector
//   72  4  DIFAT sectors               76  436 first 109 FAT sector numbers
// Sector n starts at (n + 1) * sector size. FAT entries: the next sector of
// a chain, 0xFFFFFFFE end of chain, 0xFFFFFFFF free, 0xFFFFFFFD a FAT
// sector, 0xFFFFFFFC a DIFAT sector. A DIFAT sector holds 127 more FAT
// sector numbers and the number of the next DIFAT sector.
// Directory entries (128 bytes): 0 name (UTF-16, 64 bytes with its zero),
// 64 name length in bytes with the zero, 66 type (1 storage, 2 stream,
// 5 root), 67 colour, 68/72/76 left, right sibling and child (0xFFFFFFFF
// none), 80 class id, 96 state, 100/108 times, 116 first sector, 120 size
// (8 bytes; version 3 readers use the low 4). Streams shorter than the
// cut-off live in the mini stream (the root entry's chain) in 64-byte
// sectors chained by the mini FAT.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// A version 3 compound document holding one stream at the root. The
// stream must be at least 4096 bytes long (so it lives outside the mini
// stream). The document is built in the stream's own storage: a stream
// with spare capacity of a 64th of its size plus 4096 bytes is not copied
// to a new one.
std::string WriteCompoundFile(std::u16string_view streamName, std::string stream);

// The bytes of the root-level stream of that name (compared without regard
// to ASCII case). false when the file is a compound document without such a
// stream. A file that is not a compound document, or one whose tables
// point outside the file, loop or disagree, raises EOleException with the
// reason.
bool ReadCompoundStream(std::string_view file, std::u16string_view streamName, std::string& stream);
// The same without copying: `stream` is a part of `file` when the stream's
// sectors follow each other there, else of `storage`.
bool FindCompoundStream(std::string_view file, std::u16string_view streamName, std::string& storage,
                        std::string_view& stream);

// Whether the bytes begin with the compound document signature.
bool IsCompoundFile(std::string_view file);

}  // namespace vx
