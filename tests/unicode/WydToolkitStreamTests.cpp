// A form holding each control, action and dialog of the toolkit written to a form stream and read back: every
// wide text comes back whole.
#include "TypInfo.h"
#include "WydStdActns.h"
#include "WydToolkitTestSupport.h"

using namespace vcl;
using namespace wydtoolkittest;

namespace {

class WydToolkitStreamTest : public WydToolkitTest {
protected:
    static void SetUpTestSuite()
    {
        WydToolkitTest::SetUpTestSuite();
        InitWydActnList();
        InitWydStdActns();
        InitWydDialogs();
    }
    template <class T> T* Named(const char* name)
    {
        auto* component = new T(form.get());
        component->SetName(name);
        if (auto* control = dynamic_cast<TControl*>(component))
            control->SetParent(form.get());
        return component;
    }
    template <class T> T* Read(TForm* copy, const char* name)
    {
        auto* found = dynamic_cast<T*>(copy->FindComponent(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

}  // namespace

TEST_F(WydToolkitStreamTest, EveryToolkitControlActionAndDialogKeepsItsWideTexts)
{
    Named<TWydPanel>("Panel")->SetCaption(Greek);
    Named<TWydPanel>("Panel2")->SetHint(Cjk);
    auto* group = Named<TWydRadioGroup>("Group");
    group->SetBounds(8, 60, 210, 120);
    group->SetCaption(Cyrillic);
    for (const WideString& text : Scripts)
        group->GetItems()->Add(text);
    group->SetColumns(2);
    group->SetItemIndex(2);
    Named<TWydShape>("Shape")->SetHint(Emoji);
    Named<TWydBevel>("Bevel")->SetHint(Greek);
    Named<TWydPaintBox>("PaintBox")->SetHint(Cyrillic);
    Named<TWydSplitter>("Splitter")->SetHint(Cjk);
    Named<TWydImage>("Image")->SetHint(Emoji);
    Named<TWydControlBar>("Bar")->SetHint(Greek);
    Named<TWydScrollBox>("Box")->SetHint(Cyrillic);
    Named<TWydFrame>("Frame")->SetHint(Cjk);
    auto* rich = Named<TWydRichEdit>("Rich");
    rich->GetLines()->Add(Emoji);
    rich->GetLines()->Add(Greek);
    auto* actions = Named<TWydActionList>("Actions");
    auto* cut = Named<TWydEditCut>("Cut");
    cut->SetCaption(Greek);
    cut->SetHint(Cjk);
    cut->SetActionList(actions);
    auto* openWith = Named<TWydFileOpenWith>("OpenWith");
    openWith->SetCaption(Cyrillic);
    openWith->SetFileName("C:\\scan.tif");
    openWith->SetActionList(actions);
    auto* open = Named<TWydOpenDialog>("OpenDialog");
    open->SetTitle(Emoji);
    open->SetFilter(Cjk + L"|*.txt");
    open->SetDefaultExt(Greek.substr(0, 3));
    open->SetInitialDir(L"C:\\" + Cyrillic);
    open->SetFileName(L"C:\\" + Cyrillic + L"\\" + Cjk + L".txt");
    Named<TWydSaveDialog>("SaveDialog")->SetTitle(Cyrillic);

    std::unique_ptr<TForm> copy = vcltest::StreamedCopy(form.get());

    EXPECT_TRUE(Read<TWydPanel>(copy.get(), "Panel")->GetCaption() == Greek);
    EXPECT_TRUE(Read<TWydPanel>(copy.get(), "Panel2")->GetHint() == Cjk);
    auto* groupRead = Read<TWydRadioGroup>(copy.get(), "Group");
    ASSERT_NE(groupRead, nullptr);
    EXPECT_TRUE(groupRead->GetCaption() == Cyrillic);
    ASSERT_EQ(groupRead->GetItems()->GetCount(), 4);
    EXPECT_TRUE(groupRead->GetItems()->Get(3) == Emoji);
    EXPECT_EQ(groupRead->GetItemIndex(), 2);
    EXPECT_EQ(groupRead->GetColumns(), 2);
    EXPECT_EQ(groupRead->GetButtonCount(), 4) << "the buttons are made again, not read";
    EXPECT_TRUE(groupRead->GetButton(2)->GetChecked());
    EXPECT_TRUE(Read<TWydShape>(copy.get(), "Shape")->GetHint() == Emoji);
    EXPECT_TRUE(Read<TWydBevel>(copy.get(), "Bevel")->GetHint() == Greek);
    EXPECT_TRUE(Read<TWydPaintBox>(copy.get(), "PaintBox")->GetHint() == Cyrillic);
    EXPECT_TRUE(Read<TWydSplitter>(copy.get(), "Splitter")->GetHint() == Cjk);
    EXPECT_TRUE(Read<TWydImage>(copy.get(), "Image")->GetHint() == Emoji);
    EXPECT_TRUE(Read<TWydControlBar>(copy.get(), "Bar")->GetHint() == Greek);
    EXPECT_TRUE(Read<TWydScrollBox>(copy.get(), "Box")->GetHint() == Cyrillic);
    EXPECT_TRUE(Read<TWydFrame>(copy.get(), "Frame")->GetHint() == Cjk);
    auto* richRead = Read<TWydRichEdit>(copy.get(), "Rich");
    ASSERT_NE(richRead, nullptr);
    ASSERT_EQ(richRead->GetLines()->GetCount(), 2);
    EXPECT_TRUE(richRead->GetLines()->Get(0) == Emoji);
    auto* cutRead = Read<TWydEditCut>(copy.get(), "Cut");
    ASSERT_NE(cutRead, nullptr);
    EXPECT_TRUE(cutRead->GetCaption() == Greek);
    EXPECT_TRUE(cutRead->GetHint() == Cjk);
    EXPECT_NE(cutRead->GetActionList(), nullptr);
    auto* openWithRead = Read<TWydFileOpenWith>(copy.get(), "OpenWith");
    ASSERT_NE(openWithRead, nullptr);
    EXPECT_TRUE(openWithRead->GetCaption() == Cyrillic);
    EXPECT_EQ(openWithRead->GetFileName(), "C:\\scan.tif");
    auto* openRead = Read<TWydOpenDialog>(copy.get(), "OpenDialog");
    ASSERT_NE(openRead, nullptr);
    EXPECT_TRUE(openRead->GetTitle() == Emoji);
    EXPECT_TRUE(openRead->GetFilter() == Cjk + L"|*.txt");
    EXPECT_TRUE(openRead->GetDefaultExt() == Greek.substr(0, 3));
    EXPECT_TRUE(openRead->GetInitialDir() == L"C:\\" + Cyrillic);
    EXPECT_TRUE(openRead->GetFileName() == L"C:\\" + Cyrillic + L"\\" + Cjk + L".txt");
    EXPECT_TRUE(Read<TWydSaveDialog>(copy.get(), "SaveDialog")->GetTitle() == Cyrillic);
}
