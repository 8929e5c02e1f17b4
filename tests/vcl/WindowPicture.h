// The picture of a window, taken of the window itself (never copied from the shared screen, where another
// window may cover it), saved for people to look at.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vcltest {

// Writes the window's own picture (PrintWindowBitmap) as a PNG file. A window of another process is printed
// by that process: the hook library windowpicture.dll beside the program runs there for the moment it takes.
// False when the picture could not be written.
bool SaveWindowPng(HWND window, const std::wstring& path);

// The window's own picture: the client area of the window and of each child window in turn printed (WM_PRINT)
// into its place, and their borders, the caption and the menu bar drawn, as Wine's PrintWindow leaves the
// children and every non-client area out. Only for a window of this process. Caller deletes it.
HBITMAP PrintWindowBitmap(HWND window);
// The bitmap's pixels, top row first, each 0x00RRGGBB.
std::vector<DWORD> Pixels(HBITMAP bitmap);
// The number of different colours in the bitmap (a blank picture has one or two).
size_t ColourCount(HBITMAP bitmap);
// Writes the bitmap as a PNG file (GDI+); false when it could not be written.
bool SaveBitmapPng(HBITMAP bitmap, const std::wstring& path);
// Reads a PNG file into a bitmap (caller deletes it); nullptr when it could not be read.
HBITMAP LoadBitmapPng(const std::wstring& path);

// The hook library's work in the window's process: takes the picture a fetched request message asks for.
LRESULT AnswerPictureRequest(int code, WPARAM removed, LPARAM message);

}  // namespace vcltest
