// Test pictures written through the imaging components: a gradient with a dark frame, of a chosen size,
// density, pixel format and file format.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <string>

namespace testimages {

void Write(const std::wstring& path, const GUID& container, UINT width, UINT height, double dpi,
           bool colour = true);

}  // namespace testimages
