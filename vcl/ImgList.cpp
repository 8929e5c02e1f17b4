// Image lists over the system's image lists.
#include "ImgList.h"

#include <vector>

namespace vcl {

VCL_IMPLEMENT_CLASS(TCustomImageList, TComponent)
VCL_IMPLEMENT_CLASS(TImageList, TCustomImageList, {
    m.Publish("Width", &TImageList::GetWidth, &TImageList::SetWidth).WithDefault(16);
    m.Publish("Height", &TImageList::GetHeight, &TImageList::SetHeight).WithDefault(16);
})

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList()
{
    if (FHandle)
        ImageList_Destroy(FHandle);
}

HIMAGELIST TCustomImageList::GetHandle()
{
    if (!FHandle)
        FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR24 | ILC_MASK, 4, 4);
    return FHandle;
}

int TCustomImageList::GetCount() const
{
    return FHandle ? ImageList_GetImageCount(FHandle) : 0;
}

void TCustomImageList::Recreate()
{
    if (FHandle) {
        ImageList_Destroy(FHandle);
        FHandle = nullptr;
    }
    Change();
}

void TCustomImageList::SetWidth(int Value)
{
    if (Value > 0 && Value != FWidth) {
        FWidth = Value;
        Recreate();
    }
}

void TCustomImageList::SetHeight(int Value)
{
    if (Value > 0 && Value != FHeight) {
        FHeight = Value;
        Recreate();
    }
}

void TCustomImageList::Change()
{
    OnChange(this);
}

namespace {
// The system list needs the bitmaps outside any device context: a bitmap whose canvas is in use is copied.
HBITMAP FreeHandleOf(TBitmap* Bitmap, TBitmap& Copy)
{
    Copy.Assign(Bitmap);
    return Copy.GetHandle();
}
}  // namespace

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    if (!Image || Image->GetEmpty())
        return -1;
    TBitmap image, mask;
    int index = ImageList_Add(GetHandle(), FreeHandleOf(Image, image), Mask ? FreeHandleOf(Mask, mask) : nullptr);
    if (index < 0)
        throw EInvalidOperation("Failed to add the image to the image list");
    Change();
    return index;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
    if (!Image || Image->GetEmpty())
        return -1;
    TBitmap copy;
    int index = ImageList_AddMasked(GetHandle(), FreeHandleOf(Image, copy), ColorToRGB(MaskColor));
    if (index < 0)
        throw EInvalidOperation("Failed to add the image to the image list");
    Change();
    return index;
}

int TCustomImageList::AddIcon(TIcon* Image)
{
    if (!Image || Image->GetEmpty())
        return -1;
    int index = ImageList_AddIcon(GetHandle(), Image->GetHandle());
    Change();
    return index;
}

void TCustomImageList::Delete(int Index)
{
    if (FHandle && ImageList_Remove(FHandle, Index))
        Change();
}

void TCustomImageList::Clear()
{
    if (FHandle)
        ImageList_RemoveAll(FHandle);
    Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled)
{
    if (!FHandle || Index < 0 || Index >= GetCount())
        return;
    ImageList_DrawEx(FHandle, Index, Canvas->GetHandle(), X, Y, 0, 0, CLR_NONE, CLR_NONE,
                     ILD_TRANSPARENT | (Enabled ? 0 : ILD_BLEND50));
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image)
{
    Image->SetSize(FWidth, FHeight);
    Image->GetCanvas()->GetBrush()->SetColor(clWhite);
    Image->GetCanvas()->FillRect(RECT{0, 0, FWidth, FHeight});
    Draw(Image->GetCanvas(), 0, 0, Index);
}

void TCustomImageList::Assign(TPersistent* Source)
{
    if (auto* other = dynamic_cast<TCustomImageList*>(Source)) {
        if (FHandle)
            ImageList_Destroy(FHandle);
        FWidth = other->FWidth;
        FHeight = other->FHeight;
        FHandle = other->FHandle ? ImageList_Duplicate(other->FHandle) : nullptr;
        Change();
        return;
    }
    TComponent::Assign(Source);
}

// In a form stream the images travel as one strip bitmap (all images side by side) with its mask.
void TCustomImageList::DefineProperties(TFiler* Filer)
{
    TComponent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Bitmap", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, GetCount() > 0);
}

void TCustomImageList::ReadData(TStream* Stream)
{
    TBitmap strip;
    strip.LoadFromStream(Stream);
    Clear();
    AddMasked(&strip, clOlive);
}

void TCustomImageList::WriteData(TStream* Stream)
{
    int count = GetCount();
    TBitmap strip;
    strip.SetSize(FWidth * count, FHeight);
    strip.GetCanvas()->GetBrush()->SetColor(clOlive);
    strip.GetCanvas()->FillRect(RECT{0, 0, FWidth * count, FHeight});
    for (int i = 0; i < count; ++i)
        Draw(strip.GetCanvas(), i * FWidth, 0, i);
    strip.SaveToStream(Stream);
}

}  // namespace vcl
