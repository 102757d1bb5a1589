// A scripted HTTP server on 127.0.0.1 (a free port) for the tests of the
// HTTP client. It serves one connection at a time: it reads the request
// (headers and a Content-Length body), keeps its bytes, asks the script for
// the reply and sends it; `holdAfter` bytes into the reply it stops sending
// and keeps the connection open until the client closes it or the server
// is destroyed, so a test can act during a slow body (or the client's
// time-out can end it). With `pieceMs` set it sends the reply in pieces of
// `pieceBytes`, pausing that long before each.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vx::test {

struct HttpReply {
  std::string bytes;  // status line, headers, blank line and body
  std::size_t holdAfter = std::string::npos;
  int pieceMs = 0;
  std::size_t pieceBytes = 0;
};

// "HTTP/1.0 <status>" with the body, and Content-Length unless `withLength`
// is false.
inline HttpReply MakeReply(const std::string& body, bool withLength = true, const std::string& status = "200 OK") {
  std::string head = "HTTP/1.0 " + status + "\r\nContent-Type: application/octet-stream\r\n";
  if (withLength) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return {head + "\r\n" + body};
}

// A reply of `size` bytes that stops after `holdAfter` of them.
inline HttpReply HeldReply(std::size_t size, std::size_t holdAfter) {
  HttpReply r = MakeReply(std::string(size, 's'));
  r.holdAfter = holdAfter;
  return r;
}

class HttpTestServer {
 public:
  using Script = std::function<HttpReply(const std::string& request)>;

  explicit HttpTestServer(Script script) : script_(std::move(script)) {
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(listen_, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(listen_, 8) != 0 ||
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
      std::abort();
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~HttpTestServer() {
    stop_ = true;
    thread_.join();
    ::close(listen_);
  }

  int Port() const { return port_; }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  // Waits until `fd` is ready or the server stops; false on stop.
  bool Wait(int fd, short events) const {
    pollfd p{fd, events, 0};
    while (!stop_)
      if (::poll(&p, 1, 20) > 0) return true;
    return false;
  }

  void Serve() {
    while (Wait(listen_, POLLIN)) {
      const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      Handle(fd);
      ::close(fd);
    }
  }

  void Handle(int fd) {
    std::string request;
    std::size_t need = std::string::npos;
    char buf[65536];
    while (request.size() < need) {
      if (!Wait(fd, POLLIN)) return;
      const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) break;
      request.append(buf, static_cast<std::size_t>(n));
      const auto end = request.find("\r\n\r\n");
      if (need == std::string::npos && end != std::string::npos) {
        const auto cl = request.find("Content-Length: ");
        need = end + 4 + (cl < end ? std::strtoul(request.c_str() + cl + 16, nullptr, 10) : 0);
      }
    }
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    const HttpReply reply = script_(request);
    const std::size_t count = std::min(reply.holdAfter, reply.bytes.size());
    std::size_t sent = 0;
    while (sent < count && Wait(fd, POLLOUT)) {
      std::size_t piece = count - sent;
      if (reply.pieceMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(reply.pieceMs));
        piece = std::min(piece, std::max<std::size_t>(reply.pieceBytes, 1));
      }
      const ssize_t n = ::send(fd, reply.bytes.data() + sent, piece, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<std::size_t>(n);
    }
    // Holding ends when the client goes away or the server stops.
    if (reply.holdAfter != std::string::npos)
      while (Wait(fd, POLLIN) && ::recv(fd, buf, sizeof buf, 0) > 0) {}
  }

  Script script_;
  int listen_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
};

}  // namespace vx::test
