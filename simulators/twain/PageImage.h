// The scanner's pages: a generated sheet reading "Page N", or a picture file from a folder, written as an image
// file of the negotiated format, pixel type, size and resolution.
#pragma once

#include "TwainTypes.h"

#include <string>

namespace twain {

struct PageSpec {
    TW_UINT16 fileFormat;  // TWFF_TIFF, TWFF_BMP, TWFF_JFIF or TWFF_PNG
    TW_UINT16 pixelType;   // TWPT_BW, TWPT_GRAY or TWPT_RGB
    unsigned dpiX, dpiY;
    TW_UINT16 pageSize;  // TWSS_ code
};

// Width and height in pixels of a page size at a resolution.
void PagePixels(const PageSpec& spec, unsigned& width, unsigned& height);

// Writes the generated page `number` (side: "front", "back" or empty). Throws std::runtime_error.
void WriteGeneratedPage(const PageSpec& spec, int number, const std::wstring& side, const std::wstring& path);
// Writes the picture file `source` converted to the spec's format and pixel type; its own size is kept.
void WriteFilePage(const PageSpec& spec, const std::wstring& source, const std::wstring& path);

}  // namespace twain
