// Image files through Windows' imaging components: decoding any supported file and writing a bitmap in a
// chosen container (TIFF, BMP, JPEG, PNG), keeping the density.
#pragma once

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <stdexcept>
#include <string>

namespace wic {

using Microsoft::WRL::ComPtr;

class WicError : public std::runtime_error {
public:
    WicError(const std::string& what, HRESULT result);
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

// COM for the calling thread, for the object's lifetime.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

ComPtr<IWICImagingFactory> Factory();

// The first frame of an image file, whatever its format.
struct DecodedImage {
    ComPtr<IWICBitmapFrameDecode> frame;
    GUID container;
};
DecodedImage Decode(const std::wstring& path);

// Writes `source` as one frame of `container` to `path` (created or replaced). The pixel format is the
// source's when the encoder takes it, else the closest one the encoder offers.
void Encode(IWICBitmapSource* source, const GUID& container, double dpiX, double dpiY, const std::wstring& path);

}  // namespace wic
