// Window tests of what the common controls offer their descendants: node and item lists made by the views'
// factories, nodes and items built with their owner, the node index, owner-drawn and owner-data list views,
// header widths, tab images, panel classes, and tool buttons read from a form stream.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {

// A node that notes the node list it saw while being constructed.
class TOwnerAwareNode : public TTreeNode {
    VCL_CLASS(TOwnerAwareNode, TTreeNode)
    explicit TOwnerAwareNode(TTreeNodes* AOwner = nullptr) : TTreeNode(AOwner), OwnerAtConstruction(AOwner) {}
    TTreeNodes* OwnerAtConstruction;
};
VCL_IMPLEMENT_CLASS(TOwnerAwareNode, TTreeNode)

class TCountingNodes : public TTreeNodes {
    VCL_CLASS(TCountingNodes, TTreeNodes)
    using TTreeNodes::TTreeNodes;
};
VCL_IMPLEMENT_CLASS(TCountingNodes, TTreeNodes)

// A tree whose factories a descendant overrides, as the Unicode layer's tree does.
class TFactoryTree : public TCustomTreeView {
    VCL_CLASS(TFactoryTree, TCustomTreeView)
    explicit TFactoryTree(TComponent* AOwner) : TCustomTreeView(AOwner) {}
    TTreeNodes* CreateTreeNodes() override { return new TCountingNodes(this); }
    TTreeNode* CreateNode() override { return NewNode(TOwnerAwareNode::StaticClass()); }
};
VCL_IMPLEMENT_CLASS(TFactoryTree, TCustomTreeView)

class TOwnerAwareItem : public TListItem {
    VCL_CLASS(TOwnerAwareItem, TListItem)
    explicit TOwnerAwareItem(TListItems* AOwner = nullptr)
        : TListItem(AOwner), ViewAtConstruction(AOwner ? AOwner->GetOwner() : nullptr)
    {
    }
    TCustomListView* ViewAtConstruction;
};
VCL_IMPLEMENT_CLASS(TOwnerAwareItem, TListItem)

class TNamedPanel : public TStatusPanel {
    VCL_CLASS(TNamedPanel, TStatusPanel)
    using TStatusPanel::TStatusPanel;
};
VCL_IMPLEMENT_CLASS(TNamedPanel, TStatusPanel)

class TNamedPanelsBar : public TCustomStatusBar {
    VCL_CLASS(TNamedPanelsBar, TCustomStatusBar)
    using TCustomStatusBar::TCustomStatusBar;

protected:
    TClass GetPanelClass() const override { return TNamedPanel::StaticClass(); }
};
VCL_IMPLEMENT_CLASS(TNamedPanelsBar, TCustomStatusBar)

struct ViewsFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(60, 60, 420, 320);
    }
    void TearDown() override { form.reset(); }
    template <class T> T* Make()
    {
        auto* control = new T(form.get());
        control->SetParent(form.get());
        control->SetBounds(8, 8, 380, 260);
        return control;
    }
    TListView* ReportList(std::initializer_list<const char*> captions)
    {
        auto* list = Make<TListView>();
        list->SetViewStyle(TViewStyle::vsReport);
        list->GetColumns()->Add()->SetCaption("Name");
        for (const char* caption : captions)
            list->AddItem(caption, nullptr);
        return list;
    }
    std::unique_ptr<TForm> form;
};

std::vector<AnsiString> TextsByIndex(TTreeNodes* nodes)
{
    std::vector<AnsiString> texts;
    for (int i = 0; i < nodes->GetCount(); ++i) {
        EXPECT_EQ(nodes->GetItem(i)->GetAbsoluteIndex(), i);
        texts.push_back(nodes->GetItem(i)->GetText());
    }
    return texts;
}

}  // namespace

TEST(TreeNodes, ViewFactoriesOverriddenByADescendantMakeTheListAndNodesWithTheirOwner)
{
    TTreeNodeClasses::Register<TOwnerAwareNode>();
    TFactoryTree tree(nullptr);
    EXPECT_EQ(tree.GetItems()->ClassType(), TCountingNodes::StaticClass());
    TTreeNode* node = tree.GetItems()->Add(nullptr, "made");
    ASSERT_EQ(node->ClassType(), TOwnerAwareNode::StaticClass());
    EXPECT_EQ(static_cast<TOwnerAwareNode*>(node)->OwnerAtConstruction, tree.GetItems());
    EXPECT_THROW(tree.NewNode(TCountingNodes::StaticClass()), EInvalidOperation) << "not a registered node class";
}

TEST(TreeNodes, IndexAndCountFollowEveryChangeOfTheTree)
{
    TTreeView tree(nullptr);
    TTreeNodes* nodes = tree.GetItems();
    TTreeNode* a = nodes->Add(nullptr, "A");
    TTreeNode* b = nodes->Add(nullptr, "B");
    nodes->AddChild(a, "A1");
    EXPECT_EQ(TextsByIndex(nodes), (std::vector<AnsiString>{"A", "A1", "B"}));
    TTreeNode* a0 = nodes->AddChildFirst(a, "A0");
    nodes->Insert(b, "Between");
    EXPECT_EQ(TextsByIndex(nodes), (std::vector<AnsiString>{"A", "A0", "A1", "Between", "B"}));
    EXPECT_EQ(a0->getNextSibling()->GetText(), "A1");
    EXPECT_EQ(b->getPrevSibling()->GetText(), "Between");
    a->MoveTo(b, TNodeAttachMode::naAddChild);
    EXPECT_EQ(TextsByIndex(nodes), (std::vector<AnsiString>{"Between", "B", "A", "A0", "A1"}));
    EXPECT_EQ(a->GetIndex(), 0);
    EXPECT_EQ(nodes->GetCount(), 5);
    a0->Delete();
    EXPECT_EQ(TextsByIndex(nodes), (std::vector<AnsiString>{"Between", "B", "A", "A1"}));
    tree.SetSortType(TSortType::stText);
    nodes->Add(nullptr, "Alpha");
    EXPECT_EQ(TextsByIndex(nodes), (std::vector<AnsiString>{"Alpha", "B", "A", "A1", "Between"}));
    b->SetText("Zulu");
    EXPECT_EQ(TextsByIndex(nodes), (std::vector<AnsiString>{"Alpha", "Between", "Zulu", "A", "A1"}))
        << "a renamed top-level node moves to its sorted place";
    nodes->Clear();
    EXPECT_EQ(nodes->GetCount(), 0);
    EXPECT_THROW(nodes->GetItem(0), ETreeViewError);
}

TEST(TreeNodes, NodesReadFromAStreamAreAnnouncedWithTheirWholeRecord)
{
    TTreeView source(nullptr);
    TTreeNode* root = source.GetItems()->Add(nullptr, "Root");
    root->SetImageIndex(3);
    source.GetItems()->AddChild(root, "Leaf")->SetImageIndex(4);
    TMemoryStream stream;
    {
        TWriter writer(&stream);
        writer.WriteRootComponent(&source);
    }
    stream.SetPosition(0);
    TTreeView read(nullptr);
    std::vector<std::pair<AnsiString, int>> added;
    read.OnAddition = MakeEvent<TObject*, TTreeNode*>(
        nullptr, [&](TObject*, TTreeNode* node) { added.emplace_back(node->GetText(), node->GetImageIndex()); });
    stream.ReadComponent(&read);
    EXPECT_EQ(added, (std::vector<std::pair<AnsiString, int>>{{"Root", 3}, {"Leaf", 4}}));
}

TEST_F(ViewsFixture, TreeWindowFollowsBranchesAddedAndDeleted)
{
    auto* tree = Make<TTreeView>();
    form->Show();
    TTreeNodes* nodes = tree->GetItems();
    TTreeNode* a = nodes->Add(nullptr, "A");
    TTreeNode* branch = nodes->AddChild(a, "A1");
    nodes->AddChild(branch, "A1a");
    nodes->Add(nullptr, "B");
    EXPECT_EQ(SendMessageA(tree->WindowHandle, TVM_GETCOUNT, 0, 0), 4);
    branch->Delete();
    EXPECT_EQ(SendMessageA(tree->WindowHandle, TVM_GETCOUNT, 0, 0), 2) << "the whole branch left the window";
    EXPECT_EQ(nodes->GetCount(), 2);
    TVITEMA item{};
    item.mask = TVIF_CHILDREN | TVIF_HANDLE;
    item.hItem = a->ItemId;
    SendMessageA(tree->WindowHandle, TVM_GETITEMA, 0, LPARAM(&item));
    EXPECT_EQ(item.cChildren, 0) << "a node without children shows no button";
}

// The window holds the texts: a tree of thousands asks for no row's text when it is drawn or measured.
TEST_F(ViewsFixture, TreeWindowHoldsTheNodesTextsAndAsksForNone)
{
    auto* tree = Make<TTreeView>();
    static int textRequests;
    textRequests = 0;
    struct Counter {
        static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
        {
            auto* info = reinterpret_cast<NMTVDISPINFOA*>(lParam);
            if (message == WM_NOTIFY && (info->hdr.code == TVN_GETDISPINFOA || info->hdr.code == TVN_GETDISPINFOW) &&
                (info->item.mask & TVIF_TEXT))
                ++textRequests;
            return DefSubclassProc(window, message, wParam, lParam);
        }
    };
    form->Show();
    ASSERT_TRUE(SetWindowSubclass(form->WindowHandle, Counter::Proc, 1, 0));
    TTreeNode* a = tree->GetItems()->Add(nullptr, "A");
    tree->GetItems()->AddChild(a, "A1");
    a->Expand(true);
    a->SetText("Renamed");
    RedrawWindow(tree->WindowHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(vcltest::TreeItemWindowText(tree->WindowHandle, a->ItemId), "Renamed");
    EXPECT_EQ(textRequests, 0);
    RemoveWindowSubclass(form->WindowHandle, Counter::Proc, 1);
}

TEST_F(ViewsFixture, WideNotificationsCancelEditsAndGetInfoTipsCutToTheirBuffer)
{
    auto* tree = Make<TTreeView>();
    TTreeNode* node = tree->GetItems()->Add(nullptr, "kept");
    int cancels = 0;
    tree->OnCancelEdit = MakeEvent<TObject*, TTreeNode*>(nullptr, [&](TObject*, TTreeNode*) { ++cancels; });
    TListView* list = ReportList({"Item"});
    list->OnInfoTip = MakeEvent<TObject*, TListItem*, AnsiString&>(
        nullptr, [](TObject*, TListItem*, AnsiString& tip) { tip = "caf\xE9 au lait"; });
    form->Show();
    NMTVDISPINFOW edit{};
    edit.hdr = {tree->WindowHandle, 0, UINT(TVN_ENDLABELEDITW)};
    edit.item.mask = TVIF_PARAM;
    edit.item.lParam = LPARAM(node);
    SendMessageW(form->WindowHandle, WM_NOTIFY, 0, LPARAM(&edit));
    EXPECT_EQ(cancels, 1) << "an edit ended without text is a cancelled one";
    EXPECT_EQ(node->GetText(), "kept");
    wchar_t tip[6];
    std::fill(std::begin(tip), std::end(tip), L'#');
    NMLVGETINFOTIPW info{};
    info.hdr = {list->WindowHandle, 0, UINT(LVN_GETINFOTIPW)};
    info.pszText = tip;
    info.cchTextMax = 5;
    SendMessageW(form->WindowHandle, WM_NOTIFY, 0, LPARAM(&info));
    EXPECT_EQ(WideString(tip), L"caf\x00E9") << "widened, cut to the buffer and terminated";
    EXPECT_EQ(tip[5], L'#');
}

TEST_F(ViewsFixture, ItemsOfAChosenClassKnowTheirViewInTheirConstructor)
{
    TListItemClasses::Register<TOwnerAwareItem>();
    auto* list = Make<TListView>();
    list->OnCreateItemClass = MakeEvent<TCustomListView*, TClass&>(
        nullptr, [](TCustomListView*, TClass& cls) { cls = TOwnerAwareItem::StaticClass(); });
    TListItem* item = list->GetItems()->Add();
    ASSERT_EQ(item->ClassType(), TOwnerAwareItem::StaticClass());
    EXPECT_EQ(static_cast<TOwnerAwareItem*>(item)->ViewAtConstruction, list);
}

TEST_F(ViewsFixture, OwnerDrawnListPaintsEveryItemThroughOnDrawItem)
{
    TListView* list = ReportList({"One", "Two", "Three"});
    list->SetOwnerDraw(true);
    std::vector<AnsiString> drawn;
    list->OnDrawItem = MakeEvent<TCustomListView*, TListItem*, RECT, TOwnerDrawState>(
        nullptr, [&](TCustomListView* view, TListItem* item, RECT r, TOwnerDrawState) {
            view->GetCanvas()->FillRect(r);
            drawn.push_back(item->GetCaption());
        });
    form->Show();
    EXPECT_TRUE(GetWindowLongPtrA(list->WindowHandle, GWL_STYLE) & LVS_OWNERDRAWFIXED);
    InvalidateRect(list->WindowHandle, nullptr, TRUE);
    ASSERT_TRUE(PumpUntil([&] { return drawn.size() >= 3; }));
    EXPECT_EQ(std::vector<AnsiString>(drawn.begin(), drawn.begin() + 3),
              (std::vector<AnsiString>{"One", "Two", "Three"}));
}

TEST_F(ViewsFixture, ColumnFittedByDividerDoubleClickKeepsItsWidthAcrossRecreation)
{
    TListView* list = ReportList({"A caption much wider than the column it sits in"});
    list->GetColumns()->GetItem(0)->SetWidth(30);
    form->Show();
    HWND header = HWND(SendMessageA(list->WindowHandle, LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    RECT r{};
    SendMessageA(header, HDM_GETITEMRECT, 0, LPARAM(&r));
    PostMessageA(header, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.right, (r.top + r.bottom) / 2));
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(list->WindowHandle, LVM_GETCOLUMNWIDTH, 0, 0) > 30; }));
    LRESULT fitted = SendMessageA(list->WindowHandle, LVM_GETCOLUMNWIDTH, 0, 0);
    list->SetReadOnly(true);  // makes the window again
    EXPECT_EQ(SendMessageA(list->WindowHandle, LVM_GETCOLUMNWIDTH, 0, 0), fitted);
}

TEST_F(ViewsFixture, OwnerDataSearchOfTheWindowIsAnsweredByOnDataFind)
{
    auto* list = Make<TListView>();
    list->SetViewStyle(TViewStyle::vsReport);
    list->SetOwnerData(true);
    list->GetItems()->SetCount(100);
    AnsiString asked;
    list->OnDataFind = MakeEvent<TObject*, int, const AnsiString&, POINT, void*, int, int, bool, int&>(
        nullptr, [&](TObject*, int, const AnsiString& text, POINT, void*, int, int, bool, int& index) {
            asked = text;
            index = 42;
        });
    form->Show();
    LVFINDINFOA find{};
    find.flags = LVFI_STRING;
    find.psz = "Item 42";
    EXPECT_EQ(SendMessageA(list->WindowHandle, LVM_FINDITEMA, WPARAM(-1), LPARAM(&find)), 42);
    EXPECT_EQ(asked, "Item 42");
}

TEST_F(ViewsFixture, DropTargetIsOneItemAtATime)
{
    TListView* list = ReportList({"One", "Two", "Three"});
    form->Show();
    TListItems* items = list->GetItems();
    EXPECT_EQ(list->GetDropTarget(), nullptr);
    list->SetDropTarget(items->GetItem(1));
    EXPECT_EQ(list->GetDropTarget(), items->GetItem(1));
    list->SetDropTarget(items->GetItem(2));
    EXPECT_EQ(list->GetDropTarget(), items->GetItem(2));
    EXPECT_EQ(SendMessageA(list->WindowHandle, LVM_GETITEMSTATE, 1, LVIS_DROPHILITED), 0);
    list->SetDropTarget(nullptr);
    EXPECT_EQ(list->GetDropTarget(), nullptr);
    EXPECT_EQ(list->GetSearchString(), "") << "no incremental search under way";
}

TEST_F(ViewsFixture, CopySelectionCarriesCaptionsAndDataToAnyListControl)
{
    TListView* list = ReportList({});
    list->SetMultiSelect(true);
    TObject marker;
    list->AddItem("Kept", &marker);
    list->AddItem("Skipped", nullptr);
    list->AddItem("Also kept", nullptr);
    auto* box = Make<TListBox>();
    auto* other = Make<TListView>();
    form->Show();
    list->GetItems()->GetItem(0)->SetSelected(true);
    list->GetItems()->GetItem(2)->SetSelected(true);
    list->CopySelection(box);
    list->CopySelection(other);
    ASSERT_EQ(box->GetItems()->GetCount(), 2);
    EXPECT_EQ(box->GetItems()->Get(1), "Also kept");
    EXPECT_EQ(box->GetItems()->GetObject(0), &marker);
    ASSERT_EQ(other->GetItems()->GetCount(), 2);
    EXPECT_EQ(other->GetItems()->GetItem(0)->Data, &marker);
    other->Clear();
    EXPECT_EQ(other->GetItems()->GetCount(), 0);
}

TEST_F(ViewsFixture, TabImagesComeFromOnGetImageIndexAndSheets)
{
    auto* tabs = Make<TTabControl>();
    tabs->OnGetImageIndex = MakeEvent<TObject*, int, int&>(nullptr, [](TObject*, int tab, int& index) {
        if (tab == 1)
            index = 7;
    });
    form->Show();
    for (const char* caption : {"First", "Second", "Third"})
        tabs->GetTabs()->Add(caption);
    auto image = [](HWND window, int tab) {
        TCITEMA item{};
        item.mask = TCIF_IMAGE;
        SendMessageA(window, TCM_GETITEMA, WPARAM(tab), LPARAM(&item));
        return item.iImage;
    };
    EXPECT_EQ(image(tabs->WindowHandle, 0), 0);
    EXPECT_EQ(image(tabs->WindowHandle, 1), 7);
    EXPECT_EQ(image(tabs->WindowHandle, 2), 2);
    auto* pages = Make<TPageControl>();
    auto* hidden = new TTabSheet(form.get());
    hidden->SetTabVisible(false);
    hidden->SetPageControl(pages);
    auto* shown = new TTabSheet(form.get());
    shown->SetImageIndex(5);
    shown->SetPageControl(pages);
    EXPECT_EQ(pages->GetPageForTab(0), shown);
    EXPECT_EQ(image(pages->WindowHandle, 0), 5);
}

TEST_F(ViewsFixture, PanelsAreOfTheClassTheBarNames)
{
    auto* bar = Make<TNamedPanelsBar>();
    EXPECT_EQ(bar->GetPanels()->Add()->ClassType(), TNamedPanel::StaticClass());
    EXPECT_EQ(bar->GetPanels()->GetItemClass(), TNamedPanel::StaticClass());
}

TEST_F(ViewsFixture, ToolButtonsReadFromAFormStreamStayInTheirLeftToRightOrder)
{
    const char* text =
        "object Host: TForm\n"
        "  object Bar: TToolBar\n"
        "    ShowCaptions = True\n"
        "    object One: TToolButton\n      Left = 4\n      Caption = 'One'\n    end\n"
        "    object Two: TToolButton\n      Left = 76\n      Caption = 'Two'\n    end\n"
        "    object Three: TToolButton\n      Left = 148\n      Caption = 'Three'\n    end\n"
        "  end\n"
        "end\n";
    TStringStream input(text);
    TMemoryStream binary;
    ObjectTextToBinary(&input, &binary);
    binary.SetPosition(0);
    binary.ReadComponent(form.get());
    auto* bar = dynamic_cast<TToolBar*>(form->FindComponent("Bar"));
    ASSERT_NE(bar, nullptr);
    form->Show();
    ASSERT_EQ(bar->GetButtonCount(), 3);
    std::vector<AnsiString> order, shown;
    for (int i = 0; i < bar->GetButtonCount(); ++i) {
        order.push_back(bar->GetButton(i)->GetCaption());
        TBBUTTON button{};
        SendMessageA(bar->WindowHandle, TB_GETBUTTON, WPARAM(i), LPARAM(&button));
        shown.push_back(reinterpret_cast<TToolButton*>(button.dwData)->GetCaption());
    }
    EXPECT_EQ(order, (std::vector<AnsiString>{"One", "Two", "Three"}));
    EXPECT_EQ(shown, order) << "the window shows them in the same order";
}

TEST(DisplayText, CopiesWhatFitsAlwaysTerminatedAndNothingIntoNoBuffer)
{
    char ansi[4];
    std::memset(ansi, 'x', sizeof ansi);
    CopyDisplayText(AnsiString("abcdef"), ansi, 3);
    EXPECT_STREQ(ansi, "ab");
    EXPECT_EQ(ansi[3], 'x') << "nothing past the given size";
    CopyDisplayText(AnsiString("abc"), ansi, 0);
    EXPECT_STREQ(ansi, "ab") << "size 0 copies nothing";
    CopyDisplayText(AnsiString("abc"), static_cast<char*>(nullptr), 8);
    wchar_t wide[4] = {L'x', L'x', L'x', L'x'};
    CopyDisplayText(WideString(L"a\xD83D\xDE00"), wide, 3);
    EXPECT_EQ(WideString(wide), L"a") << "a surrogate pair is never cut in half";
    CopyDisplayText(AnsiString("\xE9t\xE9"), static_cast<void*>(wide), 4, true);
    EXPECT_EQ(WideString(wide), L"\x00E9t\x00E9") << "widened through the system code page";
    CopyDisplayText(AnsiString("x"), static_cast<void*>(wide), 1, true);
    EXPECT_EQ(wide[0], L'\0');
}
