// Bitmap files read back as they were written, and a damaged header is refused before the system reads past
// the bytes it describes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>

#include "Classes.h"
#include "Graphics.h"

using namespace vcl;

namespace {

std::string SavedBitmap()
{
    TBitmap bitmap;
    bitmap.SetSize(7, 5);
    bitmap.GetCanvas()->GetBrush()->SetColor(clRed);
    bitmap.GetCanvas()->FillRect(RECT{0, 0, 7, 5});
    TMemoryStream stream;
    bitmap.SaveToStream(&stream);
    return std::string(static_cast<const char*>(stream.GetMemory()), size_t(stream.GetSize()));
}

void Load(TBitmap& bitmap, const std::string& bytes)
{
    TMemoryStream stream;
    stream.Write(bytes.data(), int(bytes.size()));
    stream.SetPosition(0);
    bitmap.LoadFromStream(&stream);
}

// The saved file with its info header changed by `change`.
std::string Damaged(const std::function<void(BITMAPFILEHEADER&, BITMAPINFOHEADER&)>& change)
{
    std::string bytes = SavedBitmap();
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    std::memcpy(&file, bytes.data(), sizeof file);
    std::memcpy(&info, bytes.data() + sizeof file, sizeof info);
    change(file, info);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
    return bytes;
}

}  // namespace

TEST(BitmapFile, SavedBitmapLoadsBackWithItsSizeAndPixels)
{
    TBitmap bitmap;
    Load(bitmap, SavedBitmap());
    EXPECT_EQ(bitmap.GetWidth(), 7);
    EXPECT_EQ(bitmap.GetHeight(), 5);
    EXPECT_EQ(TColor(bitmap.GetCanvas()->GetPixel(3, 2)), clRed);
}

TEST(BitmapFile, HeaderDescribingMoreThanItsBytesIsRefused)
{
    const std::function<void(BITMAPFILEHEADER&, BITMAPINFOHEADER&)> damages[] = {
        [](BITMAPFILEHEADER&, BITMAPINFOHEADER& info) { info.biHeight = 4000; },
        [](BITMAPFILEHEADER&, BITMAPINFOHEADER& info) { info.biWidth = 0x7FFFFFFF; },
        [](BITMAPFILEHEADER&, BITMAPINFOHEADER& info) { info.biHeight = -0x7FFFFFFF - 1; },
        [](BITMAPFILEHEADER&, BITMAPINFOHEADER& info) { info.biBitCount = 8, info.biClrUsed = 100000; },
        [](BITMAPFILEHEADER&, BITMAPINFOHEADER& info) { info.biSize = 0x10000; },
        [](BITMAPFILEHEADER&, BITMAPINFOHEADER& info) { info.biCompression = BI_RLE8; },
        [](BITMAPFILEHEADER& file, BITMAPINFOHEADER&) { file.bfOffBits = 0xFFFFFFF0u; },
        [](BITMAPFILEHEADER& file, BITMAPINFOHEADER&) { file.bfOffBits = 2; },
    };
    for (size_t i = 0; i < std::size(damages); ++i) {
        TBitmap bitmap;
        EXPECT_THROW(Load(bitmap, Damaged(damages[i])), EInvalidGraphic) << "damage " << i;
    }
}
