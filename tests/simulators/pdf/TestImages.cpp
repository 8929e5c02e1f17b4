// Builds the picture in memory and hands it to the shared encoder.
#include "TestImages.h"

#include "WicImage.h"

#include <vector>

namespace testimages {

void Write(const std::wstring& path, const GUID& container, UINT width, UINT height, double dpi, bool colour) {
    wic::ComApartment com;
    const UINT channels = colour ? 3 : 1;
    const UINT stride = (width * channels + 3) & ~3u;
    std::vector<BYTE> pixels(size_t(stride) * height);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            const bool frame = x < 4 || y < 4 || x + 4 >= width || y + 4 >= height;
            for (UINT c = 0; c < channels; ++c)
                pixels[size_t(y) * stride + x * channels + c] = frame ? 0 : BYTE((x * (c + 1) + y) & 0xFF);
        }
    wic::ComPtr<IWICBitmap> bitmap;
    const HRESULT made = wic::Factory()->CreateBitmapFromMemory(
        width, height, colour ? GUID_WICPixelFormat24bppBGR : GUID_WICPixelFormat8bppGray, stride,
        static_cast<UINT>(pixels.size()), pixels.data(), &bitmap);
    if (FAILED(made)) throw wic::WicError("cannot make the test picture", made);
    wic::Encode(bitmap.Get(), container, dpi, dpi, path);
}

}  // namespace testimages
