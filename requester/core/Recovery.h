#pragma once
// Taking a record file whose newest commit is damaged back to its last good commit.
#include <cstdint>
#include <string>

namespace reqcore {

// Makes the newest commit whose header slot and log are sound the file's state again (the commits after it are
// given up). 0 when that was done or the newest commit is sound; 2 when no commit is; 30 not a record file;
// 85 while a client has the file open; 12 no such file; 46 the file cannot be written.
int16_t RecoverLastGoodCommit(const std::string& path);

}  // namespace reqcore
