// Walks of a shared table through its active tag: what a walk trusts of the
// index between two locks of it.
//
// The tag keeps one path of pages, root to leaf, as they were read. Another
// program may split, join or rewrite any of them at any time, under the
// index lock, and leaves keys only moved along the pages, never lost. So:
//  - A move under the lock (a step that leaves the loaded leaf and so reads
//    pages, or any move under the Clipper protocol) first stands on its entry
//    again from its key and record (FindEntryAgain) unless the file's
//    version counter shows that nothing changed since the path was read. In
//    a file without a counter (.MDX, .NDX) it always does: the pages above
//    the leaf may have split, and following them would pass the keys moved
//    to new pages.
//  - A step within the loaded leaf reads no page and takes no lock while the
//    leaf is trusted: its path was found current within the present tick of
//    the coarse clock, a few milliseconds (at a lock, or by a look at the
//    version counter, which is read at most once a tick; the clock itself
//    is read every eighth step). The entries of the leaf are the entries of
//    that moment; every record is still read from the file.
//  - A record that a step without the lock reads must give the entry it came
//    from (its key and FOR condition): another program may have changed it
//    after the leaf was read. When it does not, the move is made again under
//    the lock from the entry in the file.
// A walk therefore meets every record whose entry was in the tag when the
// walk began and stayed there, in key order, and every record it returns
// gives its entry, whatever other programs append, split or change meanwhile.
#include "platform/os/os_clock.h"
#include "tables/handler/xbo_dbhandler.h"

bool XBO_dBHandler::NeedsIndexReadLock() const {
  if (!FActiveTag) return false;
  if (LockProtocol == ClipLock) return true;
  XBO_DiskFile* disk = FActiveTag->File()->Disk();
  return disk && disk->Shared();
}

bool XBO_dBHandler::ActiveTagTrusted() {
  if (!FActiveTag || FTrustedTag != FActiveTag) return false;
  // The clock is looked at every few steps: a tick outlives its end by a
  // handful of steps at most, for a clock read less at every step.
  if (FUntimedSteps > 0) {
    --FUntimedSteps;
    return true;
  }
  if (vx::CurrentOsClock().CoarseMilliseconds() != FTrustedAt) return false;
  FUntimedSteps = kUntimedSteps;
  return true;
}

void XBO_dBHandler::TrustActiveTag() {
  FTrustedTag = FActiveTag;
  FTrustedAt = vx::CurrentOsClock().CoarseMilliseconds();
  FUntimedSteps = kUntimedSteps;
}

bool XBO_dBHandler::StepsInTrustedLeaf(int code) {
  if ((code != xbNext && code != xbPrior) || FActiveTag->PeekStep(code) < 1) return false;
  XBobjIndexFile* file = FActiveTag->File();
  const bool counted = file->VersionKnown();
  if (counted && file->VersionMoves() != FTagMoves) return false;  // seen by another read meanwhile
  if (ActiveTagTrusted()) return true;
  if (!counted) return false;
  file->CheckVersion();
  if (!file->VersionKnown() || file->VersionMoves() != FTagMoves) return false;
  TrustActiveTag();
  return true;
}

int XBO_dBHandler::RefindActiveTag(int code, int direction, bool reread, bool& refound) {
  refound = false;
  XBobjIndexFile* file = FActiveTag->File();
  const std::uint64_t moves = file->VersionMoves();
  // Without a counter nothing tells that the pages stayed as they were.
  const bool unchanged = file->VersionKnown() && moves == FTagMoves;
  FTagMoves = moves;
  TrustActiveTag();
  if ((unchanged && !reread) || code == xbTop || code == xbBottom) return code;
  const XBobjIndexKeyData entry = FActiveTag->CurrentKey();
  // A tag off the current record is put back on it by the move itself.
  if (entry.link <= 0 || entry.link != RecNo || FActiveTag->AtEOF() || FActiveTag->AtBOF()) return code;
  refound = true;
  bool found = false;
  const int next = FActiveTag->FindEntryAgain(entry, direction, found);
  if (!found) return next;
  return reread ? xbCurrent : code;
}
