// Image lists take bitmaps whose canvas is still in use, with and without a mask, and draw them back.
#include <gtest/gtest.h>

#include "ImgList.h"
#include "WindowTestSupport.h"

using namespace vcl;

namespace {

// A 16 x 16 bitmap painted through its canvas (which keeps it selected into the canvas's DC).
void Paint(TBitmap& bitmap, TColor colour)
{
    bitmap.SetSize(16, 16);
    bitmap.GetCanvas()->GetBrush()->SetColor(colour);
    bitmap.GetCanvas()->FillRect(RECT{0, 0, 16, 16});
}

TColor DrawnAt(TCustomImageList& list, int index, int x, int y)
{
    TBitmap surface;
    Paint(surface, clYellow);
    list.Draw(surface.GetCanvas(), 0, 0, index);
    return TColor(surface.GetCanvas()->GetPixel(x, y));
}

}  // namespace

TEST(ImageList, AddTakesBitmapsWhoseCanvasIsInUse)
{
    TImageList list(nullptr);
    TBitmap red, blue;
    Paint(red, clRed);
    Paint(blue, clBlue);
    EXPECT_EQ(list.Add(&red, nullptr), 0);
    EXPECT_EQ(list.AddMasked(&blue, clOlive), 1);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(DrawnAt(list, 0, 8, 8), clRed);
    EXPECT_EQ(DrawnAt(list, 1, 8, 8), clBlue);
    EXPECT_EQ(TColor(red.GetCanvas()->GetPixel(3, 3)), clRed) << "the canvas still paints after the list took it";
}
