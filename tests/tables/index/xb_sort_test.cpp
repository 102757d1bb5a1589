// TxbSort against std::stable_sort on the decoded values, for every key type,
// in ascending, descending and unique order, with enough keys to spill into
// several runs; plus its limits and misuse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "tables/base/xb_errors.h"
#include "tables/index/xb_sort.h"

namespace {

// A decoded key: text and raw as bytes, numbers, day numbers.
using Value = std::variant<std::string, double, std::int32_t>;

struct Item {
  Value value;
  std::uint32_t record;
};

enum class Kind { Text, Number, Date, Raw };

// Builds a random key of a kind; `expected` is what the sorter should give back.
TxbVariant MakeKey(Kind kind, std::mt19937& rng, int keyLength, Value& expected) {
  TxbVariant key;
  switch (kind) {
    case Kind::Text: {
      static const char alphabet[] = {' ', ' ', 'a', 'b', 'B', '\x01', '\x1F', '\xE0', '\xFF', '0'};
      std::string s(rng() % (keyLength + 4), ' ');  // may be longer than the key
      for (char& c : s) c = alphabet[rng() % sizeof alphabet];
      if (rng() % 3 == 0) s += "   ";
      key.PutString(s);
      std::string trimmed = s.substr(0, std::min<std::size_t>(s.size(), static_cast<std::size_t>(keyLength)));
      while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
      expected = trimmed;
      break;
    }
    case Kind::Number: {
      static const double specials[] = {0.0,
                                        -0.0,
                                        1.0,
                                        -1.0,
                                        2.0,
                                        std::nextafter(2.0, 3.0),
                                        -2.0,
                                        -3.0,
                                        -2.25,
                                        0.5,
                                        -0.5,
                                        1e300,
                                        -1e300,
                                        std::numeric_limits<double>::max(),
                                        std::numeric_limits<double>::lowest(),
                                        std::numeric_limits<double>::denorm_min(),
                                        -std::numeric_limits<double>::denorm_min(),
                                        std::numeric_limits<double>::infinity(),
                                        -std::numeric_limits<double>::infinity(),
                                        2001.005,
                                        65536.0,
                                        -65536.0};
      double d = 0;
      switch (rng() % 4) {
        case 0: d = specials[rng() % std::size(specials)]; break;
        case 1: d = static_cast<double>(static_cast<int>(rng() % 21) - 10); break;
        case 2: d = (static_cast<int>(rng() % 2001) - 1000) / 8.0; break;
        default: d = std::ldexp(static_cast<double>(rng()) - 2147483648.0, static_cast<int>(rng() % 200) - 100); break;
      }
      key.PutNumber(d);
      expected = d == 0 ? 0.0 : d;
      break;
    }
    case Kind::Date: {
      static const std::int32_t specials[] = {0,
                                              1,
                                              -1,
                                              2444240,
                                              2451545,
                                              std::numeric_limits<std::int32_t>::max(),
                                              std::numeric_limits<std::int32_t>::min()};
      const std::int32_t day =
          rng() % 3 == 0 ? specials[rng() % std::size(specials)] : static_cast<std::int32_t>(2415000 + rng() % 80000);
      key.PutDate(day);
      expected = day;
      break;
    }
    case Kind::Raw: {
      std::string s(rng() % (keyLength + 3), '\0');
      for (char& c : s) c = static_cast<char>(rng() % 4 == 0 ? 0 : rng() % 256);
      key.PutRaw(s.data(), static_cast<int>(s.size()));
      expected = s.substr(0, std::min<std::size_t>(s.size(), static_cast<std::size_t>(keyLength)));
      break;
    }
  }
  return key;
}

Value Decode(Kind kind, const TxbVariant& key) {
  switch (kind) {
    case Kind::Number: return key.GetNumber();
    case Kind::Date: return key.GetDate();
    default: return std::string(reinterpret_cast<const char*>(key.Data()), static_cast<std::size_t>(key.Length()));
  }
}

// Text compares as unsigned bytes (char_traits<char> does so).
bool Less(const Value& a, const Value& b) {
  if (a.index() == 1) return std::get<double>(a) < std::get<double>(b);
  if (a.index() == 2) return std::get<std::int32_t>(a) < std::get<std::int32_t>(b);
  return std::get<std::string>(a) < std::get<std::string>(b);
}

bool Equal(const Value& a, const Value& b) { return !Less(a, b) && !Less(b, a); }

void CheckAgainstReference(Kind kind, int count, int keyLength, bool ascending, bool unique, unsigned seed) {
  SCOPED_TRACE(::testing::Message() << "kind " << int(kind) << " count " << count << " ascending " << ascending
                                    << " unique " << unique << " seed " << seed);
  std::mt19937 rng(seed);
  std::vector<Item> items;
  std::vector<TxbVariant> keys;
  std::vector<std::uint32_t> records;
  // Distinct record numbers over the whole 32-bit range, inserted unordered.
  while (static_cast<int>(records.size()) < count) records.push_back(static_cast<std::uint32_t>(rng()));
  std::sort(records.begin(), records.end());
  records.erase(std::unique(records.begin(), records.end()), records.end());
  std::shuffle(records.begin(), records.end(), rng);

  TxbSort sorter(keyLength, static_cast<int>(records.size()), ascending, unique);
  for (std::uint32_t record : records) {
    Value expected;
    const TxbVariant key = MakeKey(kind, rng, keyLength, expected);
    sorter.InsertItem(key, static_cast<std::int32_t>(record));
    items.push_back({expected, record});
  }

  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.record < b.record; });
  std::stable_sort(items.begin(), items.end(), [ascending](const Item& a, const Item& b) {
    return ascending ? Less(a.value, b.value) : Less(b.value, a.value);
  });
  if (unique)
    items.erase(
        std::unique(items.begin(), items.end(), [](const Item& a, const Item& b) { return Equal(a.value, b.value); }),
        items.end());

  TxbVariant key;
  std::int32_t record = 0;
  std::size_t i = 0;
  while (sorter.GetNextItem(key, record)) {
    ASSERT_LT(i, items.size());
    const Value got = Decode(kind, key);
    ASSERT_TRUE(Equal(got, items[i].value)) << "at " << i;
    ASSERT_EQ(static_cast<std::uint32_t>(record), items[i].record) << "at " << i;
    ++i;
  }
  EXPECT_EQ(i, items.size());
  EXPECT_FALSE(sorter.GetNextItem(key, record));  // stays exhausted
}

TEST(SortProperty, MatchesStableSortOfDecodedValuesInEveryOrder) {
  unsigned seed = 1;
  for (Kind kind : {Kind::Text, Kind::Number, Kind::Date, Kind::Raw})
    for (bool ascending : {true, false})
      for (bool unique : {false, true}) {
        CheckAgainstReference(kind, 3000, 12, ascending, unique, seed++);
        CheckAgainstReference(kind, 40, 3, ascending, unique, seed++);  // short keys, many equal
      }
}

TEST(SortProperty, SpillsIntoSeveralRunsAndMergesThem) {
  // 240-byte keys fill the key area after some 5400 keys.
  CheckAgainstReference(Kind::Text, 20000, 240, true, false, 77);
  CheckAgainstReference(Kind::Raw, 20000, 240, false, true, 78);
  CheckAgainstReference(Kind::Number, 150000, 8, true, true, 79);
}

TEST(SortProperty, MixedTypesKeepTheirTypeAndTheirOrderWithinEachType) {
  std::mt19937 rng(99);
  const Kind kinds[] = {Kind::Text, Kind::Number, Kind::Date, Kind::Raw};
  const std::uint8_t types[] = {TxbVariant::xbvtText, TxbVariant::xbvtNumber, TxbVariant::xbvtDate,
                                TxbVariant::xbvtRaw};
  std::vector<Item> expected[4];
  TxbSort sorter(20, 0, false, false);
  for (std::uint32_t record = 1; record <= 30000; ++record) {
    const int k = static_cast<int>(rng() % 4);
    Value value;
    sorter.InsertItem(MakeKey(kinds[k], rng, 20, value), static_cast<std::int32_t>(record));
    expected[k].push_back({value, record});
  }
  for (auto& items : expected)
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return Less(b.value, a.value); });

  std::size_t seen[4] = {};
  TxbVariant key;
  std::int32_t record = 0;
  while (sorter.GetNextItem(key, record)) {
    const int k = static_cast<int>(std::find(std::begin(types), std::end(types), key.Type()) - std::begin(types));
    ASSERT_LT(k, 4);
    ASSERT_LT(seen[k], expected[k].size());
    const Item& want = expected[k][seen[k]++];
    ASSERT_TRUE(Equal(Decode(kinds[k], key), want.value));
    ASSERT_EQ(static_cast<std::uint32_t>(record), want.record);
  }
  for (int k = 0; k < 4; ++k) EXPECT_EQ(seen[k], expected[k].size());
}

TEST(SortOrder, EqualKeysComeBackInRecordOrderAndUniqueKeepsTheFirst) {
  for (bool unique : {false, true}) {
    TxbSort sorter(10, 0, false, unique);
    TxbVariant key;
    for (std::int32_t record : {9, 3, 7}) {
      key.PutString("same  ");
      sorter.InsertItem(key, record);
    }
    key.PutString("zzz");
    sorter.InsertItem(key, 1);
    key.PutString("same");
    sorter.InsertItem(key, 5);

    std::vector<std::pair<std::string, std::int32_t>> got;
    std::int32_t record = 0;
    while (sorter.GetNextItem(key, record)) got.emplace_back(key.GetString(), record);
    using P = std::vector<std::pair<std::string, std::int32_t>>;
    if (unique) EXPECT_EQ(got, (P{{"zzz", 1}, {"same", 3}}));
    else EXPECT_EQ(got, (P{{"zzz", 1}, {"same", 3}, {"same", 5}, {"same", 7}, {"same", 9}}));
  }
}

TEST(SortOrder, CollatingTableOrdersTextKeys) {
  std::uint8_t table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<std::uint8_t>(std::toupper(i));
  TxbSort sorter(5, 0, true, false);
  sorter.SetCollatingTable(table);
  TxbVariant key;
  std::int32_t record = 1;
  for (const char* s : {"b", "a", "B", "A", "ab", "_"}) {
    key.PutString(s);
    sorter.InsertItem(key, record++);
  }
  std::vector<std::string> got;
  while (sorter.GetNextItem(key, record)) got.push_back(key.GetString());
  // '_' (0x5F) sorts after the upper-cased letters; equal letters by bytes.
  EXPECT_EQ(got, (std::vector<std::string>{"A", "a", "ab", "B", "b", "_"}));
}

TEST(SortLimits, KeyLengthTypesAndRetrieval) {
  EXPECT_NO_THROW(TxbSort(240, 0, true, false));
  try {
    TxbSort tooLong(241, 0, true, false);
    FAIL() << "no exception";
  } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), "Sort key length greater than 240 bytes"); }

  TxbSort sorter(240, 0, true, false);
  TxbVariant key;
  key.PutString(std::string(240, 'k') + "cut");
  sorter.InsertItem(key, 1);
  key.PutBoolean(true);
  try {
    sorter.InsertItem(key, 2);
    FAIL() << "no exception";
  } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), "Variant type cannot be sorted"); }

  std::int32_t record = 0;
  ASSERT_TRUE(sorter.GetNextItem(key, record));
  EXPECT_EQ(key.GetString(), std::string(240, 'k'));
  EXPECT_EQ(record, 1);
  key.PutString("late");
  try {
    sorter.InsertItem(key, 3);
    FAIL() << "no exception";
  } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), "Cannot add sort keys after beginning retrieval"); }
  EXPECT_FALSE(sorter.GetNextItem(key, record));

  TxbSort empty(10, 0, true, true);
  EXPECT_FALSE(empty.GetNextItem(key, record));
}

}  // namespace
