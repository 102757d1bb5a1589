// EDatabaseError and the data-set framework's message texts.
//
// DatabaseError(message, component) raises EDatabaseError with the text
// "Name: message" when the component has a name, else the message alone,
// as the class library did.
#pragma once

#include "platform/rtl/sysutils.h"

class TComponent;

VX_DECLARE_EXCEPTION(EDatabaseError, Exception)
// Failed conversion of a Variant ("Could not convert variant ...").
VX_DECLARE_EXCEPTION(EVariantError, Exception)

[[noreturn]] void DatabaseError(const AnsiString& message, const TComponent* component = nullptr);
[[noreturn]] void DatabaseErrorFmt(std::string_view message, std::initializer_list<TFormatArg> args,
                                   const TComponent* component = nullptr);

namespace vx::dbtext {
inline constexpr const char* DataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* DataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* DataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* DataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* NotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* RecordNotFound = "Record not found";
inline constexpr const char* FieldNotFound = "Field '%s' not found";
inline constexpr const char* FieldRequired = "Field '%s' must have a value";
inline constexpr const char* FieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* DuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* DataSetMissing = "Field '%s' has no dataset";
inline constexpr const char* FieldTypeMismatch = "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char* InvalidIntegerValue = "'%s' is not a valid integer value";
inline constexpr const char* InvalidFloatValue = "'%s' is not a valid floating point value";
inline constexpr const char* InvalidBoolValue = "'%s' is not a valid boolean value";
inline constexpr const char* InvalidDateValue = "'%s' is not a valid date";
inline constexpr const char* InvalidDateTimeValue = "'%s' is not a valid date and time";
inline constexpr const char* FieldRangeError = "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* FieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* CircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* FieldIndexError = "Field index out of range";
inline constexpr const char* LookupInfoError = "Lookup information for field '%s' is incomplete";
inline constexpr const char* NoDataSet = "Missing DataSet property";
inline constexpr const char* BookmarkNotFound = "Bookmark not found for dataset";
}  // namespace vx::dbtext
