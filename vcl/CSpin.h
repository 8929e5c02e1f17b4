// The spin edit: an edit holding a whole number kept within MinValue..MaxValue, with up/down arrows.
#pragma once

#include "StdCtrls.h"

namespace vcl {

class TCSpinEdit;

// The arrows: a system up-down control inside the edit, reporting to it.
class TCSpinButton : public TWinControl {
    VCL_CLASS(TCSpinButton, TWinControl)
    explicit TCSpinButton(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CNNotify(TMessage& Message);

private:
    friend class TCSpinEdit;
    TCSpinEdit* FEdit = nullptr;
};

class TCSpinEdit : public TCustomEdit {
    VCL_CLASS(TCSpinEdit, TCustomEdit)
    explicit TCSpinEdit(TComponent* AOwner);
    int GetMinValue() const { return FMinValue; }
    void SetMinValue(int Value);
    int GetMaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value);
    int GetIncrement() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    // The number shown, clamped; text that is no number reads as MinValue.
    int GetValue() const;
    void SetValue(int Value);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Dispatch(TMessage& Message) override;
    TNotifyEvent GetOnClick() const { return OnClick; }
    void SetOnClick(TNotifyEvent Value) { OnClick = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    // An arrow was pressed: the value moves by Increment, then OnClick.
    virtual void Step(int Direction);
    void CMExit(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);

private:
    friend class TCSpinButton;
    int Clamp(int Value) const;
    void PlaceButton();
    TCSpinButton* FButton;
    int FMinValue = 0;
    int FMaxValue = 100;
    int FIncrement = 1;
};

}  // namespace vcl
