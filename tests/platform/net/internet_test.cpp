// The Internet calls refuse what would be unsafe on the wire and give up
// on a server that falls silent; the exchange itself is tested through the
// client component.
#include "platform/net/internet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "tests/support/http_test_server.h"

namespace {

using vx::test::HttpReply;
using vx::test::HttpTestServer;
using vx::test::MakeReply;
using Clock = std::chrono::steady_clock;

// Opens the three handles of one request; closes them at the end.
struct Exchange {
  Exchange(const std::string& host, const AnsiString& path, const AnsiString& agent = "",
           const AnsiString& verb = "GET", const AnsiString& referrer = "") {
    session = InternetOpen(agent, INTERNET_OPEN_TYPE_PRECONFIG);
    connection =
        session ? InternetConnect(session, host, INTERNET_DEFAULT_HTTP_PORT, "", "", INTERNET_SERVICE_HTTP) : nullptr;
    request = connection ? HttpOpenRequest(connection, verb, path, "HTTP/1.0", referrer, {"*/*"}, 0) : nullptr;
  }
  ~Exchange() {
    for (HINTERNET h : {request, connection, session})
      if (h) InternetCloseHandle(h);
  }
  HINTERNET session, connection, request;
};

TEST(Internet, RefusesUnsafeOrMalformedRequests) {
  HttpTestServer server([](const std::string&) { return MakeReply(""); });
  const std::string h = server.Host();
  struct Case {
    std::string host;
    AnsiString path, agent, verb, referrer;
    const char* error;
  };
  const Case cases[] = {
      {"", "/", "", "GET", "", "bad host name ''"},
      {"user@127.0.0.1", "/", "", "GET", "", "bad host name 'user@127.0.0.1'"},
      {"127.0.0.1:99999", "/", "", "GET", "", "bad host name '127.0.0.1:99999'"},
      {h, "/", "", "PUT", "", "unsupported verb PUT"},
      {h, "/a\r\nX: y", "", "GET", "", "a line break in the path or referrer"},
      {h, "/", "", "GET", "r\n", "a line break in the path or referrer"},
      {h, "/", "a\r\nX: y", "GET", "", "the agent holds a line break"},
  };
  for (const Case& c : cases) {
    Exchange x(c.host, c.path, c.agent, c.verb, c.referrer);
    EXPECT_EQ(x.request, nullptr) << c.error;
    EXPECT_EQ(InternetLastError(), c.error);
  }
  Exchange x(h, "/");
  EXPECT_FALSE(HttpSendRequest(x.request, "A: b\nC: d", nullptr, 0));
  EXPECT_EQ(InternetLastError(), "a line break inside a header");
  EXPECT_TRUE(server.Requests().empty());
}

TEST(Internet, SessionOptionsRefuseWhatTheyDoNotKnow) {
  Exchange x("127.0.0.1:1", "/");
  EXPECT_FALSE(InternetSetOption(x.session, INTERNET_OPTION_RECEIVE_TIMEOUT, 0));
  EXPECT_EQ(InternetLastError(), "the time-out must be at least 1 ms");
  EXPECT_FALSE(InternetSetOption(x.connection, INTERNET_OPTION_RECEIVE_TIMEOUT, 1000));
  EXPECT_EQ(InternetLastError(), "not a session handle");
  EXPECT_TRUE(InternetSetOption(x.session, INTERNET_OPTION_RECEIVE_TIMEOUT, 1000));
}

// Sends a GET with a receive time-out of one second and reads the body;
// what failed, and how long it took from the request. A watchdog cancels
// the session after 10 s, so a call that would wait for ever ends too
// (with "the transfer was cancelled").
struct TimedExchange {
  explicit TimedExchange(const std::string& host) : x(host, "/f") {
    EXPECT_TRUE(InternetSetOption(x.session, INTERNET_OPTION_RECEIVE_TIMEOUT, 1000));
    watchdog = std::async(std::launch::async, [this] {
      if (finished.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) InternetCancel(x.session);
    });
    const auto start = Clock::now();
    if (!HttpSendRequest(x.request, "", nullptr, 0)) {
      error = "send: " + InternetLastError();
    } else {
      char buffer[1025];
      unsigned got = 0;
      while (true) {
        if (!InternetReadFile(x.request, buffer, sizeof buffer, got)) {
          error = "read: " + InternetLastError();
          break;
        }
        if (got == 0) break;
        body.append(buffer, got);
      }
    }
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    done.set_value();
    watchdog.wait();
  }
  Exchange x;
  std::promise<void> done;
  std::shared_future<void> finished = done.get_future().share();
  std::future<void> watchdog;
  std::string error, body;
  double seconds = 0;
};

TEST(Internet, ASilentServerEndsTheCallWaitingOnItAfterTheReceiveTimeOut) {
  const std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 2000\r\n\r\n";
  struct Case {
    const char* what;
    HttpReply reply;
    const char* error;
  };
  const Case cases[] = {
      {"silent after accepting", {head + std::string(2000, 'b'), 0}, "send: no data received for 1000 ms"},
      {"half a status line", {head + std::string(2000, 'b'), 8}, "send: no data received for 1000 ms"},
      {"half the headers", {head + std::string(2000, 'b'), 20}, "send: no data received for 1000 ms"},
      {"half the body", {head + std::string(2000, 'b'), head.size() + 1000}, "read: no data received for 1000 ms"},
  };
  for (const Case& c : cases) {
    HttpTestServer server([&](const std::string&) { return c.reply; });
    TimedExchange t(server.Host());
    EXPECT_EQ(t.error, c.error) << c.what;
    EXPECT_GE(t.seconds, 0.9) << c.what;
    EXPECT_LT(t.seconds, 5.0) << c.what;
    // The request stays failed.
    char buffer[16];
    unsigned got = 1;
    EXPECT_FALSE(InternetReadFile(t.x.request, buffer, sizeof buffer, got)) << c.what;
    EXPECT_EQ(got, 0u);
  }
}

// The limit is on silence, not on the whole transfer: a reply that comes in
// pieces 0.4 s apart for about 3 s arrives whole.
TEST(Internet, ASlowButSteadyServerIsReadToTheEnd) {
  HttpReply reply = MakeReply(std::string(100, 'z'));
  reply.pieceMs = 400;
  reply.pieceBytes = reply.bytes.size() / 7 + 1;
  HttpTestServer server([&](const std::string&) { return reply; });
  TimedExchange t(server.Host());
  EXPECT_EQ(t.error, "");
  EXPECT_EQ(t.body, std::string(100, 'z'));
  EXPECT_GT(t.seconds, 2.0);
}

}  // namespace
