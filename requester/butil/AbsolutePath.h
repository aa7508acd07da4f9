#pragma once
#include <string>

namespace butil {

// The name resolved against the process's current directory; an absolute name is returned as it is.
std::string AbsolutePath(const std::string& name);

}  // namespace butil
