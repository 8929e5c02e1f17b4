// The check tree's four state images, read back pixel by pixel: the layer's boxes in the tree's colours
// (with the transparent band and the mark one step off the transparent colour) and, with a visual style,
// the style's check-box states.
#include <gtest/gtest.h>

#include <memory>

#include "QvTestSupport.h"
#include "QvThemeSrv.h"
#include "QvTreeVw.h"

using namespace vcl;

namespace {

constexpr TColor background = clYellow;

// Each test chooses the branch, and the services follow the system again afterwards.
class QvCheckImages : public ::testing::Test {
protected:
    void UseBranch(TThemeTestMode mode)
    {
        TThemeServices::SetTestMode(mode);
        ThemeServices()->UpdateThemes();
        tree = std::make_unique<TQvCheckTree>(nullptr);
    }
    void TearDown() override
    {
        tree.reset();
        TThemeServices::SetTestMode(TThemeTestMode::Automatic);
        FreeThemeServices();
    }
    // The image drawn on a yellow surface, so that transparent pixels show yellow.
    std::unique_ptr<QvSurface> Image(int index)
    {
        auto surface = std::make_unique<QvSurface>(16, 16, background);
        tree->GetCheckImages()->Draw(surface->Canvas(), 0, 0, index);
        return surface;
    }
    std::unique_ptr<TQvCheckTree> tree;
};

TEST_F(QvCheckImages, PlainBoxesInTheTreeColours)
{
    UseBranch(TThemeTestMode::ForceUnthemed);
    ASSERT_EQ(tree->GetCheckImages()->GetCount(), 4);
    EXPECT_EQ(tree->GetCheckImages()->GetWidth(), 16);
    const TColor window = Rgb(clWindow), frame = Rgb(clBtnShadow), mark = Rgb(clHighlight);
    const struct {
        int index, x, y;
        TColor expected;
        const char* what;
    } rows[] = {
        {1, 0, 0, background, "left band transparent"},     {1, 1, 8, background, "left band transparent"},
        {1, 8, 1, background, "top band transparent"},       {1, 15, 15, background, "right band transparent"},
        {1, 2, 2, frame, "outer box in the frame colour"},    {1, 14, 14, frame, "outer box in the frame colour"},
        {1, 3, 3, window, "inner shade in the window colour"}, {1, 13, 13, window, "inner light in the window colour"},
        {1, 8, 8, window, "empty box"},                       {0, 8, 8, window, "the filler is an empty box"},
        {0, 2, 2, frame, "the filler is an empty box"},       {2, 5, 8, mark, "tick"},
        {2, 11, 6, mark, "tick"},                             {2, 10, 12, window, "beside the tick"},
        {3, 8, 8, mark, "grey fill"},                         {3, 4, 12, mark, "grey fill"},
        {3, 3, 3, window, "around the grey fill"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(Image(row.index)->At(row.x, row.y), row.expected) << "image " << row.index << " at " << row.x
                                                                     << "," << row.y;
    }
}

TEST_F(QvCheckImages, MarkStaysVisibleInTheTransparentColour)
{
    UseBranch(TThemeTestMode::ForceUnthemed);
    const struct {
        TColor highlight;
        TColor drawn;
    } rows[] = {{clOlive, TColor(0x008081)}, {clGray, TColor(0x808081)}, {clRed, clRed}, {clBlue, clBlue}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.highlight);
        tree->SetHighlightColor(row.highlight);
        EXPECT_EQ(Image(csChecked)->At(5, 8), row.drawn);
        EXPECT_EQ(Image(csPartiallyChecked)->At(8, 8), row.drawn);
    }
    tree->SetFrameColor(clRed);
    EXPECT_EQ(Image(csUnchecked)->At(2, 2), Rgb(clBtnShadow)) << "a new frame colour waits for the next build";
    tree->InitStateImages();
    EXPECT_EQ(Image(csUnchecked)->At(2, 2), clRed);
}

TEST_F(QvCheckImages, ThemedBoxesAreTheStyleStates)
{
    UseBranch(TThemeTestMode::ForceThemed);
    ASSERT_TRUE(ThemeServices()->ThemesEnabled());
    ASSERT_EQ(tree->GetCheckImages()->GetCount(), 4);
    // The same drawings, one over the other on one white bitmap, as the images were made.
    QvSurface reference(16, 16, clWhite);
    const TThemedButton states[] = {tbCheckBoxUncheckedNormal, tbCheckBoxUncheckedNormal, tbCheckBoxCheckedNormal,
                                    tbCheckBoxMixedNormal};
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        ThemeServices()->DrawElement(reference.Canvas()->GetHandle(), TThemeServices::GetElementDetails(states[index]),
                                     RECT{0, 0, 16, 16});
        auto image = Image(index);
        int differing = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) differing += image->At(x, y) != reference.At(x, y);
        EXPECT_EQ(differing, 0);
        EXPECT_NE(image->At(8, 8), background) << "themed images are opaque";
    }
    auto unchecked = Image(csUnchecked), checked = Image(csChecked), mixed = Image(csPartiallyChecked);
    int tickPixels = 0, mixedPixels = 0;
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) {
            tickPixels += checked->At(x, y) != unchecked->At(x, y);
            mixedPixels += mixed->At(x, y) != unchecked->At(x, y);
        }
    EXPECT_GT(tickPixels, 4) << "the checked state shows a mark";
    EXPECT_GT(mixedPixels, 4) << "the mixed state shows a mark";
}

}  // namespace
