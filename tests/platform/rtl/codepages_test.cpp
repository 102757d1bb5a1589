// Code-page tables against Python's codecs, conversions, and CP1251 case.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "platform/rtl/codepages.h"
#include "platform/rtl/sysutils.h"

namespace {

// One line per byte b: unicode-of-cp1251(b) unicode-of-cp866(b)
// cp866-of-cp1251(b) cp1251-of-cp866(b) upper(b) lower(b); -1 where the
// codec has no answer. Upper/lower map through str.upper()/str.lower() and
// back, keeping the byte when the result is not one CP1251 character.
constexpr const char* kScript = R"PY(
def enc(ch, cp):
    try:
        e = ch.encode(cp)
        return e[0] if len(e) == 1 else -1
    except UnicodeError:
        return -1
for b in range(256):
    try:
        a = bytes([b]).decode('cp1251')
    except UnicodeError:
        a = None
    o = bytes([b]).decode('cp866')
    up = enc(a.upper(), 'cp1251') if a is not None else -1
    lo = enc(a.lower(), 'cp1251') if a is not None else -1
    print(ord(a) if a is not None else -1, ord(o), enc(a, 'cp866') if a is not None else -1, enc(o, 'cp1251'),
          up if up >= 0 else b, lo if lo >= 0 else b)
)PY";

struct Expected {
  int ansiUnicode, oemUnicode, ansiToOem, oemToAnsi, upper, lower;
};

std::vector<Expected> RunPython() {
  std::vector<Expected> rows;
  const std::string path = std::string(VX_BINARY_DIR) + "/rtl_codepages.py";
  if (FILE* f = std::fopen(path.c_str(), "w")) {
    std::fputs(kScript, f);
    std::fclose(f);
  }
  FILE* p = ::popen(("/usr/bin/python3 " + path).c_str(), "r");
  if (!p) return rows;
  Expected e;
  while (std::fscanf(p, "%d %d %d %d %d %d", &e.ansiUnicode, &e.oemUnicode, &e.ansiToOem, &e.oemToAnsi, &e.upper,
                     &e.lower) == 6)
    rows.push_back(e);
  ::pclose(p);
  return rows;
}

}  // namespace

TEST(CodePages, TablesEqualPythonCodecsForAll256Bytes) {
  const std::vector<Expected> rows = RunPython();
  ASSERT_EQ(rows.size(), 256u) << "/usr/bin/python3 did not answer";
  for (int b = 0; b < 256; ++b) {
    const Expected& e = rows[static_cast<std::size_t>(b)];
    const auto ub = static_cast<unsigned char>(b);
    // Python leaves 0x98 undefined in CP1251; we give it U+0098.
    if (e.ansiUnicode >= 0) EXPECT_EQ(vx::cp1251::kToUnicode[ub], e.ansiUnicode) << "cp1251 byte " << b;
    else EXPECT_EQ(vx::cp1251::kToUnicode[ub], 0x98) << b;
    EXPECT_EQ(static_cast<int>(vx::Cp866ToUnicode(ub)), e.oemUnicode) << "cp866 byte " << b;
    // Where both code pages hold the character the maps must agree with
    // the codecs; elsewhere they give a stand-in of plain ASCII.
    if (e.ansiToOem >= 0) EXPECT_EQ(vx::Cp1251ToCp866(ub), e.ansiToOem) << "ansi->oem " << b;
    else
      EXPECT_TRUE(vx::Cp1251ToCp866(ub) < 0x80 || vx::Cp866ToUnicode(vx::Cp1251ToCp866(ub)) == 0x0413 ||
                  vx::Cp866ToUnicode(vx::Cp1251ToCp866(ub)) == 0x0433)
          << "ansi->oem " << b;
    if (e.oemToAnsi >= 0) EXPECT_EQ(vx::Cp866ToCp1251(ub), e.oemToAnsi) << "oem->ansi " << b;
    else EXPECT_LT(vx::Cp866ToCp1251(ub), 0x80) << "oem->ansi " << b;
    EXPECT_EQ(static_cast<unsigned char>(AnsiUpperChar(static_cast<char>(b))), e.upper) << "upper " << b;
    EXPECT_EQ(static_cast<unsigned char>(AnsiLowerChar(static_cast<char>(b))), e.lower) << "lower " << b;
  }
}

TEST(CodePages, UnicodeConversionsRoundTripAndReplaceWhatIsMissing) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(vx::Utf8ToCp1251(vx::Cp1251ToUtf8(all)), all);
  EXPECT_EQ(vx::Utf16ToCp1251(vx::Cp1251ToUtf16(all)), all);
  EXPECT_EQ(vx::Cp1251ToUtf8("Горячие"_cp), "Горячие");
  EXPECT_EQ(vx::Utf8ToCp1251("€ ✓ 𝄞"), "\x88 ? ?");
  // Malformed UTF-8: truncated, overlong, lone continuation, surrogate.
  EXPECT_EQ(vx::Utf8ToCp1251("a\xD0"), "a?");
  EXPECT_EQ(vx::Utf8ToCp1251("\xC0\xAF"), "?");
  EXPECT_EQ(vx::Utf8ToCp1251("\x80z"), "?z");
  EXPECT_EQ(vx::Utf8ToCp1251("\xED\xA0\x80"), "?");
  EXPECT_EQ(vx::Utf16ToCp1251(u"\xD834\xDD1E\xD834"), "??");
  EXPECT_EQ(vx::Cp866ToCp1251(vx::Cp1251ToCp866("Ёжик в тумане"_cp)), "Ёжик в тумане"_cp.str());
}

TEST(AnsiText, CaseFollowsCodePage1251AndAsciiRoutinesStayAscii) {
  EXPECT_EQ(AnsiUpperCase("ёлка Ґанок abc"_cp), "ЁЛКА ҐАНОК ABC"_cp.str());
  EXPECT_EQ(AnsiLowerCase("ЁЛКА ЇЖАК XYZ"_cp), "ёлка їжак xyz"_cp.str());
  EXPECT_EQ(UpperCase("abc ёж"_cp), "ABC ёж"_cp.str());
  EXPECT_EQ(LowerCase("ABC ЁЖ"_cp), "abc ЁЖ"_cp.str());
  EXPECT_TRUE(AnsiSameText("Привет"_cp, "пРИВЕТ"_cp));
  EXPECT_FALSE(SameText("Привет"_cp, "пРИВЕТ"_cp));
  EXPECT_TRUE(SameText("Hello", "hELLO"));
}

TEST(AnsiText, DictionaryOrder) {
  // Each list is in ascending order under AnsiCompareText.
  const std::vector<AnsiString> ordered = {
      ""_cp, "!"_cp, "1"_cp, "9"_cp, "a"_cp, "B"_cp, "z"_cp, "а"_cp, "Б"_cp, "е"_cp, "ё"_cp, "Ж"_cp, "я"_cp,
  };
  for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
    EXPECT_LT(AnsiCompareText(ordered[i], ordered[i + 1]), 0) << i;
    EXPECT_GT(AnsiCompareText(ordered[i + 1], ordered[i]), 0) << i;
  }
  EXPECT_EQ(AnsiCompareText("Ёлка"_cp, "ёЛКА"_cp), 0);
  // Lower case first when only case differs; case counts after the letters.
  EXPECT_LT(AnsiCompareStr("a", "A"), 0);
  EXPECT_LT(AnsiCompareStr("Ab", "ac"), 0);
  EXPECT_NE(AnsiCompareStr("ёж"_cp, "Ёж"_cp), 0);
  // Hyphens and apostrophes count only when the rest is equal.
  EXPECT_LT(AnsiCompareText("co-op", "cop"), 0);
  EXPECT_GT(AnsiCompareText("co-op", "coop"), 0);
  EXPECT_LT(AnsiCompareText("coop", "co-op"), 0);
  // Plain byte order for the ASCII routines.
  EXPECT_LT(CompareStr("B", "a"), 0);
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
}

TEST(AnsiText, TrimQuoteReplace) {
  EXPECT_EQ(Trim("\t\r\n x y \x01"), "x y");
  EXPECT_EQ(TrimLeft("  x  "), "x  ");
  EXPECT_EQ(TrimRight("  x  "), "  x");
  EXPECT_EQ(Trim(AnsiString("\0a\0", 3)), "a");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // a no-break space is not a blank
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(StringReplace("aXbxc", "x", "--", {rfReplaceAll, rfIgnoreCase}), "a--b--c");
  EXPECT_EQ(StringReplace("aXbxc", "x", "--", {rfReplaceAll}), "aXb--c");
  EXPECT_EQ(StringReplace("axbxc", "x", "", {}), "abxc");
  EXPECT_EQ(StringReplace("ЯяЯ"_cp, "я"_cp, "-", {rfReplaceAll, rfIgnoreCase}), "---");
  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abc", 5, 1), "");
  EXPECT_EQ(Copy("abc", 0, 2), "ab");
  EXPECT_EQ(Pos("cd", "abcd"), 3);
  EXPECT_EQ(Pos("x", "abcd"), 0);
}

// The comparisons feed std::sort and binary searches: they must be a
// strict weak order (antisymmetric, transitive, equal only when the texts
// say so) for every kind of text, not just the sample above.
TEST(AnsiText, ComparisonsAreConsistentOrders) {
  std::mt19937 rng(7);
  const char alphabet[] = {'a', 'A', 'z', '-', '\'', '1', ' ', '\xE5', '\xC5', '\xB8', '\xA8', '\xAD', '!', '\x98'};
  std::vector<AnsiString> texts;
  for (int i = 0; i < 300; ++i) {
    AnsiString s;
    const int len = static_cast<int>(rng() % 5);
    for (int k = 0; k < len; ++k) s.push_back(alphabet[rng() % sizeof alphabet]);
    texts.push_back(s);
  }
  for (auto compare : {&AnsiCompareStr, &AnsiCompareText}) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
      for (std::size_t j = 0; j < texts.size(); ++j) {
        const int ab = compare(texts[i], texts[j]);
        ASSERT_EQ(ab, -compare(texts[j], texts[i])) << texts[i] << " / " << texts[j];
        if (compare == &AnsiCompareStr) {
          ASSERT_EQ(ab == 0, texts[i] == texts[j]);
        } else {
          ASSERT_EQ(ab == 0, AnsiUpperCase(texts[i]) == AnsiUpperCase(texts[j]));
        }
      }
    }
    // Sorting and then checking every neighbour pair and a sample of
    // triples catches intransitive results.
    std::vector<AnsiString> sorted = texts;
    std::sort(sorted.begin(), sorted.end(),
              [&](const AnsiString& a, const AnsiString& b) { return compare(a, b) < 0; });
    for (std::size_t i = 0; i + 1 < sorted.size(); ++i) ASSERT_LE(compare(sorted[i], sorted[i + 1]), 0);
    for (int t = 0; t < 20000; ++t) {
      const AnsiString& a = texts[rng() % texts.size()];
      const AnsiString& b = texts[rng() % texts.size()];
      const AnsiString& c = texts[rng() % texts.size()];
      if (compare(a, b) < 0 && compare(b, c) < 0) { ASSERT_LT(compare(a, c), 0) << a << " " << b << " " << c; }
    }
  }
}
