// The handler's side of the index layer: the table link index files work
// through, and the registry of index formats by file extension.
//
// HandlerIndexLink answers the index layer's questions about its table
// (folder, records, expressions, the record image before editing, progress,
// page cipher) from one XBO_dBHandler. Key and FOR expressions compile to
// TxbExpHandler objects over the table's expression link and evaluate on the
// current record buffer.
//
// The registry maps an upper-case extension (".CDX") to a format: whether it
// holds named tags, and how to open an existing file or create one. The
// compound index (".CDX") is registered from the start; other formats
// register themselves (RegisterIndexFormat) or are registered by the program.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "tables/xb_index.h"

class XBO_dBHandler;

namespace vx {

class HandlerIndexLink : public IndexTableLink {
public:
    explicit HandlerIndexLink(XBO_dBHandler& table) : table_(table) {}

    std::string Folder() const override;
    std::string BaseName() const override;
    int32_t RecordCount() const override;
    int32_t CurrentRecord() const override;
    std::unique_ptr<IndexExpr> Compile(const std::string& text) override;
    void ReadForIndex(int32_t record) override;
    bool HasOldImage() const override;
    void UseOldImage(bool on) override;
    // True when the record differs from its image as read (or a field write
    // marked it), so that keys are updated whoever wrote the bytes.
    bool RecordModified() const override;
    bool Exact() const override;
    void Status(int code, int value, int total) override;
    bool Enciphered() const override;
    void EncipherBlock(uint8_t* block, size_t size) override;
    void DecipherBlock(uint8_t* block, size_t size) override;
    void MarkStructuralIndex() override;

private:
    XBO_dBHandler& table_;
    char* savedPointer_ = nullptr;
};

struct IndexFormat {
    bool compound = false;  // named tags (else one tag named after the file)
    // Opens (create false) or creates (create true; overwrite empties an
    // existing file) the file at pathName. Returns the object (check
    // Usable()) or null when the file does not exist.
    std::function<std::unique_ptr<XBobjIndexFile>(IndexTableLink* table, const std::string& pathName,
                                                  bool create, bool overwrite, bool shared, bool writable)>
        open;
};

// Registers (or replaces) the format of an extension such as ".NTX".
void RegisterIndexFormat(const std::string& extension, IndexFormat format);
// The format of an extension (any case), null when none is registered.
const IndexFormat* FindIndexFormat(const std::string& extension);

}  // namespace vx
