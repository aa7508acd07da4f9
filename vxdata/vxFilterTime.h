// Routines of the library datasets' record filters and queries: field values and memo texts of the record the
// engine is filtering, the Escape check of a long filter pass, rich text read as plain text, and the engine-side
// helpers of queries (lines as one text, an alias's path, the answer table).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "rtl/Types.h"

class TBaseTable;
class TbqBDEDataset;
class TbqDBDataset;
class TField;
class TMemoryStream;
class TObject;
class TParam;
class TRichEdit;
class TStrings;
class TWinControl;

// The field's value in the engine's record form, written into buffer (grown to hold it) and given to the parameter,
// which takes the field's type. Strings and memos: at most 32767 characters and a NUL; smallint and word 2 bytes;
// integer 4; Boolean 1 byte (255 or 0); float and currency a double; date the day number, time the milliseconds
// since midnight (4 bytes each); date-time a double of milliseconds. Other types leave the parameter as it is.
void vxFieldToParam(TField* field, TParam* param, std::vector<char>& buffer);

// Reads the field's blob of the engine's record buffer into dest: at most maxSize, the library's FilterMemoSize
// and dest's size less the terminating NUL. A memo that transliterates is turned into ANSI. Returns the bytes read;
// an engine failure raises.
Integer vxReadBlobAtFilter(TbqBDEDataset* dataSet, Byte* record, std::vector<char>& dest, TField* field,
                           Integer maxSize);

// Takes the next key message (key-down to character) off the thread's queue; for Escape, switches the dataset's
// ofoEnabled filter option off and answers true.
bool vxCheckFilterEscape(TObject* dataSet);

// Converts the first size bytes of text from rich text to plain text in place (at most text's size less the NUL);
// size becomes the plain text's length. The stream and the hidden rich edit (on owner) are made on the first call
// and kept by the caller for the next ones.
void vxRichTextToPlain(TWinControl* owner, std::vector<char>& text, Integer& size, TRichEdit*& richEdit,
                       TMemoryStream*& stream);

// The lines as one NUL-terminated text, separated by a blank or by CR LF.
std::unique_ptr<char[]> vxStringsToPChar(TStrings* lines, bool blankSeparated);

// The "path" entry of the alias's configuration in the library datasets' engine; empty when there is none.
void vxGetAliasPath(const std::string& alias, std::string& path);

// Makes the query's answer table: a name ":alias:rest" is placed in the alias's directory; a name on another
// drive than the session's private directory is a copy of the result cursor; other names are set on the cursor.
// False, with a message, when any of it fails.
bool vxPrepareAnswerTable(TbqDBDataset* dataSet, TBaseTable* cursor, const std::string& answerTable);
