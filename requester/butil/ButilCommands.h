#pragma once
// The maintenance tool's commands. Relative file names resolve in the current directory.
#include <cstdint>
#include <ostream>
#include <string>

namespace butil {

// A command's status (0 or a record-manager status) and, on failure, what failed.
struct CommandResult {
  int16_t status = 0;
  std::string detail;
};

// Creates a record file from a description file; an existing file is refused with status 59.
CommandResult CreateRecordFile(const std::string& file, const std::string& descriptionFile, std::ostream& out);
// Writes the file's description, with its number of records, to out.
CommandResult StatRecordFile(const std::string& file, std::ostream& out);
// Writes every record, in physical order, as one hex line to the text file.
CommandResult SaveRecords(const std::string& file, const std::string& textFile, std::ostream& out);
// Inserts the record of each hex line of the text file.
CommandResult LoadRecords(const std::string& textFile, const std::string& file, std::ostream& out);
// Takes a file whose newest commit is damaged back to its last good commit.
CommandResult RecoverRecordFile(const std::string& file, std::ostream& out);

}  // namespace butil
