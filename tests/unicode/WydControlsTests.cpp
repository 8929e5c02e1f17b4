// Window tests of the Unicode controls' foundations: wide captions kept before and after the window and across
// re-creation, typed characters beyond the code page, the hook, wide hints, form streams, clipboard, canvases.
#include <gtest/gtest.h>

#include "Forms.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"
#include "WydClipBrd.h"
#include "WydControls.h"
#include "WydForms.h"
#include "WydGraphics.h"
#include "WydTestSupport.h"

using namespace vcl;
using namespace wydtest;
using vcltest::ExpectedMessage;
using vcltest::MatchSequence;

namespace {


// An edit made Unicode the way the layer's controls are; records what its handlers see.
class TWydTestEdit : public TEdit {
    VCL_CLASS(TWydTestEdit, TEdit)
    explicit TWydTestEdit(TComponent* owner) : TEdit(owner) {}
    std::vector<UINT> Seen;
    std::vector<WPARAM> KeyPressChars;

protected:
    void CreateWindowHandle(const TCreateParams& params) override { CreateUnicodeHandle(this, params, L"EDIT"); }
    void KeyPress(char& key) override
    {
        KeyPressChars.push_back(WPARAM(BYTE(key)));
        TEdit::KeyPress(key);
    }
    void WndProc(TMessage& message) override
    {
        if (message.Msg == WM_CHAR || message.Msg == WM_SETTEXT || message.Msg == CM_TEXTCHANGED)
            Seen.push_back(message.Msg);
        TEdit::WndProc(message);
    }
};
VCL_IMPLEMENT_CLASS(TWydTestEdit, TEdit)

// A component whose published caption is wide, streamed with the layer's companions.
class TWydTestItem : public TComponent {
    VCL_CLASS(TWydTestItem, TComponent)
    explicit TWydTestItem(TComponent* owner) : TComponent(owner) {}
    WideString GetCaption() const { return caption; }
    void SetCaption(const WideString& v) { caption = v; }
    void DefineProperties(TFiler* filer) override
    {
        TComponent::DefineProperties(filer);
        WydPersistent_AfterInherited_DefineProperties(filer, this);
    }
    WideString caption;
};
VCL_IMPLEMENT_CLASS(TWydTestItem, TComponent, { m.Publish("Caption", &TWydTestItem::GetCaption, &TWydTestItem::SetCaption); })

class WydWindows : public WydLayerSuite {
protected:
    void SetUp() override
    {
        form = new TForm(nullptr, 0);
        form->SetBounds(50, 50, 400, 200);
        edit = new TWydTestEdit(form);
        edit->SetParent(form);
        edit->SetBounds(10, 10, 300, 24);
    }
    void TearDown() override { delete form; }
    TForm* form = nullptr;
    TWydTestEdit* edit = nullptr;
};

TEST_F(WydWindows, CaptionsInEveryScriptBeforeAndAfterTheWindowAndAcrossRecreation)
{
    for (const WideString& text : {Cyrillic, Greek, Cjk, Emoji}) {
        form->DestroyHandle();
        WydControl_SetText(edit, text);
        EXPECT_TRUE(WydControl_GetText(edit) == text) << "before the window";
        form->Show();
        edit->HandleNeeded();
        ASSERT_TRUE(edit->HandleAllocated());
        EXPECT_TRUE(IsWindowUnicode(edit->WindowHandle));
        wchar_t buffer[64] = {};
        GetWindowTextW(edit->WindowHandle, buffer, 64);
        EXPECT_TRUE(WideString(buffer) == text) << "in the window made afterwards";
        edit->RecreateWnd();
        EXPECT_TRUE(WydControl_GetText(edit) == text) << "after RecreateWnd";
        WydControl_SetText(edit, text + L"!");
        edit->RecreateWnd();
        EXPECT_TRUE(WydControl_GetText(edit) == text + L"!") << "set with the window, kept across RecreateWnd";
    }
}

TEST_F(WydWindows, LibraryTextMessagesGetAnsiAndOthersGetWide)
{
    form->Show();
    WydControl_SetText(edit, Greek);
    // The class library's own WM_GETTEXT gets the ANSI form, never wide bytes in its ANSI buffer.
    EXPECT_EQ(edit->GetText(), WideToAnsi(Greek));
    char small[4];
    std::memset(small, 'x', sizeof small);
    edit->Perform(WM_GETTEXT, 3, LPARAM(small));
    EXPECT_EQ(small[3], 'x') << "no write past the ANSI buffer";
    wchar_t wide[32] = {};
    SendMessageW(edit->WindowHandle, WM_GETTEXT, 32, LPARAM(wide));
    EXPECT_TRUE(WideString(wide) == Greek);
    // Setting the text it already has sends no CM_TEXTCHANGED; a new text sends exactly one.
    edit->Seen.clear();
    WydControl_SetText(edit, Greek);
    WydControl_SetText(edit, Cyrillic);
    EXPECT_TRUE(MatchSequence(edit->Seen, {{WM_SETTEXT}, {CM_TEXTCHANGED}}, true));
}

TEST_F(WydWindows, PostedWideCharactersArriveWholeThroughTheHook)
{
    form->Show();
    WydControl_SetText(edit, L"");
    int wideMessages = 0;
    Application->OnMessage = TMessageEvent(std::function<void(TMsg&, bool&)>([&](TMsg& m, bool&) {
                                               if (m.message == WM_CHAR && m.wParam >= 256)
                                                   ++wideMessages;
                                           }),
                                           this);
    edit->Seen.clear();
    for (wchar_t c : {L'\x0416', L'\xD83D', L'\xDE00', L'a'})
        PostMessageW(edit->WindowHandle, WM_CHAR, c, 1);
    vcltest::PumpUntil([&] { return WydControl_GetText(edit).size() == 4; }, 3000);
    Application->OnMessage = TMessageEvent();
    EXPECT_TRUE(WydControl_GetText(edit) == L"\x0416\xD83D\xDE00" L"a");
    EXPECT_EQ(wideMessages, 3);
    EXPECT_TRUE(MatchSequence(edit->Seen, {{WM_CHAR}, {WM_CHAR}, {WM_CHAR}, {WM_CHAR}}, false));
    std::vector<WPARAM> expected{255, 255, 255, 'a'};
    EXPECT_EQ(edit->KeyPressChars, expected) << "the class library sees character 255 for wide characters";
}

TEST_F(WydWindows, WideHintIsShownByTheWideHintWindow)
{
    form->Show();
    WydControl_SetHint(edit, Greek + L"|" + Cyrillic);
    EXPECT_TRUE(WideGetLongHint(WydControl_GetHint(edit)) == Cyrillic);
    THintInfo info;
    info.HintControl = edit;
    info.HintWindowClass = THintWindow::StaticClass();
    info.HintStr = "?";
    edit->Perform(CM_HINTSHOW, 0, LPARAM(&info));
    ASSERT_EQ(info.HintWindowClass, TWydCustomHintWindow::StaticClass());
    EXPECT_EQ(info.HintData, &info);
    std::unique_ptr<THintWindow> window(static_cast<THintWindow*>(info.HintWindowClass->Create(nullptr)));
    RECT r = window->CalcHintRect(300, info.HintStr, info.HintData);
    EXPECT_GT(r.right, 6);
    OffsetRect(&r, 100, 100);
    window->ActivateHintData(r, info.HintStr, info.HintData);
    EXPECT_TRUE(WydControl_GetText(window.get()) == Greek);
    EXPECT_TRUE(IsWindowUnicode(window->WindowHandle));
}

TEST_F(WydWindows, AnsiPlatformGoesThroughTheSystemCodePage)
{
    AnsiPlatform ansi;
    auto* plain = new TWydTestEdit(form);
    plain->SetParent(form);
    form->Show();
    EXPECT_FALSE(IsWindowUnicode(plain->WindowHandle));
    WydControl_SetText(plain, Greek);
    EXPECT_TRUE(WydControl_GetText(plain) == AnsiToWide(WideToAnsi(Greek)));
    WydControl_SetText(plain, L"plain");
    plain->RecreateWnd();
    EXPECT_TRUE(WydControl_GetText(plain) == L"plain");
}

TEST(WydFilers, WideCaptionsWrittenAndReadBack)
{
    for (const WideString& text : {Greek, Cjk, Emoji, WideString(L"ascii")}) {
        TWydTestItem item(nullptr);
        item.SetName("item");
        item.SetCaption(text);
        TMemoryStream stream;
        {
            TWriter writer(&stream);
            writer.WriteRootComponent(&item);
        }
        std::string bytes(static_cast<const char*>(stream.GetMemory()), size_t(stream.GetSize()));
        EXPECT_EQ(bytes.find("Caption_UTF7") != std::string::npos, text != L"ascii");
        stream.SetPosition(0);
        TWydTestItem back(nullptr);
        TReader reader(&stream);
        reader.ReadRootComponent(&back);
        EXPECT_TRUE(back.GetCaption() == text);
    }
}

TEST(WydFilers, WideStringListsStreamTheirItems)
{
    TWydStringList list;
    list.Add(Greek);
    list.Add(Cjk);
    TMemoryStream stream;
    {
        TWriter writer(&stream);
        writer.WriteListBegin();
        list.DefineProperties(&writer);
    }
    TWydStringList empty;
    TMemoryStream none;
    {
        TWriter writer(&none);
        empty.DefineProperties(&writer);
    }
    EXPECT_EQ(none.GetSize(), 0) << "an empty list without ancestor writes nothing";
    EXPECT_GT(stream.GetSize(), 20);
}

TEST(WydClipboard, NonLatinTextRoundTrip)
{
    WydClipboard()->SetAsWideText(Cyrillic + Cjk);
    EXPECT_TRUE(WydClipboard()->GetAsWideText() == Cyrillic + Cjk);
    EXPECT_EQ(WydClipboard()->GetAsText(), WideToAnsi(Cyrillic + Cjk));
    WydClipboard()->SetAsText("plain");
    EXPECT_TRUE(WydClipboard()->GetAsWideText() == L"plain") << "ANSI text only: widened";
    DoneWydClipBrd();
}

TEST(WydGraphics, WideTextMeasuredAndDrawn)
{
    TBitmap bitmap;
    bitmap.SetWidth(200);
    bitmap.SetHeight(40);
    TCanvas* canvas = bitmap.GetCanvas();
    EXPECT_EQ(WideCanvasTextWidth(canvas, L""), 0);
    EXPECT_GT(WideCanvasTextWidth(canvas, L"WWWW"), WideCanvasTextWidth(canvas, L"iiii"));
    int width = WideCanvasTextWidth(canvas, Greek);
    WideCanvasTextOut(canvas, 5, 3, Greek);
    EXPECT_EQ(canvas->GetPenPos().x, 5 + width);
    EXPECT_EQ(canvas->GetPenPos().y, 3);
}

}  // namespace
