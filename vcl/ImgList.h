// Image lists: a row of same-sized images on a system image list, made when first needed.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "Graphics.h"

namespace vcl {

class TCustomImageList : public TComponent {
    VCL_CLASS(TCustomImageList, TComponent)
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);
    int GetCount() const;
    // The system image list; made on first use.
    HIMAGELIST GetHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Adds the image (cut into Width-wide pieces), with an optional mask; returns the first index.
    int Add(TBitmap* Image, TBitmap* Mask);
    // Adds the image with every pixel of MaskColor transparent.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    int AddIcon(TIcon* Image);
    void Delete(int Index);
    void Clear();
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void GetBitmap(int Index, TBitmap* Image);
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;
    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);
    void Recreate();
    HIMAGELIST FHandle = nullptr;
    int FWidth = 16;
    int FHeight = 16;
};

class TImageList : public TCustomImageList {
    VCL_CLASS(TImageList, TCustomImageList)
    using TCustomImageList::TCustomImageList;
};

}  // namespace vcl
