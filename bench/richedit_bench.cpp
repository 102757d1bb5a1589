// Loading bullet lists into the rich edit (offscreen, shown): documents of
// 1,000 / 10,000 / 100,000 bullet paragraphs, read from RTF and laid out,
// beside the RTF reader alone on the same bytes, and numbering every
// paragraph of a plain document of the same sizes. Each prints the time per
// paragraph ("per_paragraph"), which stays flat when the work is linear.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "bench/bench_options.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/richtext/richedit.h"
#include "platform/gui/richtext/rtf_reader.h"
#include "platform/gui/richtext/rtf_writer.h"
#include "platform/rtl/filebytes.h"

namespace {

vx::RichDocument Bullets(int paragraphs, bool bullet = true) {
  vx::RichDocument doc;
  doc.Paragraphs.reserve(paragraphs);
  for (int i = 0; i < paragraphs; ++i) {
    vx::RichParagraph p;
    p.Format.Bullet = bullet;
    p.Append(u"Draw " + std::u16string(1, u'0' + i % 10) + u": 3 11 19 27 35 42", {"Arial", 10, {}});
    doc.Paragraphs.push_back(std::move(p));
  }
  return doc;
}

void PerParagraph(benchmark::State& state) {
  state.counters["per_paragraph"] = benchmark::Counter(
      static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReadRtf(benchmark::State& state) {
  const std::string rtf = vx::WriteRtf(Bullets(static_cast<int>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(vx::ReadRtf(rtf));
  PerParagraph(state);
}

// The file read, parsed and put into the editor, and the editor laid out.
void BM_RichEditLoad(benchmark::State& state) {
  Application->Initialize();
  const std::string file = vx::bench::ScratchFolder("richedit") + "/bullets.rtf";
  vx::WriteFileBytes(file, vx::WriteRtf(Bullets(static_cast<int>(state.range(0)))));
  TForm form(nullptr);
  auto* edit = new TRichEdit(&form, &form);
  edit->SetBounds(0, 0, 600, 400);
  form.Show();
  for (auto _ : state) {
    edit->Lines()->LoadFromFile(file);
    QApplication::processEvents();
  }
  if (edit->Lines()->Count() != state.range(0)) state.SkipWithError("paragraphs lost");
  PerParagraph(state);
}

// Select all, bullets on (the paragraphs start without them).
void BM_RichEditNumberSelection(benchmark::State& state) {
  Application->Initialize();
  TForm form(nullptr);
  auto* edit = new TRichEdit(&form, &form);
  edit->SetBounds(0, 0, 600, 400);
  form.Show();
  const vx::RichDocument plain = Bullets(static_cast<int>(state.range(0)), false);
  for (auto _ : state) {
    state.PauseTiming();
    edit->SetDocument(plain);
    QApplication::processEvents();
    state.ResumeTiming();
    edit->SelectAll();
    edit->Paragraph()->SetNumbering(nsBullet);
    QApplication::processEvents();
  }
  PerParagraph(state);
}

BENCHMARK(BM_ReadRtf)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RichEditLoad)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RichEditNumberSelection)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(vx::bench::ScratchFolder("richedit"));
}
