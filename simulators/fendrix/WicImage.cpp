// Decoding and encoding through the imaging factory; every failure becomes a WicError with its HRESULT.
#include "WicImage.h"

#include <cstdio>

namespace wic {
namespace {

void Check(HRESULT result, const char* what) {
    if (FAILED(result)) throw WicError(what, result);
}

// Wine's BMP encoder leaves the palette out of the file size in the header of palette images; readers such as
// ImageMagick then refuse the file. Sets the size to the file's real length.
void MendBmpFileSize(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw WicError("cannot reopen the image file", HRESULT_FROM_WIN32(GetLastError()));
    BITMAPFILEHEADER header{};
    DWORD done = 0;
    const DWORD size = GetFileSize(file, nullptr);
    const bool mend = ReadFile(file, &header, sizeof header, &done, nullptr) && done == sizeof header &&
                      header.bfType == 0x4D42 && header.bfSize != size;
    if (mend) {
        header.bfSize = size;
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        WriteFile(file, &header, sizeof header, &done, nullptr);
    }
    CloseHandle(file);
}

}  // namespace

WicError::WicError(const std::string& what, HRESULT result)
    : std::runtime_error([&] {
          char text[32];
          snprintf(text, sizeof text, " (0x%08lx)", static_cast<unsigned long>(result));
          return what + text;
      }()),
      result_(result) {}

ComApartment::ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}

ComApartment::~ComApartment() {
    if (initialised_) CoUninitialize();
}

ComPtr<IWICImagingFactory> Factory() {
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)),
          "no imaging factory");
    return factory;
}

DecodedImage Decode(const std::wstring& path) {
    auto factory = Factory();
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                             &decoder),
          "cannot decode the image file");
    DecodedImage image;
    Check(decoder->GetContainerFormat(&image.container), "unknown image container");
    Check(decoder->GetFrame(0, &image.frame), "image without a frame");
    return image;
}

void Encode(IWICBitmapSource* source, const GUID& container, double dpiX, double dpiY, const std::wstring& path) {
    auto factory = Factory();
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(&stream), "no stream");
    Check(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE), "cannot create the image file");
    ComPtr<IWICBitmapEncoder> encoder;
    Check(factory->CreateEncoder(container, nullptr, &encoder), "no encoder for the format");
    Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), "cannot start the encoder");
    ComPtr<IWICBitmapFrameEncode> frame;
    Check(encoder->CreateNewFrame(&frame, nullptr), "cannot add a frame");
    Check(frame->Initialize(nullptr), "cannot start the frame");
    UINT width = 0, height = 0;
    Check(source->GetSize(&width, &height), "image without a size");
    Check(frame->SetSize(width, height), "cannot size the frame");
    Check(frame->SetResolution(dpiX, dpiY), "cannot set the density");

    WICPixelFormatGUID have{}, take{};
    Check(source->GetPixelFormat(&have), "image without a pixel format");
    take = have;
    Check(frame->SetPixelFormat(&take), "no pixel format for the encoder");
    ComPtr<IWICBitmapSource> written = source;
    const bool indexed = have == GUID_WICPixelFormat1bppIndexed || have == GUID_WICPixelFormat2bppIndexed ||
                         have == GUID_WICPixelFormat4bppIndexed || have == GUID_WICPixelFormat8bppIndexed;
    ComPtr<IWICPalette> palette;
    if (indexed && take == have) {  // the encoder writes the palette it is given, not the source's
        Check(factory->CreatePalette(&palette), "no palette");
        Check(source->CopyPalette(palette.Get()), "image without its palette");
        Check(frame->SetPalette(palette.Get()), "cannot set the palette");
    }
    if (take != have) {
        ComPtr<IWICBitmapSource> converted;
        Check(WICConvertBitmapSource(take, source, &converted), "cannot convert the pixels for the encoder");
        written = converted;
    }
    Check(frame->WriteSource(written.Get(), nullptr), "cannot write the pixels");
    Check(frame->Commit(), "cannot finish the frame");
    Check(encoder->Commit(), "cannot finish the image file");
    Check(stream->Commit(STGC_DEFAULT), "cannot finish the image file");
    frame.Reset();  // the encoder and its frame hold the stream, and the stream the file
    encoder.Reset();
    stream.Reset();
    if (container == GUID_ContainerFormatBmp) MendBmpFileSize(path);
}

}  // namespace wic
