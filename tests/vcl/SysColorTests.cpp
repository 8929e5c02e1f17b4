// Window test of new system colours: the form hears WM_SYSCOLORCHANGE and passes CM_SYSCOLORCHANGE on
// to every control on it, nested ones too.
#include <gtest/gtest.h>

#include <memory>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"

using namespace vcl;

namespace {

// Counts the CM_SYSCOLORCHANGE messages a control receives, then lets it handle them as always.
struct SysColorCounter {
    explicit SysColorCounter(TControl* control) : control(control), previous(control->WindowProc)
    {
        control->WindowProc = MakeEvent<TMessage&>(this, [this](TMessage& message) {
            if (message.Msg == CM_SYSCOLORCHANGE)
                ++count;
            this->previous(message);
        });
    }
    ~SysColorCounter() { control->WindowProc = previous; }
    TControl* control;
    TWndMethod previous;
    int count = 0;
};

}  // namespace

TEST(FormSysColor, SystemColourChangeReachesEveryControl)
{
    std::unique_ptr<TForm> form(new TForm(Application, 0));
    form->SetBounds(60, 60, 300, 200);
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    auto* edit = new TEdit(form.get());
    edit->SetParent(panel);
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    form->Show();
    SysColorCounter onPanel(panel), onEdit(edit), onLabel(label);

    SendMessageA(form->WindowHandle, WM_SYSCOLORCHANGE, 0, 0);

    EXPECT_EQ(onPanel.count, 1);
    EXPECT_EQ(onEdit.count, 1) << "a control inside a container";
    EXPECT_EQ(onLabel.count, 1) << "a windowless control";
}
