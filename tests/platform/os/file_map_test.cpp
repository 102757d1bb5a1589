// Reads through a shared view of a file (OsFileMap, OsFile::ReadMapped)
// while another descriptor writes, appends and cuts the file: every read
// gives what a read of the file gives at that moment, a cut file gives short
// reads instead of SIGBUS, and a fault outside a guarded copy still ends the
// program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "platform/os/os_error.h"
#include "platform/os/os_file.h"
#include "platform/os/os_file_map.h"
#include "tests/support/scratch_folder.h"

namespace vx {
namespace {

using test::ScratchFolder;
using test::WriteWholeFile;

constexpr std::size_t kPage = 4096;

// Three pages and a bit of letters (no zero byte).
std::string Letters(std::size_t size, char first = 'a') {
  std::string text(size, ' ');
  for (std::size_t i = 0; i < size; ++i) text[i] = char(first + i % 26);
  return text;
}

// A second descriptor of the file, as another program has.
struct OtherProgram {
  int fd;
  explicit OtherProgram(const std::string& path) : fd(::open(path.c_str(), O_RDWR)) {}
  OtherProgram(OtherProgram&& o) noexcept : fd(std::exchange(o.fd, -1)) {}
  OtherProgram& operator=(OtherProgram&&) = delete;
  ~OtherProgram() {
    if (fd >= 0) ::close(fd);
  }
  void Write(std::size_t at, const std::string& text) const {
    ASSERT_EQ(::pwrite(fd, text.data(), text.size(), off_t(at)), ssize_t(text.size()));
  }
  void Cut(std::size_t size) const { ASSERT_EQ(::ftruncate(fd, off_t(size)), 0); }
};

// Three pages and a bit of letters in a scratch folder, and another
// program's descriptor of the file.
struct LetterFile {
  ScratchFolder dir;
  std::string path = dir / "f";
  std::string text = Letters(3 * kPage + 100);
  OtherProgram other = (WriteWholeFile(path, text), OtherProgram(path));
};

TEST(FileMap, TheViewFollowsGrowthAndServesNothingOfACutFile) {
  LetterFile file;
  const std::string& path = file.path;
  std::string& text = file.text;
  const OtherProgram& other = file.other;
  const int fd = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  OsFileMap view;
  char buffer[64];
  EXPECT_FALSE(view.Serve(0, buffer, 10)) << "nothing known yet";
  view.Follow(fd, 10);
  ASSERT_EQ(view.KnownLength(), text.size());
  ASSERT_TRUE(view.Serve(2 * kPage - 5, buffer, 10));  // across a page boundary
  EXPECT_EQ(std::string(buffer, 10), text.substr(2 * kPage - 5, 10));
  other.Write(100, "CHANGED");
  ASSERT_TRUE(view.Serve(100, buffer, 7));
  EXPECT_EQ(std::string(buffer, 7), "CHANGED");

  // Growth: not served past the known length until Follow learns it.
  const std::size_t end = text.size();
  text = text.substr(0, 100) + "CHANGED" + text.substr(107) + Letters(2 * kPage, 'A');
  other.Write(end, text.substr(end));
  EXPECT_FALSE(view.Serve(end + 10, buffer, 10));
  view.Follow(fd, end + 20);
  ASSERT_EQ(view.KnownLength(), text.size());
  ASSERT_TRUE(view.Serve(end + kPage, buffer, 20));
  EXPECT_EQ(std::string(buffer, 20), text.substr(end + kPage, 20));

  // Bytes whose last one is zero are served where the page after them is
  // in the file, not in the last page known (the caller reads them).
  other.Write(50, std::string(1, '\0'));
  ASSERT_TRUE(view.Serve(41, buffer, 10));
  EXPECT_EQ(buffer[9], '\0');
  other.Write(text.size() - 1, std::string(1, '\0'));
  EXPECT_FALSE(view.Serve(text.size() - 10, buffer, 10));
  ASSERT_TRUE(view.Serve(text.size() - 11, buffer, 10));

  // Cut in the middle of the second page: a page wholly past the end faults
  // (caught, not served, and the view forgets the length).
  const std::size_t cut = kPage + 50;
  other.Cut(cut);
  ASSERT_TRUE(view.Serve(cut - 10, buffer, 10));
  EXPECT_EQ(std::string(buffer, 10), text.substr(cut - 10, 10));
  EXPECT_FALSE(view.Serve(2 * kPage + 10, buffer, 10));
  EXPECT_EQ(view.KnownLength(), 0u);
  view.Follow(fd, 1);
  EXPECT_EQ(view.KnownLength(), cut);
  ASSERT_TRUE(view.Serve(cut - 10, buffer, 10));
  EXPECT_FALSE(view.Serve(cut - 5, buffer, 10));
  // The rest of the page the cut went through reads as zeros: not served,
  // the page after it being gone.
  other.Write(cut, std::string(kPage, 'x'));
  view.Follow(fd, cut + kPage);
  ASSERT_EQ(view.KnownLength(), cut + kPage);
  other.Cut(cut);
  EXPECT_FALSE(view.Serve(cut - 5, buffer, 10));
  EXPECT_EQ(view.KnownLength(), 0u);
  ::close(fd);
}

TEST(FileMap, MappedReadsGiveWhatReadGivesWhateverAnotherProgramDoes) {
  LetterFile file;
  const std::string& path = file.path;
  const std::string& text = file.text;
  const OtherProgram& other = file.other;
  OsFile f;
  ASSERT_TRUE(f.Open(path, OsAccess::Read, OsShare::DenyNone));
  char buffer[64];
  std::size_t got = 0;
  // As Read does, in order: a change, an append, a cut through the last
  // page, a cut of whole pages, the file grown again.
  const auto expect = [&](std::uint64_t at, std::size_t count, const std::string& wanted) {
    SCOPED_TRACE("at " + std::to_string(at));
    got = 99;
    ASSERT_TRUE(f.ReadMapped(at, buffer, count, got));
    EXPECT_EQ(std::string(buffer, got), wanted);
  };
  expect(0, 10, text.substr(0, 10));
  expect(kPage + 3, 30, text.substr(kPage + 3, 30));
  other.Write(kPage + 10, "NEW");
  expect(kPage + 3, 30, text.substr(kPage + 3, 7) + "NEW" + text.substr(kPage + 13, 20));
  other.Write(text.size(), "MORE");
  expect(text.size() - 2, 6, text.substr(text.size() - 2) + "MORE");
  expect(text.size() + 1, 3, "ORE");
  other.Cut(2 * kPage + 30);
  expect(2 * kPage + 20, 20, text.substr(2 * kPage + 20, 10));
  expect(2 * kPage + 40, 20, "");
  other.Cut(kPage / 2);
  expect(2 * kPage + 20, 20, "");
  expect(kPage + 3, 30, "");
  expect(kPage / 2 - 5, 10, text.substr(kPage / 2 - 5, 5));
  other.Write(kPage / 2, text.substr(kPage / 2));
  expect(3 * kPage, 10, text.substr(3 * kPage, 10));

  // A fault hook sees every mapped read, as it sees Read.
  int reads = 0;
  SetOsFaultHook([&](OsOperation op, const std::string&, std::uint64_t, std::size_t& count) -> std::uint32_t {
    if (op != OsOperation::Read) return 0;
    ++reads;
    count = 4;
    return 0;
  });
  expect(0, 10, text.substr(0, 4));
  SetOsFaultHook({});
  EXPECT_EQ(reads, 1);
  f.Close();
  EXPECT_FALSE(f.ReadMapped(0, buffer, 10, got));
  EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
}

TEST(FileMapDeathTest, AFaultOutsideAGuardedCopyStillEndsTheProgram) {
  ScratchFolder dir;
  const std::string path = dir / "f";
  WriteWholeFile(path, Letters(3 * kPage));
  EXPECT_DEATH(
      {
        // The guard's handler is installed by a first guarded copy.
        const int fd = ::open(path.c_str(), O_RDWR);
        OsFileMap view;
        view.Follow(fd, 1);
        char buffer[8];
        if (!view.Serve(0, buffer, sizeof buffer)) ::_exit(0);
        const auto* raw = static_cast<const volatile char*>(::mmap(nullptr, 3 * kPage, PROT_READ, MAP_SHARED, fd, 0));
        if (::ftruncate(fd, 0) != 0) ::_exit(0);
        const char c = raw[2 * kPage];
        ::_exit(c == 0 ? 0 : 1);
      },
      "");
}

}  // namespace
}  // namespace vx
