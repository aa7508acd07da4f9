// The texts of the dataset framework's errors.
#pragma once

namespace dbconsts {

inline constexpr const char* SDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* SDataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* SDataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* SDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* SNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* SRecordNotFound = "Record not found";
inline constexpr const char* SFieldNotFound = "Field '%s' not found";
inline constexpr const char* SFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* SFieldRequired = "Field '%s' must have a value";
inline constexpr const char* SFieldIndexError = "Field index out of range";
inline constexpr const char* SFieldTypeMismatch = "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char* SFieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* SFieldRangeError = "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* SInvalidIntegerValue = "'%s' is not a valid integer value for field '%s'";
inline constexpr const char* SInvalidFloatValue = "'%s' is not a valid floating point value for field '%s'";
inline constexpr const char* SInvalidBoolValue = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char* SInvalidDateValue = "'%s' is not a valid date and time value for field '%s'";
inline constexpr const char* SFieldValueError = "Invalid value for field '%s'";
inline constexpr const char* SDataSetMissing = "Field '%s' has no dataset";
inline constexpr const char* SDuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* SFieldNameMissing = "Field name missing";
inline constexpr const char* SDuplicateName = "Duplicate name '%s' in %s";
inline constexpr const char* SLookupInfoError = "Lookup information for field '%s' is incomplete";
inline constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* SNotIndexField = "Field '%s' is not indexed and cannot be modified";
inline constexpr const char* SNoFieldIndexes = "No index currently active";
inline constexpr const char* SIndexNotFound = "Index '%s' not found";
inline constexpr const char* SNoIndexForFields = "No index for fields '%s'";
inline constexpr const char* SFieldDefNotFound = "Field '%s' not found";
inline constexpr const char* SParameterNotFound = "Parameter '%s' not found";
inline constexpr const char* SDataSetUnidirectional = "Operation not allowed on a unidirectional dataset";
inline constexpr const char* SUnknownFieldType = "Field '%s' is of an unknown type";
inline constexpr const char* SNotABlobField = "Field '%s' is not a blob field";

// Filter expressions.
inline constexpr const char* SExprTermination = "Filter expression incorrectly terminated";
inline constexpr const char* SExprNameError = "Unterminated field name";
inline constexpr const char* SExprStringError = "Unterminated string constant";
inline constexpr const char* SExprInvalidChar = "Invalid filter expression character: '%s'";
inline constexpr const char* SExprNoRParen = "')' expected but %s found";
inline constexpr const char* SExprExpected = "Expression expected but %s found";
inline constexpr const char* SExprBadCompare = "Relational operators require a field and a constant";
inline constexpr const char* SExprBadField = "Field '%s' cannot be used in a filter expression";
inline constexpr const char* SExprNotBoolean = "Field '%s' is not of type Boolean";
inline constexpr const char* SExprIncorrect = "Incorrectly formed filter expression";
inline constexpr const char* SExprNothing = "nothing";

}  // namespace dbconsts
