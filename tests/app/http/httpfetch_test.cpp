// The HTTP client component against a scripted server on 127.0.0.1: what
// reaches the file and which events fire, for good and bad replies, abort,
// destruction and overlapping starts.
#include "app/http/httpfetch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <utility>

#include "platform/gui/core/application.h"
#include "tests/support/http_test_server.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/write_fault.h"

namespace {

using vx::test::HttpReply;
using vx::test::HttpTestServer;
using vx::test::MakeReply;

// The worker without a file, run against `server`'s "/s": whether it
// succeeded, and the body it kept as a string.
std::pair<bool, AnsiString> FetchAsString(HttpTestServer& server) {
  THttpFetchProperties p;
  p.URL = server.Host() + "/s";
  THttpFetchThread t(p, false, nullptr);
  t.Resume();
  while (!t.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return {t.Result(), t.ResultString()};
}

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
      EXPECT_TRUE(s == fetch.get() && name == file);
      log += "D" + std::to_string(size);
    };
    fetch->OnError = [this](TObject*) { log += "E"; };
  }
  void Fetch(const std::string& url) {
    log.clear();
    fetch->SetURL(url);
    fetch->Download();
    Finish();
  }
  void Finish() {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (fetch->Running() && std::chrono::steady_clock::now() < limit) Application->HandleMessage();
    ASSERT_FALSE(fetch->Running());
  }
  // The events after the progress events.
  std::string End() const { return log.substr(std::min(log.size(), log.find_first_not_of('p'))); }
  bool OldFileKept() const {
    return vx::test::ReadWholeFile(file) == "old" && !std::filesystem::exists(file + ".part");
  }

  vx::test::ScratchFolder folder;
  std::string file = folder / "survey.srv";
  std::unique_ptr<THttpFetch> fetch;
  std::string log;  // p per progress event, D<size> done, E error
  std::vector<int> totals, progress;
};

TEST_F(HttpFetchTest, WritesBodiesOfEverySizeWithProgressPerPiece) {
  for (const int n : {0, 1, 1025, 1026, 100000}) {
    std::string body(n, '\0');
    for (int i = 0; i < n; ++i) body[i] = static_cast<char>(i * 7 + i / 251);
    HttpTestServer server([&](const std::string&) { return MakeReply(body); });
    progress.assign(1, 0);
    totals.clear();
    Fetch(server.Host() + "/lmsurvey/survey.srv");
    EXPECT_EQ(End(), "D" + std::to_string(n));
    EXPECT_EQ(vx::test::ReadWholeFile(file), body) << n;
    EXPECT_EQ(progress.size() - 1, (n + 1024u) / 1025) << n;
    EXPECT_EQ(progress.back(), n);
    for (std::size_t i = 1; i < progress.size(); ++i) ASSERT_LE(progress[i] - progress[i - 1], 1025) << n;
    EXPECT_EQ(totals, std::vector<int>(totals.size(), n));
    EXPECT_FALSE(std::filesystem::exists(file + ".part"));
  }
}

TEST_F(HttpFetchTest, FailedTransfersReportAnErrorAndKeepTheOldFile) {
  auto shortBody = MakeReply(std::string(3000, 'x'));
  shortBody.bytes.resize(shortBody.bytes.size() - 1000);
  struct Case {
    const char* what;
    HttpReply reply;
    bool binaryData = true;
    const char* path = "/f";
  };
  const Case cases[] = {
      {"body shorter than announced", shortBody},
      {"404 with a body", MakeReply("not here", true, "404 Not Found")},
      {"redirect", {"HTTP/1.0 302 Found\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n"}},
      {"Content-Length not a number", {"HTTP/1.0 200 OK\r\nContent-Length: 12x\r\n\r\n0123456789ab"}},
      {"Content-Length above 2^31-1", {"HTTP/1.0 200 OK\r\nContent-Length: 2147483648\r\n\r\nab"}},
      {"no '/' in the URL: empty host", MakeReply("1:1"), true, ""},
  };
  for (const Case& c : cases) {
    vx::test::WriteWholeFile(file, "old");
    HttpTestServer server([&](const std::string&) { return c.reply; });
    fetch->SetBinaryData(c.binaryData);
    Fetch(server.Host() + c.path);
    EXPECT_EQ(End(), "E") << c.what;
    EXPECT_TRUE(OldFileKept()) << c.what;
    EXPECT_FALSE(fetch->LastResult());
  }
  int port;
  {
    HttpTestServer gone([](const std::string&) { return MakeReply(""); });
    port = gone.Port();
  }
  Fetch("127.0.0.1:" + std::to_string(port) + "/f");
  EXPECT_EQ(log, "E") << "connection refused";
}

// The downloaded file was written with direct system calls the fault hook
// never saw, so a write failing halfway could not be tested; now it goes
// through the OS layer's file: the transfer ends in an error and the old
// file stays, without its ".part".
TEST_F(HttpFetchTest, AWriteFailingHalfwayKeepsTheOldFile) {
  vx::test::WriteWholeFile(file, "old");
  HttpTestServer server([&](const std::string&) { return MakeReply(std::string(100000, 'n')); });
  vx::test::HalfWriteFault fault(folder.Path());
  Fetch(server.Host() + "/f");
  EXPECT_TRUE(fault.Hit());
  EXPECT_EQ(End(), "E");
  EXPECT_TRUE(OldFileKept());
}

// A body without Content-Length, ended by the server closing the connection
// or sent in chunks: with BinaryData the transfer fails before the body is
// read; without it the body is read, and the download still fails (the
// length read differs from the unknown length 0), keeping the old file.
TEST_F(HttpFetchTest, ABodyWithoutContentLengthFailsEarlyWithBinaryDataAndAfterReadingWithout) {
  const std::string body(3000, 'c');
  std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  for (std::size_t at = 0; at < body.size(); at += 1000) chunked += "3e8\r\n" + body.substr(at, 1000) + "\r\n";
  chunked += "0\r\n\r\n";
  const HttpReply replies[] = {MakeReply(body, false), {chunked}};
  for (const HttpReply& reply : replies) {
    for (const bool binaryData : {true, false}) {
      vx::test::WriteWholeFile(file, "old");
      HttpTestServer server([&](const std::string&) { return reply; });
      fetch->SetBinaryData(binaryData);
      progress.assign(1, 0);
      totals.clear();
      Fetch(server.Host() + "/f");
      const std::string what = reply.bytes.substr(0, 8) + (binaryData ? " binary data" : " text");
      EXPECT_EQ(End(), "E") << what;
      EXPECT_TRUE(OldFileKept()) << what;
      if (binaryData) {
        EXPECT_EQ(log, "E") << what << ": nothing read";
      } else {
        EXPECT_EQ(progress.back(), 3000) << what;
        EXPECT_EQ(totals, std::vector<int>(totals.size(), 0)) << what << ": the length is unknown";
      }
    }
    // Kept as a string (the worker without a file), a body that is not empty is a success.
    HttpTestServer server([&](const std::string&) { return reply; });
    const auto [ok, kept] = FetchAsString(server);
    EXPECT_TRUE(ok);
    EXPECT_EQ(kept, body);
  }
}

TEST_F(HttpFetchTest, SendsPostAndTheSameRequestForEveryUrlForm) {
  HttpTestServer server([](const std::string&) { return MakeReply("1:5"); });
  const std::string h = server.Host();
  for (const std::string& url : {"HTTP://" + h + "/p?a=1", "http://" + h + "/p?a=1", h + "/p?a=1"}) Fetch(url);
  fetch->SetAgent("");
  fetch->SetPostQuery("name=%D1&n=2");
  fetch->SetReferer("http://ref/");
  fetch->SetUseCache(true);
  Fetch(h + "/post");
  const auto r = server.Requests();
  ASSERT_EQ(r.size(), 4u);
  const std::string get =
      "GET /p?a=1 HTTP/1.0\r\nHost: " + h + "\r\nUser-Agent: vexamund\r\nAccept: */*\r\nPragma: no-cache\r\n\r\n";
  EXPECT_EQ(r[0], get);
  EXPECT_EQ(r[1], get);
  EXPECT_EQ(r[2], get);
  EXPECT_EQ(r[3], "POST /post HTTP/1.0\r\nHost: " + h +
                      "\r\nReferer: http://ref/\r\nAccept: */*\r\nContent-Type: "
                      "application/x-www-form-urlencoded\r\nContent-Length: 12\r\n\r\nname=%D1&n=2");
  // Only a leading "http://" is taken off.
  AnsiString host, path;
  SplitUrl("host/a?u=http://x", host, path);
  EXPECT_EQ(host + "|" + path, "host|/a?u=http://x");
}

// A server that falls silent ends the transfer with one error after the
// receive time-out (set to a second here; 60 s is the default), leaving the
// old file as it was. It used to wait for ever, with no event, until Abort.
TEST_F(HttpFetchTest, ASilentServerEndsWithOneErrorAfterTheReceiveTimeOut) {
  ASSERT_TRUE(InternetSetOption(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, 1000));
  struct Restore {
    ~Restore() { InternetSetOption(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, 60000); }
  } restore;
  const HttpReply reply = MakeReply(std::string(5000, 'b'));
  const std::size_t head = reply.bytes.size() - 5000;
  struct Case {
    const char* what;
    std::size_t holdAfter;
    bool progress;  // before the error
  };
  const Case cases[] = {
      {"silent after accepting", 0, false},
      {"half a status line", 8, false},
      {"half the body", head + 2500, true},
  };
  for (const Case& c : cases) {
    vx::test::WriteWholeFile(file, "old");
    HttpReply held = reply;
    held.holdAfter = c.holdAfter;
    HttpTestServer server([&](const std::string&) { return held; });
    const auto start = std::chrono::steady_clock::now();
    Fetch(server.Host() + "/f");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (int i = 0; i < 5; ++i) Application->ProcessMessages();
    EXPECT_EQ(End(), "E") << c.what;
    EXPECT_EQ(log.size() > 1, c.progress) << c.what;
    if (c.progress) { EXPECT_EQ(progress.back(), 2500); }
    EXPECT_GE(seconds, 0.9) << c.what;
    EXPECT_LT(seconds, 5.0) << c.what;
    EXPECT_TRUE(OldFileKept()) << c.what;
  }
}

HttpReply SlowReply(const std::string&) { return vx::test::HeldReply(100000, 20000); }

TEST_F(HttpFetchTest, AbortDuringASlowBodyEndsWithOneError) {
  HttpTestServer server(SlowReply);
  vx::test::WriteWholeFile(file, "old");
  fetch->SetURL(server.Host() + "/f");
  fetch->Download();
  while (progress.empty() || progress.back() < 10000) Application->HandleMessage();
  fetch->SetURL("elsewhere/f");
  fetch->Download();  // ignored while the first runs
  const auto start = std::chrono::steady_clock::now();
  fetch->Abort();
  Finish();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500)) << "cancelled at once";
  EXPECT_EQ(End(), "E");
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(OldFileKept());
}

TEST_F(HttpFetchTest, DestroyingDuringATransferRunsNoHandler) {
  HttpTestServer server(SlowReply);
  fetch->SetURL(server.Host() + "/f");
  fetch->Download();
  while (server.Requests().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // progress is queued, not yet delivered
  fetch.reset();
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
  EXPECT_EQ(log, "");
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
}

TEST_F(HttpFetchTest, WaitThreadAndAHandlersError) {
  HttpTestServer server([](const std::string&) { return MakeReply("1:5\r\n"); });
  fetch->SetWaitThread(true);
  fetch->SetURL(server.Host() + "/f");
  fetch->Download();
  EXPECT_EQ(log, "pD5") << "the events have fired when Download returns";
  AnsiString reported;
  Application->OnException = [&](TObject*, Exception& e) { reported = e.Message(); };
  fetch->OnDoneFile = [](TObject*, const AnsiString&, int) { throw EConvertError("bad line"); };
  fetch->Download();
  fetch->OnDoneFile = [this](TObject*, const AnsiString&, int) { log += "D"; };
  fetch->Download();
  Application->OnException = nullptr;
  EXPECT_EQ(reported, "bad line");
  EXPECT_EQ(log, "pD5ppD") << "a download after a handler's error works";
}

TEST(HttpFetchThread, KeepsTheBodyAsAStringWithoutAFile) {
  HttpTestServer server([](const std::string&) { return MakeReply("the body", false); });
  const auto [ok, kept] = FetchAsString(server);
  EXPECT_TRUE(ok);
  EXPECT_EQ(kept, "the body");
}

}  // namespace
