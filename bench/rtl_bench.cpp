// Runtime layer hot paths: conversions the engine and grids call per cell,
// sorting of string lists, and INI reads that go to the file each time.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "platform/rtl/classes.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/inifiles.h"

static void BM_Format(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(Format("Line: %3d   Col: %3d %.2f", {i++, 7, 3.14159}));
}
BENCHMARK(BM_Format);

static void BM_StrToInt(benchmark::State& state) {
  const AnsiString s = "  -123456";
  for (auto _ : state) benchmark::DoNotOptimize(StrToInt(s));
}
BENCHMARK(BM_StrToInt);

static void BM_FloatToStr(benchmark::State& state) {
  double v = 0.1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FloatToStr(v));
    v += 1.37;
  }
}
BENCHMARK(BM_FloatToStr);

static void BM_FormatDateTime(benchmark::State& state) {
  const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(9, 7, 3, 45);
  for (auto _ : state) benchmark::DoNotOptimize(FormatDateTime("dd.mm.yyyy hh:nn:ss", t));
}
BENCHMARK(BM_FormatDateTime);

static std::vector<AnsiString> Words(int n) {
  std::mt19937 rng(42);
  std::vector<AnsiString> out;
  for (int i = 0; i < n; ++i) {
    AnsiString w;
    const int len = 4 + static_cast<int>(rng() % 8);
    for (int k = 0; k < len; ++k) w.push_back(static_cast<char>(rng() % 2 ? 'a' + rng() % 26 : 0xC0 + rng() % 64));
    out.push_back(w);
  }
  return out;
}

static void BM_AnsiCompareText(benchmark::State& state) {
  const auto words = Words(1024);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(AnsiCompareText(words[i & 1023], words[(i + 1) & 1023]));
    ++i;
  }
}
BENCHMARK(BM_AnsiCompareText);

static void BM_SortedStringListAdd(benchmark::State& state) {
  const auto words = Words(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    for (const auto& w : words) list.Add(w);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SortedStringListAdd)->Arg(10000);

static void BM_StringListSort(benchmark::State& state) {
  const auto words = Words(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TStringList list;
    for (const auto& w : words) list.Add(w);
    list.Sort();
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StringListSort)->Arg(100000);

static void BM_IniReadString(benchmark::State& state) {
  const std::string path = (std::filesystem::temp_directory_path() / "vx_bench_rtl.ini").string();
  TStringList text;
  text.Add("[General]");
  for (int i = 0; i < 200; ++i) text.Add("Key" + IntToStr(i) + "=" + IntToStr(i * 7));
  text.SaveToFile(path);
  TIniFile ini(path);
  int i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(ini.ReadString("general", "key" + IntToStr(i++ % 200), ""));
  std::filesystem::remove(path);
}
BENCHMARK(BM_IniReadString);
