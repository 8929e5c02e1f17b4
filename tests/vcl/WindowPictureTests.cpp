// Pictures of windows are taken of the window itself: a window covered on the shared screen by another one
// still comes out whole, its own or another process's.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "ExtCtrls.h"
#include "Forms.h"
#include "TestSupport.h"
#include "WindowPicture.h"
#include "WindowTestSupport.h"

using namespace vcl;

namespace {

constexpr DWORD Magenta = 0xFF00FF, Red = 0xFF0000;  // as pixels read back: 0x00RRGGBB

// A topmost plain magenta window over a screen rectangle, as another test's window may lie over ours.
class Cover {
public:
    explicit Cover(const RECT& over)
    {
        WNDCLASSW cls{};
        cls.lpfnWndProc = DefWindowProcW;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hbrBackground = brush_;
        cls.lpszClassName = L"WindowPictureCover";
        RegisterClassW(&cls);
        window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, cls.lpszClassName, L"",
                                  WS_POPUP | WS_VISIBLE, over.left, over.top, over.right - over.left,
                                  over.bottom - over.top, nullptr, nullptr, cls.hInstance, nullptr);
        UpdateWindow(window_);
        // Until the display shows it: only then can it spoil a picture copied from the screen.
        const POINT centre{(over.left + over.right) / 2, (over.top + over.bottom) / 2};
        EXPECT_TRUE(vcltest::PumpUntil([&] { return ScreenPixel(centre) == RGB(255, 0, 255); }))
            << "the cover did not show";
    }
    ~Cover()
    {
        DestroyWindow(window_);
        DeleteObject(brush_);
    }
    Cover(const Cover&) = delete;
    Cover& operator=(const Cover&) = delete;

private:
    static COLORREF ScreenPixel(POINT at)
    {
        HDC screen = GetDC(nullptr);
        const COLORREF pixel = GetPixel(screen, at.x, at.y);
        ReleaseDC(nullptr, screen);
        return pixel;
    }
    HBRUSH brush_ = CreateSolidBrush(RGB(255, 0, 255));
    HWND window_ = nullptr;
};

struct Picture {
    int Width = 0, Height = 0;
    std::vector<DWORD> Pixels;
    size_t Count(DWORD colour) const { return size_t(std::count(Pixels.begin(), Pixels.end(), colour)); }
};

// The window saved by SaveWindowPng and read back from its file.
Picture SavedPicture(HWND window, const testsupport::TempDir& folder)
{
    std::wstring path = folder.File(L"window.png");
    EXPECT_TRUE(vcltest::SaveWindowPng(window, path));
    Picture picture;
    HBITMAP bitmap = vcltest::LoadBitmapPng(path);
    if (!bitmap)
        return picture;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    picture = {info.bmWidth, info.bmHeight, vcltest::Pixels(bitmap)};
    DeleteObject(bitmap);
    return picture;
}

struct TopWindowSearch {
    DWORD Pid;
    HWND Found;
};

BOOL CALLBACK MatchShownTopWindow(HWND window, LPARAM search)
{
    auto* s = reinterpret_cast<TopWindowSearch*>(search);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != s->Pid || !IsWindowVisible(window) || GetWindow(window, GW_OWNER))
        return TRUE;
    s->Found = window;
    return FALSE;
}

HWND ShownTopWindowOf(DWORD pid)
{
    TopWindowSearch search{pid, nullptr};
    EnumWindows(&MatchShownTopWindow, LPARAM(&search));
    return search.Found;
}

}  // namespace

TEST(WindowPicture, OwnWindowCoveredOnTheScreenComesOutWhole)
{
    std::unique_ptr<TForm> form(new TForm(Application, 0));
    form->SetBounds(80, 80, 320, 240);
    auto* shape = new TShape(form.get());
    shape->SetBounds(10, 10, 200, 150);
    shape->GetShapeBrush()->SetColor(clRed);
    shape->GetPen()->SetColor(clRed);
    shape->SetParent(form.get());
    form->Show();
    RECT r;
    GetWindowRect(form->WindowHandle, &r);
    Cover cover(r);
    testsupport::TempDir folder;
    Picture picture = SavedPicture(form->WindowHandle, folder);
    EXPECT_EQ(picture.Width, r.right - r.left);
    EXPECT_EQ(picture.Height, r.bottom - r.top);
    EXPECT_GT(picture.Count(Red), 25000u) << "the form's shape";
    EXPECT_EQ(picture.Count(Magenta), 0u) << "the covering window is not in the picture";
}

// Wine's notepad stands for any other program: its window is printed by its own process through the hook.
TEST(WindowPicture, OtherProcessWindowCoveredOnTheScreenIsPrintedByItsOwnProcess)
{
    testsupport::ChildProcess notepad = testsupport::StartProgram(L"notepad.exe");
    ASSERT_TRUE(notepad.Started());
    HWND window = nullptr;
    ASSERT_TRUE(vcltest::PumpUntil([&] { return (window = ShownTopWindowOf(notepad.Pid())) != nullptr; }, 30000))
        << "notepad's window did not show";
    RECT r;
    GetWindowRect(window, &r);
    {
        Cover cover(r);
        testsupport::TempDir folder;
        Picture picture = SavedPicture(window, folder);
        EXPECT_EQ(picture.Width, r.right - r.left);
        EXPECT_EQ(picture.Height, r.bottom - r.top);
        EXPECT_EQ(picture.Count(Magenta), 0u) << "the covering window is not in the picture";
        EXPECT_GT(std::set<DWORD>(picture.Pixels.begin(), picture.Pixels.end()).size(), 2u) << "frame, menu and page";
    }
    notepad.Kill();
}
