// Index tags: the path from the root to a leaf, scopes and the walks.
#include "tables/index/xb_index.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kMaxDepth = 32;  // deeper chains only come from damaged files
}  // namespace

// ---------------------------------------------------------------- tag basics

XBobjIndexTag::XBobjIndexTag(XBobjIndexFile* file, std::string name) : tagName_(std::move(name)), file_(file) {}

XBobjIndexTag::~XBobjIndexTag() = default;

void XBobjIndexTag::AdjustValue(XBobjIndexKeyData& key, bool trim) {
  if (keyType_ == XBKeyType::Character && trim) {
    while (!key.value.empty() && key.value.back() == ' ') key.value.pop_back();
  }
  if (keyLength_ > 0 && key.value.size() > static_cast<size_t>(keyLength_))
    key.value.resize(static_cast<size_t>(keyLength_));
}

void XBobjIndexTag::TagCreate(const std::string& keyExpr, bool unique, bool ascending, const std::string& forExpr) {
  keyExprText_ = keyExpr;
  forExprText_ = forExpr;
  unique_ = unique;
  ascending_ = ascending;
  hasFor_ = !forExpr.empty();
  KeyExprCompile();
  ForExprCompile();
  // Such keys would be built from raw bytes, in no form another program
  // reads, and the tag could not be kept current afterwards.
  if ((keyExpr_ && keyExpr_->ReadsRawFields()) || (forExpr_ && forExpr_->ReadsRawFields()))
    file_->Refuse("Index expression reads a field this engine gets as raw bytes - " + tagName_);
}

void XBobjIndexTag::StoreSplitting(size_t depth, const std::function<int64_t()>& allocate,
                                   const std::function<void(const XBobjIndexKey&)>& write, bool linkSiblings) {
  const int64_t page = path_[depth]->page;
  bool split = false;
  for (;;) {
    XBobjIndexKey& node = *path_[depth];
    node.Materialize();
    const int real = node.leaf ? node.Count() : node.Count() - 1;
    if (real <= maxKeys_) {
      if (split && node.page == page) StoreAboveFirst(node);
      write(node);
      node.changed = false;
      return;
    }
    // The first half goes to a new page on the left.
    const int move = node.leaf ? (real + 1) / 2 : real / 2 + 1;
    XBobjIndexKey left;
    left.leaf = node.leaf;
    left.keys.assign(node.keys.begin(), node.keys.begin() + move);
    node.keys.erase(node.keys.begin(), node.keys.begin() + move);
    node.position = std::max(0, node.position - move);
    left.page = allocate();
    if (linkSiblings) {
      left.left = node.left;
      node.left = static_cast<int32_t>(left.page);
    }
    write(left);
    split = true;
    XBobjIndexKeyData separator = left.keys.back();
    separator.link = static_cast<int32_t>(left.page);
    separator.record = 0;
    depth = ParentInsert(depth, separator);
  }
}

XBobjIndexTag::KeyShape XBobjIndexTag::NewKeyShape(int numberLength, int textFactor, const std::string& where) {
  if (!keyExpr_) file_->Refuse("Index key cannot be evaluated without a table - " + keyExprText_);
  const vx::IndexValue v = keyExpr_->Evaluate();
  KeyShape shape{XBKeyType::Character, 0};
  switch (v.kind) {
    case vx::IndexValue::Kind::Number: shape = {XBKeyType::Number, numberLength}; break;
    case vx::IndexValue::Kind::Date: shape = {XBKeyType::Date, 8}; break;
    case vx::IndexValue::Kind::Logical: shape = {XBKeyType::Character, 1}; break;
    case vx::IndexValue::Kind::Text:
      shape = {XBKeyType::Character, static_cast<int>(v.text.size()) * textFactor};
      break;
  }
  if (shape.length < 1 || shape.length > 240) {
    file_->Refuse("Index key length " + std::to_string(shape.length) + " out of range 1..240 - " + where);
  }
  return shape;
}

void XBobjIndexTag::KeyExprCompile() {
  keyExpr_.reset();
  if (file_->Table() && !keyExprText_.empty()) keyExpr_ = file_->Table()->Compile(keyExprText_);
}

void XBobjIndexTag::ForExprCompile() {
  forExpr_.reset();
  if (file_->Table() && hasFor_ && !forExprText_.empty()) forExpr_ = file_->Table()->Compile(forExprText_);
}

namespace {

// Compiles an expression read from an index file; one this engine cannot
// compile leaves the slot empty and its error in `error`.
void CompileLoaded(const std::function<void()>& compile, std::unique_ptr<vx::IndexExpr>& slot, std::string& error) {
  error.clear();
  try {
    compile();
  } catch (const EXBaseExpression& e) {
    slot.reset();
    error = e.Message().empty() ? std::string("expression cannot be compiled") : e.Message();
  }
}

}  // namespace

void XBobjIndexTag::KeyExprLoad() {
  CompileLoaded([this] { KeyExprCompile(); }, keyExpr_, keyError_);
}

void XBobjIndexTag::ForExprLoad() {
  CompileLoaded([this] { ForExprCompile(); }, forExpr_, forError_);
}

bool XBobjIndexTag::KeyBuild(XBobjIndexKeyData& key) {
  if (!keyExpr_) return false;
  keyExpr_->EvaluateInto(value_);
  ValueToKey(value_, key.value);
  return true;
}

bool XBobjIndexTag::ForOK() {
  if (!forExpr_) {
    if (!forError_.empty()) throw EXBaseExpression(forError_ + " - " + forExprText_);
    return false;
  }
  const vx::IndexValue v = forExpr_->Evaluate();
  return v.kind == vx::IndexValue::Kind::Logical && v.logical;
}

XBobjIndexKeyData XBobjIndexTag::MakeKey(const vx::IndexValue& value) {
  XBobjIndexKeyData key(std::string(), -1, -1);
  ValueToKey(value, key.value);
  AdjustValue(key, true);
  return key;
}

std::string XBobjIndexTag::KeyExpression() const { return keyExpr_ ? keyExpr_->Text() : keyExprText_; }

int XBobjIndexTag::CompareKeys(const std::string& a, const std::string& b, bool prefix) const {
  return CompareIndexKeys(a, b, keyType_, prefix);
}

// ---------------------------------------------------------------- the chain

XBobjIndexTag::Changing::Changing(XBobjIndexTag& tag) : tag_(tag) {
  ++tag_.changing_;
  for (auto& node : tag_.path_) node->Materialize();
}

void XBobjIndexTag::DropChain() { TrimChain(0); }

void XBobjIndexTag::TrimChain(size_t depth) {
  while (path_.size() > depth) {
    std::unique_ptr<XBobjIndexKey> node = std::move(path_.back());
    path_.pop_back();
    // Unchanged nodes are kept for the next loads; a changed one (only
    // from a failed store) goes.
    if (node && !node->changed && spare_.size() < kMaxDepth) {
      node->shared.reset();
      spare_.push_back(std::move(node));
    }
  }
}

std::unique_ptr<XBobjIndexKey> XBobjIndexTag::NewNode() {
  if (spare_.empty()) return std::make_unique<XBobjIndexKey>();
  std::unique_ptr<XBobjIndexKey> node = std::move(spare_.back());
  spare_.pop_back();
  return node;
}

void XBobjIndexTag::FetchNode(int64_t page, XBobjIndexKey& node) {
  std::shared_ptr<const XBIndexPage> decoded = file_->CachedPage(page);
  if (!decoded) {
    XBobjIndexKey fresh;
    PageDecode(page, fresh);
    decoded = std::make_shared<const XBIndexPage>(fresh);
    file_->KeepPage(page, decoded);
  }
  node.Share(page, std::move(decoded));
  PageAttach(node);
  if (changing_ > 0) node.Materialize();
}

void XBobjIndexTag::LoadRoot() {
  TrimChain(0);
  if (root_ <= 0) root_ = HeaderRoot();
  if (root_ <= 0) return;
  std::unique_ptr<XBobjIndexKey> node = NewNode();
  FetchNode(root_, *node);
  path_.push_back(std::move(node));
}

void XBobjIndexTag::LoadChild(size_t depth) {
  TrimChain(depth + 1);
  const XBobjIndexKey& parent = *path_[depth];
  if (depth + 1 >= kMaxDepth) file_->Damaged("tree too deep");
  const int64_t page = static_cast<uint32_t>(parent.Current().link);
  for (const auto& above : path_)
    if (above->page == page) file_->Damaged("page refers to itself");
  std::unique_ptr<XBobjIndexKey> node = NewNode();
  FetchNode(page, *node);
  // Only a root may be empty; an empty page further down would be walked
  // through endlessly in a damaged tree.
  if (node->Count() == 0) file_->Damaged("empty page below the root");
  path_.push_back(std::move(node));
}

bool XBobjIndexTag::DescendFirst() {
  while (!path_.back()->leaf) {
    XBobjIndexKey& node = *path_.back();
    if (node.Count() == 0) return false;
    node.position = 0;
    LoadChild(path_.size() - 1);
  }
  XBobjIndexKey& leaf = *path_.back();
  leaf.position = leaf.Count() == 0 ? -1 : 0;
  return leaf.Count() > 0;
}

bool XBobjIndexTag::DescendLast() {
  while (!path_.back()->leaf) {
    XBobjIndexKey& node = *path_.back();
    if (node.Count() == 0) return false;
    node.position = node.Count() - 1;
    LoadChild(path_.size() - 1);
  }
  XBobjIndexKey& leaf = *path_.back();
  leaf.position = leaf.Count() - 1;
  return leaf.Count() > 0;
}

bool XBobjIndexTag::MoveNext() {
  if (path_.empty()) return false;
  for (;;) {
    XBobjIndexKey& leaf = *path_.back();
    if (leaf.position + 1 < leaf.Count()) {
      ++leaf.position;
      return true;
    }
    size_t k = path_.size() - 1;
    while (k > 0 && path_[k - 1]->position + 1 >= path_[k - 1]->Count()) --k;
    if (k == 0) {
      leaf.position = leaf.Count();
      return false;
    }
    ++path_[k - 1]->position;
    LoadChild(k - 1);
    if (DescendFirst()) return true;
    path_.back()->position = -1;  // an empty leaf: keep stepping
  }
}

bool XBobjIndexTag::MovePrev() {
  if (path_.empty()) return false;
  for (;;) {
    XBobjIndexKey& leaf = *path_.back();
    if (leaf.position > leaf.Count()) leaf.position = leaf.Count();
    if (leaf.position - 1 >= 0) {
      --leaf.position;
      return true;
    }
    size_t k = path_.size() - 1;
    while (k > 0 && path_[k - 1]->position <= 0) --k;
    if (k == 0) {
      leaf.position = -1;
      return false;
    }
    --path_[k - 1]->position;
    LoadChild(k - 1);
    if (DescendLast()) return true;
    path_.back()->position = 0;
  }
}

bool XBobjIndexTag::TakeCurrent() {
  if (path_.empty()) return false;
  const XBobjIndexKey& leaf = *path_.back();
  if (leaf.position < 0 || leaf.position >= leaf.Count()) return false;
  current_.Assign(leaf.Current());
  return true;
}

void XBobjIndexTag::SetChainFlags() {
  bool first = true;
  bool last = true;
  for (const auto& node : path_) {
    if (node->position != 0) first = false;
    if (node->position != node->Count() - 1) last = false;
  }
  atBOF_ = first;
  atEOF_ = last;
  if (descendingRead_) std::swap(atBOF_, atEOF_);
}

int XBobjIndexTag::CompareEntry(std::string_view key, int32_t record, bool prefix, const XBKeyRef& entry) const {
  return EntryOrder(CompareIndexKeys(key, entry.value, keyType_, prefix), record, entry.record);
}

int XBobjIndexTag::EntryOrder(int c, int32_t record, int32_t entryRecord) const {
  if (descendingCompare_) c = -c;
  if (c == 0 && record == kAfterEquals) return 1;
  if (c == 0 && record != -1 && file_->KeysCarryRecord()) {
    const uint32_t a = static_cast<uint32_t>(record);
    const uint32_t b = static_cast<uint32_t>(entryRecord);
    c = a < b ? -1 : (a > b ? 1 : 0);
  }
  return c;
}

// Positions the chain on the first entry not below (key, record): -1 on a
// greater entry, 0 on an equal one, 1 past the end.
int XBobjIndexTag::Seek(std::string_view key, int32_t record, bool prefix) {
  LoadRoot();
  if (path_.empty()) return 1;
  // Number and date keys of up to 8 bytes compare as big-endian numbers
  // against the heads of a kept page's keys.
  const bool numeric = keyType_ != XBKeyType::Character && key.size() <= 8;
  uint64_t head = 0;
  if (numeric) {
    unsigned char bytes[8] = {};
    std::memcpy(bytes, key.data(), key.size());
    for (unsigned char b : bytes) head = head << 8 | b;
  }
  for (;;) {
    XBobjIndexKey& node = *path_.back();
    if (node.Count() == 0) {
      node.position = node.leaf ? 0 : -1;
      return 1;
    }
    // Binary search for the first entry with a result <= 0.
    int lo = 0;
    int hi = node.Count();
    const XBIndexPage* kept = numeric && node.shared && node.shared->Short() ? node.shared.get() : nullptr;
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      int c;
      if (kept && mid < node.sharedCount) {
        const uint64_t h = kept->Head(mid);
        if (head != h) c = (head < h) != descendingCompare_ ? -1 : 1;
        else c = EntryOrder(0, record, kept->Record(mid));
      } else {
        c = CompareEntry(key, record, prefix, node.At(mid));
      }
      if (c > 0) lo = mid + 1;
      else hi = mid;
    }
    const bool past = lo == node.Count();
    node.position = past ? node.Count() - 1 : lo;
    if (!node.leaf) {
      LoadChild(path_.size() - 1);
      continue;
    }
    if (past) return 1;
    int c = CompareEntry(key, record, prefix, node.Current());
    // Formats whose equal keys are not ordered by record: scan the equals.
    if (c == 0 && !file_->KeysCarryRecord() && record != -1 && record != 0 && record != kAfterEquals) {
      while (c == 0 && path_.back()->Current().link != record) {
        if (!MoveNext()) return 1;
        c = CompareEntry(key, record, prefix, path_.back()->Current());
      }
    }
    return c < 0 ? -1 : 0;
  }
}

// ---------------------------------------------------------------- scopes

bool XBobjIndexTag::BeyondHigh() const {
  if (scopeHigh_.Empty()) return false;
  int c = CompareKeys(scopeHigh_.value, current_.value, scopeMode_ == 0);
  if (descendingCompare_) c = -c;
  return c < 0;
}

bool XBobjIndexTag::BelowLow() const {
  if (scopeLow_.Empty()) return false;
  int c = CompareKeys(scopeLow_.value, current_.value, true);
  if (descendingCompare_) c = -c;
  return c > 0;
}

// -1 beyond the high end, 0 inside, 1 or 2 before the low end.
int XBobjIndexTag::PositionScopeCheck() const {
  if (!HasScope()) return 0;
  if (atBOF_) return -1;
  if (atEOF_) return 1;
  int c = 0;
  if (!scopeHigh_.Empty()) {
    c = CompareKeys(scopeHigh_.value, current_.value, scopeMode_ == 0);
    if (descendingCompare_) c = -c;
  }
  if (c == 0 && highFlag_) c = 1;
  if (c < 1) return c;
  int d = 0;
  if (!scopeLow_.Empty()) {
    d = CompareKeys(scopeLow_.value, current_.value, true);
    if (descendingCompare_) d = -d;
  }
  if (d == 0 && lowFlag_) d = -1;
  return d + 1;
}

bool XBobjIndexTag::SetScope(const XBobjIndexKeyData* low, const XBobjIndexKeyData* high, bool prefixMatch,
                             bool lowFlag, bool highFlag) {
  XBobjIndexKeyData lo = low ? *low : XBobjIndexKeyData();
  XBobjIndexKeyData hi = high ? *high : XBobjIndexKeyData();
  AdjustValue(lo, true);
  AdjustValue(hi, true);
  if (lo.value == scopeLow_.value && hi.value == scopeHigh_.value) return false;
  scopeLow_ = lo;
  scopeHigh_ = hi;
  scopeMode_ = prefixMatch ? 0 : -1;
  lowFlag_ = lowFlag;
  highFlag_ = highFlag;
  KeyRead(xbKeyTop);
  return true;
}

// ---------------------------------------------------------------- reading

void XBobjIndexTag::TagReset(XBTagReset mode) {
  XBobjIndexFile::ReadScope reading(*file_);
  DropChain();
  LoadRoot();
  if (mode == XBTagReset::RootOnly || path_.empty()) return;
  vx::IndexTableLink* table = file_->Table();
  if (mode == XBTagReset::OnCurrentRecord && keyExpr_ && table && table->CurrentRecord() >= 1 &&
      table->CurrentRecord() <= table->RecordCount()) {
    const int32_t rec = table->CurrentRecord();
    XBobjIndexKeyData key;
    KeyBuild(key);
    AdjustValue(key, true);
    const int r = Seek(key.value, rec, false);
    if (r == 0 && TakeCurrent() && current_.link == rec) return;
  }
  DropChain();
  LoadRoot();
  if (!path_.empty() && DescendFirst()) TakeCurrent();
}

void XBobjIndexTag::TagRelease() {
  FlushChain();
  DropChain();
  if (changed_) TagStore();
  current_.record = 0;
  current_.link = 0;
}

int32_t XBobjIndexTag::KeyFind(XBobjIndexKeyData key) {
  XBobjIndexFile::ReadScope reading(*file_);
  const bool exact = file_->Table() ? file_->Table()->Exact() : false;
  current_.record = 0;
  current_.link = 0;
  AdjustValue(key, true);
  atBOF_ = atEOF_ = false;
  if (key.link == 0) key.link = -1;  // no record named: the first equal key
  const int r = Seek(key.value, key.link, !(exact || updating_));
  if (path_.empty()) return 0;
  if (r == 1) {
    atEOF_ = true;
    return 0;
  }
  TakeCurrent();
  const int scope = PositionScopeCheck();
  if (r == -1) {
    if (scope == -1) atEOF_ = true;
    return 0;
  }
  if (scope != 0) {
    atEOF_ = true;
    return 0;
  }
  return current_.record;
}

XBobjIndexTag::KeepPlace::KeepPlace(XBobjIndexTag& tag)
    : tag_(tag), path_(std::move(tag.path_)), current_(tag.current_), atBOF_(tag.atBOF_), atEOF_(tag.atEOF_) {
  tag_.path_.clear();
}

XBobjIndexTag::KeepPlace::~KeepPlace() {
  tag_.path_ = std::move(path_);
  tag_.current_ = current_;
  tag_.atBOF_ = atBOF_;
  tag_.atEOF_ = atEOF_;
}

int32_t XBobjIndexTag::KeyFindKeep(XBobjIndexKeyData key) {
  KeepPlace keep(*this);
  return KeyFind(std::move(key));
}

int32_t XBobjIndexTag::KeyRead(int code) {
  XBobjIndexFile::ReadScope reading(*file_);
  if (descendingRead_) {
    if (code == xbKeyTop) code = xbKeyBottom;
    else if (code == xbKeyBottom) code = xbKeyTop;
    else if (code == xbKeyNext) code = xbKeyPrior;
    else if (code == xbKeyPrior) code = xbKeyNext;
  }
  bool bof = false;
  bool eof = false;
  switch (code) {
    case xbKeyNext:
      for (;;) {
        if (!MoveNext()) {
          eof = true;
          break;
        }
        TakeCurrent();
        if (BeyondHigh()) {
          eof = true;
          break;
        }
        if (!BelowLow()) break;
      }
      break;
    case xbKeyPrior:
      for (;;) {
        if (!MovePrev()) {
          bof = true;
          break;
        }
        TakeCurrent();
        if (BelowLow()) {
          bof = true;
          break;
        }
        if (!BeyondHigh()) break;
      }
      break;
    case xbKeyTop: {
      DropChain();
      LoadRoot();
      if (path_.empty()) {
        bof = eof = true;
        break;
      }
      if (!scopeLow_.Empty() && !updating_) {
        if (Seek(scopeLow_.value, -1, true) == 1) eof = true;
        else TakeCurrent();
      } else {
        if (DescendFirst()) TakeCurrent();
        else bof = true;
      }
      if (!bof && !eof && BeyondHigh()) eof = true;
      bof = bof || eof;
      eof = bof;
      break;
    }
    case xbKeyBottom: {
      DropChain();
      LoadRoot();
      if (path_.empty()) {
        bof = eof = true;
        break;
      }
      if (!scopeHigh_.Empty() && !updating_) {
        const int r = Seek(scopeHigh_.value, kAfterEquals, scopeMode_ == 0);
        if (r == -1) {
          if (MovePrev()) TakeCurrent();
          else eof = true;
        } else {
          TakeCurrent();
        }
      } else {
        if (DescendLast()) TakeCurrent();
        else eof = true;
      }
      if (!bof && !eof && BelowLow()) eof = true;
      eof = eof || bof;
      bof = eof;
      break;
    }
    default:  // xbKeyCurrent
      if (!TakeCurrent()) bof = eof = true;
      else if (BeyondHigh()) eof = true;
      else if (BelowLow()) bof = true;
      break;
  }
  if (descendingRead_) std::swap(bof, eof);
  atBOF_ = bof;
  atEOF_ = eof;
  return (atBOF_ || atEOF_) ? 0 : current_.record;
}

int32_t XBobjIndexTag::KeyIsCurrent(int32_t record) {
  if (current_.record == record && record != 0) return record;
  TagReset(XBTagReset::OnCurrentRecord);
  return current_.record;
}

int32_t XBobjIndexTag::PeekStep(int code) const {
  if (HasScope() || path_.empty() || atBOF_ || atEOF_) return 0;
  if (descendingRead_) code = code == xbKeyNext ? xbKeyPrior : code == xbKeyPrior ? xbKeyNext : code;
  if (code != xbKeyNext && code != xbKeyPrior) return 0;
  const XBobjIndexKey& leaf = *path_.back();
  if (!leaf.leaf || leaf.position < 0 || leaf.position >= leaf.Count()) return 0;
  const int to = code == xbKeyNext ? leaf.position + 1 : leaf.position - 1;
  if (to < 0 || to >= leaf.Count()) return 0;
  return leaf.RecordAt(to);
}

bool XBobjIndexTag::CurrentEntryFitsRecord() {
  if (!keyExpr_ || keyExpr_->ReadsRawFields() || (forExpr_ && forExpr_->ReadsRawFields())) return false;
  try {
    if ((forExpr_ || !forError_.empty()) && !ForOK()) return false;
    keyExpr_->EvaluateInto(value_);
    return ValueGivesKey(value_, current_.value);
  } catch (const Exception&) { return false; }
}

bool XBobjIndexTag::ValueGivesKey(const vx::IndexValue& value, const std::string& key) {
  ValueToKey(value, checkKey_.value);
  AdjustValue(checkKey_, true);
  return CompareKeys(checkKey_.value, key, false) == 0;
}

int32_t XBobjIndexTag::FindEntryAgain(const XBobjIndexKeyData& entry, int direction, bool& found) {
  XBobjIndexFile::ReadScope reading(*file_);
  found = false;
  atBOF_ = atEOF_ = false;
  // Along the pages (the tag's order may read them backwards).
  const bool onward = (direction == xbKeyNext) != descendingRead_;
  int r = Seek(entry.value, entry.link, false);
  if (path_.empty()) return direction;
  if (r == 0 && TakeCurrent() && current_.link == entry.link) {
    found = true;
    return direction;
  }
  // Without record order the seek passed every equal key looking for the
  // record: going onwards, the walk takes them up from the first.
  if (onward && !file_->KeysCarryRecord()) r = Seek(entry.value, -1, false);
  TakeCurrent();
  // The tag stands on the first entry after the gone one, or on the last
  // entry when none follows.
  if (r == 1) return onward ? direction : xbKeyCurrent;
  return onward ? xbKeyCurrent : direction;
}
