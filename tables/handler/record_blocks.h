// Blocks of a table's records held in memory, so that a walk reads the file
// a block at a time instead of a record at a time.
//
// A block covers whole records: block k holds records k*R + 1 .. (k+1)*R,
// where R records fill the block size (32768 bytes rounded down to whole
// records, at least one record). A few blocks are held; the least recently
// used one gives way. What the file held when a block was read is what the
// block serves until its owner drops it (see XBO_dBHandler for when, and
// for the one batch a shared table holds); bytes the owner writes are
// copied into the blocks that hold them.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

class XBRecordBlocks {
 public:
  static constexpr int kBlockSize = 32768;
  static constexpr int kBlocks = 4;

  // Reads count bytes at offset into buffer; the number of bytes read.
  using FileRead = std::function<int(std::int64_t offset, void* buffer, int count)>;

  // Records start at `first` (the header length) and are `recordLength`
  // bytes long; drops every block.
  void SetLayout(std::int64_t first, int recordLength);
  int BlockBytes() const { return FBlockBytes; }

  // Copies count bytes at offset from a held block; false when no block
  // holds all of them.
  bool Serve(std::int64_t offset, void* buffer, int count);
  // Reads the block that holds offset and keeps it; false when the bytes do
  // not lie in one block.
  bool Load(std::int64_t offset, int count, const FileRead& read);
  // Bytes written to the file at offset: held copies take them; a block
  // that holds only part of them goes.
  void Written(std::int64_t offset, const void* buffer, int count);
  void Drop();
  bool Empty() const;

 private:
  struct Block {
    std::int64_t start = -1;  // -1: free
    std::int64_t end = -1;    // end of the bytes read
    std::uint64_t used = 0;
    std::vector<char> bytes;
  };
  std::int64_t FFirst = 0;
  int FBlockBytes = 0;
  std::uint64_t FClock = 0;
  Block FBlock[kBlocks];
};
