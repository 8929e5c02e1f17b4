// The class library's extra controls with wide hints (shape, paint box, image, bevel, splitter) and, where they
// show text, wide captions on Unicode windows (panel, control bar); and a radio group of the layer's own whose
// items are wide strings.
#pragma once

#include <windows.h>

#include <vector>

#include "ExtCtrls.h"
#include "WydActnList.h"
#include "WydClasses.h"
#include "WydControls.h"
#include "WydForms.h"
#include "WydGraphics.h"
#include "WydStdCtrls.h"

class TWydShape : public TWydControlOf<vcl::TShape> {
    VCL_CLASS(TWydShape, vcl::TShape)
    using TWydControlOf::TWydControlOf;
};

class TWydPaintBox : public TWydControlOf<vcl::TPaintBox> {
    VCL_CLASS(TWydPaintBox, vcl::TPaintBox)
    using TWydControlOf::TWydControlOf;
};

// An image whose picture loads and saves files by wide names.
class TWydImage : public TWydControlOf<vcl::TImage> {
    VCL_CLASS(TWydImage, vcl::TImage)
    explicit TWydImage(vcl::TComponent* owner);
    TWydPicture* GetPicture() const { return static_cast<TWydPicture*>(TImage::GetPicture()); }
    void SetPicture(vcl::TPicture* value) { TImage::SetPicture(value); }
};

class TWydBevel : public TWydControlOf<vcl::TBevel> {
    VCL_CLASS(TWydBevel, vcl::TBevel)
    using TWydControlOf::TWydControlOf;
};

class TWydSplitter : public TWydControlOf<vcl::TSplitter> {
    VCL_CLASS(TWydSplitter, vcl::TSplitter)
    using TWydControlOf::TWydControlOf;
};

class TWydCustomPanel : public TWydControlOf<vcl::TCustomPanel> {
    VCL_CLASS(TWydCustomPanel, vcl::TCustomPanel)
    using TWydControlOf::TWydControlOf;
    WideString GetCaption() const { return WydControl_GetText(const_cast<TWydCustomPanel*>(this)); }
    void SetCaption(const WideString& value) { WydControl_SetText(this, value); }
    bool IsCaptionStored() const { return WydControl_IsCaptionStored(const_cast<TWydCustomPanel*>(this)); }

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    // Bevels, border and the wide caption (on NT; elsewhere the class library's painting).
    void Paint() override;
};

class TWydPanel : public TWydCustomPanel {
    VCL_CLASS(TWydPanel, TWydCustomPanel)
    using TWydCustomPanel::TWydCustomPanel;
};

class TWydCustomControlBar : public TWydControlOf<vcl::TCustomControlBar> {
    VCL_CLASS(TWydCustomControlBar, vcl::TCustomControlBar)
    using TWydControlOf::TWydControlOf;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
};

class TWydControlBar : public TWydCustomControlBar {
    VCL_CLASS(TWydControlBar, TWydCustomControlBar)
    using TWydCustomControlBar::TWydCustomControlBar;
};

// ---- Radio group

class TWydCustomRadioGroup;

// One button of a radio group. A click reaches the group only while the group can be modified, and never
// re-enters while one is being handled.
class TWydGroupButton : public TWydRadioButton {
    VCL_CLASS(TWydGroupButton, TWydRadioButton)
    // Made by its group: hidden, enabled as the group, joined to the group's buttons.
    explicit TWydGroupButton(vcl::TComponent* group);
    ~TWydGroupButton() override;
    void Dispatch(vcl::TMessage& message) override;

protected:
    void KeyDown(WORD& key, vcl::TShiftState shift) override;
    void KeyPress(char& key) override;
    void CNCommand(vcl::TMessage& message);

private:
    TWydCustomRadioGroup* group_;
    bool inClick_ = false;
};

// A group box with one radio button per wide item, in 1 to 16 columns; ItemIndex is the checked one (-1:
// none). The buttons are the group's own and are not streamed.
class TWydCustomRadioGroup : public TWydCustomGroupBox {
    VCL_CLASS(TWydCustomRadioGroup, TWydCustomGroupBox)
    explicit TWydCustomRadioGroup(vcl::TComponent* owner);
    ~TWydCustomRadioGroup() override;
    TWydStrings* GetItems() const { return items_; }
    void SetItems(TWydStrings* value) { items_->Assign(value); }
    int GetItemIndex() const { return itemIndex_; }
    // Kept as given while the group is read from a stream; otherwise within -1 .. item count - 1.
    void SetItemIndex(int value);
    int GetColumns() const { return columns_; }
    // Within 1 .. 16.
    void SetColumns(int value);
    int GetButtonCount() const { return int(buttons_.size()); }
    TWydGroupButton* GetButton(int index) const { return buttons_.at(size_t(index)); }
    virtual bool CanModify() { return true; }
    void FlipChildren(bool allLevels) { (void)allLevels; }
    void GetChildren(const vcl::TGetChildProc& proc, vcl::TComponent* root) override;
    void ReadState(vcl::TReader* reader) override;
    void Loaded() override;
    void Dispatch(vcl::TMessage& message) override;

protected:
    // Places the buttons in their columns, all in one deferred move.
    void ArrangeButtons();
    // One button per item, captions from the items, the item index's button checked.
    void UpdateButtons();
    void SetButtonCount(int count);
    void ButtonClick(vcl::TObject* sender);
    void ItemsChange(vcl::TObject* sender);
    void CMEnabledChanged(vcl::TMessage& message);
    void CMFontChanged(vcl::TMessage& message);
    void WMSize(vcl::TMessage& message);

private:
    friend class TWydGroupButton;
    std::vector<TWydGroupButton*> buttons_;
    TWydStringList* items_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool reading_ = false;
    bool updating_ = false;
};

class TWydRadioGroup : public TWydCustomRadioGroup {
    VCL_CLASS(TWydRadioGroup, TWydCustomRadioGroup)
    using TWydCustomRadioGroup::TWydCustomRadioGroup;
};

// The geometry of a radio group's buttons: where button `index` of `count` goes in a group of the given size
// whose font is `fontHeight` high (left-to-right; a right-to-left group mirrors it).
RECT RadioGroupButtonRect(int index, int count, int columns, int groupWidth, int groupHeight, int fontHeight);

// Unit start: the classes become known to form streams.
void InitWydExtCtrls();
