// Registers the dataset framework's component classes (fields, data source) for form files and creation by name.
#pragma once

// Safe to call more than once; programs call it before reading forms that hold data sources or fields.
void RegisterDBClasses();
