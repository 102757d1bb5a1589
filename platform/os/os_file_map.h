// OsFileMap: a read-only view of an open file that other programs write at
// the same time, for reads that must see the file as it is now without a
// system call each.
//
// The view is a shared mapping (MAP_SHARED) of the file: it reads the same
// cached pages as every pread, and every other program's write lands in
// them, so a byte copied from the view is exactly as fresh as one read with
// pread at that moment. Writes never go through the view.
//
// The view knows how long the file was when it last asked, and serves only
// bytes below that length. Another program may cut the file shorter at any
// time:
//  - a page of the view that now lies wholly past the end raises SIGBUS when
//    touched. Serve copies under a guard that catches it (a handler
//    installed once for the process, which passes faults outside a guarded
//    copy on to the handler that was there before it, or to the default
//    action) and answers "not served"; the view then forgets the file's
//    length until Follow learns it again;
//  - the part of the last page past the new end reads as zeros. A copy
//    whose last byte is zero is therefore served only when the page after
//    it is still in the file (a read of it would fault otherwise, caught as
//    above); in the last page the view knows it is answered "not served",
//    and whatever the caller reads instead (pread) gives the short count a
//    cut file gives.
// Growth is followed by Follow: a read outside the view that found the file
// longer tells the view, which asks the file's length once and maps a
// margin beyond it, so that a file another program appends to is mapped
// anew only now and then.
//
// An OsFileMap belongs to one open descriptor (OsFile holds one for its
// ReadMapped) and to one thread at a time. Failures to map leave it empty
// (nothing served) until Unmap; nothing throws. A SIGBUS handler installed
// after the guard's must pass faults on to it, as the guard's does.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vx {

class OsFileMap {
 public:
  OsFileMap() = default;
  ~OsFileMap() { Unmap(); }
  OsFileMap(const OsFileMap&) = delete;
  OsFileMap& operator=(const OsFileMap&) = delete;
  OsFileMap(OsFileMap&& other) noexcept { *this = static_cast<OsFileMap&&>(other); }
  OsFileMap& operator=(OsFileMap&& other) noexcept;

  // Copies count bytes at offset into buffer when they lie below the length
  // the view knows, the copy raised no fault and they cannot be a cut
  // file's zeros (see above); false otherwise (nothing served: the buffer's contents are
  // then unspecified, and the caller reads the file).
  bool Serve(std::uint64_t offset, void* buffer, std::size_t count);
  // The file of descriptor fd holds at least `size` bytes: when that is more
  // than the view knows, asks the file's length and widens the view over it.
  void Follow(int fd, std::uint64_t size);
  // Releases the mapping; the view knows no length.
  void Unmap();

  // The length the view serves below (0 when empty).
  std::uint64_t KnownLength() const { return known_; }

 private:
  const char* base_ = nullptr;
  std::uint64_t mapped_ = 0;  // bytes mapped from offset 0
  std::uint64_t known_ = 0;   // the file's length when last asked (at most mapped_)
  std::uint64_t pageMask_ = 0;
  bool failed_ = false;  // mapping failed: no further attempt until Unmap
};

}  // namespace vx
