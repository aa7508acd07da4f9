// A library on top of the test library: programs that link only this one carry the test library's resources too.
#pragma once

class TLibraryForm;

// The library's form, made by the application.
TLibraryForm* OpenLibraryForm();
