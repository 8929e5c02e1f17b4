// Reads what a PDF needs to know of a JPEG file from its markers: size, colour components and density.
#pragma once

#include <stdexcept>
#include <string_view>

namespace pdf {

class PdfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct JpegInfo {
    unsigned width = 0;
    unsigned height = 0;
    unsigned components = 0;  // 1 grey, 3 colour, 4 CMYK
    double dpiX = 72.0;       // 72 when the file gives no density
    double dpiY = 72.0;
    bool adobeInverted = false;  // Adobe-marked CMYK, stored inverted
};

// Throws PdfError for anything a PDF reader's DCT filter could not show.
JpegInfo ParseJpeg(std::string_view bytes);

}  // namespace pdf
