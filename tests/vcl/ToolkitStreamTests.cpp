// A form stream holding each of the toolkit's controls, dialogs and actions, written and read back.
#include <gtest/gtest.h>

#include <memory>

#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdActns.h"
#include "WindowTestSupport.h"

using namespace vcl;

namespace {

// The form the components are streamed with (a form writes its non-visual components as well as its controls).
class TStreamRoot : public TForm {
    VCL_CLASS(TStreamRoot, TForm)
    explicit TStreamRoot(TComponent* AOwner) : TForm(AOwner, 0) {}
};

template <class T>
T* Add(TStreamRoot* root, const char* name, TWinControl* parent = nullptr)
{
    auto* component = new T(root);
    component->SetName(name);
    if constexpr (std::is_base_of_v<TControl, T>)
        component->SetParent(parent ? parent : root);
    return component;
}

template <class T>
T* Find(TComponent* root, const char* name)
{
    auto* component = dynamic_cast<T*>(root->FindComponent(name));
    EXPECT_NE(component, nullptr) << name;
    return component;
}

}  // namespace

VCL_IMPLEMENT_CLASS(TStreamRoot, TForm)

TEST(ToolkitFormStream, EveryNewControlDialogAndActionRoundTrips)
{
    RegisterClasses({TStreamRoot::StaticClass()});
    auto source = std::make_unique<TStreamRoot>(nullptr);
    source->SetName("frmToolkit");

    auto* track = Add<TTrackBar>(source.get(), "trkQuality");
    track->SetMax(40);
    track->SetMin(5);
    track->SetPosition(30);
    track->SetTickStyle(TTickStyle::tsManual);
    track->SetOrientation(TTrackBarOrientation::trVertical);
    auto* edit = Add<TEdit>(source.get(), "edCopies");
    auto* updown = Add<TUpDown>(source.get(), "udCopies");
    updown->SetMax(999);
    updown->SetMin(1);
    updown->SetPosition(12);
    updown->SetAssociate(edit);
    updown->SetWrap(true);
    auto* pager = Add<TPageScroller>(source.get(), "pgsTools");
    auto* strip = Add<TPanel>(source.get(), "pnlStrip", pager);
    strip->SetWidth(400);
    pager->SetControl(strip);
    pager->SetButtonSize(15);
    auto* picker = Add<TDateTimePicker>(source.get(), "dtpDay");
    picker->SetDate(EncodeDate(2024, 5, 17));
    picker->SetTime(EncodeTime(8, 15, 0, 0));
    picker->SetKind(TDateTimeKind::dtkTime);
    picker->SetShowCheckbox(true);
    picker->SetChecked(false);
    picker->SetMaxDate(EncodeDate(2030, 1, 1));
    auto* calendar = Add<TMonthCalendar>(source.get(), "mclDays");
    calendar->SetMultiSelect(true);
    calendar->SetDate(EncodeDate(2024, 6, 3));
    calendar->SetEndDate(EncodeDate(2024, 6, 5));
    calendar->SetWeekNumbers(true);
    calendar->SetFirstDayOfWeek(TCalDayOfWeek::dowMonday);
    auto* combo = Add<TComboBoxEx>(source.get(), "cbxDrives");
    combo->GetItemsEx()->AddItem("CD", 0, 1, -1, 0);
    combo->GetItemsEx()->AddItem("DVD", 2, 3, -1, 1);
    combo->SetItemIndex(1);
    combo->SetStyle(TComboBoxExStyle::csExDropDownList);
    auto* bar = Add<TControlBar>(source.get(), "cbrTools");
    bar->SetRowSize(30);
    bar->SetRowSnap(false);
    Add<TPanel>(source.get(), "pnlBand", bar);

    auto* open = Add<TOpenDialog>(source.get(), "dlgOpen");
    open->SetFilter("Pages|*.jpg");
    open->SetOptions(open->GetOptions() + TOpenOptions{ofAllowMultiSelect});
    open->SetTemplate("EXTRA");
    open->SetHelpContext(7);
    auto* font = Add<TFontDialog>(source.get(), "dlgFont");
    font->GetFont()->SetSize(14);
    font->SetOptions({fdApplyButton, fdLimitSize});
    font->SetMaxFontSize(36);
    auto* color = Add<TColorDialog>(source.get(), "dlgColor");
    color->SetColor(clNavy);
    color->GetCustomColors()->Add("ColorA=123456");
    auto* print = Add<TPrintDialog>(source.get(), "dlgPrint");
    print->SetCopies(2);
    print->SetPrintRange(TPrintRange::prPageNums);
    Add<TPrinterSetupDialog>(source.get(), "dlgPrintSetup");
    auto* find = Add<TFindDialog>(source.get(), "dlgFind");
    find->SetFindText("page");
    find->SetOptions({frDown, frWholeWord});
    auto* replace = Add<TReplaceDialog>(source.get(), "dlgReplace");
    replace->SetReplaceText("sheet");

    auto* actions = Add<TActionList>(source.get(), "actList");
    auto* fileOpen = Add<TFileOpen>(source.get(), "actOpen");
    fileOpen->SetActionList(actions);
    fileOpen->SetCaption("&Open...");
    fileOpen->GetDialog()->SetTitle("Open a page");
    auto* openWith = Add<TFileOpenWith>(source.get(), "actOpenWith");
    openWith->SetActionList(actions);
    openWith->SetFileName("C:\\scan\\page001.tif");
    auto* searchFind = Add<TSearchFind>(source.get(), "actFind");
    searchFind->SetActionList(actions);
    searchFind->GetDialog()->SetFindText("transaction");
    auto* findNext = Add<TSearchFindNext>(source.get(), "actFindNext");
    findNext->SetActionList(actions);
    findNext->SetSearchFind(searchFind);
    auto* cascade = Add<TWindowCascade>(source.get(), "actCascade");
    cascade->SetActionList(actions);
    cascade->SetForm(source.get());
    Add<THelpContents>(source.get(), "actHelp")->SetActionList(actions);
    Add<TColorSelect>(source.get(), "actColor")->SetActionList(actions);

    TMemoryStream stream;
    {
        TWriter writer(&stream);
        writer.WriteRootComponent(source.get());
    }
    stream.SetPosition(0);
    auto copy = std::make_unique<TStreamRoot>(nullptr);
    stream.ReadComponent(copy.get());

    auto* track2 = Find<TTrackBar>(copy.get(), "trkQuality");
    EXPECT_EQ(track2->GetMin(), 5);
    EXPECT_EQ(track2->GetMax(), 40);
    EXPECT_EQ(track2->GetPosition(), 30);
    EXPECT_EQ(track2->GetTickStyle(), TTickStyle::tsManual);
    EXPECT_EQ(track2->GetOrientation(), TTrackBarOrientation::trVertical);
    EXPECT_EQ(track2->GetWidth(), track->GetWidth()) << "bounds are not turned again while loading";
    auto* updown2 = Find<TUpDown>(copy.get(), "udCopies");
    EXPECT_EQ(updown2->GetPosition(), 12);
    EXPECT_EQ(updown2->GetMin(), 1);
    EXPECT_EQ(updown2->GetMax(), 999);
    EXPECT_TRUE(updown2->GetWrap());
    EXPECT_EQ(updown2->GetAssociate(), copy->FindComponent("edCopies"));
    auto* pager2 = Find<TPageScroller>(copy.get(), "pgsTools");
    EXPECT_EQ(pager2->GetControl(), copy->FindComponent("pnlStrip"));
    EXPECT_EQ(pager2->GetControl()->GetParent(), pager2);
    EXPECT_EQ(pager2->GetButtonSize(), 15);
    auto* picker2 = Find<TDateTimePicker>(copy.get(), "dtpDay");
    EXPECT_DOUBLE_EQ(picker2->GetDate(), EncodeDate(2024, 5, 17));
    EXPECT_NEAR(picker2->GetTime(), EncodeTime(8, 15, 0, 0), 1e-6);
    EXPECT_EQ(picker2->GetKind(), TDateTimeKind::dtkTime);
    EXPECT_TRUE(picker2->GetShowCheckbox());
    EXPECT_FALSE(picker2->GetChecked());
    EXPECT_DOUBLE_EQ(picker2->GetMaxDate(), EncodeDate(2030, 1, 1));
    auto* calendar2 = Find<TMonthCalendar>(copy.get(), "mclDays");
    EXPECT_TRUE(calendar2->GetMultiSelect());
    EXPECT_DOUBLE_EQ(calendar2->GetDate(), EncodeDate(2024, 6, 3));
    EXPECT_DOUBLE_EQ(calendar2->GetEndDate(), EncodeDate(2024, 6, 5));
    EXPECT_TRUE(calendar2->GetWeekNumbers());
    EXPECT_EQ(calendar2->GetFirstDayOfWeek(), TCalDayOfWeek::dowMonday);
    auto* combo2 = Find<TComboBoxEx>(copy.get(), "cbxDrives");
    ASSERT_EQ(combo2->GetItemsEx()->GetCount(), 2);
    EXPECT_EQ(combo2->GetItemsEx()->GetItem(1)->GetCaption(), "DVD");
    EXPECT_EQ(combo2->GetItemsEx()->GetItem(1)->GetImageIndex(), 2);
    EXPECT_EQ(combo2->GetItemsEx()->GetItem(1)->GetSelectedImageIndex(), 3);
    EXPECT_EQ(combo2->GetItemsEx()->GetItem(1)->GetIndent(), 1);
    EXPECT_EQ(combo2->GetItemIndex(), 1);
    EXPECT_EQ(combo2->GetStyle(), TComboBoxExStyle::csExDropDownList);
    auto* bar2 = Find<TControlBar>(copy.get(), "cbrTools");
    EXPECT_EQ(bar2->GetRowSize(), 30);
    EXPECT_FALSE(bar2->GetRowSnap());
    EXPECT_EQ(copy->FindComponent("pnlBand") ? static_cast<TControl*>(copy->FindComponent("pnlBand"))->GetParent()
                                             : nullptr,
              bar2);

    auto* open2 = Find<TOpenDialog>(copy.get(), "dlgOpen");
    EXPECT_EQ(open2->GetFilter(), "Pages|*.jpg");
    EXPECT_TRUE(open2->GetOptions().Contains(ofAllowMultiSelect));
    EXPECT_TRUE(open2->GetOptions().Contains(ofHideReadOnly));
    EXPECT_EQ(open2->GetTemplate(), "EXTRA");
    EXPECT_EQ(open2->GetHelpContext(), 7);
    auto* font2 = Find<TFontDialog>(copy.get(), "dlgFont");
    EXPECT_EQ(font2->GetFont()->GetSize(), 14);
    EXPECT_EQ(font2->GetOptions(), (TFontDialogOptions{fdApplyButton, fdLimitSize}));
    EXPECT_EQ(font2->GetMaxFontSize(), 36);
    auto* color2 = Find<TColorDialog>(copy.get(), "dlgColor");
    EXPECT_EQ(color2->GetColor(), clNavy);
    EXPECT_EQ(color2->GetCustomColors()->GetValues("ColorA"), "123456");
    auto* print2 = Find<TPrintDialog>(copy.get(), "dlgPrint");
    EXPECT_EQ(print2->GetCopies(), 2);
    EXPECT_EQ(print2->GetPrintRange(), TPrintRange::prPageNums);
    Find<TPrinterSetupDialog>(copy.get(), "dlgPrintSetup");
    auto* find2 = Find<TFindDialog>(copy.get(), "dlgFind");
    EXPECT_EQ(find2->GetFindText(), "page");
    EXPECT_EQ(find2->GetOptions(), (TFindOptions{frDown, frWholeWord}));
    EXPECT_EQ(Find<TReplaceDialog>(copy.get(), "dlgReplace")->GetReplaceText(), "sheet");

    auto* actions2 = Find<TActionList>(copy.get(), "actList");
    EXPECT_EQ(actions2->GetActionCount(), 7);
    auto* fileOpen2 = Find<TFileOpen>(copy.get(), "actOpen");
    EXPECT_EQ(fileOpen2->GetCaption(), "&Open...");
    EXPECT_EQ(fileOpen2->GetDialog()->GetTitle(), "Open a page") << "the dialog streams inside its action";
    EXPECT_EQ(fileOpen2->GetActionList(), actions2);
    EXPECT_EQ(Find<TFileOpenWith>(copy.get(), "actOpenWith")->GetFileName(), "C:\\scan\\page001.tif");
    auto* searchFind2 = Find<TSearchFind>(copy.get(), "actFind");
    EXPECT_EQ(searchFind2->GetDialog()->GetFindText(), "transaction");
    EXPECT_EQ(Find<TSearchFindNext>(copy.get(), "actFindNext")->GetSearchFind(), searchFind2);
    EXPECT_EQ(Find<TWindowCascade>(copy.get(), "actCascade")->GetForm(), copy.get());
    Find<THelpContents>(copy.get(), "actHelp");
    Find<TColorSelect>(copy.get(), "actColor");
}
