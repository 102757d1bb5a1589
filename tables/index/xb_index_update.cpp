// Index tags: adding, removing and changing keys, with page splits.
#include "tables/index/xb_index.h"

#include <algorithm>
#include <optional>

#include "platform/rtl/scope_guard.h"

// ---------------------------------------------------------------- changing

void XBobjIndexTag::RaiseParentKey(size_t depth) {
  while (depth > 0) {
    XBobjIndexKey& node = *path_[depth];
    XBobjIndexKey& parent = *path_[depth - 1];
    if (node.Count() == 0 || parent.position < 0 || parent.position >= parent.Count()) return;
    node.Materialize();
    parent.Materialize();
    XBobjIndexKeyData& entry = parent.keys[static_cast<size_t>(parent.position)];
    const XBobjIndexKeyData& last = node.keys.back();
    if (entry.value == last.value && entry.record == last.record) return;
    entry.value = last.value;
    entry.record = last.record;
    parent.changed = true;
    if (parent.position != parent.Count() - 1) return;
    --depth;
  }
}

void XBobjIndexTag::InsertAt(size_t depth, int position, const XBobjIndexKeyData& key) {
  XBobjIndexKey& node = *path_[depth];
  node.Materialize();
  position = std::clamp(position, 0, node.Count());
  node.keys.insert(node.keys.begin() + position, key);
  node.position = position;
  node.changed = true;
  if (position == node.Count() - 1) RaiseParentKey(depth);
}

size_t XBobjIndexTag::ParentInsert(size_t depth, const XBobjIndexKeyData& separator) {
  if (depth == 0) {
    XBobjIndexKey& node = *path_[0];
    node.Materialize();
    auto root = std::make_unique<XBobjIndexKey>();
    root->page = node.page;  // the new root keeps the root page
    root->leaf = false;
    node.page = file_->AllocatePage();
    XBobjIndexKeyData entry = node.keys.empty() ? XBobjIndexKeyData() : node.keys.back();
    entry.link = static_cast<int32_t>(node.page);
    root->keys.push_back(entry);
    root->position = 0;
    root->changed = true;
    path_.insert(path_.begin(), std::move(root));
    changed_ = true;
    depth = 1;
  }
  XBobjIndexKey& parent = *path_[depth - 1];
  parent.Materialize();
  const int at = std::clamp(parent.position, 0, parent.Count());
  parent.keys.insert(parent.keys.begin() + at, separator);
  parent.position = at + 1;
  parent.changed = true;
  return depth;
}

void XBobjIndexTag::RemoveNode(size_t depth) {
  for (;;) {
    XBobjIndexKey& node = *path_[depth];
    node.Materialize();
    if (depth == 0) {
      // An emptied root becomes an empty leaf.
      node.leaf = true;
      node.keys.clear();
      node.position = -1;
      node.changed = true;
      path_.resize(1);
      return;
    }
    // Link the neighbours to each other so no chain leads to this page.
    if (node.left != -1) PageRelink(node.left, false, 0, true, node.right);
    if (node.right != -1) PageRelink(node.right, true, node.left, false, 0);
    path_.resize(depth);
    XBobjIndexKey& parent = *path_[depth - 1];
    parent.Materialize();
    const bool wasLast = parent.position == parent.Count() - 1;
    parent.keys.erase(parent.keys.begin() + parent.position);
    parent.changed = true;
    if (parent.Count() > 0) {
      parent.position = std::min(parent.position, parent.Count() - 1);
      if (wasLast) RaiseParentKey(depth - 1);
      return;
    }
    --depth;
  }
}

bool XBobjIndexTag::KeyDelete() {
  XBobjIndexFile::ReadScope reading(*file_);
  Changing changing(*this);
  if (path_.empty()) return false;
  const size_t depth = path_.size() - 1;
  XBobjIndexKey& leaf = *path_[depth];
  if (leaf.position < 0 || leaf.position >= leaf.Count()) return false;
  const bool wasLast = leaf.position == leaf.Count() - 1;
  leaf.keys.erase(leaf.keys.begin() + leaf.position);
  leaf.changed = true;
  if (leaf.Count() == 0 && depth > 0) {
    RemoveNode(depth);
  } else {
    if (wasLast) RaiseParentKey(depth);
    leaf.position = std::min(leaf.position, leaf.Count() - 1);
  }
  FlushChain();
  return true;
}

void XBobjIndexTag::StoreAboveFirst(const XBobjIndexKey& node) {
  for (;;) {
    size_t depth = 0;
    while (depth < path_.size() && path_[depth].get() != &node) ++depth;
    size_t above = depth;
    while (above > 0 && !path_[above - 1]->changed) --above;
    if (above == 0 || depth == path_.size()) return;
    PageStore(above - 1);  // may make a new root, which moves node down the chain
  }
}

void XBobjIndexTag::FlushChain() {
  std::optional<Changing> changing;  // a store may split into the nodes above
  for (size_t k = path_.size(); k-- > 0;) {
    if (!path_[k]->changed) continue;
    if (!changing) changing.emplace(*this);
    const size_t before = path_.size();
    PageStore(k);
    k += path_.size() - before;  // a new root moved the chain down
  }
  for (auto& node : path_) node->changed = false;
  if (changed_) TagStore();
}

bool XBobjIndexTag::KeyAdd(XBobjIndexKeyData key) {
  XBobjIndexFile::ReadScope reading(*file_);
  Changing changing(*this);
  key.record = key.link;
  AdjustValue(key, true);
  atBOF_ = atEOF_ = false;
  LoadRoot();
  if (path_.empty()) return false;
  if (unique_ && Seek(key.value, -1, false) == 0) return false;
  const bool carry = file_->KeysCarryRecord();
  const int32_t seekRecord = carry ? key.record : (descendingCompare_ ? 0 : kAfterEquals);
  const int r = Seek(key.value, seekRecord, false);
  XBobjIndexKey& leaf = *path_.back();
  const int at = r == 1 ? leaf.Count() : std::max(leaf.position, 0);
  InsertAt(path_.size() - 1, at, key);
  FlushChain();
  // Stand on the new entry.
  const int again = Seek(key.value, carry ? key.record : -1, false);
  if (!carry) {
    while (again == 0 && TakeCurrent() && current_.link != key.link && MoveNext()) {}
  }
  TakeCurrent();
  SetChainFlags();
  return true;
}

bool XBobjIndexTag::KeyRemove(const XBobjIndexKeyData& key) {
  XBobjIndexFile::ReadScope reading(*file_);
  Changing changing(*this);
  if (FindForUpdate(key) != key.link || key.link == 0) return false;
  return KeyDelete();
}

// An exact search for the entry of a record, ignoring scopes.
int32_t XBobjIndexTag::FindForUpdate(const XBobjIndexKeyData& key) {
  XBobjIndexKeyData k = key;
  AdjustValue(k, true);
  const int r = Seek(k.value, k.link, false);
  if (r != 0 || !TakeCurrent()) return 0;
  if (CompareKeys(k.value, current_.value, false) != 0) return 0;
  return current_.link == k.link ? current_.link : 0;
}

bool XBobjIndexTag::HoldsCurrentRecord(bool uniqueKeyRequired) {
  vx::IndexTableLink* table = file_->Table();
  if (!table || !keyExpr_) return true;
  const int32_t record = table->CurrentRecord();
  if (record < 1) return true;
  // Keys this engine cannot build as the file's writer did prove nothing.
  if (keyExpr_->ReadsRawFields() || (forExpr_ && forExpr_->ReadsRawFields())) return true;
  XBobjIndexKeyData key;
  try {
    if ((forExpr_ || !forError_.empty()) && !ForOK()) return true;
    KeyBuild(key);
  } catch (const EXBaseExpression&) {
    return true;
  }
  key.link = key.record = record;
  AdjustValue(key, true);
  KeepPlace keep(*this);
  bool found;
  if (unique_) {
    found = Seek(key.value, -1, false) == 0 && TakeCurrent() && CompareKeys(key.value, current_.value, false) == 0;
    if (!found) return !uniqueKeyRequired;
  } else {
    found = FindForUpdate(key) == record;
    if (!found) return false;
  }
  const XBobjIndexKey& leaf = *path_.back();
  if (leaf.right <= 0) return true;
  if (leaf.right == leaf.page) file_->Damaged("page " + std::to_string(leaf.page) + " is its own right neighbour");
  XBobjIndexKey next;
  PageLoad(leaf.right, next);
  if (next.left == leaf.page) {
    // The neighbour goes on where this page ends; one whose first key sorts
    // before this page's last one closes a cycle or crosses another chain.
    if (!leaf.keys.empty() && !next.keys.empty()) {
      const XBobjIndexKeyData& last = leaf.keys.back();
      const XBobjIndexKeyData& first = next.keys.front();
      const int c = CompareKeys(last.value, first.value, false);
      if (c > 0 || (c == 0 && file_->KeysCarryRecord() && uint32_t(last.record) > uint32_t(first.record)))
        file_->Damaged("page " + std::to_string(next.page) + " is out of order after page " + std::to_string(leaf.page));
    }
    return true;
  }
  // A writer stopped inside a split may have left the first keys of a page
  // both on the new page and still on the old one: the new page took the
  // old one's left neighbour, and the old page does not point back at it.
  if (next.left == leaf.left) return false;
  // One stopped while taking an emptied page out of the chain: the right
  // neighbour still names the page between them, which names both.
  if (next.left > 0 && next.left != next.page) {
    XBobjIndexKey between;
    PageLoad(next.left, between);
    if (between.left == leaf.page && between.right == next.page) return false;
  }
  file_->Damaged("pages " + std::to_string(leaf.page) + " and " + std::to_string(next.page) +
                 " do not name each other");
}

// ---------------------------------------------------------------- keeping current

namespace {

// Runs `evaluate`; an expression error becomes a text naming the expression
// ("its FOR expression X fails (why)") in `error`. False on an error.
bool Evaluates(const char* what, const std::string& text, const std::function<void()>& evaluate, std::string& error) {
  try {
    evaluate();
    return true;
  } catch (const EXBaseExpression& e) {
    error = std::string("its ") + what + " expression " + text + " fails (" + e.Message() + ")";
    return false;
  }
}

}  // namespace

void XBobjIndexTag::TryExpressions() {
  tryError_.clear();
  XBobjIndexKeyData key;
  if (Evaluates("key", keyExprText_, [&] { KeyBuild(key); }, tryError_) && forExpr_)
    Evaluates("FOR", forExprText_, [this] { ForOK(); }, tryError_);
}

std::string XBobjIndexTag::Unmaintainable() const {
  std::string why;
  const auto raw = [](const std::unique_ptr<vx::IndexExpr>& e) { return e && e->ReadsRawFields(); };
  if (!keyError_.empty()) why = "its key expression " + keyExprText_ + " cannot be compiled (" + keyError_ + ")";
  else if (!forError_.empty()) why = "its FOR expression " + forExprText_ + " cannot be compiled (" + forError_ + ")";
  else if (raw(keyExpr_)) why = "its key expression " + keyExprText_ + " reads a field this engine gets as raw bytes";
  else if (raw(forExpr_)) why = "its FOR expression " + forExprText_ + " reads a field this engine gets as raw bytes";
  else why = tryError_;
  return why.empty() ? why : "tag " + tagName_ + " cannot be kept current: " + why;
}

bool XBobjIndexTag::PlanUpdate(int32_t record, bool appending, UpdatePlan& plan) {
  if (!Unmaintainable().empty()) throw EXBaseIndexWriteRefused(file_->WriteRefusal());
  vx::IndexTableLink* table = file_->Table();
  if (!table || !keyExpr_) return false;
  if (!appending && (!table->HasOldImage() || (!hasFor_ && !table->RecordModified()))) return false;
  // The image named by `image` fails: nothing may be written.
  std::string error;
  const auto refuse = [&](const char* image) {
    throw EXBaseIndexWriteRefused("Index tag " + tagName_ + " cannot take " + image + " record " +
                                  std::to_string(record) + ": " + error + " - " + file_->ShownName());
  };
  const auto evaluate = [&](bool& include, XBobjIndexKeyData& key) {
    return (!forExpr_ || Evaluates("FOR", forExprText_, [&] { include = ForOK(); }, error)) &&
           Evaluates("key", keyExprText_, [&] { KeyBuild(key); }, error);
  };
  if (!evaluate(plan.include, plan.newKey)) refuse(appending ? "the appended" : "the edited");
  plan.newKey.link = plan.newKey.record = record;
  AdjustValue(plan.newKey, true);
  if (appending) return true;
  bool ok;
  {
    table->UseOldImage(true);
    vx::ScopeGuard back([table] { table->UseOldImage(false); });
    ok = evaluate(plan.oldInclude, plan.oldKey);
  }
  if (!ok) refuse("the old image of");
  plan.oldKey.link = plan.oldKey.record = record;
  AdjustValue(plan.oldKey, true);
  return true;
}

bool XBobjIndexTag::FindOldEntry(const UpdatePlan& plan) {
  const int32_t record = plan.oldKey.link;
  if (FindForUpdate(plan.oldKey) == record) return true;
  // A unique tag holds the key for its first holder only, or for none once
  // that one took another key.
  if (!plan.oldInclude || unique_) return false;
  file_->Damaged("tag " + tagName_ + " has no entry for record " + std::to_string(record));
}

void XBobjIndexTag::CheckUpdate(int32_t record, bool appending) {
  XBobjIndexFile::ReadScope reading(*file_);
  vx::RestoreOnExit<bool> updating(updating_, true);
  UpdatePlan plan;
  if (!PlanUpdate(record, appending, plan) || appending) return;
  KeepPlace keep(*this);
  FindOldEntry(plan);
}

bool XBobjIndexTag::KeyUpdate(int32_t record, bool appending) {
  keyChanged_ = false;
  XBobjIndexFile::ReadScope reading(*file_);
  vx::RestoreOnExit<bool> updating(updating_, true);
  UpdatePlan plan;
  if (!PlanUpdate(record, appending, plan)) return file_->Table() && keyExpr_;
  Changing changing(*this);
  if (appending) {
    if (plan.include) {
      KeyAdd(plan.newKey);
      keyChanged_ = true;
    }
  } else {
    const bool found = FindOldEntry(plan);
    if (CompareKeys(plan.oldKey.value, plan.newKey.value, false) == 0 && plan.include) {
      if (!found) KeyAdd(plan.newKey);
    } else {
      if (found) KeyDelete();
      if (plan.include) KeyAdd(plan.newKey);
      keyChanged_ = true;
    }
  }
  FlushChain();
  return true;
}
