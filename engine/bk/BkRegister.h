// Registers the Btrieve component classes and the programs' table for form files and creation by name.
#pragma once

// Safe to call more than once; runs at start-up.
void RegisterBkClasses();
