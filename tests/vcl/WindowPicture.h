// The picture of a window on the test display, saved for people to look at.
#pragma once

#include <windows.h>

#include <string>

namespace vcltest {

// Writes the window's picture on the screen as a PNG file (GDI+); false when it could not be written.
bool SaveWindowPng(HWND window, const std::wstring& path);

// The window's own picture (not the shared screen's, which another window may cover): the window printed, then
// each child window printed into its place, as Wine's PrintWindow leaves the children out. Caller deletes it.
HBITMAP PrintWindowBitmap(HWND window);
// The number of different colours in the bitmap (a blank picture has one or two).
size_t ColourCount(HBITMAP bitmap);
// Writes the bitmap as a PNG file (GDI+); false when it could not be written.
bool SaveBitmapPng(HBITMAP bitmap, const std::wstring& path);

}  // namespace vcltest
