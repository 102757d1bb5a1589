// THttpFetch: the HTTP/1.0 client component that fetches one file at a time
// in a worker thread (THttpFetchThread) and reports in the main thread.
//
// Download starts a transfer of URL into FileName unless one is running;
// the worker works on copies of the properties taken at that moment. While
// it runs, OnProgress(thread, content length, bytes so far) follows every
// piece read (at most 1025 bytes); at the end exactly one of OnError,
// OnDoneFile(component, file name, content length) and OnDoneString fires,
// each only when assigned. Before it fires the component is idle again, so
// a handler may start the next transfer; an exception a handler lets out
// goes to the application's handler.
//
// A transfer fails (OnError) on any network failure, on a server silent
// for the Internet session's receive time-out (60 s unless the default is
// changed with InternetSetOption), on a status other than 2xx, on a
// Content-Length that is not a number from 0 to 2^31-1, on a body shorter
// than announced, and when it was aborted. A reply without Content-Length
// (chunked, or ended by the server closing the connection) fails too: with
// BinaryData set before its body is read, without it after the body has
// been read with its progress events (TotalSize 0), since the length read
// differs from the unknown length 0; only an empty body then succeeds. The
// body is written to FileName + ".part", which replaces FileName only on
// success; a failed transfer leaves FileName as it was.
//
// The worker alone, keeping the body as a string, succeeds on any body
// that is not empty when the reply has no Content-Length.
//
// Abort raises the worker's terminate flag and cancels its network call at
// once; OnError follows. Destroying the component aborts a running transfer,
// waits for the worker and drops its pending events: no handler runs after
// the component has gone.
//
// URL: an optional leading "http://" (any case), then the host (":port"
// allowed), then the path from the first "/". Without "/" the host is empty
// and the transfer fails.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/net/internet.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/thread.h"

using TOnProgressEvent = std::function<void(TObject* Sender, int TotalSize, int Readed)>;
using TOnDoneFileEvent = std::function<void(TObject* Sender, const AnsiString& FileName, int FileSize)>;
using TOnDoneStringEvent = std::function<void(TObject* Sender, const AnsiString& Result)>;

// The published properties of THttpFetch, copied into each transfer.
struct THttpFetchProperties {
  AnsiString AcceptTypes = "*/*";
  AnsiString Agent = "Vexamund HttpFetch";
  bool BinaryData = false;
  AnsiString URL;
  bool UseCache = false;
  AnsiString FileName;
  AnsiString UserName, Password;
  AnsiString PostQuery;
  AnsiString Referer;
};

// Splits a URL into host and path (see above).
void SplitUrl(const AnsiString& url, AnsiString& host, AnsiString& path);

class THttpFetchThread : public TThread {
 public:
  // Created suspended; `toFile` false keeps the body as a string.
  THttpFetchThread(const THttpFetchProperties& properties, bool toFile, TOnProgressEvent onProgress);
  ~THttpFetchThread() override;

  // Read in the main thread once the thread has finished.
  bool Result() const { return result_.load(); }
  int ContentLength() const { return contentLength_; }
  int BytesRead() const { return bytesRead_; }
  const AnsiString& ResultString() const { return resultString_; }
  bool ToFile() const { return toFile_; }
  const AnsiString& FileName() const { return p_.FileName; }
  // Puts the downloaded file in place of FileName; false when that fails.
  bool CommitFile() { return file_.Commit(); }

 protected:
  void Execute() override;
  void TerminatedSet() override;

 private:
  bool Transfer();
  bool ReadBody(HINTERNET request);

  const THttpFetchProperties p_;
  const bool toFile_;
  const TOnProgressEvent onProgress_;
  std::atomic<bool> result_{false};
  int contentLength_ = 0;
  int bytesRead_ = 0;
  AnsiString resultString_;
  vx::ReplacingFile file_;
  std::mutex sessionMutex_;  // guards session_ against TerminatedSet
  HINTERNET session_ = nullptr;
};

class THttpFetch : public TComponent {
 public:
  explicit THttpFetch(TComponent* AOwner);
  ~THttpFetch() override;

  const AnsiString& AcceptTypes() const { return p_.AcceptTypes; }
  void SetAcceptTypes(const AnsiString& v) { p_.AcceptTypes = v; }
  const AnsiString& Agent() const { return p_.Agent; }
  void SetAgent(const AnsiString& v) { p_.Agent = v; }
  bool BinaryData() const { return p_.BinaryData; }
  void SetBinaryData(bool v) { p_.BinaryData = v; }
  const AnsiString& URL() const { return p_.URL; }
  void SetURL(const AnsiString& v) { p_.URL = v; }
  bool UseCache() const { return p_.UseCache; }
  void SetUseCache(bool v) { p_.UseCache = v; }
  const AnsiString& FileName() const { return p_.FileName; }
  void SetFileName(const AnsiString& v) { p_.FileName = v; }
  const AnsiString& UserName() const { return p_.UserName; }
  void SetUserName(const AnsiString& v) { p_.UserName = v; }
  const AnsiString& Password() const { return p_.Password; }
  void SetPassword(const AnsiString& v) { p_.Password = v; }
  const AnsiString& PostQuery() const { return p_.PostQuery; }
  void SetPostQuery(const AnsiString& v) { p_.PostQuery = v; }
  const AnsiString& Referer() const { return p_.Referer; }
  void SetReferer(const AnsiString& v) { p_.Referer = v; }
  // Download pumps the application's messages until the transfer has ended.
  bool WaitThread() const { return waitThread_; }
  void SetWaitThread(bool v) { waitThread_ = v; }

  TOnProgressEvent OnProgress;
  TOnDoneFileEvent OnDoneFile;
  TOnDoneStringEvent OnDoneString;
  TNotifyEvent OnError;

  void Download();
  void Abort();
  bool Running() const { return thread_ != nullptr; }
  // The outcome of the last transfer that ended.
  bool LastResult() const { return result_; }

 private:
  void ThreadDone(TObject* Sender);

  THttpFetchProperties p_;
  bool waitThread_ = false;
  THttpFetchThread* thread_ = nullptr;
  bool result_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
