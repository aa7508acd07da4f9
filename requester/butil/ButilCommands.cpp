#include "requester/butil/ButilCommands.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "requester/butil/AbsolutePath.h"
#include "requester/butil/DescriptionParser.h"
#include "requester/butil/DescriptionWriter.h"
#include "requester/butil/RecordFile.h"
#include "requester/butil/RecordText.h"
#include "requester/butil/SpecLayout.h"
#include "requester/core/Recovery.h"
#include "requester/core/Statuses.h"

namespace butil {

namespace Status = reqcore::Status;

namespace {

CommandResult Failure(int16_t status, const std::string& detail) {
  return {status, detail};
}

bool ReadTextFile(const std::string& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream content;
  content << file.rdbuf();
  text = content.str();
  return true;
}

// A file that does not open; a damaged one may open again at its last good commit.
CommandResult OpenFailure(int16_t status, const std::string& path) {
  std::string detail = "cannot open " + path;
  if (status == Status::IoError) detail += " (Butil -recover takes a damaged file back to its last good commit)";
  return Failure(status, detail);
}

std::string WithoutCarriageReturn(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

CommandResult CreateRecordFile(const std::string& file, const std::string& descriptionFile, std::ostream& out) {
  const std::string descriptionPath = AbsolutePath(descriptionFile);
  std::string text;
  if (!ReadTextFile(descriptionPath, text)) return Failure(Status::FileNotFound, "cannot read " + descriptionPath);
  FileDescription description;
  try {
    description = ParseDescription(text);
  } catch (const DescriptionError& error) {
    return Failure(Status::InvalidOperation, descriptionPath + ": " + error.what());
  }
  const std::string path = AbsolutePath(file);
  const int16_t status = RecordFile::Create(path, EncodeCreateSpec(description));
  if (status != Status::Ok) return Failure(status, "cannot create " + path);
  out << "Created " << path << "\n";
  return {};
}

CommandResult StatRecordFile(const std::string& file, std::ostream& out) {
  const std::string path = AbsolutePath(file);
  RecordFile recordFile;
  int16_t status = recordFile.Open(path, reqcore::OpenMode::ReadOnly);
  if (status != Status::Ok) return OpenFailure(status, path);
  std::vector<uint8_t> reply;
  status = recordFile.Stat(reply);
  if (status != Status::Ok) return Failure(status, "cannot read the statistics of " + path);
  out << FormatDescription(DecodeStatReply(reply.data(), reply.size()));
  return {};
}

CommandResult SaveRecords(const std::string& file, const std::string& textFile, std::ostream& out) {
  const std::string path = AbsolutePath(file);
  RecordFile recordFile;
  int16_t status = recordFile.Open(path, reqcore::OpenMode::ReadOnly);
  if (status != Status::Ok) return OpenFailure(status, path);
  const std::string textPath = AbsolutePath(textFile);
  std::ofstream text(textPath, std::ios::binary | std::ios::trunc);
  if (!text) return Failure(Status::IoError, "cannot write " + textPath);
  size_t count = 0;
  std::vector<uint8_t> record;
  for (status = recordFile.StepFirst(record); status == Status::Ok; status = recordFile.StepNext(record)) {
    text << RecordToHexLine(record.data(), record.size()) << "\n";
    ++count;
  }
  if (status != Status::EndOfFile) {
    return Failure(status, "cannot read record " + std::to_string(count + 1) + " of " + path);
  }
  text.close();
  if (!text) return Failure(Status::IoError, "cannot write " + textPath);
  out << "Saved " << count << " records to " << textPath << "\n";
  return {};
}

CommandResult LoadRecords(const std::string& textFile, const std::string& file, std::ostream& out) {
  const std::string textPath = AbsolutePath(textFile);
  std::string text;
  if (!ReadTextFile(textPath, text)) return Failure(Status::FileNotFound, "cannot read " + textPath);
  const std::string path = AbsolutePath(file);
  RecordFile recordFile;
  int16_t status = recordFile.Open(path, reqcore::OpenMode::Normal);
  if (status != Status::Ok) return OpenFailure(status, path);
  std::istringstream lines(text);
  size_t count = 0;
  int lineNumber = 0;
  for (std::string line; std::getline(lines, line);) {
    ++lineNumber;
    line = WithoutCarriageReturn(line);
    if (!IsRecordLine(line)) continue;
    const std::string where = textPath + " line " + std::to_string(lineNumber) + " (" + std::to_string(count) +
                              " records loaded before it)";
    const auto record = RecordFromHexLine(line);
    if (!record) return Failure(Status::InvalidOperation, where + ": not hexadecimal bytes");
    status = recordFile.Insert(*record);
    if (status != Status::Ok) return Failure(status, where + ": the record was not inserted");
    ++count;
  }
  out << "Loaded " << count << " records into " << path << "\n";
  return {};
}

CommandResult RecoverRecordFile(const std::string& file, std::ostream& out) {
  const std::string path = AbsolutePath(file);
  const int16_t status = reqcore::RecoverLastGoodCommit(path);
  if (status != Status::Ok) return Failure(status, "cannot recover " + path);
  out << "Recovered " << path << ": it stands at its last good commit\n";
  return {};
}

}  // namespace butil
