// The registry values a demo or test machine needs (HKEY_LOCAL_MACHINE, 32-bit view): the data directory alias
// and the host settings.
#pragma once

#include <string>

// Writes the alias VAVUZ for dataDirectory (a Windows path) every time; the host settings only where missing, so a
// user's choices survive a refresh.
void WriteDemoRegistry(const std::string& dataDirectory);
