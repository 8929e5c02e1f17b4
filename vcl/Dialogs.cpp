// Dialogs: message and input forms built in code.
#include "Dialogs.h"

#include <algorithm>

#include "StdCtrls.h"

namespace vcl {

namespace {

struct ButtonInfo {
    TMsgDlgBtn button;
    const char* caption;
    int result;
};
const ButtonInfo Buttons[] = {
    {TMsgDlgBtn::mbYes, "&Yes", mrYes},          {TMsgDlgBtn::mbNo, "&No", mrNo},
    {TMsgDlgBtn::mbOK, "OK", mrOk},              {TMsgDlgBtn::mbCancel, "Cancel", mrCancel},
    {TMsgDlgBtn::mbAbort, "&Abort", mrAbort},    {TMsgDlgBtn::mbRetry, "&Retry", mrRetry},
    {TMsgDlgBtn::mbIgnore, "&Ignore", mrIgnore}, {TMsgDlgBtn::mbAll, "&All", mrAll},
    {TMsgDlgBtn::mbNoToAll, "N&o to All", mrNoToAll}, {TMsgDlgBtn::mbYesToAll, "Yes to &All", mrYesToAll},
    {TMsgDlgBtn::mbHelp, "&Help", mrNone}};

const char* const Captions[] = {"Warning", "Error", "Information", "Confirm", ""};
LPCSTR const Icons[] = {IDI_WARNING, IDI_ERROR, IDI_INFORMATION, IDI_QUESTION, nullptr};

// Draws the dialog's system icon.
class TMessageIcon : public TGraphicControl {
    VCL_CLASS(TMessageIcon, TGraphicControl)
    explicit TMessageIcon(TComponent* AOwner) : TGraphicControl(AOwner) {}
    HICON Icon = nullptr;

protected:
    void Paint() override
    {
        if (Icon)
            DrawIcon(GetCanvas()->GetHandle(), 0, 0, Icon);
    }
};

SIZE MeasureText(TFont* Font, const AnsiString& Text, int MaxWidth)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font->GetHandle());
    RECT r{0, 0, MaxWidth, 0};
    DrawTextA(dc, Text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {r.right, r.bottom};
}

}  // namespace

VCL_IMPLEMENT_CLASS(TMessageIcon, TGraphicControl)

TForm* CreateMessageDialog(const AnsiString& Caption, const AnsiString& Msg, TMsgDlgType DlgType,
                           TMsgDlgButtons ButtonSet)
{
    auto* form = new TForm(Application, 0);
    try {
        form->SetBorderStyle(TFormBorderStyle::bsDialog);
        form->SetPosition(TPosition::poScreenCenter);
        form->SetCaption(Caption.empty() ? AnsiString(Captions[int(DlgType)]) : Caption);
        form->GetFont()->SetName("Arial");
        form->GetFont()->SetSize(9);
        const int margin = 12, buttonWidth = 75, buttonHeight = 25, gap = 8;
        int left = margin;
        if (LPCSTR iconId = Icons[int(DlgType)]) {
            auto* icon = new TMessageIcon(form);
            icon->Icon = LoadIconA(nullptr, iconId);
            icon->SetBounds(margin, margin, 32, 32);
            icon->SetParent(form);
            left += 32 + margin;
        }
        SIZE text = MeasureText(form->GetFont(), Msg, Screen ? Screen->GetWidth() / 2 : 400);
        auto* label = new TLabel(form);
        label->SetName("Message");
        label->SetShowAccelChar(false);
        label->SetWordWrap(true);
        label->SetBounds(left, margin, text.cx + 4, text.cy);
        label->SetAutoSize(false);
        label->SetCaption(Msg);
        label->SetParent(form);
        int count = int(std::count_if(std::begin(Buttons), std::end(Buttons), [&](const ButtonInfo& b) {
            return std::find(ButtonSet.begin(), ButtonSet.end(), b.button) != ButtonSet.end();
        }));
        int buttonsWidth = count * buttonWidth + std::max(0, count - 1) * gap;
        int width = std::max<int>(left + int(text.cx) + margin, buttonsWidth + 2 * margin);
        int top = margin + std::max<int>(int(text.cy), 32) + margin;
        form->SetClientWidth(width);
        form->SetClientHeight(top + buttonHeight + margin);
        int x = (width - buttonsWidth) / 2;
        bool first = true;
        for (const ButtonInfo& info : Buttons) {
            if (std::find(ButtonSet.begin(), ButtonSet.end(), info.button) == ButtonSet.end())
                continue;
            auto* button = new TButton(form);
            button->SetCaption(info.caption);
            button->SetModalResult(info.result);
            button->SetBounds(x, top, buttonWidth, buttonHeight);
            button->SetDefault(first);
            button->SetCancel(info.result == mrCancel || (count == 1));
            button->SetParent(form);
            if (first)
                form->SetActiveControl(button);
            first = false;
            x += buttonWidth + gap;
        }
    } catch (...) {
        delete form;
        throw;
    }
    return form;
}

int MessageDlg(const AnsiString& Caption, const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
               int HelpCtx)
{
    std::unique_ptr<TForm> form(CreateMessageDialog(Caption, Msg, DlgType, Buttons));
    form->HelpContext = HelpCtx;
    return form->ShowModal();
}

int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx)
{
    return MessageDlg(AnsiString(), Msg, DlgType, Buttons, HelpCtx);
}

void ShowMessage(const AnsiString& Msg)
{
    MessageDlg(Application ? Application->GetTitle() : AnsiString(), Msg, TMsgDlgType::mtCustom,
               {TMsgDlgBtn::mbOK}, 0);
}

bool InputQuery(const AnsiString& Caption, const AnsiString& Prompt, AnsiString& Value)
{
    std::unique_ptr<TForm> form(new TForm(Application, 0));
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    form->SetPosition(TPosition::poScreenCenter);
    form->SetCaption(Caption);
    form->SetClientWidth(260);
    form->SetClientHeight(100);
    auto* label = new TLabel(form.get());
    label->SetCaption(Prompt);
    label->SetBounds(8, 8, 240, 16);
    label->SetParent(form.get());
    auto* edit = new TEdit(form.get());
    edit->SetBounds(8, 28, 244, 21);
    edit->SetMaxLength(255);
    edit->SetText(Value);
    edit->SetParent(form.get());
    auto* ok = new TButton(form.get());
    ok->SetCaption("OK");
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    ok->SetBounds(96, 64, 75, 25);
    ok->SetParent(form.get());
    auto* cancel = new TButton(form.get());
    cancel->SetCaption("Cancel");
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    cancel->SetBounds(177, 64, 75, 25);
    cancel->SetParent(form.get());
    form->SetActiveControl(edit);
    if (form->ShowModal() != mrOk)
        return false;
    Value = edit->GetText();
    return true;
}

AnsiString InputBox(const AnsiString& Caption, const AnsiString& Prompt, const AnsiString& Default)
{
    AnsiString value = Default;
    InputQuery(Caption, Prompt, value);
    return value;
}

}  // namespace vcl
