// Extra controls with wide hints and captions, and the layer's radio group with wide items.
#include "WydExtCtrls.h"

#include <algorithm>

#include "Forms.h"
#include "WydComCtrls.h"
#include "WydWindows.h"

using namespace vcl;

namespace {

template <class C>
void PublishWideHint(TMetaClass& m)
{
    m.Publish("Hint", &C::GetHint, &C::SetHint).Stored(&C::IsHintStored);
}

// The height of a font as its text metrics give it.
int FontHeight(TFont* font)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->GetHandle());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight;
}

}  // namespace

VCL_IMPLEMENT_CLASS(TWydShape, TShape, { PublishWideHint<TWydShape>(m); })
VCL_IMPLEMENT_CLASS(TWydPaintBox, TPaintBox, { PublishWideHint<TWydPaintBox>(m); })
VCL_IMPLEMENT_CLASS(TWydImage, TImage, { PublishWideHint<TWydImage>(m); })
VCL_IMPLEMENT_CLASS(TWydBevel, TBevel, { PublishWideHint<TWydBevel>(m); })
VCL_IMPLEMENT_CLASS(TWydSplitter, TSplitter, { PublishWideHint<TWydSplitter>(m); })
VCL_IMPLEMENT_CLASS(TWydCustomPanel, TCustomPanel)
VCL_IMPLEMENT_CLASS(TWydPanel, TWydCustomPanel, {
    m.Publish("Caption", &TWydPanel::GetCaption, &TWydPanel::SetCaption).Stored(&TWydPanel::IsCaptionStored);
    PublishWideHint<TWydPanel>(m);
    const std::vector<AnsiString> cuts = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
    m.Publish("BevelInner", &TWydPanel::GetBevelInner, &TWydPanel::SetBevelInner).WithNames(cuts).WithDefault(0);
    m.Publish("BevelOuter", &TWydPanel::GetBevelOuter, &TWydPanel::SetBevelOuter).WithNames(cuts).WithDefault(2);
    m.Publish("BevelWidth", &TWydPanel::GetBevelWidth, &TWydPanel::SetBevelWidth).WithDefault(1);
    m.Publish("BorderWidth", &TWydPanel::GetBorderWidth, &TWydPanel::SetBorderWidth).WithDefault(0);
    m.Publish("Alignment", &TWydPanel::GetAlignment, &TWydPanel::SetAlignment)
        .WithNames({"taLeftJustify", "taRightJustify", "taCenter"})
        .WithDefault(2);
})
VCL_IMPLEMENT_CLASS(TWydCustomControlBar, TCustomControlBar)
VCL_IMPLEMENT_CLASS(TWydControlBar, TWydCustomControlBar, {
    PublishWideHint<TWydControlBar>(m);
    m.Publish("RowSize", &TWydControlBar::GetRowSize, &TWydControlBar::SetRowSize).WithDefault(26);
    m.Publish("RowSnap", &TWydControlBar::GetRowSnap, &TWydControlBar::SetRowSnap).WithDefault(1);
    m.Publish("AutoDrag", &TWydControlBar::GetAutoDrag, &TWydControlBar::SetAutoDrag).WithDefault(1);
    m.Publish("OnBandMove", &TWydControlBar::GetOnBandMove, &TWydControlBar::SetOnBandMove);
})
VCL_IMPLEMENT_CLASS(TWydGroupButton, TWydRadioButton)
VCL_IMPLEMENT_CLASS(TWydCustomRadioGroup, TWydCustomGroupBox)
VCL_IMPLEMENT_CLASS(TWydRadioGroup, TWydCustomRadioGroup, {
    m.Publish("Caption", &TWydRadioGroup::GetCaption, &TWydRadioGroup::SetCaption)
        .Stored(&TWydRadioGroup::IsCaptionStored);
    PublishWideHint<TWydRadioGroup>(m);
    m.PublishReadOnly("Items", &TWydRadioGroup::GetItems);
    m.Publish("ItemIndex", &TWydRadioGroup::GetItemIndex, &TWydRadioGroup::SetItemIndex).WithDefault(-1);
    m.Publish("Columns", &TWydRadioGroup::GetColumns, &TWydRadioGroup::SetColumns).WithDefault(1);
})

// =============================================================================================
// Image, panel, control bar

TWydImage::TWydImage(TComponent* owner) : TWydControlOf(owner)
{
    auto* picture = new TWydPicture;
    picture->OnProgress = TImage::GetPicture()->OnProgress;
    ReplacePicture(picture);  // which takes the change handler over
}

void TWydCustomPanel::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, WideString());
}

void TWydCustomPanel::Paint()
{
    if (!Win32PlatformIsUnicode) {
        TCustomPanel::Paint();
        return;
    }
    TCanvas* canvas = GetCanvas();
    RECT rect = TCustomControl::GetClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == TBevelCut::bvNone)
            return;
        bool lowered = cut == TBevelCut::bvLowered;
        Frame3D(canvas, rect, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow,
                GetBevelWidth());
    };
    bevel(GetBevelOuter());
    Frame3D(canvas, rect, GetColor(), GetColor(), GetBorderWidth());
    bevel(GetBevelInner());
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(rect);
    canvas->GetBrush()->SetStyle(TBrushStyle::bsClear);
    canvas->GetFont()->Assign(GetFont());
    int height = WideCanvasTextHeight(canvas, L"W");
    rect.top = (rect.top + rect.bottom - height) / 2;
    rect.bottom = rect.top + height;
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    WideCanvasDrawText(canvas, GetCaption(), rect,
                       DrawTextBiDiModeFlags(DT_EXPANDTABS | DT_VCENTER | alignments[int(GetAlignment())]));
}

void TWydCustomControlBar::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, WideString());
}

// =============================================================================================
// Group button

TWydGroupButton::TWydGroupButton(TComponent* group)
    : TWydRadioButton(group), group_(dynamic_cast<TWydCustomRadioGroup*>(group))
{
    if (!group_)
        return;
    group_->buttons_.push_back(this);
    SetVisible(false);
    SetEnabled(group_->GetEnabled());
    SetParentShowHint(false);
    OnClick = TNotifyEvent(group_, &TWydCustomRadioGroup::ButtonClick);
    SetParent(group_);
}

TWydGroupButton::~TWydGroupButton()
{
    if (group_)
        group_->buttons_.erase(std::remove(group_->buttons_.begin(), group_->buttons_.end(), this),
                               group_->buttons_.end());
}

VCL_BEGIN_MESSAGE_MAP(TWydGroupButton)
    VCL_MESSAGE(CN_COMMAND, CNCommand)
VCL_END_MESSAGE_MAP(TWydRadioButton)

void TWydGroupButton::CNCommand(TMessage& message)
{
    WORD code = HIWORD(message.WParam);
    if (code != BN_CLICKED && code != BN_DOUBLECLICKED) {
        TWydRadioButton::Dispatch(message);
        return;
    }
    if (inClick_)
        return;
    TScopedValue<bool> clicking(inClick_, true);
    try {
        if (!group_ || group_->CanModify())
            TWydRadioButton::Dispatch(message);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TWydGroupButton::KeyDown(WORD& key, TShiftState shift)
{
    TWydRadioButton::KeyDown(key, shift);
    if (group_)
        group_->KeyDown(key, shift);
}

void TWydGroupButton::KeyPress(char& key)
{
    TWydRadioButton::KeyPress(key);
    if (!group_)
        return;
    group_->KeyPress(key);
    if ((key == VK_BACK || key == ' ') && !group_->CanModify())
        key = 0;
}

// =============================================================================================
// Radio group

RECT RadioGroupButtonRect(int index, int count, int columns, int groupWidth, int groupHeight, int fontHeight)
{
    int perColumn = (count + columns - 1) / columns;
    int width = (groupWidth - 10) / columns;
    int freeHeight = groupHeight - fontHeight - 5;
    int height = freeHeight / perColumn;
    int topMargin = fontHeight + 1 + (freeHeight % perColumn) / 2;
    int left = (index / perColumn) * width + 8;
    int top = (index % perColumn) * height + topMargin;
    return {left, top, left + width, top + height};
}

TWydCustomRadioGroup::TWydCustomRadioGroup(TComponent* owner)
    : TWydCustomGroupBox(owner), items_(new TWydStringList)
{
    ControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    items_->OnChange = TNotifyEvent(this, &TWydCustomRadioGroup::ItemsChange);
}

TWydCustomRadioGroup::~TWydCustomRadioGroup()
{
    SetButtonCount(0);
    items_->OnChange = nullptr;
    delete items_;
}

void TWydCustomRadioGroup::SetButtonCount(int count)
{
    while (GetButtonCount() < count)
        new TWydGroupButton(this);
    while (GetButtonCount() > count)
        delete buttons_.back();
}

void TWydCustomRadioGroup::UpdateButtons()
{
    SetButtonCount(items_->GetCount());
    for (int i = 0; i < GetButtonCount(); ++i)
        buttons_[size_t(i)]->SetCaption(items_->Get(i));
    // An index read from a stream may lie beyond the items.
    itemIndex_ = std::min(itemIndex_, GetButtonCount() - 1);
    if (itemIndex_ >= 0) {
        TScopedValue<bool> updating(updating_, true);
        buttons_[size_t(itemIndex_)]->SetChecked(true);
    }
    ArrangeButtons();
    Invalidate();
}

void TWydCustomRadioGroup::ArrangeButtons()
{
    if (buttons_.empty() || reading_)
        return;
    const int count = GetButtonCount();
    const int fontHeight = FontHeight(GetFont());
    HDWP batch = HandleAllocated() ? BeginDeferWindowPos(count) : nullptr;
    for (int i = 0; i < count; ++i) {
        TWydGroupButton* button = buttons_[size_t(i)];
        RECT r = RadioGroupButtonRect(i, count, columns_, GetWidth(), GetHeight(), fontHeight);
        int width = r.right - r.left, height = r.bottom - r.top;
        if (UseRightToLeftAlignment())
            r.left = GetClientWidth() - r.left - width;
        button->SetBiDiMode(GetBiDiMode());
        if (batch)
            batch = DeferWindowPos(batch, button->GetHandle(), nullptr, r.left, r.top, width, height,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
        else
            button->SetBounds(r.left, r.top, width, height);
        button->SetVisible(true);
    }
    if (batch)
        EndDeferWindowPos(batch);
}

void TWydCustomRadioGroup::ButtonClick(TObject* sender)
{
    if (updating_)
        return;
    auto found = std::find(buttons_.begin(), buttons_.end(), sender);
    if (found == buttons_.end())
        return;
    itemIndex_ = int(found - buttons_.begin());
    Changed();
    Click();
}

void TWydCustomRadioGroup::ItemsChange(TObject*)
{
    if (reading_)
        return;
    if (itemIndex_ >= items_->GetCount())
        itemIndex_ = items_->GetCount() - 1;
    UpdateButtons();
}

void TWydCustomRadioGroup::SetItemIndex(int value)
{
    if (reading_) {
        itemIndex_ = value;
        return;
    }
    value = std::clamp(value, -1, items_->GetCount() - 1);
    if (value == itemIndex_)
        return;
    if (itemIndex_ >= 0 && itemIndex_ < GetButtonCount())
        buttons_[size_t(itemIndex_)]->SetChecked(false);
    itemIndex_ = value;
    if (itemIndex_ >= 0 && itemIndex_ < GetButtonCount())
        buttons_[size_t(itemIndex_)]->SetChecked(true);
}

void TWydCustomRadioGroup::SetColumns(int value)
{
    value = std::clamp(value, 1, 16);
    if (value == columns_)
        return;
    columns_ = value;
    ArrangeButtons();
    Invalidate();
}

void TWydCustomRadioGroup::GetChildren(const TGetChildProc&, TComponent*) {}

void TWydCustomRadioGroup::ReadState(TReader* reader)
{
    {
        TScopedValue<bool> reading(reading_, true);
        TWydCustomGroupBox::ReadState(reader);
    }
    UpdateButtons();
}

void TWydCustomRadioGroup::Loaded()
{
    TWydCustomGroupBox::Loaded();
    ArrangeButtons();
}

VCL_BEGIN_MESSAGE_MAP(TWydCustomRadioGroup)
    VCL_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged)
    VCL_MESSAGE(CM_FONTCHANGED, CMFontChanged)
    VCL_MESSAGE(WM_SIZE, WMSize)
VCL_END_MESSAGE_MAP(TWydCustomGroupBox)

void TWydCustomRadioGroup::CMEnabledChanged(TMessage& message)
{
    TWydCustomGroupBox::Dispatch(message);
    for (TWydGroupButton* button : buttons_)
        button->SetEnabled(GetEnabled());
}

void TWydCustomRadioGroup::CMFontChanged(TMessage& message)
{
    TWydCustomGroupBox::Dispatch(message);
    ArrangeButtons();
}

void TWydCustomRadioGroup::WMSize(TMessage& message)
{
    TWydCustomGroupBox::Dispatch(message);
    ArrangeButtons();
}

void InitWydExtCtrls()
{
    RegisterClasses({TWydShape::StaticClass(), TWydPaintBox::StaticClass(), TWydImage::StaticClass(),
                     TWydBevel::StaticClass(), TWydSplitter::StaticClass(), TWydPanel::StaticClass(),
                     TWydControlBar::StaticClass(), TWydRadioGroup::StaticClass()});
}
