// The bitmap (.bmp file or bare device-independent bitmap) and icon (.ico) formats, read from and written to
// streams at their current position.
#pragma once

#include <string>

#include "rtl/Streams.h"
#include "rtl/WinApi.h"

class EInvalidGraphic : public Exception { public: using Exception::Exception; };

// A screen-compatible bitmap from the stream: a file header ("BM") is optional. nullptr when the stream is at its
// end; EInvalidGraphic when the data is no bitmap. The stream is left right after the bitmap.
HBITMAP ReadBitmap(TStream* stream);
// Writes a .bmp file (file header, 24 bits per pixel) of the bitmap, which must not be selected into a DC.
void WriteBitmap(TStream* stream, HBITMAP bitmap, Integer width, Integer height);

// The bytes of an .ico file read from the stream; EInvalidGraphic when it is no icon file.
std::string ReadIconFile(TStream* stream);
// The icon of an .ico file's bytes: the image of the system's icon size, else the first one.
HICON IconFromFile(const std::string& file);
// An .ico file of one 24-bit image with its mask.
std::string IconFileOf(HICON icon, Integer width, Integer height);
