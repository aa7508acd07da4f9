#pragma once
// The maintenance tool's command line: runs one command and returns the exit code (0 or the failing status).
#include <ostream>
#include <string>
#include <vector>

namespace butil {

int RunButil(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace butil
