// Window tests of the toolkit that take the focus: the user's own changes through the keyboard.
#include <gtest/gtest.h>

#include <memory>

#include "ComCtrls.h"
#include "Forms.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {
struct FocusFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(40, 40, 320, 200);
    }
    void TearDown() override { form.reset(); }
    LRESULT Send(TWinControl* control, UINT msg, WPARAM w = 0, LPARAM l = 0)
    {
        return SendMessageA(control->WindowHandle, msg, w, l);
    }
    std::unique_ptr<TForm> form;
};
}  // namespace

TEST_F(FocusFixture, DateTimePickerReportsTheUsersChange)
{
    auto* picker = new TDateTimePicker(form.get());
    picker->SetBounds(8, 8, 200, 24);
    picker->SetParent(form.get());
    picker->SetDate(EncodeDate(2024, 3, 10));
    int changes = 0;
    picker->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++changes; });
    form->Show();
    SetForegroundWindow(form->WindowHandle);
    picker->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return picker->Focused(); }, 3000));
    SendMessageA(picker->WindowHandle, WM_KEYDOWN, VK_RIGHT, 0);  // the first field, then a step up
    SendMessageA(picker->WindowHandle, WM_KEYDOWN, VK_UP, 0);
    ASSERT_TRUE(PumpUntil([&] { return changes > 0 && picker->GetDate() != EncodeDate(2024, 3, 10); }, 3000));
    SYSTEMTIME st{};
    Send(picker, DTM_GETSYSTEMTIME, 0, LPARAM(&st));
    EXPECT_DOUBLE_EQ(picker->GetDate(), EncodeDate(st.wYear, st.wMonth, st.wDay));
}
