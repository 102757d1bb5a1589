#include "tables/handler/record_blocks.h"

#include <algorithm>
#include <cstring>

void XBRecordBlocks::SetLayout(std::int64_t first, int recordLength) {
  FFirst = first;
  FBlockBytes = recordLength <= 0 ? 0 : std::max(recordLength, kBlockSize - kBlockSize % recordLength);
  Drop();
}

bool XBRecordBlocks::Serve(std::int64_t offset, void* buffer, int count) {
  for (Block& b : FBlock) {
    if (b.start < 0 || offset < b.start || offset + count > b.end) continue;
    std::memcpy(buffer, b.bytes.data() + (offset - b.start), std::size_t(count));
    b.used = ++FClock;
    return true;
  }
  return false;
}

bool XBRecordBlocks::Load(std::int64_t offset, int count, const FileRead& read) {
  if (FBlockBytes <= 0 || offset < FFirst) return false;
  const std::int64_t start = FFirst + (offset - FFirst) / FBlockBytes * FBlockBytes;
  if (offset + count > start + FBlockBytes) return false;
  Block* target = &FBlock[0];
  for (Block& b : FBlock) {
    if (b.start < 0) {
      target = &b;
      break;
    }
    if (b.used < target->used) target = &b;
  }
  if (target->bytes.size() != std::size_t(FBlockBytes)) target->bytes.assign(std::size_t(FBlockBytes), 0);
  target->start = -1;
  const int got = read(start, target->bytes.data(), FBlockBytes);
  if (got <= 0) return false;
  target->start = start;
  target->end = start + got;
  target->used = ++FClock;
  return true;
}

void XBRecordBlocks::Written(std::int64_t offset, const void* buffer, int count) {
  const std::int64_t end = offset + count;
  for (Block& b : FBlock) {
    if (b.start < 0 || end <= b.start || offset >= b.end) continue;
    if (offset >= b.start && end <= b.end) std::memcpy(b.bytes.data() + (offset - b.start), buffer, std::size_t(count));
    else b.start = -1;  // partly inside: the block would mix old and new bytes
  }
}

void XBRecordBlocks::Drop() {
  for (Block& b : FBlock) b.start = -1;
}

bool XBRecordBlocks::Empty() const {
  for (const Block& b : FBlock)
    if (b.start >= 0) return false;
  return true;
}
