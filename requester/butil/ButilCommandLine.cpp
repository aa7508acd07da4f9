#include "requester/butil/ButilCommandLine.h"

#include <algorithm>
#include <cctype>

#include "requester/butil/ButilCommands.h"
#include "requester/core/Statuses.h"

namespace butil {

namespace {

constexpr char kUsage[] =
    "usage: Butil -create <file> <description file>\n"
    "       Butil -stat <file>\n"
    "       Butil -save <file> <text file>\n"
    "       Butil -load <text file> <file>\n"
    "       Butil -recover <file>";

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

CommandResult RunCommand(const std::vector<std::string>& arguments, std::ostream& out) {
  const std::string command = arguments.empty() ? "" : Lowered(arguments[0]);
  const size_t count = arguments.size();
  if (command == "-create" && count == 3) return CreateRecordFile(arguments[1], arguments[2], out);
  if (command == "-stat" && count == 2) return StatRecordFile(arguments[1], out);
  if (command == "-save" && count == 3) return SaveRecords(arguments[1], arguments[2], out);
  if (command == "-load" && count == 3) return LoadRecords(arguments[1], arguments[2], out);
  if (command == "-recover" && count == 2) return RecoverRecordFile(arguments[1], out);
  return {reqcore::Status::InvalidOperation, std::string("unknown command or wrong arguments\n") + kUsage};
}

void ReportFailure(const CommandResult& result, std::ostream& err) {
  if (!result.detail.empty()) err << "Butil: " << result.detail << "\n";
  const char* text = reqcore::StatusText(result.status);
  err << "Status " << result.status << (text ? std::string(": ") + text : std::string()) << "\n";
}

}  // namespace

int RunButil(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const CommandResult result = RunCommand(arguments, out);
  if (result.status != reqcore::Status::Ok) ReportFailure(result, err);
  return result.status;
}

}  // namespace butil
