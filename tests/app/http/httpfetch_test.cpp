// The HTTP client component against a scripted server on 127.0.0.1: what
// reaches the file and which events fire, for good and bad replies, abort,
// destruction and overlapping starts.
#include "app/http/httpfetch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/gui/application.h"
#include "tests/support/http_test_server.h"
#include "tests/support/scratch_folder.h"

namespace {

using vx::test::HttpReply;
using vx::test::HttpTestServer;
using vx::test::MakeReply;

class HttpFetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    fetch = std::make_unique<THttpFetch>(nullptr);
    fetch->SetBinaryData(true);
    fetch->SetAgent("vexamund");
    fetch->SetFileName(file);
    fetch->OnProgress = [this](TObject* s, int total, int readed) {
      EXPECT_NE(s, fetch.get()) << "progress comes from the worker thread object";
      log += "p";
      totals.push_back(total);
      progress.push_back(readed);
    };
    fetch->OnDoneFile = [this](TObject* s, const AnsiString& name, int size) {
      EXPECT_EQ(s, fetch.get());
      log += "D";
      doneName = name;
      doneSize = size;
    };
    fetch->OnError = [this](TObject*) { log += "E"; };
  }
  // Starts a download of `path` and pumps until it has ended.
  void Fetch(const std::string& url) {
    fetch->SetURL(url);
    fetch->Download();
    Finish();
  }
  void Finish() {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (fetch->Running() && std::chrono::steady_clock::now() < limit) Application->HandleMessage();
    ASSERT_FALSE(fetch->Running());
  }
  std::string Terminal() const { return log.empty() ? "" : log.substr(log.find_first_not_of('p')); }

  vx::test::ScratchFolder folder;
  std::string file = folder / "survey.srv";
  std::unique_ptr<THttpFetch> fetch;
  std::string log;  // one letter per event: p progress, D done, E error
  std::vector<int> totals, progress;
  AnsiString doneName;
  int doneSize = -1;
};

TEST_F(HttpFetchTest, WritesBodiesOfEverySizeWithProgressPerPiece) {
  for (const std::size_t n : {0u, 1u, 1025u, 1026u, 100000u}) {
    std::string body(n, '\0');
    for (std::size_t i = 0; i < n; ++i) body[i] = static_cast<char>(i * 7 + i / 251);
    HttpTestServer server([&](const std::string&) { return MakeReply(body); });
    log.clear();
    progress.clear();
    Fetch(server.Host() + "/lmsurvey/survey.srv");
    EXPECT_EQ(Terminal(), "D") << n;
    EXPECT_EQ(doneName, file);
    EXPECT_EQ(doneSize, static_cast<int>(n));
    EXPECT_EQ(vx::test::ReadWholeFile(file), body) << n;
    EXPECT_EQ(progress.size(), (n + 1024) / 1025) << n;
    for (std::size_t i = 0; i < progress.size(); ++i) ASSERT_LE(progress[i] - (i ? progress[i - 1] : 0), 1025) << n;
    if (n) { EXPECT_EQ(progress.back(), static_cast<int>(n)); }
    for (int t : totals) ASSERT_EQ(t, static_cast<int>(n));
    totals.clear();
    EXPECT_TRUE(fetch->LastResult());
  }
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
}

TEST_F(HttpFetchTest, FailedTransfersReportAnErrorAndKeepTheOldFile) {
  struct Case {
    const char* what;
    HttpReply reply;
    bool binaryData;
    bool urlWithoutPath = false;
  };
  auto shortBody = MakeReply(std::string(3000, 'x'));
  shortBody.bytes.resize(shortBody.bytes.size() - 1000);
  const Case cases[] = {
      {"no Content-Length, binary data", MakeReply("1:1", false), true},
      {"no Content-Length, text: 0 differs from the bytes read", MakeReply("1:1", false), false},
      {"body shorter than announced", shortBody, true},
      {"404 with a body", MakeReply("not here", true, "404 Not Found"), true},
      {"500", MakeReply("", true, "500 Oops"), true},
      {"redirect", {"HTTP/1.0 302 Found\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n"}, true},
      {"Content-Length not a number", {"HTTP/1.0 200 OK\r\nContent-Length: 12x\r\n\r\n0123456789ab"}, true},
      {"Content-Length above 2^31-1", {"HTTP/1.0 200 OK\r\nContent-Length: 2147483648\r\n\r\nab"}, true},
      {"no '/' in the URL: empty host", MakeReply("1:1"), true, true},
  };
  for (const Case& c : cases) {
    vx::test::WriteWholeFile(file, "old");
    HttpTestServer server([&](const std::string&) { return c.reply; });
    log.clear();
    fetch->SetBinaryData(c.binaryData);
    Fetch(c.urlWithoutPath ? server.Host() : server.Host() + "/f");
    EXPECT_EQ(Terminal(), "E") << c.what;
    EXPECT_EQ(vx::test::ReadWholeFile(file), "old") << c.what;
    EXPECT_FALSE(std::filesystem::exists(file + ".part")) << c.what;
    EXPECT_FALSE(fetch->LastResult());
  }
  int port;
  {
    HttpTestServer gone([](const std::string&) { return MakeReply(""); });
    port = gone.Port();
  }
  log.clear();
  Fetch("127.0.0.1:" + std::to_string(port) + "/f");
  EXPECT_EQ(log, "E") << "connection refused";
}

TEST_F(HttpFetchTest, SendsPostAndTheSameRequestForEveryUrlForm) {
  HttpTestServer server([](const std::string&) { return MakeReply("1:5"); });
  const std::string h = server.Host();
  for (const std::string& url : {"HTTP://" + h + "/p?a=1", "http://" + h + "/p?a=1", h + "/p?a=1"}) Fetch(url);
  fetch->SetPostQuery("name=%D1&n=2");
  fetch->SetReferer("http://ref/");
  fetch->SetUseCache(true);
  Fetch(h + "/post");
  EXPECT_EQ(log, "pDpDpDpD");
  const auto r = server.Requests();
  ASSERT_EQ(r.size(), 4u);
  const std::string get =
      "GET /p?a=1 HTTP/1.0\r\nHost: " + h + "\r\nUser-Agent: vexamund\r\nAccept: */*\r\nPragma: no-cache\r\n\r\n";
  EXPECT_EQ(r[0], get);
  EXPECT_EQ(r[1], get);
  EXPECT_EQ(r[2], get);
  EXPECT_EQ(r[3], "POST /post HTTP/1.0\r\nHost: " + h +
                      "\r\nUser-Agent: vexamund\r\nReferer: http://ref/\r\nAccept: */*\r\nContent-Type: "
                      "application/x-www-form-urlencoded\r\nContent-Length: 12\r\n\r\nname=%D1&n=2");

  // Only a leading "http://" is taken off.
  AnsiString host, path;
  SplitUrl("host/a?u=http://x", host, path);
  EXPECT_EQ(host + "|" + path, "host|/a?u=http://x");
  SplitUrl("hTTp://h:81", host, path);
  EXPECT_EQ(host + "|" + path, "|h:81");
}

TEST_F(HttpFetchTest, AbortDuringASlowBodyEndsWithOneError) {
  HttpReply slow = MakeReply(std::string(100000, 's'));
  slow.holdAfter = 20000;
  HttpTestServer server([&](const std::string&) { return slow; });
  vx::test::WriteWholeFile(file, "old");
  fetch->SetURL(server.Host() + "/f");
  fetch->Download();
  while (progress.empty() || progress.back() < 10000) Application->HandleMessage();
  fetch->SetURL("elsewhere/f");
  fetch->Download();  // ignored while the first runs
  const auto start = std::chrono::steady_clock::now();
  fetch->Abort();
  Finish();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << "the read is cancelled at once";
  EXPECT_EQ(Terminal(), "E");
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(vx::test::ReadWholeFile(file), "old");
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
}

TEST_F(HttpFetchTest, DestroyingDuringATransferRunsNoHandler) {
  HttpReply slow = MakeReply(std::string(100000, 's'));
  slow.holdAfter = 20000;
  HttpTestServer server([&](const std::string&) { return slow; });
  fetch->SetURL(server.Host() + "/f");
  fetch->Download();
  while (server.Requests().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // progress is queued, not yet delivered
  fetch.reset();
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
  EXPECT_EQ(log, "");
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
}

TEST_F(HttpFetchTest, WaitThreadReturnsAfterTheEvents) {
  HttpTestServer server([](const std::string&) { return MakeReply("1:5\r\n"); });
  fetch->SetWaitThread(true);
  fetch->SetURL(server.Host() + "/f");
  fetch->Download();
  EXPECT_EQ(log, "pD");
  EXPECT_FALSE(fetch->Running());
}

TEST_F(HttpFetchTest, AHandlersErrorIsReportedAndTheNextDownloadWorks) {
  HttpTestServer server([](const std::string&) { return MakeReply("1:5"); });
  AnsiString reported;
  Application->OnException = [&](TObject*, Exception& e) { reported = e.Message(); };
  fetch->OnDoneFile = [this](TObject*, const AnsiString&, int) {
    log += "D";
    throw EConvertError("bad line");
  };
  Fetch(server.Host() + "/f");
  Fetch(server.Host() + "/f");
  Application->OnException = nullptr;
  EXPECT_EQ(reported, "bad line");
  EXPECT_EQ(log, "pDpD");
}

TEST(HttpFetchThread, KeepsTheBodyAsAStringWithoutAFile) {
  Application->Initialize();
  HttpTestServer server([](const std::string&) { return MakeReply("the body", false); });
  THttpFetchProperties p;
  p.URL = server.Host() + "/s";
  auto* t = new THttpFetchThread(p, false, nullptr);
  bool done = false;
  t->FreeOnTerminate = true;
  t->OnTerminate = [&](TObject* s) {
    auto* w = static_cast<THttpFetchThread*>(s);
    EXPECT_TRUE(w->Result());
    EXPECT_EQ(w->ResultString(), "the body");
    EXPECT_EQ(w->ContentLength(), 0);
    done = true;
  };
  t->Resume();
  while (!done) Application->HandleMessage();
}

}  // namespace
