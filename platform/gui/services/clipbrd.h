// TClipboard: the class library's clipboard object (global Clipboard()).
//
// Text on our side is CP1251: CF_TEXT goes out as Unicode text and comes back
// with every character CP1251 cannot hold turned into '?', and with CR LF
// line ends whatever the program that put it there used. Registered formats
// ("Rich Text Format" and the like, RegisterClipboardFormat) carry bytes as
// they are; "Rich Text Format" is the system's RTF type.
//
// Writes between Open and Close build one clipboard content (the first write
// empties the clipboard); a write outside Open/Close replaces the content at
// once. The contents live in a vx::ClipboardService: the system clipboard
// (Qt's; in-process under the offscreen platform) or, in tests, a
// vx::MemoryClipboard.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/rtl/cp1251.h"

constexpr unsigned CF_TEXT = 1, CF_BITMAP = 2, CF_OEMTEXT = 7, CF_UNICODETEXT = 13, CF_HDROP = 15;

// The identifier of a named format (from 0xC000, the same for the same name
// without regard to case); 0 for an empty name.
unsigned RegisterClipboardFormat(const AnsiString& name);
// The name of a registered format, "" for others.
AnsiString ClipboardFormatName(unsigned format);

namespace vx {

// Clipboard contents by format; CF_TEXT is CP1251 text without a final zero.
using ClipboardData = std::map<unsigned, std::string>;

class ClipboardService {
 public:
  virtual ~ClipboardService() = default;
  virtual void SetContents(const ClipboardData& data) = 0;
  virtual ClipboardData Contents() = 0;
};

ClipboardService& ClipboardStore();
// Installs a service; nullptr goes back to the system clipboard. Returns the previous.
ClipboardService* SetClipboardService(ClipboardService* service);

// A clipboard of the process's own; installs itself on construction and puts
// the previous service back on destruction.
class MemoryClipboard : public ClipboardService {
 public:
  MemoryClipboard();
  ~MemoryClipboard() override;
  void SetContents(const ClipboardData& data) override { data_ = data; }
  ClipboardData Contents() override { return data_; }

 private:
  ClipboardData data_;
  ClipboardService* previous_;
};

}  // namespace vx

class TClipboard {
 public:
  // Nested opens count; the content is handed over at the last Close.
  void Open();
  void Close();
  void Clear();
  bool HasFormat(unsigned format);
  AnsiString AsText();
  void SetAsText(const AnsiString& text);
  // The text up to its first zero byte (a buffer as the class library took it).
  void SetTextBuf(const char* buffer);
  // Bytes of any format (the class library's handles of global memory).
  std::optional<std::string> GetAsBytes(unsigned format);
  void SetAsBytes(unsigned format, const std::string& bytes);

 private:
  void Adding();
  void Commit();
  int openCount_ = 0;
  bool emptied_ = false;
  vx::ClipboardData pending_;
};

TClipboard* Clipboard();
