// The common index layer: tags and index files of every format.
//
// A tag (XBobjIndexTag) knows its key and FOR expressions and walks, seeks
// and updates its B+-tree through one loaded path of nodes, root to leaf.
// Every interior entry holds the highest key of its child. A format supplies
// only the page and header layouts, the key form and the bulk build through
// the virtual operations; the table handler drives tags through the public
// operations below and never sees the format.
//
// Contracts:
//  - After every operation that changes keys (KeyAdd, KeyDelete, KeyUpdate,
//    KeyUpdateAll) every changed page and a changed header are on disk; the
//    caller may unlock at once.
//  - A page or header that cannot be read whole, or contradicts itself,
//    raises EXBaseError and marks the file unusable; nothing walks on.
//  - Lock() makes LockWaitTime div LockRetryInterval attempts and returns
//    false when all fail; it never raises.
//  - A shared file is read through its shared view (OsFile::ReadMapped):
//    pages and version counter as fresh as a read call, without one.
//  - Pages read are kept decoded (index_page_cache.h) and shared by the
//    loaded paths until a node changes. Every byte this object writes drops
//    the kept pages it covers. A shared file checks its version counter
//    (ReadVersion) when its lock is taken and, while unlocked, once per tag
//    operation that reads a page; when the counter moved, or the format has
//    none, every kept page goes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tables/base/xb_errors.h"
#include "tables/base/xbo_diskfile.h"
#include "tables/index/index_page_cache.h"
#include "tables/index/xb_index_key.h"

namespace vx {

// A value produced by a key or FOR expression.
struct IndexValue {
  enum class Kind { Text, Number, Date, Logical };
  Kind kind = Kind::Text;
  std::string text;
  double number = 0;
  int32_t day = 0;  // engine day number, 0 = empty date
  bool logical = false;
};

// A compiled expression, evaluated on the table's current record.
class IndexExpr {
 public:
  virtual ~IndexExpr() = default;
  virtual IndexValue Evaluate() = 0;
  // Evaluate into out, whose text storage is reused: a key built at every
  // step of a walk allocates nothing.
  virtual void EvaluateInto(IndexValue& out) { out = Evaluate(); }
  virtual std::string Text() const = 0;
  // Whether the expression reads a field the table hands over as its raw
  // bytes (a type the language has no values for): keys built from them
  // need not have the form the file's writer gave them.
  virtual bool ReadsRawFields() const { return false; }
};

// What the index layer asks of the table it belongs to.
class IndexTableLink {
 public:
  virtual ~IndexTableLink() = default;
  virtual std::string Folder() const = 0;
  virtual std::string BaseName() const = 0;  // table file name without folder and extension
  virtual int32_t RecordCount() const = 0;
  virtual int32_t CurrentRecord() const = 0;
  virtual std::unique_ptr<IndexExpr> Compile(const std::string& text) = 0;  // raises on bad text
  // Bulk build: makes a record current straight from the file (deleted too).
  virtual void ReadForIndex(int32_t record) = 0;
  // The image of the current record as it was read, for the old key.
  virtual bool HasOldImage() const { return true; }
  virtual void UseOldImage(bool on) {}
  virtual bool RecordModified() const { return true; }
  virtual bool Exact() const { return false; }
  // Progress of a bulk build: (xbProgressStart, xbProgressRead, count),
  // (xbProgressRead, record, 0) per record, (xbProgressEnd, 0, 0), then
  // (xbProgressStart, xbProgressKey, count) and (xbProgressKey, n, 0) per key.
  virtual void Status(int code, int value, int total) {}
  // Page cipher (512-byte blocks); enciphered tables only.
  // The table's character translation of names its index files keep (a
  // compound file's tag names): into the file's code page and back out of
  // it. None by default.
  virtual std::string ToTableText(const std::string& text) const { return text; }
  virtual std::string FromTableText(const std::string& text) const { return text; }
  virtual bool Enciphered() const { return false; }
  virtual void EncipherBlock(uint8_t* block, size_t size) {}
  virtual void DecipherBlock(uint8_t* block, size_t size) {}
  // The table's header flag for a structural compound index.
  virtual void MarkStructuralIndex() {}
};

}  // namespace vx

class XBobjIndexFile;

// A write refused before anything of it was written: an open index file has
// a tag this engine cannot keep current (XBobjIndexTag::Unmaintainable), or
// a tag's key or FOR expression fails on the record to be written. The
// message names the tag, its expression and the file.
class EXBaseIndexWriteRefused : public EXBaseError {
 public:
  using EXBaseError::EXBaseError;
};

// Codes of the progress reports of IndexTableLink::Status (and of the
// handler's copy).
inline constexpr int xbProgressStart = -1;
inline constexpr int xbProgressEnd = 0;
inline constexpr int xbProgressRead = 1;
inline constexpr int xbProgressKey = 2;
inline constexpr int xbProgressCopy = 6;

// Codes of KeyRead; the same values as the table's positioned reads.
inline constexpr int xbKeyNext = -1;
inline constexpr int xbKeyPrior = -2;
inline constexpr int xbKeyTop = -3;
inline constexpr int xbKeyBottom = -4;
inline constexpr int xbKeyCurrent = -5;  // the current entry again

// What TagReset does after loading the root: go to the top, stand on the
// table's current record (else the top), or nothing more.
enum class XBTagReset { Top = 0, OnCurrentRecord = 1, RootOnly = 2 };

// How a compound file's character keys are ordered: by their bytes
// ("MACHINE"), or by the "GENERAL" collation keys.
enum class XBCollation { Machine, General };

// Everything that defines a new tag. Single-tag files name their tag after
// the file and ignore `name`; only compound (.CDX) files know collations.
struct XBTagDefinition {
  std::string name;
  std::string keyExpr;
  std::string forExpr;
  bool unique = false;
  bool ascending = true;
  XBCollation collation = XBCollation::Machine;
};

// A record number that sorts after every real record of an equal key: seeking
// (key, kAfterEquals) lands after the last entry equal to key.
inline constexpr int32_t kAfterEquals = 0x7FFFFFFF;

class XBobjIndexTag {
 public:
  XBobjIndexTag(XBobjIndexFile* file, std::string name);
  virtual ~XBobjIndexTag();
  XBobjIndexTag(const XBobjIndexTag&) = delete;
  XBobjIndexTag& operator=(const XBobjIndexTag&) = delete;

  // Format operations.
  virtual void AdjustValue(XBobjIndexKeyData& key, bool trim);
  virtual void TagCreate(const std::string& keyExpr, bool unique, bool ascending, const std::string& forExpr);
  // Adds the entry (key, key.link); its record is taken from the link.
  virtual bool KeyAdd(XBobjIndexKeyData key);
  virtual int64_t HeaderRoot() { return root_; }
  virtual void PageLoad(int64_t page, XBobjIndexKey& node) = 0;  // raises when damaged
  // Writes path_[depth]; may split it, which inserts into the node above
  // (creating a new root when there is none).
  virtual void PageStore(size_t depth) = 0;
  virtual void TagLoad() { changed_ = false; }
  virtual void TagStore() { changed_ = false; }
  virtual void KeyExprCompile();
  virtual void ForExprCompile();
  // KeyExprCompile and ForExprCompile for a tag read from its file: an
  // expression this engine cannot compile leaves the tag walkable in its
  // stored order, and the tag Unmaintainable; a FOR expression's error is
  // raised when the condition is needed (ForOK).
  void KeyExprLoad();
  void ForExprLoad();
  virtual bool KeyBuild(XBobjIndexKeyData& key);
  virtual bool ForOK();
  // Decodes a page as the file holds it, whatever path leads to it; what
  // the page cache keeps. PageLoad by default.
  virtual void PageDecode(int64_t page, XBobjIndexKey& node) { PageLoad(page, node); }
  // Completes a node read through a kept page with what the path above it
  // tells (path_ holds the nodes above); nothing by default.
  virtual void PageAttach(XBobjIndexKey& node) {}
  // Puts the stored key form of an evaluated value into key, reusing its
  // storage.
  virtual void ValueToKey(const vx::IndexValue& value, std::string& key) = 0;
  // Whether an evaluated value's stored key, as KeyBuild makes it, compares
  // equal to key. Builds the key by default; a format may tell it cheaper.
  virtual bool ValueGivesKey(const vx::IndexValue& value, const std::string& key);
  // Rewrites the sibling fields of a page that is not loaded.
  virtual void PageRelink(int64_t page, bool setLeft, int32_t left, bool setRight, int32_t right) = 0;

  // Walking and seeking.
  int32_t KeyFind(XBobjIndexKeyData key);
  int32_t KeyFindKeep(XBobjIndexKeyData key);
  int32_t KeyRead(int code);
  int32_t KeyIsCurrent(int32_t record);
  // The record that KeyRead(code) for xbKeyNext or xbKeyPrior would give
  // when that step stays in the loaded leaf (no page to read) and the tag
  // has no scope; 0 otherwise.
  int32_t PeekStep(int code) const;
  // Whether the table's current record gives the entry the tag stands on:
  // its key, and its FOR condition where the tag has one, evaluated on the
  // record as it was read. False also when that cannot be told (the
  // expression fails on the record, or reads fields given raw), so that
  // the caller takes the careful way.
  bool CurrentEntryFitsRecord();
  // Stands on `entry` (its key and record) again in the tree as the file
  // holds it now, after other programs may have changed its pages; `found`
  // tells whether the entry is still there. Returns the code for the next
  // KeyRead of a walk going in `direction` (xbKeyNext or xbKeyPrior, in the
  // tag's order): `direction` to step past the entry, or, when it went, the
  // code that gives the entry following it in that direction (xbKeyCurrent
  // when the tag already stands on it). Entries after the gone one with an
  // equal key are met again rather than passed where equal keys stand in no
  // record order.
  int32_t FindEntryAgain(const XBobjIndexKeyData& entry, int direction, bool& found);
  bool KeyDelete();  // the current entry
  // Deletes the entry of (key, key.link); false when there is none.
  bool KeyRemove(const XBobjIndexKeyData& key);
  // Keeps the tag current after record `record` was written (appended when
  // `appending`): the old entry (found from the table's image of the record
  // as it was read) goes, the new one comes, as the FOR expression says.
  // An edited record's entry that is missing where the tag gives no reason
  // for it (the old record failed the FOR; a unique tag holds the key for
  // another record, or its key's first holder took another key) means the
  // index does not match the table: the damaged-index error, never a
  // second entry for the record.
  bool KeyUpdate(int32_t record, bool appending);
  // Everything KeyUpdate(record, appending) would raise, raised before the
  // record is written: EXBaseIndexWriteRefused for an Unmaintainable tag or
  // an expression failing on the record (new or old image), the
  // damaged-index error for a missing entry. Changes nothing; the loaded
  // chain and the current key stay as they were.
  void CheckUpdate(int32_t record, bool appending);
  // Why this engine cannot keep the tag current, "" when it can: its key or
  // FOR expression did not compile, reads fields the table hands over raw
  // (whose keys the file's writer built in a form of its own), or failed
  // where TryExpressions tried it. Names the tag and the expression.
  std::string Unmaintainable() const;
  // Evaluates the key and FOR expressions on the table's current record;
  // an expression error there makes the tag Unmaintainable.
  void TryExpressions();
  // Whether the tag holds the entry the table's current record should give
  // it: also true when the FOR expression leaves the record out, or when a
  // unique tag holds the key for another record. A unique tag without any
  // entry of the key counts as holding it unless `uniqueKeyRequired`: its
  // key's first holder may have taken another key since. True as well when
  // nothing can be proved: the key or FOR expression fails on the record
  // (an expression error) or reads fields given raw. False when the page
  // holding it and its right neighbour do not name each other the way a
  // writer stopped inside a split leaves them; neighbours that contradict
  // each other otherwise (a cycle, keys out of order) raise the
  // damaged-index error. Leaves the loaded chain and the current key as
  // they were.
  bool HoldsCurrentRecord(bool uniqueKeyRequired);
  bool SetScope(const XBobjIndexKeyData* low, const XBobjIndexKeyData* high, bool prefixMatch, bool lowFlag,
                bool highFlag);
  bool HasScope() const { return !scopeLow_.Empty() || !scopeHigh_.Empty(); }
  void TagReset(XBTagReset mode);
  void TagRelease();
  std::string KeyExpression() const;
  // The stored key of a value, naming no record (link -1): ready for
  // KeyFind and SetScope.
  XBobjIndexKeyData MakeKey(const vx::IndexValue& value);

  const std::string& FormatName() const { return formatName_; }
  const std::string& TagName() const { return tagName_; }
  const std::string& KeyExpr() const { return keyExprText_; }
  const std::string& ForExpr() const { return forExprText_; }
  int KeyLength() const { return keyLength_; }
  XBKeyType KeyType() const { return keyType_; }
  bool Unique() const { return unique_; }
  bool Ascending() const { return ascending_; }
  bool HasFor() const { return hasFor_; }
  int64_t HeaderPos() const { return headerPos_; }
  int64_t Root() const { return root_; }
  bool AtBOF() const { return atBOF_; }
  bool AtEOF() const { return atEOF_; }
  bool KeyChanged() const { return keyChanged_; }
  const XBobjIndexKeyData& CurrentKey() const { return current_; }
  XBobjIndexFile* File() const { return file_; }

  // Reads a node of the tag's tree (for consistency checks).
  void LoadNode(int64_t page, XBobjIndexKey& node) { PageLoad(page, node); }

 protected:
  // Path helpers for the formats.
  std::vector<std::unique_ptr<XBobjIndexKey>>& Path() { return path_; }
  // Inserts a separator for a new left page of path_[depth] into the node
  // above, making a new root above path_[depth] when it is the root.
  // Returns the new depth of the node.
  size_t ParentInsert(size_t depth, const XBobjIndexKeyData& separator);
  void FlushChain();
  // For a page that kept its place but gave its first keys to new pages:
  // stores the changed pages above it first, so that they name the new
  // pages before this one is written without those keys. A stop between
  // the writes then leaves keys twice (which the open-time check finds), or
  // the new key missing, but never loses keys that were there.
  void StoreAboveFirst(const XBobjIndexKey& node);
  int CompareKeys(const std::string& a, const std::string& b, bool prefix) const;
  // PageStore for formats whose pages hold at most maxKeys_ keys (an
  // interior page one child more): writes path_[depth] through `write`; an
  // overfull node first moves its lower half to a new page from `allocate`
  // (made its left sibling when `linkSiblings`) whose highest key goes up.
  void StoreSplitting(size_t depth, const std::function<int64_t()>& allocate,
                      const std::function<void(const XBobjIndexKey&)>& write, bool linkSiblings);
  struct KeyShape {
    XBKeyType type;
    int length;
  };
  // For TagCreate, after the expressions are compiled: the key type and
  // stored length the key expression's value on the current record asks for:
  // numbers numberLength bytes, dates 8, logicals 1, texts their length
  // times textFactor. Refuses (EXBaseError) a tag without a table and a
  // length outside 1..240, the latter naming `where`.
  KeyShape NewKeyShape(int numberLength, int textFactor, const std::string& where);

  std::string formatName_ = "UNK";
  std::string tagName_;
  std::string keyExprText_;
  std::string forExprText_;
  int keyLength_ = 0;
  int entrySize_ = 0;
  int maxKeys_ = 0;
  XBobjIndexKeyData scopeLow_;
  XBobjIndexKeyData scopeHigh_;
  int scopeMode_ = -1;  // 0 prefix matching, -1 whole keys
  bool lowFlag_ = false;
  bool highFlag_ = false;
  XBobjIndexFile* file_;
  int64_t headerPos_ = 0;
  int64_t root_ = 0;
  bool changed_ = false;
  bool ascending_ = true;
  bool unique_ = false;
  bool hasFor_ = false;
  XBKeyType keyType_ = XBKeyType::Character;
  XBobjIndexKeyData current_;
  bool atBOF_ = false;
  bool atEOF_ = false;
  bool keyChanged_ = false;
  bool descendingCompare_ = false;
  bool descendingRead_ = false;
  bool updating_ = false;
  int changing_ = 0;  // nesting of operations that change keys: nodes are loaded as own copies
  std::unique_ptr<vx::IndexExpr> forExpr_;
  std::unique_ptr<vx::IndexExpr> keyExpr_;
  std::string keyError_;        // why the key expression read from the file did not compile
  std::string forError_;        // why the FOR expression read from the file did not compile
  std::string tryError_;        // how an expression failed where TryExpressions tried it
  vx::IndexValue value_;        // KeyBuild's value, kept for its storage
  XBobjIndexKeyData checkKey_;  // ValueGivesKey's key, likewise

 private:
  friend class XBobjIndexFile;  // hands a new tag of a one-tag file its header page
  // Marks an operation that changes keys: the loaded path becomes own
  // copies, and so does every node loaded until it ends.
  class Changing {
   public:
    explicit Changing(XBobjIndexTag& tag);
    ~Changing() { --tag_.changing_; }
    Changing(const Changing&) = delete;
    Changing& operator=(const Changing&) = delete;

   private:
    XBobjIndexTag& tag_;
  };
  void DropChain();
  // Drops the nodes from `depth` down, keeping them for reuse.
  void TrimChain(size_t depth);
  std::unique_ptr<XBobjIndexKey> NewNode();
  // Loads the node of a page through the file's page cache.
  void FetchNode(int64_t page, XBobjIndexKey& node);
  void LoadRoot();
  void LoadChild(size_t depth);
  bool DescendFirst();
  bool DescendLast();
  bool MoveNext();
  bool MovePrev();
  bool TakeCurrent();
  int Seek(std::string_view key, int32_t record, bool prefix);
  int CompareEntry(std::string_view key, int32_t record, bool prefix, const XBKeyRef& entry) const;
  // The order of a sought (key, record) against an entry whose key compared
  // as c: descending tags turn it, equal keys go by record where they can.
  int EntryOrder(int c, int32_t record, int32_t entryRecord) const;
  void InsertAt(size_t depth, int position, const XBobjIndexKeyData& key);
  void RaiseParentKey(size_t depth);
  void RemoveNode(size_t depth);
  void SetChainFlags();
  int PositionScopeCheck() const;
  bool BeyondHigh() const;
  bool BelowLow() const;
  int32_t FindForUpdate(const XBobjIndexKeyData& key);
  // What KeyUpdate has to do: the keys in stored form (links = the record)
  // and whether the new and the old record pass the FOR expression.
  struct UpdatePlan {
    bool include = true;
    bool oldInclude = true;
    XBobjIndexKeyData newKey;
    XBobjIndexKeyData oldKey;
  };
  // Evaluates what KeyUpdate(record, appending) needs; false when it has
  // nothing to do. Raises EXBaseIndexWriteRefused as CheckUpdate says.
  bool PlanUpdate(int32_t record, bool appending, UpdatePlan& plan);
  // Seeks the old entry of an edit; true when it is there. Raises the
  // damaged-index error when it is missing without a reason.
  bool FindOldEntry(const UpdatePlan& plan);
  // Saves the loaded chain, the current key and the end flags, and puts
  // them back when it goes; the chain starts empty meanwhile.
  class KeepPlace {
   public:
    explicit KeepPlace(XBobjIndexTag& tag);
    ~KeepPlace();
    KeepPlace(const KeepPlace&) = delete;
    KeepPlace& operator=(const KeepPlace&) = delete;

   private:
    XBobjIndexTag& tag_;
    std::vector<std::unique_ptr<XBobjIndexKey>> path_;
    XBobjIndexKeyData current_;
    bool atBOF_, atEOF_;
  };

  std::vector<std::unique_ptr<XBobjIndexKey>> path_;
  std::vector<std::unique_ptr<XBobjIndexKey>> spare_;  // nodes of dropped paths, for reuse
};

class XBobjIndexFile {
 public:
  XBobjIndexFile(vx::IndexTableLink* table);
  virtual ~XBobjIndexFile();
  XBobjIndexFile(const XBobjIndexFile&) = delete;
  XBobjIndexFile& operator=(const XBobjIndexFile&) = delete;

  // Creates (or replaces) the tag and builds it from the table.
  virtual XBobjIndexTag* TagAdd(const XBTagDefinition& definition) = 0;
  virtual bool TagDelete(const std::string& name) = 0;
  // Passes an engine failure (code, context, file name) to the error hook.
  virtual void FoundError(int code, int context, const std::string& name);
  virtual int64_t AllocatePage() = 0;
  virtual int64_t ReadEndOfFile() { return -1; }
  virtual bool PageRead(int64_t position, uint8_t* buffer, int length);
  virtual void PageWrite(int64_t position, const uint8_t* buffer, int length);
  virtual void Reindex() = 0;
  virtual bool Rename(const std::string& newName);
  virtual bool KeyUpdateAll(int32_t record, bool appending);
  // Every tag's CheckUpdate, before a record is written.
  void CheckUpdateAll(int32_t record, bool appending);
  // Why a write to the table must be refused while this file is open: its
  // first tag that is Unmaintainable, with the file's name; "" when none.
  std::string WriteRefusal() const;
  // Reindex for files whose tags this engine can all keep current; one
  // that has another is refused (EXBaseIndexWriteRefused) before anything
  // is written. A rebuild that fails puts the file's former bytes back in
  // place, under the whole-file lock, and leaves this object unusable,
  // without tags or disk file: the file must be opened again.
  void Rebuild();
  virtual bool ChangedByOthers() { return false; }
  virtual void SetLockMode(int mode);
  // Re-enciphers every 512-byte page: deciphered with the old key, enciphered
  // with the new one.
  using BlockCipher = std::function<void(uint8_t*, size_t)>;
  virtual void ChangeKey(const BlockCipher& decipherOld, const BlockCipher& encipherNew);

  // Opens (or creates) the disk file; false when it does not exist.
  bool Open(const std::string& fileName, bool overwrite, bool create, bool shared, bool writable,
            const std::string& defaultExtension);
  bool Lock();
  void Unlock();
  bool NameIs(const std::string& name) const;
  int TagCount() const { return static_cast<int>(tags_.size()); }

  // ---- decoded pages (see the contract above)
  // The kept page of that number, null when none; a shared file that holds
  // no lock first checks its version counter (once per ReadScope).
  std::shared_ptr<const XBIndexPage> CachedPage(int64_t page);
  void KeepPage(int64_t page, std::shared_ptr<const XBIndexPage> decoded) { pageCache_.Keep(page, std::move(decoded)); }
  void DropPageCache() { pageCache_.Clear(); }
  // Drops the kept pages that bytes [offset, offset + length) overlap.
  void PagesWritten(int64_t offset, int64_t length);
  const vx::IndexPageCache& PageCache() const { return pageCache_; }
  // Reads the version counter of a shared file, drops every kept page when
  // it moved since the last check (or cannot be read) and counts the move.
  void CheckVersion();
  // How many moves of the version counter this object has seen: a reader
  // that remembers it knows when another program changed the file.
  uint64_t VersionMoves() const { return versionMoves_; }
  // Whether the last check could read a version counter.
  bool VersionKnown() const { return versionKnown_; }
  // Tag operations read a shared, unlocked file under one version check.
  class ReadScope {
   public:
    explicit ReadScope(XBobjIndexFile& file) : file_(file) {
      if (file_.readScopes_++ == 0) file_.scopeChecked_ = false;
    }
    ~ReadScope() { --file_.readScopes_; }
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;

   private:
    XBobjIndexFile& file_;
  };
  XBobjIndexTag* TagByName(const std::string& name) const;
  XBobjIndexTag* TagByNumber(int i) const;

  const std::string& FileName() const { return fileName_; }
  // The file's path as the file system spells it, for messages.
  std::string ShownName() const { return disk_ ? disk_->ShownName() : fileName_; }
  vx::IndexTableLink* Table() const { return table_; }
  XBO_DiskFile* Disk() const { return disk_.get(); }
  bool KeysCarryRecord() const { return keysCarryRecord_; }
  // False once the file was found damaged (or was never opened).
  bool Usable() const { return usable_; }
  void MarkUnusable() { usable_ = false; }
  // Raises the damaged-index error (and marks the file unusable).
  [[noreturn]] void Damaged(const std::string& what);
  // What the last damaged-index error found ("" while none was raised), so
  // a file refused while opening can still say why.
  const std::string& Damage() const { return damage_; }
  // Raises EXBaseError with a message (refused definitions and the like).
  [[noreturn]] void Refuse(const std::string& message);

 protected:
  // One-tag formats (.NTX, .NDX), whose tag is named after the file.
  // The file's name without folder and extension, in capitals.
  std::string OnlyTagName() const;
  // Loads `tag` as the file's only tag; a header that fails its checks
  // leaves the file unusable, without tags.
  void LoadOnlyTag(std::unique_ptr<XBobjIndexTag> tag);
  // Empties the file and creates `tag` in it, its header on the first page
  // handed out, then bulk-built; a refusal or failure (raised again) leaves
  // the file without tags.
  XBobjIndexTag* CreateOnlyTag(std::unique_ptr<XBobjIndexTag> tag, const XBTagDefinition& definition);
  // Writes and drops every tag's loaded chain, ignoring engine errors (for
  // destructors).
  void ReleaseTagsQuietly() noexcept;
  // The version counter that other writers move on every change; false for
  // formats without one.
  virtual bool ReadVersion(uint32_t& version) { return false; }
  // After this object wrote the counter itself: the pages it keeps are
  // current for that value.
  void NoteOwnVersion(uint32_t version) {
    versionSeen_ = version;
    versionKnown_ = true;
  }
  // How page numbers map to the file: byte offset = page * pageUnit_; a page
  // holds pageBytes_ bytes.
  int64_t pageUnit_ = 1;
  int64_t pageBytes_ = 512;

  std::string fileName_;
  std::vector<std::unique_ptr<XBobjIndexTag>> tags_;
  vx::IndexTableLink* table_;
  std::unique_ptr<XBO_DiskFile> disk_;
  bool keysCarryRecord_ = false;
  int64_t endOfFile_ = -1;
  bool exact_ = false;
  bool usable_ = false;
  std::string damage_;
  int lockMode_ = 0;
  int64_t lockFirst_ = 0x7FFFFFFE;
  int64_t lockSecond_ = 0x40000000;
  int64_t lockThird_ = 0x3FFFFFFF;

 private:
  vx::IndexPageCache pageCache_;
  bool lockChecked_ = false;  // the held lock's version check holds
  int readScopes_ = 0;
  bool scopeChecked_ = false;
  bool versionKnown_ = false;
  uint32_t versionSeen_ = 0;
  uint64_t versionMoves_ = 0;
};
