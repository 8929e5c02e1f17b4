// Window tests of frames, the default font face and the form's menu hint.
#include <gtest/gtest.h>

#include <memory>

#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"

using namespace vcl;

TEST(Frames, AFrameIsABorderlessContainerThatStreamsItsOwnComponents)
{
    std::unique_ptr<TFrame> frame(new TFrame(nullptr));
    EXPECT_EQ(frame->GetBorderStyle(), TFormBorderStyle::bsNone);
    auto* button = new TButton(frame.get());
    button->SetName("btnGo");
    button->SetCaption("Go");
    button->SetParent(frame.get());
    auto* timer = new TTimer(frame.get());
    timer->SetName("tmrTick");
    timer->SetInterval(250);

    TMemoryStream stream;
    {
        TWriter writer(&stream);
        writer.WriteRootComponent(frame.get());
    }
    stream.SetPosition(0);
    std::unique_ptr<TFrame> read(new TFrame(nullptr));
    TReader reader(&stream);
    reader.ReadRootComponent(read.get());
    auto* readButton = dynamic_cast<TButton*>(read->FindComponent("btnGo"));
    auto* readTimer = dynamic_cast<TTimer*>(read->FindComponent("tmrTick"));
    ASSERT_NE(readButton, nullptr);
    ASSERT_NE(readTimer, nullptr) << "a component without a parent is streamed with the frame";
    EXPECT_EQ(readButton->GetCaption(), "Go");
    EXPECT_EQ(readButton->GetParent(), read.get());
    EXPECT_EQ(readTimer->GetInterval(), 250u);
}

TEST(Frames, AFrameOnAFormKeepsItsComponentsOutOfTheFormsStream)
{
    std::unique_ptr<TForm> form(new TForm(nullptr, 0));
    auto* frame = new TFrame(form.get());
    frame->SetName("Frame");
    frame->SetParent(form.get());
    auto* inner = new TButton(frame);
    inner->SetName("Inner");
    inner->SetParent(frame);
    std::unique_ptr<TForm> copy = vcltest::StreamedCopy(form.get());
    EXPECT_NE(dynamic_cast<TFrame*>(copy->FindComponent("Frame")), nullptr);
    EXPECT_EQ(copy->FindComponent("Inner"), nullptr) << "the frame's components come from the frame's own design";
}

TEST(DefaultFont, NewFontsTakeTheDefaultFace)
{
    const AnsiString saved = DefaultFontName;
    DefaultFontName = "Tahoma";
    TFont font;
    DefaultFontName = saved;
    EXPECT_EQ(font.GetName(), "Tahoma");
    TFont later;
    EXPECT_EQ(later.GetName(), saved);
}

TEST(FormMenuHint, SelectingAnItemShowsItsLongHintAndClosingClearsIt)
{
    std::unique_ptr<TForm> form(new TForm(nullptr, 0));
    auto* menu = new TMainMenu(form.get());
    auto* file = new TMenuItem(form.get());
    file->SetCaption("&File");
    menu->GetItems()->Add(file);
    auto* open = new TMenuItem(form.get());
    open->SetCaption("&Open");
    open->SetHint("Open|Opens a page");
    file->Add(open);
    form->SetMenu(menu);
    form->HandleNeeded();
    form->Perform(WM_MENUSELECT, MAKEWPARAM(open->GetCommand(), 0), LPARAM(menu->GetHandle()));
    EXPECT_EQ(Application->GetHint(), "Opens a page");
    form->Perform(WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), LPARAM(menu->GetHandle()));
    EXPECT_EQ(Application->GetHint(), "") << "the File entry has no hint";
    Application->SetHint("x");
    form->Perform(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(Application->GetHint(), "") << "the menu closed";
}
