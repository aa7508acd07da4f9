// The texts of resources/HostLayouts.layout and resources/HostFiles.keys, built into the program.
#pragma once

extern const char* const HostLayoutsSource;
extern const char* const HostKeysSource;
