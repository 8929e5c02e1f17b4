// Walks the JPEG marker segments up to the start of scan.
#include "JpegInfo.h"

namespace pdf {
namespace {

unsigned Be16(std::string_view bytes, size_t at) {
    return (unsigned(static_cast<unsigned char>(bytes[at])) << 8) | static_cast<unsigned char>(bytes[at + 1]);
}

bool IsFrameMarker(unsigned marker) {
    // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

void ReadJfifDensity(std::string_view segment, JpegInfo& info) {
    if (segment.size() < 12 || segment.substr(0, 5) != std::string_view("JFIF\0", 5)) return;
    const unsigned units = static_cast<unsigned char>(segment[7]);
    const unsigned x = Be16(segment, 8), y = Be16(segment, 10);
    if (x == 0 || y == 0) return;
    if (units == 1) {
        info.dpiX = x;
        info.dpiY = y;
    } else if (units == 2) {
        info.dpiX = x * 2.54;
        info.dpiY = y * 2.54;
    }
}

}  // namespace

JpegInfo ParseJpeg(std::string_view bytes) {
    if (bytes.size() < 4 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xD8)
        throw PdfError("not a JPEG file");
    JpegInfo info;
    bool haveFrame = false;
    size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (static_cast<unsigned char>(bytes[at]) != 0xFF) throw PdfError("damaged JPEG marker");
        const unsigned marker = static_cast<unsigned char>(bytes[at + 1]);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9) break;
        const unsigned length = Be16(bytes, at + 2);
        if (length < 2 || at + 2 + length > bytes.size()) throw PdfError("truncated JPEG segment");
        const std::string_view segment = bytes.substr(at + 4, length - 2);
        if (marker == 0xDA) {
            if (!haveFrame) throw PdfError("JPEG scan before its frame header");
            return info;
        }
        if (marker == 0xE0) ReadJfifDensity(segment, info);
        if (marker == 0xEE && segment.size() >= 5 && segment.substr(0, 5) == "Adobe") info.adobeInverted = true;
        if (IsFrameMarker(marker)) {
            if (segment.size() < 6) throw PdfError("short JPEG frame header");
            if (static_cast<unsigned char>(segment[0]) != 8) throw PdfError("JPEG sample precision is not 8 bits");
            info.height = Be16(segment, 1);
            info.width = Be16(segment, 3);
            info.components = static_cast<unsigned char>(segment[5]);
            if (info.width == 0 || info.height == 0) throw PdfError("JPEG without a stated size");
            if (info.components != 1 && info.components != 3 && info.components != 4)
                throw PdfError("JPEG with an unsupported number of colour components");
            haveFrame = true;
        }
        at += 2 + length;
    }
    throw PdfError("JPEG without image data");
}

}  // namespace pdf
