// The RTF reader on hostile 10 MB inputs: unclosed braces, deep nesting,
// one long run of text, binary data, huge font tables. Each is read within
// a bounded amount of memory. Before the group depth was capped, every
// unclosed '{' kept about 100 bytes (10 MB of them took 1 GB).
// The bytes are counted by the allocation meter, so this is a program of
// its own. The time each case takes is printed, not asserted: a reader that
// went quadratic on 10 MB would run into the test's time-out, while a bound
// in seconds failed on a loaded machine with nothing wrong.
#include <gtest/gtest.h>
#include <time.h>

#include <string>

#include "platform/gui/richtext/rtf_reader.h"
#include "tests/support/allocation_meter.h"

namespace {

constexpr std::size_t kInput = 10u << 20;
constexpr long long kMemoryLimit = 64ll << 20;

// `unit` repeated to 10 MB after the document's opening.
std::string Repeated(const std::string& head, const std::string& unit, const std::string& tail = "") {
  std::string s = head;
  s.reserve(kInput + tail.size());
  while (s.size() + unit.size() + tail.size() <= kInput) s += unit;
  return s + tail;
}

// The processor time of the calling thread: the reader's own work, which
// other programs running on the machine do not stretch.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// A font table of as many numbered fonts as fit in 10 MB.
std::string ManyFonts() {
  std::string s = "{\\rtf1{\\fonttbl";
  for (int n = 0; s.size() < kInput - 64; ++n) s += "{\\f" + std::to_string(n) + " Font " + std::to_string(n) + ";}";
  return s + "}\\f7 x}";
}

TEST(RtfLimits, TenMegabyteInputsStayWithinMemory) {
  const std::string half(kInput / 2, '{');
  struct Case {
    const char* what;
    std::string rtf;
    std::size_t paragraphs;  // of the document read
  };
  const Case cases[] = {
      {"unclosed braces", Repeated("{\\rtf1 ", "{"), 1},
      {"unclosed formatted groups", Repeated("{\\rtf1 ", "{\\b\\i x"), 1},
      {"deep nesting, closed", "{\\rtf1 " + half.substr(7) + "deep" + std::string(kInput / 2 - 16, '}'), 1},
      {"unknown destinations nested", Repeated("{\\rtf1 ", "{\\*\\x "), 1},
      {"one long run of text", Repeated("{\\rtf1 ", "abcdefgh"), 1},
      {"long runs of one control word", Repeated("{\\rtf1 \\", "b", " x}"), 1},
      {"\\bin with its data", "{\\rtf1 \\bin10485000 " + std::string(kInput - 40, '{') + "}", 1},
      {"\\bin over and over", Repeated("{\\rtf1 ", "\\bin3 {{{"), 1},
      {"font table of many fonts", ManyFonts(), 1},
      {"one long font name", Repeated("{\\rtf1{\\fonttbl{\\f0 ", "N", ";}}\\f0 x}"), 1},
  };
  for (const Case& c : cases) {
    ASSERT_LE(c.rtf.size(), kInput) << c.what;
    const long long before = vx::test::AllocatedBytes();
    vx::test::ResetPeak();
    const double start = ThreadSeconds();
    const vx::RichDocument doc = vx::ReadRtf(c.rtf);
    const double seconds = ThreadSeconds() - start;
    const long long used = vx::test::PeakAllocatedBytes() - before;
    EXPECT_LT(used, kMemoryLimit) << c.what;
    EXPECT_EQ(doc.Paragraphs.size(), c.paragraphs) << c.what;
    std::printf("%-32s %6.1f MB peak %5.2f s\n", c.what, static_cast<double>(used) / (1 << 20), seconds);
  }
}

// What is read beyond the depth limit still counts, and the groups below
// it end as they should.
TEST(RtfLimits, GroupsBeyondTheDepthLimitAreReadAsTheirEnclosingGroup) {
  const int depth = 5000;
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < depth; ++i) rtf += "{\\b ";
  rtf += "x";
  rtf += std::string(depth, '}');
  rtf += "y}";
  const vx::RichDocument doc = vx::ReadRtf(rtf);
  ASSERT_EQ(doc.Paragraphs.size(), 1u);
  const auto& runs = doc.Paragraphs[0].Runs;
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].Text, u"x");
  EXPECT_EQ(runs[0].Format.Style, TFontStyles{fsBold});
  EXPECT_EQ(runs[1].Text, u"y");
  EXPECT_EQ(runs[1].Format.Style, TFontStyles{});
}

}  // namespace
