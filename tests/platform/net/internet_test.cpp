#include "platform/net/internet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/support/http_test_server.h"

namespace {

using vx::test::HttpTestServer;
using vx::test::MakeReply;

// Sends one request through the four calls; the handles stay open.
struct Exchange {
  Exchange(const std::string& host, const AnsiString& verb, const AnsiString& path, const AnsiString& agent = "T1",
           const AnsiString& referrer = "", unsigned flags = INTERNET_FLAG_RELOAD) {
    session = InternetOpen(agent, INTERNET_OPEN_TYPE_PRECONFIG);
    connection =
        session ? InternetConnect(session, host, INTERNET_DEFAULT_HTTP_PORT, "", "", INTERNET_SERVICE_HTTP) : nullptr;
    request = connection ? HttpOpenRequest(connection, verb, path, "HTTP/1.0", referrer, {"*/*"}, flags) : nullptr;
  }
  ~Exchange() {
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(session);
  }
  std::string ReadAll(bool& ok) {
    std::string body;
    char buf[1025];
    unsigned n = 0;
    while ((ok = InternetReadFile(request, buf, sizeof buf, n)) && n > 0) body.append(buf, n);
    return body;
  }
  HINTERNET session, connection, request;
};

TEST(Internet, SendsTheRequestBytes) {
  HttpTestServer server([](const std::string&) { return MakeReply("x"); });
  const std::string h = server.Host();
  {
    Exchange get(h, "GET", "/dir/a b\x81.srv", "vexamund", "http://ref/");
    ASSERT_TRUE(HttpSendRequest(get.request, "", nullptr, 0)) << InternetLastError();
    Exchange anonymous(h, "GET", "/", "", "", 0);
    ASSERT_TRUE(HttpSendRequest(anonymous.request, "", nullptr, 0)) << InternetLastError();
    Exchange post(h, "POST", "/q", "vexamund");
    const std::string body = "a=1&b=%D0";
    ASSERT_TRUE(
        HttpSendRequest(post.request, "Content-Type: application/x-www-form-urlencoded", body.data(), body.size()))
        << InternetLastError();
  }
  const auto r = server.Requests();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0], "GET /dir/a%20b%81.srv HTTP/1.0\r\nHost: " + h +
                      "\r\nUser-Agent: vexamund\r\nReferer: http://ref/\r\nAccept: */*\r\nPragma: no-cache\r\n\r\n");
  EXPECT_EQ(r[1], "GET / HTTP/1.0\r\nHost: " + h + "\r\nAccept: */*\r\n\r\n");
  EXPECT_EQ(r[2], "POST /q HTTP/1.0\r\nHost: " + h +
                      "\r\nUser-Agent: vexamund\r\nAccept: */*\r\nPragma: no-cache\r\nContent-Type: "
                      "application/x-www-form-urlencoded\r\nContent-Length: 9\r\n\r\na=1&b=%D0");
}

TEST(Internet, ReadsTheBodyAndAnswersHeaderQueries) {
  const std::string body(3000, 'b');
  HttpTestServer server([&](const std::string&) { return MakeReply(body, true, "404 Not Found"); });
  Exchange x(server.Host(), "GET", "/f");
  ASSERT_TRUE(HttpSendRequest(x.request, "", nullptr, 0));
  char text[1024];
  unsigned len = sizeof text;
  ASSERT_TRUE(HttpQueryInfo(x.request, HTTP_QUERY_STATUS_CODE, text, len));
  EXPECT_STREQ(text, "404");
  len = sizeof text;
  ASSERT_TRUE(HttpQueryInfo(x.request, HTTP_QUERY_CONTENT_LENGTH, text, len));
  EXPECT_STREQ(text, "3000");
  EXPECT_EQ(len, 4u);
  len = 4;
  EXPECT_FALSE(HttpQueryInfo(x.request, HTTP_QUERY_CONTENT_LENGTH, text, len)) << "no room for the NUL";
  EXPECT_EQ(len, 5u);
  bool ok = false;
  EXPECT_EQ(x.ReadAll(ok), body);
  EXPECT_TRUE(ok);
}

TEST(Internet, FailuresOfTheNetworkAndOfTheServer) {
  {  // no Content-Length: the query fails, the body ends at the close
    HttpTestServer server([](const std::string&) { return MakeReply("abc", false); });
    Exchange x(server.Host(), "GET", "/");
    ASSERT_TRUE(HttpSendRequest(x.request, "", nullptr, 0));
    char text[1024];
    unsigned len = sizeof text;
    EXPECT_FALSE(HttpQueryInfo(x.request, HTTP_QUERY_CONTENT_LENGTH, text, len));
    bool ok = false;
    EXPECT_EQ(x.ReadAll(ok), "abc");
    EXPECT_TRUE(ok);
  }
  {  // a body shorter than announced
    HttpTestServer server([](const std::string&) {
      auto r = MakeReply("0123456789");
      r.bytes.resize(r.bytes.size() - 4);
      return r;
    });
    Exchange x(server.Host(), "GET", "/");
    ASSERT_TRUE(HttpSendRequest(x.request, "", nullptr, 0));
    bool ok = true;
    x.ReadAll(ok);
    EXPECT_FALSE(ok);
  }
  {  // nobody listens
    int port;
    {
      HttpTestServer gone([](const std::string&) { return MakeReply(""); });
      port = gone.Port();
    }
    Exchange x("127.0.0.1:" + std::to_string(port), "GET", "/");
    EXPECT_FALSE(HttpSendRequest(x.request, "", nullptr, 0));
    EXPECT_FALSE(InternetLastError().empty());
  }
}

TEST(Internet, RefusesUnsafeOrMalformedRequests) {
  HttpTestServer server([](const std::string&) { return MakeReply(""); });
  struct Case {
    std::string host;
    AnsiString verb, path, agent, referrer;
    const char* error;
  };
  const std::string h = server.Host();
  const Case cases[] = {
      {"", "GET", "/", "a", "", "bad host name ''"},
      {"user@127.0.0.1", "GET", "/", "a", "", "bad host name 'user@127.0.0.1'"},
      {"127.0.0.1:99999", "GET", "/", "a", "", "bad host name '127.0.0.1:99999'"},
      {h, "PUT", "/", "a", "", "unsupported verb PUT"},
      {h, "GET", "/a\r\nX: y", "a", "", "a line break in the path or referrer"},
      {h, "GET", "/", "a", "r\n", "a line break in the path or referrer"},
      {h, "GET", "/", "a\r\nX: y", "", "the agent holds a line break"},
  };
  for (const Case& c : cases) {
    Exchange x(c.host, c.verb, c.path, c.agent, c.referrer);
    EXPECT_EQ(x.request, nullptr) << c.error;
    EXPECT_EQ(InternetLastError(), c.error);
  }
  Exchange x(h, "GET", "/");
  EXPECT_FALSE(HttpSendRequest(x.request, "A: b\nC: d", nullptr, 0));
  EXPECT_EQ(InternetLastError(), "a line break inside a header");
  EXPECT_TRUE(server.Requests().empty());
}

TEST(Internet, CancelUnblocksAWaitingRead) {
  vx::test::HttpReply slow = MakeReply(std::string(100000, 's'));
  slow.holdAfter = 5000;
  HttpTestServer server([&](const std::string&) { return slow; });
  Exchange x(server.Host(), "GET", "/");
  ASSERT_TRUE(HttpSendRequest(x.request, "", nullptr, 0));
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    InternetCancel(x.session);
  });
  bool ok = true;
  const auto start = std::chrono::steady_clock::now();
  const std::string got = x.ReadAll(ok);
  const auto waited = std::chrono::steady_clock::now() - start;
  canceller.join();
  EXPECT_FALSE(ok);
  EXPECT_EQ(InternetLastError(), "the transfer was cancelled");
  EXPECT_LT(got.size(), 100000u);
  EXPECT_LT(waited, std::chrono::seconds(5)) << "the read returned at the cancel, not at a timeout";
  char buf[16];
  unsigned n;
  EXPECT_FALSE(InternetReadFile(x.request, buf, sizeof buf, n)) << "later calls fail too";
}

}  // namespace
