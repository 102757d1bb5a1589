// Downloading 100 MB from a server on 127.0.0.1 (in this process, serving
// from memory), in the same run:
//  - NetRead: the Internet calls alone, read in 1025-byte pieces, kept nowhere;
//  - HttpFetch: the component as the program uses it (worker thread, a
//    progress event per piece delivered in the main thread, the file
//    written beside the old one and renamed over it);
//  - CurlCommandLine: `curl --http1.0 -s -o FILE URL` on the same server.
// --mb=N changes the size.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/http/httpfetch.h"
#include "bench/bench_options.h"
#include "platform/gui/core/application.h"
#include "tests/support/http_test_server.h"
#include "tests/support/run_tool.h"

namespace {

std::size_t g_bytes = 100u << 20;

vx::test::HttpTestServer& Server() {
  static const vx::test::HttpReply reply = vx::test::MakeReply(std::string(g_bytes, 'v'));
  static vx::test::HttpTestServer server([](const std::string&) { return reply; });
  return server;
}

const std::string& Folder() {
  static const std::string folder = vx::bench::ScratchFolder("http");
  return folder;
}

void BM_NetRead(benchmark::State& state) {
  const std::string host = Server().Host();
  for (auto _ : state) {
    HINTERNET s = InternetOpen("bench", INTERNET_OPEN_TYPE_PRECONFIG);
    HINTERNET c = InternetConnect(s, host, INTERNET_DEFAULT_HTTP_PORT, "", "", INTERNET_SERVICE_HTTP);
    HINTERNET r = HttpOpenRequest(c, "GET", "/f", "HTTP/1.0", "", {"*/*"}, INTERNET_FLAG_RELOAD);
    if (!HttpSendRequest(r, "", nullptr, 0)) state.SkipWithError("send failed");
    char buf[1025];
    unsigned n = 0;
    std::size_t total = 0;
    while (InternetReadFile(r, buf, sizeof buf, n) && n > 0) total += n;
    if (total != g_bytes) state.SkipWithError("short body");
    InternetCloseHandle(r);
    InternetCloseHandle(c);
    InternetCloseHandle(s);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * g_bytes));
}
BENCHMARK(BM_NetRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_HttpFetch(benchmark::State& state) {
  Application->Initialize();
  THttpFetch fetch(nullptr);
  fetch.SetBinaryData(true);
  fetch.SetWaitThread(true);
  fetch.SetURL(Server().Host() + "/f");
  fetch.SetFileName(Folder() + "/ours.bin");
  long events = 0;
  fetch.OnProgress = [&](TObject*, int, int) { ++events; };
  for (auto _ : state) {
    fetch.Download();
    if (!fetch.LastResult()) state.SkipWithError("download failed");
  }
  state.counters["progress_events"] = static_cast<double>(events) / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * g_bytes));
}
BENCHMARK(BM_HttpFetch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_CurlCommandLine(benchmark::State& state) {
  const std::string command = "curl --http1.0 -s -o " + Folder() + "/curl.bin http://" + Server().Host() + "/f";
  for (auto _ : state) {
    int status = -1;
    vx::test::RunTool(command, &status);
    if (status != 0) state.SkipWithError("curl failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * g_bytes));
}
BENCHMARK(BM_CurlCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--mb=", 0) == 0) g_bytes = static_cast<std::size_t>(std::atol(a.c_str() + 5)) << 20;
    else argv[kept++] = argv[i];
  }
  argc = kept;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());
}
