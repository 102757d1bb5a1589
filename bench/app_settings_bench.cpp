// Settings file work as the program does it at start and exit: one load of
// "Vexamund.ini" with its General keys and a long bases list, every key
// read; a save that changes nothing (no write); a save that changes one
// key; and message look-ups in a language file holding every message.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/settings/cached_ini.h"
#include "app/settings/language.h"
#include "app/settings/message_texts.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/sysutils.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    auto dir = std::filesystem::temp_directory_path() / "vx_bench_app_settings";
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
  }();
  return folder;
}

constexpr int kGeneralKeys = 45;
constexpr int kBaseRows = 200;

std::string SettingsFile() {
  const std::string path = Folder() + "Vexamund.ini";
  TCachedIniFile ini(path);
  for (int i = 0; i < kGeneralKeys; ++i) ini.WriteInteger("General", "control" + IntToStr(i) + ".Value", 2000 + i);
  for (int r = 1; r <= kBaseRows; ++r)
    for (int c = 0; c < 4; ++c)
      ini.WriteString("Options", "Cell" + IntToStr(r) + "_" + IntToStr(c), "base" + IntToStr(r));
  ini.UpdateFile();
  return path;
}

void BM_LoadAndReadEveryKey(benchmark::State& state) {
  const std::string path = SettingsFile();
  for (auto _ : state) {
    TCachedIniFile ini(path);
    long sum = 0;
    for (int i = 0; i < kGeneralKeys; ++i) sum += ini.ReadInteger("General", "control" + IntToStr(i) + ".Value", 0);
    for (int r = 1; r <= kBaseRows; ++r)
      for (int c = 0; c < 4; ++c) sum += ini.ReadString("Options", "Cell" + IntToStr(r) + "_" + IntToStr(c), "").size();
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_LoadAndReadEveryKey);

void BM_SaveWithNothingChanged(benchmark::State& state) {
  const std::string path = SettingsFile();
  for (auto _ : state) {
    TCachedIniFile ini(path);
    for (int i = 0; i < kGeneralKeys; ++i) ini.WriteInteger("General", "control" + IntToStr(i) + ".Value", 2000 + i);
  }
}
BENCHMARK(BM_SaveWithNothingChanged);

void BM_SaveWithOneChange(benchmark::State& state) {
  const std::string path = SettingsFile();
  int n = 0;
  for (auto _ : state) {
    TCachedIniFile ini(path);
    for (int i = 0; i < kGeneralKeys; ++i) ini.WriteInteger("General", "control" + IntToStr(i) + ".Value", 2000 + i);
    ini.WriteInteger("General", "Active_Page", ++n % 10);
  }
}
BENCHMARK(BM_SaveWithOneChange);

void BM_MessageLookup(benchmark::State& state) {
  const std::string path = Folder() + "all.lng";
  {
    TCachedIniFile lng(path);
    for (const AnsiString& text : vx::MessageTexts()) lng.WriteString("Messages", text, "translated " + text);
  }
  TjanLanguage language(nullptr);
  language.SetLanguageFile(path);
  const auto& texts = vx::MessageTexts();
  std::size_t i = 0;
  for (auto _ : state) {
    AnsiString out;
    benchmark::DoNotOptimize(language.Translate(texts[i++ % texts.size()], out));
  }
}
BENCHMARK(BM_MessageLookup);

}  // namespace

BENCHMARK_MAIN();
