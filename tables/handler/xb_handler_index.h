// The handler's side of the index layer: the table link index files work
// through, and the registry of index formats by file extension.
//
// HandlerIndexLink is the table link of the index layer (DbfIndexLink) for a
// handler: bulk builds read the table file directly, the old key comes from
// the image as read whatever buffer the record sits in, and build progress
// goes to the handler's status hook.
//
// The registry maps an upper-case extension (".CDX") to a format: whether it
// holds named tags, and how to open an existing file or create one. The
// compound index (".CDX") is registered from the start; other formats
// register themselves (RegisterIndexFormat) or are registered by the program.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "tables/handler/index_table_link.h"
#include "tables/index/xb_index.h"

class XBO_dBHandler;

namespace vx {

class HandlerIndexLink : public DbfIndexLink {
 public:
  explicit HandlerIndexLink(XBO_dBHandler& table);

  // The table file's own read, past order, filter and read-ahead rules.
  void ReadForIndex(int32_t record) override;
  bool HasOldImage() const override;
  // Points the current record at the image as read and back to wherever
  // it pointed before (the data set may have pointed it at its buffer).
  void UseOldImage(bool on) override;
  // True when the record differs from its image as read (or a field write
  // marked it), so that keys are updated whoever wrote the bytes.
  bool RecordModified() const override;
  void Status(int code, int value, int total) override;
  std::string ToTableText(const std::string& text) const override;
  std::string FromTableText(const std::string& text) const override;

 private:
  XBO_dBHandler& handler_;
  char* savedPointer_ = nullptr;
};

struct IndexFormat {
  bool compound = false;  // named tags (else one tag named after the file)
  // Opens (create false) or creates (create true; overwrite empties an
  // existing file) the file at pathName. Returns the object (check
  // Usable()) or null when the file does not exist.
  std::function<std::unique_ptr<XBobjIndexFile>(IndexTableLink* table, const std::string& pathName, bool create,
                                                bool overwrite, bool shared, bool writable)>
      open;
};

// Registers (or replaces) the format of an extension such as ".NTX".
void RegisterIndexFormat(const std::string& extension, IndexFormat format);
// The format of an extension (any case), null when none is registered.
const IndexFormat* FindIndexFormat(const std::string& extension);

}  // namespace vx
