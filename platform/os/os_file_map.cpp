#include "platform/os/os_file_map.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <utility>

namespace vx {
namespace {

// Where a fault inside a guarded copy of this thread goes; null outside one.
// Initial-exec: the signal handler reads it without any call.
[[gnu::tls_model("initial-exec")]] thread_local sigjmp_buf* tRecovery = nullptr;

struct sigaction gPrevious {};

void OnBusFault(int signal, siginfo_t* info, void* context) {
  if (sigjmp_buf* recovery = tRecovery) {
    tRecovery = nullptr;
    siglongjmp(*recovery, 1);
  }
  // Not a guarded copy: as the handler before ours would have it.
  if ((gPrevious.sa_flags & SA_SIGINFO) != 0 && gPrevious.sa_sigaction) {
    gPrevious.sa_sigaction(signal, info, context);
    return;
  }
  if ((gPrevious.sa_flags & SA_SIGINFO) == 0 && gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN) {
    gPrevious.sa_handler(signal);
    return;
  }
  // The default action: the access runs again on return, faults again and
  // ends the program as it would have without us.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(SIGBUS, &fallback, nullptr);
}

void InstallFaultHandler() {
  static const bool installed = [] {
    struct sigaction action {};
    action.sa_sigaction = OnBusFault;
    // SA_NODEFER: a jump out of the handler leaves SIGBUS unblocked, so no
    // signal mask needs saving at each guarded copy.
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGBUS, &action, &gPrevious) == 0;
  }();
  (void)installed;
}

std::uint64_t PageSize() {
  static const std::uint64_t size = [] {
    const long page = ::sysconf(_SC_PAGESIZE);
    return page > 0 ? std::uint64_t(page) : std::uint64_t(4096);
  }();
  return size;
}

// A margin beyond the file's length, so that appends are mapped anew only
// now and then: an eighth of the file, at least 1 MiB, whole pages.
std::uint64_t WithMargin(std::uint64_t length) {
  const std::uint64_t margin = std::max<std::uint64_t>(length / 8, std::uint64_t(1) << 20);
  const std::uint64_t page = PageSize();
  return (length + margin + page - 1) / page * page;
}

// Copies count (> 0) bytes from a mapping of a file that may have been cut
// short meanwhile and tells whether the last of them is zero; then, when it
// is and `next` is given, reads the byte at `next`. False when a page of
// them lay past the file's end (the fault is caught, never raised to the
// program).
bool GuardedCopy(void* to, const char* from, std::size_t count, const char* next, bool& lastZero) {
  sigjmp_buf recovery;
  if (sigsetjmp(recovery, 0) != 0) return false;
  tRecovery = &recovery;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  std::memcpy(to, from, count);
  // Read from the view, not from the copy: a byte just stored by the copy
  // would wait for the store to complete.
  lastZero = from[count - 1] == 0;
  if (lastZero && next) {
    const char probe = *static_cast<const volatile char*>(next);
    (void)probe;
  }
  std::atomic_signal_fence(std::memory_order_seq_cst);
  tRecovery = nullptr;
  return true;
}

}  // namespace

OsFileMap& OsFileMap::operator=(OsFileMap&& other) noexcept {
  if (this != &other) {
    Unmap();
    base_ = std::exchange(other.base_, nullptr);
    mapped_ = std::exchange(other.mapped_, 0);
    known_ = std::exchange(other.known_, 0);
    pageMask_ = other.pageMask_;
    failed_ = std::exchange(other.failed_, false);
  }
  return *this;
}

bool OsFileMap::Serve(std::uint64_t offset, void* buffer, std::size_t count) {
  if (count == 0 || offset > known_ || count > known_ - offset) return false;
  // A zero last byte may lie past a cut in the page that holds the file's
  // new end: the page after it must still be in the file (a read that would
  // fault if not), unless that is past the known length anyway.
  const std::uint64_t next = ((offset + count - 1) | pageMask_) + 1;
  bool lastZero = false;
  if (!GuardedCopy(buffer, base_ + offset, count, next < known_ ? base_ + next : nullptr, lastZero)) {
    // Cut short since the length was asked: the file is read until Follow
    // learns its length again.
    known_ = 0;
    return false;
  }
  return !lastZero || next < known_;
}

void OsFileMap::Follow(int fd, std::uint64_t size) {
  if (size <= known_ || failed_ || fd < 0) return;
  struct stat st;
  if (::fstat(fd, &st) < 0 || st.st_size <= 0) return;
  const auto length = static_cast<std::uint64_t>(st.st_size);
  if (length > mapped_) {
    const std::uint64_t wanted = WithMargin(length);
    if (wanted > std::uint64_t(SIZE_MAX)) {
      failed_ = true;
      return;
    }
    // Every copy from the view is guarded from the first on.
    InstallFaultHandler();
    void* view = ::mmap(nullptr, static_cast<std::size_t>(wanted), PROT_READ, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
      failed_ = true;
      return;
    }
    Unmap();
    base_ = static_cast<const char*>(view);
    mapped_ = wanted;
    pageMask_ = PageSize() - 1;  // pages are a power of two
  }
  known_ = length;
}

void OsFileMap::Unmap() {
  if (base_) ::munmap(const_cast<char*>(base_), static_cast<std::size_t>(mapped_));
  base_ = nullptr;
  mapped_ = 0;
  known_ = 0;
  failed_ = false;
}

}  // namespace vx
