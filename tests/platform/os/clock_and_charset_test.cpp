// The replaceable clock behind GetTickCount, the performance counter and
// Sleep; ANSI/OEM conversion and case mapping of CP1251 text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/os/oem_charset.h"
#include "platform/os/os_clock.h"
#include "platform/rtl/cp1251.h"

namespace vx {
namespace {

class ScriptedClock final : public OsClock {
 public:
  std::uint64_t Milliseconds() override { return now; }
  std::uint64_t Counter() override { return now * 10; }
  std::uint64_t CounterFrequency() override { return 10000; }
  void Sleep(std::uint32_t ms) override {
    now += ms;
    ++sleeps;
  }
  std::uint64_t now = 0;
  int sleeps = 0;
};

TEST(Clock, AnInstalledClockAnswersEveryCall) {
  ScriptedClock scripted;
  scripted.now = (1ull << 32) + 5;  // the tick count keeps the low 32 bits
  OsClock* previous = SetOsClock(&scripted);
  EXPECT_EQ(previous, &SystemClock());
  EXPECT_EQ(GetTickCount(), 5u);
  Sleep(50);
  Sleep(50);
  EXPECT_EQ(GetTickCount(), 105u);
  EXPECT_EQ(scripted.sleeps, 2);
  std::int64_t count = 0, frequency = 0;
  ASSERT_TRUE(QueryPerformanceCounter(&count));
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(count, static_cast<std::int64_t>(scripted.now * 10));
  EXPECT_EQ(frequency, 10000);
  EXPECT_EQ(CurrentOsClock().CoarseMilliseconds(), scripted.now);  // a clock without a coarse one of its own
  EXPECT_EQ(SetOsClock(nullptr), &scripted);
  EXPECT_EQ(&CurrentOsClock(), &SystemClock());
}

TEST(Clock, TheSystemCounterRises) {
  std::int64_t first = 0, second = 0, frequency = 0;
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_GT(frequency, 0);
  ASSERT_TRUE(QueryPerformanceCounter(&first));
  Sleep(0);
  ASSERT_TRUE(QueryPerformanceCounter(&second));
  EXPECT_GE(second, first);
  EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

TEST(Clock, TheCoarseMillisecondsFollowTheFineOnes) {
  OsClock& clock = SystemClock();
  const std::uint64_t start = clock.Milliseconds();
  const std::uint64_t coarse = clock.CoarseMilliseconds();
  // Behind by a timer tick at most (well under a second), never ahead.
  EXPECT_LE(coarse, clock.Milliseconds());
  EXPECT_GE(coarse + 1000, start);
  Sleep(30);
  EXPECT_GE(clock.CoarseMilliseconds(), coarse);
  EXPECT_GE(clock.CoarseMilliseconds() + 1000, start + 30);
}

TEST(Charset, AnsiAndOemConvertBothWaysInPlace) {
  const std::string ansi = "Ёлка, ПРИВЕТ мир! 123"_cp;
  // CP866: А=0x80, П=0x8F, Р=0x90, а=0xA0, р=0xE0, Ё=0xF0, ё=0xF1.
  std::string oem(ansi.size(), '\0');
  ASSERT_TRUE(CharToOemBuff(ansi.data(), oem.data(), static_cast<std::uint32_t>(ansi.size())));
  EXPECT_EQ(static_cast<unsigned char>(oem[0]), 0xF0);
  EXPECT_EQ(static_cast<unsigned char>(oem[6]), 0x8F);
  EXPECT_EQ(oem.substr(17), " 123");
  std::string back = oem;
  ASSERT_TRUE(OemToCharBuff(back.data(), back.data(), static_cast<std::uint32_t>(back.size())));
  EXPECT_EQ(back, ansi);

  char zeroTerminated[32];
  ASSERT_TRUE(CharToOem(ansi.c_str(), zeroTerminated));
  EXPECT_EQ(std::string(zeroTerminated), oem);
  ASSERT_TRUE(OemToChar(zeroTerminated, zeroTerminated));
  EXPECT_EQ(std::string(zeroTerminated), ansi);
  EXPECT_TRUE(CharToOemBuff(nullptr, nullptr, 0));
}

TEST(Charset, EveryCyrillicLetterSurvivesTheRoundTrip) {
  for (int b = 0xC0; b <= 0xFF; ++b) {
    const char c = static_cast<char>(b);
    char oem = 0, ansi = 0;
    CharToOemBuff(&c, &oem, 1);
    OemToCharBuff(&oem, &ansi, 1);
    EXPECT_EQ(ansi, c) << b;
  }
}

TEST(Charset, CaseMappingFollowsTheCodePage) {
  std::string text = "abc Ёё Яя юЮ xyz 1"_cp;
  EXPECT_EQ(CharUpperBuff(text.data(), 7), 7u);  // only the first 7 bytes
  EXPECT_EQ(text, "ABC ЁЁ Яя юЮ xyz 1"_cp.str());
  char buffer[64];
  std::strcpy(buffer, text.c_str());
  EXPECT_EQ(std::string(CharUpper(buffer)), "ABC ЁЁ ЯЯ ЮЮ XYZ 1"_cp.str());
  EXPECT_EQ(std::string(CharLower(buffer)), "abc ёё яя юю xyz 1"_cp.str());
  CharUpperBuff(buffer, 3);
  CharLowerBuff(buffer + 1, 1);
  EXPECT_EQ(std::string(buffer, 3), "AbC");
}

}  // namespace
}  // namespace vx
