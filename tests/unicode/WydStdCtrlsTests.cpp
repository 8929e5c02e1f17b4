// Window tests of the wide standard controls: captions and texts in four scripts through the window's life,
// the edit's password character and selection, memo lines, label drawing, the ANSI platform and form streams.
#include <functional>
#include <memory>
#include <vector>

#include "TestSupport.h"
#include "WindowPicture.h"
#include "WydGraphics.h"
#include "WydStdCtrlsTestSupport.h"
#include "WydTestSupport.h"

using namespace vcl;
using namespace wydtest;

namespace {

// A control kind and how the test reaches its wide caption (or text).
struct ControlKind {
    const char* Name;
    std::function<TControl*(WydFormFixture&)> Make;
    std::function<void(TControl*, const WideString&)> Set;
    std::function<WideString(TControl*)> Get;
};

class WydStdCtrls : public WydFormFixture {
protected:
    template <class T> ControlKind Kind(const char* name)
    {
        return {name, [](WydFormFixture& f) -> TControl* { return static_cast<WydStdCtrls&>(f).Make<T>(); },
                [](TControl* c, const WideString& s) { static_cast<T*>(c)->SetCaption(s); },
                [](TControl* c) { return static_cast<T*>(c)->GetCaption(); }};
    }
    // Windowed controls re-create their own window; windowless ones are redrawn in a new one of the form.
    static void Recreate(TControl* control)
    {
        if (auto* win = dynamic_cast<TWinControl*>(control))
            win->RecreateWnd();
        else
            control->GetParent()->RecreateWnd();
    }
};

WideString WindowTextW(HWND window)
{
    wchar_t buffer[128] = {};
    GetWindowTextW(window, buffer, 128);
    return buffer;
}

}  // namespace

TEST_F(WydStdCtrls, CaptionsInFourScriptsBeforeAndAfterTheWindowAndAcrossRecreation)
{
    const ControlKind kinds[] = {
        Kind<TWydEdit>("edit"),         Kind<TWydMemo>("memo"),          Kind<TWydLabel>("label"),
        Kind<TWydStaticText>("static"), Kind<TWydButton>("button"),      Kind<TWydCheckBox>("check box"),
        Kind<TWydRadioButton>("radio"), Kind<TWydGroupBox>("group box"), Kind<TWydComboBox>("combo box"),
        Kind<TWydBitBtn>("bit button"), Kind<TWydSpeedButton>("speed button"),
    };
    for (const ControlKind& kind : kinds) {
        for (const WideString& text : Scripts) {
            SCOPED_TRACE(std::string(kind.Name) + ": " + Utf8(text));
            form->DestroyHandle();
            std::unique_ptr<TControl> control(kind.Make(*this));
            kind.Set(control.get(), text);
            EXPECT_TRUE(kind.Get(control.get()) == text) << "before the window";
            form->Show();
            form->HandleNeeded();
            if (auto* win = dynamic_cast<TWinControl*>(control.get())) {
                ASSERT_TRUE(win->HandleAllocated());
                EXPECT_TRUE(IsWindowUnicode(win->WindowHandle));
                EXPECT_TRUE(WindowTextW(win->WindowHandle) == text) << "in the window made afterwards";
            }
            Recreate(control.get());
            EXPECT_TRUE(kind.Get(control.get()) == text) << "after re-creation";
            kind.Set(control.get(), text + L"!");
            Recreate(control.get());
            EXPECT_TRUE(kind.Get(control.get()) == text + L"!") << "set with the window, after re-creation";
            EXPECT_EQ(control->GetText(), WideToAnsi(text + L"!")) << "the class library sees the ANSI form";
        }
    }
}

TEST_F(WydStdCtrls, WideHintsOfEveryControlKind)
{
    auto* bar = Make<TWydScrollBar>();
    auto* list = Make<TWydListBox>(10, 40);
    auto* speed = Make<TWydSpeedButton>(10, 150);
    form->Show();
    bar->SetHint(Greek + L"|" + Cyrillic);
    list->SetHint(Cjk);
    speed->SetHint(Emoji);
    EXPECT_TRUE(bar->GetHint() == Greek + L"|" + Cyrillic);
    EXPECT_TRUE(list->GetHint() == Cjk);
    EXPECT_TRUE(IsWindowUnicode(bar->WindowHandle));
    EXPECT_TRUE(IsWindowUnicode(list->WindowHandle));
    // The windowless button hands the wide hint window its hint, as the label does.
    THintInfo info;
    info.HintControl = speed;
    info.HintWindowClass = THintWindow::StaticClass();
    speed->Perform(CM_HINTSHOW, 0, LPARAM(&info));
    EXPECT_EQ(info.HintWindowClass, TWydCustomHintWindow::StaticClass());
    EXPECT_EQ(info.HintStr, WideToAnsi(Emoji));
}

TEST_F(WydStdCtrls, PasswordCharacterBeyondTheCodePageShowsItselfAndTheLibrarySeesAStar)
{
    auto* edit = Make<TWydEdit>();
    edit->SetPasswordChar(L'\x0416');
    form->Show();
    EXPECT_EQ(SendMessageW(edit->WindowHandle, EM_GETPASSWORDCHAR, 0, 0), 0x0416);
    EXPECT_EQ(edit->GetPasswordChar(), L'\x0416');
    EXPECT_EQ(edit->TCustomEdit::GetPasswordChar(), '*');
    edit->SetPasswordChar(L'\x03A9');
    EXPECT_EQ(SendMessageW(edit->WindowHandle, EM_GETPASSWORDCHAR, 0, 0), 0x03A9) << "set with the window";
    WydControl_SetText(edit, Cjk);
    edit->RecreateWnd();
    EXPECT_EQ(SendMessageW(edit->WindowHandle, EM_GETPASSWORDCHAR, 0, 0), 0x03A9) << "after re-creation";
    EXPECT_TRUE(edit->GetText() == Cjk) << "the text is never reset by the character";
    // A change through the class library's property wins.
    edit->TCustomEdit::SetPasswordChar('#');
    EXPECT_EQ(edit->GetPasswordChar(), L'#');
}

TEST_F(WydStdCtrls, SelectionOfWideTextOnBothPlatforms)
{
    OnBothPlatforms([&](const char* platform) {
        SCOPED_TRACE(platform);
        auto* edit = Make<TWydEdit>();
        form->Show();
        const WideString text = Win32PlatformIsUnicode ? Greek + L" " + Cjk : WideString(L"caf\xE9 cr\xE8me");
        edit->SetText(text);
        edit->SetSelStart(3);
        edit->SetSelLength(4);
        EXPECT_EQ(edit->GetSelStart(), 3);
        EXPECT_EQ(edit->GetSelLength(), 4);
        EXPECT_TRUE(edit->GetSelText() == text.substr(3, 4));
        edit->SetSelText(L"\xE9!");
        EXPECT_TRUE(edit->GetText() == text.substr(0, 3) + L"\xE9!" + text.substr(7));
        delete edit;
    });
}

TEST_F(WydStdCtrls, MemoLinesInsertGetPutAndDeleteInCyrillic)
{
    auto* memo = Make<TWydMemo>();
    TWydStrings* lines = memo->GetLines();
    lines->Add(Cyrillic);  // no window yet: the wide text keeps the lines
    lines->Add(Greek);
    EXPECT_EQ(lines->GetCount(), 2);
    form->Show();
    EXPECT_TRUE(lines->Get(0) == Cyrillic);
    EXPECT_TRUE(lines->Get(1) == Greek);
    lines->Insert(1, Cjk);
    lines->Add(Emoji);  // appending: at the line count
    ASSERT_EQ(lines->GetCount(), 4);
    EXPECT_TRUE(lines->Get(1) == Cjk);
    EXPECT_TRUE(lines->Get(3) == Emoji);
    lines->Put(0, L"\x0416");
    EXPECT_TRUE(lines->Get(0) == L"\x0416");
    lines->Delete(2);
    EXPECT_TRUE(lines->GetText() == L"\x0416\r\n" + Cjk + L"\r\n" + Emoji + L"\r\n");
    EXPECT_TRUE(lines->Get(9).empty()) << "no such line";
    memo->SetWordWrap(false);  // re-creates the window
    EXPECT_EQ(lines->GetCount(), 3);
    lines->SetText(L"a\nb\rc");
    EXPECT_TRUE(memo->GetText() == L"a\r\nb\r\nc") << "line breaks made CR LF";
    lines->SetText(WideString(70000, L'x'));
    try {
        lines->Get(0);
        ADD_FAILURE() << "a line over 65535 characters was read";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message, "Line too long");
    }
}

namespace {
// Reaches the label's drawing as its paint and its size do.
class TDrawnLabel : public TWydLabel {
public:
    using TWydLabel::TWydLabel;
    using TWydLabel::DoDrawText;
};
}  // namespace

TEST_F(WydStdCtrls, LabelWithEmptyOrAmpersandCaptionMeasuresOneLineHigh)
{
    auto* full = Make<TWydLabel>();
    full->SetCaption(Cjk);
    for (const WideString& caption : {WideString(), WideString(L"&")}) {
        auto* label = Make<TWydLabel>(10, 60);
        label->SetCaption(caption);
        EXPECT_EQ(label->GetHeight(), full->GetHeight()) << "caption '" << Utf8(caption) << "'";
        EXPECT_GT(label->GetHeight(), 0);
        delete label;
    }
    auto* wide = Make<TWydLabel>(10, 100);
    wide->SetCaption(Cjk + Cjk);
    EXPECT_GT(wide->GetWidth(), full->GetWidth()) << "measured at the wide text's width";
}

TEST_F(WydStdCtrls, DisabledLabelIsDrawnEmbossed)
{
    auto* label = new TDrawnLabel(form.get());
    label->SetParent(form.get());
    label->SetCaption(L"\x2588\x2588\x2588");  // full blocks: plenty of pixels
    label->SetEnabled(false);
    TBitmap bitmap;
    bitmap.SetSize(80, 30);
    bitmap.GetCanvas()->GetBrush()->SetColor(clBlack);
    bitmap.GetCanvas()->FillRect(RECT{0, 0, 80, 30});
    label->GetCanvas()->SetHandle(bitmap.GetCanvas()->GetHandle());
    RECT r{0, 0, 80, 30};
    label->DoDrawText(r, 0);
    label->GetCanvas()->SetHandle(nullptr);
    int highlight = 0, shadow = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            COLORREF c = bitmap.GetCanvas()->GetPixel(x, y);
            highlight += c == ColorToRGB(clBtnHighlight);
            shadow += c == ColorToRGB(clBtnShadow);
        }
    EXPECT_GT(highlight, 0) << "the highlight copy, one pixel down and right";
    EXPECT_GT(shadow, 0) << "the shadow copy in place";
}

TEST_F(WydStdCtrls, GroupBoxPaintsItsFaceFrameAndWideCaption)
{
    auto* group = Make<TWydGroupBox>();
    group->SetBounds(10, 10, 200, 120);
    group->SetCaption(L"\x2588\x2588\x2588\x2588");  // full blocks: pixels of the font's colour
    form->Show();
    RedrawWindow(form->WindowHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(group->WindowHandle);
    COLORREF face = ColorToRGB(clBtnFace);
    EXPECT_EQ(GetPixel(dc, 100, 80), face) << "the inside is erased in the box's colour";
    int captionPixels = 0;
    for (int x = 8; x < 60; ++x)
        captionPixels += GetPixel(dc, x, 6) == ColorToRGB(group->GetFont()->GetColor());
    int framePixels = 0;
    for (int y = 20; y < 110; ++y)
        framePixels += GetPixel(dc, 1, y) != face;
    ReleaseDC(group->WindowHandle, dc);
    EXPECT_GT(captionPixels, 10) << "the caption is drawn";
    EXPECT_GT(framePixels, 50) << "the frame is drawn";
}

TEST_F(WydStdCtrls, StaticTextAutoSizeFitsTheWideCaptionWithItsBorders)
{
    auto* text = Make<TWydStaticText>();
    text->SetCaption(Cjk + Greek);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, text->GetFont()->GetHandle());
    SIZE size{};
    GetTextExtentPoint32W(dc, (Cjk + Greek).c_str(), int((Cjk + Greek).size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(text->GetWidth(), size.cx + 4 * GetSystemMetrics(SM_CXBORDER));
    EXPECT_EQ(text->GetHeight(), size.cy + 4 * GetSystemMetrics(SM_CYBORDER));
}

TEST_F(WydStdCtrls, AnsiPlatformGoesThroughTheSystemCodePage)
{
    AnsiPlatform ansi;
    auto* edit = Make<TWydEdit>();
    auto* combo = Make<TWydComboBox>(10, 40);
    auto* list = Make<TWydListBox>(10, 70);
    combo->GetItems()->Add(Greek);
    combo->GetItems()->Add(L"plain");
    list->GetItems()->Add(L"caf\xE9");
    form->Show();
    EXPECT_FALSE(IsWindowUnicode(edit->WindowHandle));
    EXPECT_FALSE(IsWindowUnicode(combo->WindowHandle));
    edit->SetText(Greek);
    EXPECT_TRUE(edit->GetText() == AnsiToWide(WideToAnsi(Greek)));
    EXPECT_EQ(combo->TCustomItemListControl::GetItems()->GetCount(), 2) << "the class library holds the items";
    EXPECT_TRUE(combo->GetItems()->Get(0) == AnsiToWide(WideToAnsi(Greek)));
    EXPECT_TRUE(combo->GetItems()->Get(1) == L"plain");
    EXPECT_EQ(combo->GetItems()->IndexOf(L"PLAIN"), 1);
    EXPECT_TRUE(list->GetItems()->Get(0) == L"caf\xE9");
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    EXPECT_TRUE(combo->GetItems()->Get(1) == L"plain") << "kept across re-creation";
}

namespace {
class TWydStreamForm : public TForm {
    VCL_CLASS(TWydStreamForm, TForm)
    explicit TWydStreamForm(TComponent* owner) : TForm(owner, 0) {}
};
VCL_IMPLEMENT_CLASS(TWydStreamForm, TForm)

template <class T> T* Find(TComponent* root, const char* name)
{
    auto* found = dynamic_cast<T*>(root->FindComponent(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}
}  // namespace

TEST_F(WydStdCtrls, FormStreamWithEveryControlIsWrittenAndReadBack)
{
    RegisterClasses({TWydStreamForm::StaticClass()});
    auto source = std::make_unique<TWydStreamForm>(nullptr);
    auto named = [&](TControl* c, const char* name) {
        c->SetName(name);
        c->SetParent(source.get());
        return c;
    };
    auto* edit = static_cast<TWydEdit*>(named(new TWydEdit(source.get()), "edName"));
    edit->SetText(Cyrillic);
    edit->SetHint(Greek);
    edit->SetPasswordChar(L'\x25CF');
    auto* memo = static_cast<TWydMemo*>(named(new TWydMemo(source.get()), "memNotes"));
    memo->GetLines()->Add(Cjk);
    memo->GetLines()->Add(Emoji);
    auto* label = static_cast<TWydLabel*>(named(new TWydLabel(source.get()), "lblTitle"));
    label->SetCaption(Greek);
    label->SetFocusControl(edit);
    static_cast<TWydStaticText*>(named(new TWydStaticText(source.get()), "stxNote"))->SetCaption(Cjk);
    static_cast<TWydButton*>(named(new TWydButton(source.get()), "btnOk"))->SetCaption(Cyrillic);
    auto* check = static_cast<TWydCheckBox*>(named(new TWydCheckBox(source.get()), "ckbOption"));
    check->SetCaption(Emoji);
    check->SetChecked(true);
    static_cast<TWydRadioButton*>(named(new TWydRadioButton(source.get()), "rbCD"))->SetCaption(Greek);
    static_cast<TWydScrollBar*>(named(new TWydScrollBar(source.get()), "sbrZoom"))->SetHint(Cjk);
    static_cast<TWydGroupBox*>(named(new TWydGroupBox(source.get()), "gbxGroup"))->SetCaption(Cyrillic);
    auto* combo = static_cast<TWydComboBox*>(named(new TWydComboBox(source.get()), "cbxKind"));
    for (const WideString& s : Scripts)
        combo->GetItems()->Add(s);
    combo->SetItemIndex(2);
    combo->SetText(Cjk);
    auto* list = static_cast<TWydListBox*>(named(new TWydListBox(source.get()), "lbxItems"));
    list->GetItems()->Add(Greek);
    list->GetItems()->Add(Emoji);
    auto* bit = static_cast<TWydBitBtn*>(named(new TWydBitBtn(source.get()), "bbtnWrite"));
    bit->SetKind(TBitBtnKind::bkOK);
    bit->SetCaption(Cyrillic);
    static_cast<TWydSpeedButton*>(named(new TWydSpeedButton(source.get()), "sbtnRun"))->SetCaption(Cjk);

    TMemoryStream stream;
    stream.WriteComponent(source.get());
    stream.SetPosition(0);
    auto copy = std::make_unique<TWydStreamForm>(nullptr);
    stream.ReadComponent(copy.get());
    copy->Show();

    EXPECT_TRUE(Find<TWydEdit>(copy.get(), "edName")->GetText() == Cyrillic);
    EXPECT_TRUE(Find<TWydEdit>(copy.get(), "edName")->GetHint() == Greek);
    EXPECT_EQ(Find<TWydEdit>(copy.get(), "edName")->GetPasswordChar(), L'\x25CF');
    EXPECT_TRUE(Find<TWydMemo>(copy.get(), "memNotes")->GetLines()->GetText() == Cjk + L"\r\n" + Emoji + L"\r\n");
    EXPECT_TRUE(Find<TWydLabel>(copy.get(), "lblTitle")->GetCaption() == Greek);
    EXPECT_EQ(Find<TWydLabel>(copy.get(), "lblTitle")->GetFocusControl(), copy->FindComponent("edName"));
    EXPECT_TRUE(Find<TWydStaticText>(copy.get(), "stxNote")->GetCaption() == Cjk);
    EXPECT_TRUE(Find<TWydButton>(copy.get(), "btnOk")->GetCaption() == Cyrillic);
    EXPECT_TRUE(Find<TWydCheckBox>(copy.get(), "ckbOption")->GetCaption() == Emoji);
    EXPECT_TRUE(Find<TWydCheckBox>(copy.get(), "ckbOption")->GetChecked());
    EXPECT_TRUE(Find<TWydRadioButton>(copy.get(), "rbCD")->GetCaption() == Greek);
    EXPECT_TRUE(Find<TWydScrollBar>(copy.get(), "sbrZoom")->GetHint() == Cjk);
    EXPECT_TRUE(Find<TWydGroupBox>(copy.get(), "gbxGroup")->GetCaption() == Cyrillic);
    auto* comboBack = Find<TWydComboBox>(copy.get(), "cbxKind");
    ASSERT_EQ(comboBack->GetItems()->GetCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(comboBack->GetItems()->Get(i) == Scripts[i]) << i;
    EXPECT_EQ(comboBack->GetItemIndex(), 2);
    EXPECT_TRUE(comboBack->GetText() == Cjk);
    auto* listBack = Find<TWydListBox>(copy.get(), "lbxItems");
    ASSERT_EQ(listBack->GetItems()->GetCount(), 2);
    EXPECT_TRUE(listBack->GetItems()->Get(1) == Emoji);
    auto* bitBack = Find<TWydBitBtn>(copy.get(), "bbtnWrite");
    EXPECT_EQ(bitBack->GetKind(), TBitBtnKind::bkOK);
    EXPECT_TRUE(bitBack->GetCaption() == Cyrillic);
    EXPECT_TRUE(Find<TWydSpeedButton>(copy.get(), "sbtnRun")->GetCaption() == Cjk);
}

// Under a double-byte ANSI code page (Japanese, 932) a kanji is two bytes: the positions that the edits of an
// ANSI platform count in bytes are turned into wide characters and back. (Only the conversion is tested: Wine's
// ANSI edit and combo box count wide characters, as no ANSI platform ever did.)
TEST(WydDoubleByteCodePage, SelectionPositionsConvertBetweenBytesAndCharacters)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "runs with the Japanese ANSI code page";
    const WideString text = L"ab" + Cjk + L"c";  // two kanji and two kana: eight bytes
    const AnsiString ansi = WideToAnsi(text);
    ASSERT_EQ(ansi.size(), 11u);
    EXPECT_EQ(WideSelStartFromAnsi(ansi, 6), 4) << "after ab and the two kanji";
    EXPECT_EQ(WideSelStartFromAnsi(ansi, 99), int(text.size()));
    EXPECT_EQ(AnsiLengthOfWide(text, 0, 4), 6);
    EXPECT_EQ(AnsiLengthOfWide(text, 4, 3), 5);
    EXPECT_EQ(AnsiLengthOfWide(text, 4, 99), 5) << "as far as the text goes";
}

TEST_F(WydStdCtrls, DemoFormShowsEveryKindInNonLatinScriptsAndAScreenshotIsWritten)
{
    form->SetBounds(40, 40, 560, 330);
    Make<TWydLabel>(10, 10)->SetCaption(L"&" + Cyrillic);
    Make<TWydEdit>(10, 30)->SetText(Greek);
    auto* memo = Make<TWydMemo>(10, 60);
    memo->GetLines()->Add(Cjk);
    memo->GetLines()->Add(Greek);
    Make<TWydButton>(10, 160)->SetCaption(Cyrillic);
    Make<TWydCheckBox>(10, 195)->SetCaption(Greek);
    Make<TWydRadioButton>(10, 220)->SetCaption(Cjk);
    auto* scroll = Make<TWydScrollBar>(10, 250);
    scroll->SetWidth(180);
    auto* group = Make<TWydGroupBox>(210, 10);
    group->SetCaption(Cyrillic);
    auto* note = new TWydStaticText(form.get());
    note->SetParent(group);
    note->SetBounds(10, 30, 100, 20);
    note->SetCaption(Greek + L" " + Cjk);
    auto* combo = Make<TWydComboBox>(210, 130);
    auto* list = Make<TWydListBox>(210, 160);
    for (const WideString& s : Scripts) {
        combo->GetItems()->Add(s);
        list->GetItems()->Add(s);
    }
    combo->SetItemIndex(2);
    list->SetItemIndex(0);
    auto* bit = Make<TWydBitBtn>(410, 10);
    bit->SetBounds(410, 10, 130, 32);
    bit->SetCaption(Greek);
    TBitmap glyph;
    glyph.SetSize(16, 16);
    glyph.GetCanvas()->GetBrush()->SetColor(clWhite);  // the corner pixel's colour is the transparent one
    glyph.GetCanvas()->FillRect(RECT{0, 0, 16, 16});
    glyph.GetCanvas()->GetBrush()->SetColor(clTeal);
    glyph.GetCanvas()->FillRect(RECT{2, 2, 14, 14});
    bit->SetGlyph(&glyph);
    auto* speed = Make<TWydSpeedButton>(410, 60);
    speed->SetBounds(410, 60, 130, 28);
    speed->SetCaption(Cjk);
    form->Show();
    RedrawWindow(form->WindowHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(combo->GetText() == Cjk);
    EXPECT_TRUE(WydControl_GetText(note) == Greek + L" " + Cjk);
    HBITMAP bitmap = vcltest::PrintWindowBitmap(form->WindowHandle);
    EXPECT_GT(vcltest::ColourCount(bitmap), 8u) << "the controls are in the picture";
    EXPECT_TRUE(vcltest::SaveBitmapPng(bitmap, testsupport::BinDir() + L"wyd-stdctrls-demo.png"));
    DeleteObject(bitmap);
}
