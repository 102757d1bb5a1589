// Shared vocabulary of the data-set framework: states, field types, record
// buffers, bookmarks, data events and the small option sets.
//
// Enumerators are unscoped and carry the class library's prefixes
// (dsBrowse, ftInteger, bfEOF ...) so that code over data sets reads as the
// class library's did. Sets are TSet<...> over these enumerations.
#pragma once

#include <cstdint>
#include <string>

#include "platform/rtl/set.h"

// State of a data set. The temporary states (dsCalcFields, dsFilter,
// dsNewValue, dsOldValue, dsInternalCalc) are only entered through
// TDataSet::SetTempState while a calculation or filter callback runs.
enum TDataSetState {
  dsInactive,
  dsBrowse,
  dsEdit,
  dsInsert,
  dsSetKey,
  dsCalcFields,
  dsFilter,
  dsNewValue,
  dsOldValue,
  dsCurValue,
  dsBlockRead,
  dsInternalCalc,
  dsOpening
};

enum TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftFmtMemo
};

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

// Where a record buffer stands: on a real record, on a record being
// inserted, or on the "before first" / "after last" crack of an empty
// insert or an append. Stored by the data set in one byte of each buffer.
enum TBookmarkFlag : std::uint8_t { bfCurrent, bfBOF, bfEOF, bfInserted };

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };

enum TResyncModeItem { rmExact, rmCenter };
using TResyncMode = TSet<TResyncModeItem>;

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;

enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOption>;

enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

// What an OnPostError / OnEditError / OnDeleteError handler asks for.
enum TDataAction { daFail, daAbort, daRetry };

// Notifications a data set sends to its data sources and links.
enum TDataEvent {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode,
  dePropertyChange,
  deFieldListChange,
  deFocusControl,
  deParentScroll
};

enum TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression, ixNonMaintained };
using TIndexOptions = TSet<TIndexOption>;

class TStream;

// A record buffer: raw bytes allocated by the data set descendant
// (AllocRecordBuffer); the framework never looks inside it.
using TRecordBuffer = char*;

// A bookmark is an opaque byte string of BookmarkSize bytes; empty = none.
using TBookmark = std::string;
using TBookmarkStr = std::string;

// The editing states, in which fields may be written.
inline bool IsEditState(TDataSetState s) { return s == dsEdit || s == dsInsert; }
