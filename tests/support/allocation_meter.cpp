#include "tests/support/allocation_meter.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long long> inUse{0}, peak{0};
std::atomic<std::size_t> limit{0}, heldLimit{0};
constexpr std::size_t kHeader = 16;  // holds the block's size and keeps malloc's alignment

void* Allocate(std::size_t size) {
  if (const std::size_t most = limit.load(); most && size > most) {
    std::fprintf(stderr, "allocation of %zu bytes is above the limit of %zu bytes\n", size, most);
    std::abort();
  }
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (!block) return nullptr;
  *reinterpret_cast<std::size_t*>(block) = size;
  const long long now = inUse += static_cast<long long>(size);
  if (const std::size_t most = heldLimit.load(); most && static_cast<std::size_t>(now) > most) {
    std::fprintf(stderr, "%lld bytes held, above the limit of %zu bytes\n", now, most);
    std::abort();
  }
  long long high = peak.load();
  while (now > high && !peak.compare_exchange_weak(high, now)) {}
  return block + kHeader;
}

void Release(void* p) {
  if (!p) return;
  auto* block = static_cast<unsigned char*>(p) - kHeader;
  inUse -= static_cast<long long>(*reinterpret_cast<std::size_t*>(block));
  std::free(block);
}

}  // namespace

namespace vx::test {

long long AllocatedBytes() { return inUse.load(); }
long long PeakAllocatedBytes() { return peak.load(); }
void ResetPeak() { peak = inUse.load(); }
void SetAllocationLimit(std::size_t bytes) { limit = bytes; }
void SetHeldLimit(std::size_t bytes) { heldLimit = bytes; }

}  // namespace vx::test

void* operator new(std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
