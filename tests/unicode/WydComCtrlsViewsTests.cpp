// Window tests of the wide list view and tree view: texts in four scripts before and after the window and across
// its re-creation, the ANSI side kept in step, sorting, notifications in wide and ANSI form, owner data, and the
// ANSI path of Windows 9x.
#include "WydComCtrlsTestSupport.h"

using namespace vcl;
using namespace wydcomtest;

// =============================================================================================
// List view

TEST_F(WydComCtrlsTest, ListTextsInEveryScriptBeforeAndAfterTheWindowAndAcrossRecreation)
{
    auto* list = Make<TWydListView>();
    list->SetViewStyle(TViewStyle::vsReport);
    TWydListColumn* column = list->GetListColumns()->Add();
    list->GetListColumns()->Add();
    TWydListItem* before = list->GetItems()->Add();
    TWydListItem* after = list->GetItems()->Add();
    for (const WideString& text : Scripts) {
        form->DestroyHandle();
        column->SetCaption(text);
        before->SetCaption(text);
        before->GetSubItems()->Clear();
        before->GetSubItems()->Add(text + L"/1");
        form->Show();
        list->HandleNeeded();
        ASSERT_TRUE(IsWindowUnicode(list->WindowHandle));
        after->SetCaption(text + L"!");
        after->GetSubItems()->Clear();
        after->GetSubItems()->Add(text + L"/2");
        for (int pass = 0; pass < 2; ++pass) {
            const char* when = pass == 0 ? "in the window" : "after RecreateWnd";
            EXPECT_TRUE(ColumnTextW(list, 0) == text) << when;
            EXPECT_TRUE(ItemTextW(list, 0, 0) == text) << when;
            EXPECT_TRUE(ItemTextW(list, 0, 1) == text + L"/1") << when;
            EXPECT_TRUE(ItemTextW(list, 1, 0) == text + L"!") << when;
            EXPECT_TRUE(ItemTextW(list, 1, 1) == text + L"/2") << when;
            list->RecreateWnd();
        }
        EXPECT_TRUE(before->GetCaption() == text);
        EXPECT_EQ(before->TListItem::GetCaption(), WideToAnsi(text)) << "the class library holds the ANSI form";
    }
}

TEST_F(WydComCtrlsTest, ListAnsiChangesReachTheWideSideWithoutOverwritingWideTexts)
{
    auto* list = Make<TWydListView>();
    TWydListItem* item = list->GetItems()->Add();
    item->SetCaption(Cjk);
    item->GetSubItems()->Add(Greek);
    item->GetSubItems()->Add(Cyrillic);
    TStrings* ansiSubItems = item->TListItem::GetSubItems();
    ASSERT_EQ(ansiSubItems->GetCount(), 2);
    EXPECT_EQ(ansiSubItems->Get(0), WideToAnsi(Greek));
    ansiSubItems->Put(1, "plain");
    ASSERT_EQ(item->GetSubItems()->GetCount(), 2);
    EXPECT_TRUE(item->GetSubItems()->Get(0) == Greek) << "an unchanged ANSI item keeps its wide text";
    EXPECT_TRUE(item->GetSubItems()->Get(1) == L"plain");
    item->SetInheritedCaption("ANSI");
    EXPECT_TRUE(item->GetCaption() == L"ANSI");
    item->SetCaption(Cyrillic);
    EXPECT_TRUE(item->GetCaption() == Cyrillic) << "the ANSI echo of a wide change does not replace it";
    auto* copy = list->GetItems()->AddItem(item);
    EXPECT_TRUE(copy->GetCaption() == Cyrillic && copy->GetSubItems()->Get(0) == Greek);
}

TEST_F(WydComCtrlsTest, ListSortComparesWideCaptionsUnlessOnCompareDecides)
{
    auto* list = Make<TWydListView>();
    list->SetViewStyle(TViewStyle::vsReport);
    for (const wchar_t* caption : {L"\x0432", L"\x0430", L"\x0431"})  // в а б: all "?" in ANSI
        list->AddItem(caption, nullptr);
    form->Show();
    list->AlphaSort();
    EXPECT_TRUE(ItemTextW(list, 0, 0) == L"\x0430" && ItemTextW(list, 2, 0) == L"\x0432");
    EXPECT_TRUE(list->GetItems()->GetItem(0)->GetCaption() == L"\x0430") << "the item objects in the same order";
    list->TCustomListView::OnCompare = MakeEvent<TObject*, TListItem*, TListItem*, int, int&>(
        nullptr, [](TObject*, TListItem* a, TListItem* b, int, int& result) {
            result = -lstrcmpW(static_cast<TWydListItem*>(a)->GetCaption().c_str(),
                               static_cast<TWydListItem*>(b)->GetCaption().c_str());
        });
    list->AlphaSort();
    EXPECT_TRUE(ItemTextW(list, 0, 0) == L"\x0432");
}

TEST_F(WydComCtrlsTest, ListUnderAUnicodeContainerAndInAnsiFormShowsItsTexts)
{
    for (bool unicodeForm : {true, false}) {
        MakeForm(unicodeForm);
        auto* list = Make<TRecording<TWydListView>>();
        list->SetViewStyle(TViewStyle::vsReport);
        list->GetListColumns()->Add();
        list->AddItem(Greek, nullptr);
        form->Show();
        if (!unicodeForm)
            NotifyInAnsi(list);
        list->Codes.clear();
        WideString shown = ItemTextW(list, 0, 0);
        if (unicodeForm) {
            EXPECT_TRUE(list->Saw(LVN_GETDISPINFOW));
            EXPECT_TRUE(shown == Greek);
        } else {
            EXPECT_TRUE(list->Saw(LVN_GETDISPINFOA));
            EXPECT_TRUE(shown == AnsiToWide(WideToAnsi(Greek))) << "ANSI notifications carry the ANSI form";
        }
        list->SetSelected(list->GetItems()->GetItem(0));
        EXPECT_EQ(list->GetSelected(), list->GetItems()->GetItem(0));
    }
}

TEST_F(WydComCtrlsTest, ListOwnerDataIsWideAndShortBuffersAreCut)
{
    auto* list = Make<TWydListView>();
    list->SetViewStyle(TViewStyle::vsReport);
    list->GetListColumns()->Add();
    list->GetListColumns()->Add();
    list->GetListColumns()->Add();
    list->SetOwnerData(true);
    list->GetItems()->SetCount(50);
    list->OnData = MakeEvent<TObject*, TListItem*>(nullptr, [](TObject*, TListItem* item) {
        auto* wide = static_cast<TWydListItem*>(item);
        wide->SetCaption(Cjk + std::to_wstring(reinterpret_cast<INT_PTR>(item->Data)));
        wide->GetSubItems()->Add(Greek);
    });
    WideString found;
    list->OnDataFind = TWydLVOwnerDataFindEvent(
        std::function<void(TObject*, int, const WideString&, POINT, void*, int, int, bool, int&)>(
            [&](TObject*, int, const WideString& text, POINT, void*, int, int, bool, int& index) {
                found = text;
                index = 7;
            }),
        this);
    form->Show();
    EXPECT_TRUE(ItemTextW(list, 3, 0) == Cjk + L"3");
    EXPECT_TRUE(ItemTextW(list, 3, 1) == Greek);
    EXPECT_TRUE(ItemTextW(list, 3, 2).empty()) << "a sub-item past the item's own is empty";
    EXPECT_TRUE(ItemTextW(list, 3, 0, 3) == Cjk.substr(0, 2)) << "cut to the buffer, terminated";
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = Cyrillic.c_str();
    EXPECT_EQ(SendMessageW(list->WindowHandle, LVM_FINDITEMW, WPARAM(-1), LPARAM(&find)), 7);
    EXPECT_TRUE(found == Cyrillic) << "the wide OnDataFind gets the wide search text";
    LVITEMW none{};
    none.iItem = -1;
    EXPECT_EQ(list->GetItemW(none), list->GetOwnerDataItem()) << "no index: the owner-data item";
}

TEST_F(WydComCtrlsTest, ListWithCheckBoxesHasSubItemImages)
{
    auto* list = Make<TWydListView>();
    list->SetViewStyle(TViewStyle::vsReport);
    list->SetCheckboxes(true);
    form->Show();
    auto style = SendMessageW(list->WindowHandle, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_TRUE(style & LVS_EX_CHECKBOXES);
    EXPECT_TRUE(style & LVS_EX_SUBITEMIMAGES);
    EXPECT_TRUE(style & LVS_EX_INFOTIP);
}

TEST_F(WydComCtrlsTest, ListZeroSizedTextBufferIsLeftAlone)
{
    auto* list = Make<TWydListView>();
    TWydListItem* item = list->GetItems()->Add();
    item->SetCaption(Greek);
    form->Show();
    wchar_t sentinel[2] = {L'#', L'#'};
    NMLVDISPINFOW info{};
    info.hdr = {list->WindowHandle, 0, UINT(LVN_GETDISPINFOW)};
    info.item.mask = LVIF_TEXT | LVIF_PARAM;
    info.item.lParam = LPARAM(item);
    info.item.pszText = sentinel;
    info.item.cchTextMax = 0;
    SendMessageW(form->WindowHandle, WM_NOTIFY, 0, LPARAM(&info));
    EXPECT_EQ(sentinel[0], L'#');
}

TEST_F(WydComCtrlsTest, ListInfoTipInAWideNotificationIsWide)
{
    auto* list = Make<TWydListView>();
    list->AddItem(Greek, nullptr);
    list->OnInfoTip = MakeEvent<TObject*, TListItem*, AnsiString&>(
        nullptr, [](TObject*, TListItem*, AnsiString& tip) { tip = "caf\xE9"; });
    form->Show();
    wchar_t tip[16];
    std::fill(std::begin(tip), std::end(tip), L'#');
    NMLVGETINFOTIPW info{};
    info.hdr = {list->WindowHandle, 0, UINT(LVN_GETINFOTIPW)};
    info.pszText = tip;
    info.cchTextMax = 16;
    SendMessageW(form->WindowHandle, WM_NOTIFY, 0, LPARAM(&info));
    EXPECT_TRUE(WideString(tip) == L"caf\x00E9") << "UTF-16 in a UTF-16 buffer, terminated";
}

TEST_F(WydComCtrlsTest, ListItemAndFindRules)
{
    auto* list = Make<TWydListView>();
    list->OnCreateItemClass = MakeEvent<TCustomListView*, TClass&>(
        nullptr, [](TCustomListView*, TClass& cls) { cls = TListItem::StaticClass(); });
    try {
        list->GetItems()->Add();
        ADD_FAILURE() << "a plain item class is refused";
    } catch (const EWydInternalError& e) {
        EXPECT_EQ(e.Message, "Internal Error: OnCreateItemClass.ItemClass must inherit from TWydListItem.");
    }
    list->OnCreateItemClass = TLVCreateItemClassEvent();
    for (const WideString& caption : Scripts)
        list->AddItem(caption, nullptr);
    EXPECT_EQ(list->FindCaption(0, Cjk, false, true, false), list->GetItems()->GetItem(2));
    EXPECT_EQ(list->FindCaption(0, L"SMILE", true, true, false), list->GetItems()->GetItem(3)) << "partial, any case";
    EXPECT_EQ(list->FindCaption(2, Cyrillic, false, false, false), nullptr);
    EXPECT_EQ(list->FindCaption(2, Cyrillic, false, false, true), list->GetItems()->GetItem(0)) << "wrapping round";
    TWydListItemsEnumerator walk = list->GetItems()->GetEnumerator();
    int walked = 0;
    while (walk.MoveNext())
        EXPECT_TRUE(walk.GetCurrent()->GetCaption() == Scripts[size_t(walked++)]);
    EXPECT_EQ(walked, 4);
    form->Show();
    EXPECT_GT(list->StringWidth(Cjk), 0);
    EXPECT_TRUE(list->GetSearchString().empty());
}

TEST_F(WydComCtrlsTest, ListOnAnsiPlatformGoesThroughTheSystemCodePage)
{
    AnsiPlatform ansi;
    auto* list = Make<TWydListView>();
    list->SetViewStyle(TViewStyle::vsReport);
    list->GetListColumns()->Add()->SetCaption(Greek);
    list->AddItem(Greek, nullptr);
    list->AddItem(L"plain", nullptr);
    form->Show();
    EXPECT_FALSE(IsWindowUnicode(list->WindowHandle));
    EXPECT_TRUE(ItemTextW(list, 0, 0) == AnsiToWide(WideToAnsi(Greek)));
    EXPECT_TRUE(ItemTextW(list, 1, 0) == L"plain");
    EXPECT_EQ(list->FindCaption(0, L"PLAIN", false, true, false), list->GetItems()->GetItem(1));
}

// =============================================================================================
// Tree view

TEST_F(WydComCtrlsTest, TreeTextsInEveryScriptBeforeAndAfterTheWindowAndAcrossRecreation)
{
    auto* tree = Make<TWydTreeView>();
    TWydTreeNodes* nodes = tree->GetTreeNodes();
    for (const WideString& text : Scripts) {
        form->DestroyHandle();
        nodes->Clear();
        TWydTreeNode* root = nodes->Add(nullptr, text);
        TWydTreeNode* hidden = nodes->AddChild(root, text + L"/hidden");  // never shown before RecreateWnd
        form->Show();
        tree->HandleNeeded();
        TWydTreeNode* later = nodes->AddChild(root, L"x");
        later->SetText(text + L"/later");
        tree->RecreateWnd();
        root->Expand(false);
        EXPECT_TRUE(NodeTextW(tree, root) == text);
        EXPECT_TRUE(NodeTextW(tree, hidden) == text + L"/hidden") << "a node never displayed keeps its text";
        EXPECT_TRUE(NodeTextW(tree, later) == text + L"/later");
        EXPECT_EQ(hidden->TTreeNode::GetText(), WideToAnsi(text + L"/hidden"));
    }
}

TEST_F(WydComCtrlsTest, TreeSortComparesWideTexts)
{
    auto* tree = Make<TWydTreeView>();
    TWydTreeNodes* nodes = tree->GetTreeNodes();
    for (const wchar_t* text : {L"\x03B3", L"\x03B1", L"\x03B2"})  // γ α β
        nodes->Add(nullptr, text);
    form->Show();
    tree->SetSortType(TSortType::stText);
    EXPECT_TRUE(nodes->GetItem(0)->GetText() == L"\x03B1" && nodes->GetItem(2)->GetText() == L"\x03B3");
    TTreeNode* first = nodes->GetNode(
        reinterpret_cast<HTREEITEM>(SendMessageW(tree->WindowHandle, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    EXPECT_EQ(first, nodes->GetItem(0)) << "the window in the same order";
    nodes->Add(nullptr, L"\x03B4");
    nodes->GetItem(0)->SetText(L"\x03B5");
    EXPECT_TRUE(nodes->GetItem(3)->GetText() == L"\x03B5") << "a renamed node moves to its place";
}

TEST_F(WydComCtrlsTest, TreeSortByTextUsesOnCompareWhenAssigned)
{
    auto* tree = Make<TWydTreeView>();
    TWydTreeNodes* nodes = tree->GetTreeNodes();
    for (const wchar_t* text : {L"\x03B1", L"\x03B3", L"\x03B2"})  // α γ β
        nodes->Add(nullptr, text);
    tree->OnCompare = MakeEvent<TObject*, TTreeNode*, TTreeNode*, int, int&>(
        nullptr, [](TObject*, TTreeNode* a, TTreeNode* b, int, int& result) {
            result = -lstrcmpW(static_cast<TWydTreeNode*>(a)->GetText().c_str(),
                               static_cast<TWydTreeNode*>(b)->GetText().c_str());
        });
    form->Show();
    tree->SetSortType(TSortType::stText);
    EXPECT_TRUE(nodes->GetItem(0)->GetText() == L"\x03B3" && nodes->GetItem(2)->GetText() == L"\x03B1");
}

TEST_F(WydComCtrlsTest, TreeNodeRulesAndZeroSizedBuffer)
{
    auto* tree = Make<TWydTreeView>();
    tree->OnCreateNodeClass = MakeEvent<TCustomTreeView*, TClass&>(
        nullptr, [](TCustomTreeView*, TClass& cls) { cls = TTreeNode::StaticClass(); });
    try {
        tree->GetTreeNodes()->Add(nullptr, L"x");
        ADD_FAILURE() << "a plain node class is refused";
    } catch (const EWydInternalError& e) {
        EXPECT_EQ(e.Message, "Internal Error: OnCreateNodeClass.ItemClass must inherit from TWydTreeNode.");
    }
    tree->OnCreateNodeClass = TTVCreateNodeClassEvent();
    TWydTreeNodes* nodes = tree->GetTreeNodes();
    TWydTreeNode* a = nodes->Add(nullptr, L"a");
    TWydTreeNode* c = nodes->AddChild(a, L"c");
    nodes->AddChildFirst(a, L"b");
    nodes->Insert(a, L"first");
    auto* loose = new TWydTreeNode(nodes);
    nodes->InsertNode(loose, c, Greek, nullptr);
    std::vector<WideString> order;
    TWydTreeNodesEnumerator walk = nodes->GetEnumerator();
    while (walk.MoveNext())
        order.push_back(walk.GetCurrent()->GetText());
    EXPECT_EQ(order, (std::vector<WideString>{L"first", L"a", L"b", Greek, L"c"}));
    EXPECT_TRUE(loose->IsEqual(nodes->GetItem(3)));
    EXPECT_FALSE(loose->IsEqual(c));
    form->Show();
    wchar_t sentinel[2] = {L'#', L'#'};
    NMTVDISPINFOW info{};
    info.hdr = {tree->WindowHandle, 0, UINT(TVN_GETDISPINFOW)};
    info.item.mask = TVIF_TEXT;
    info.item.lParam = LPARAM(a);
    info.item.pszText = sentinel;
    info.item.cchTextMax = 0;
    SendMessageW(form->WindowHandle, WM_NOTIFY, 0, LPARAM(&info));
    EXPECT_EQ(sentinel[0], L'#');
}

TEST_F(WydComCtrlsTest, TreeOnAnsiPlatformGoesThroughTheSystemCodePage)
{
    AnsiPlatform ansi;
    auto* tree = Make<TWydTreeView>();
    TWydTreeNode* node = tree->GetTreeNodes()->Add(nullptr, Greek);
    TWydTreeNode* plain = tree->GetTreeNodes()->Add(nullptr, L"plain");
    form->Show();
    EXPECT_FALSE(IsWindowUnicode(tree->WindowHandle));
    EXPECT_TRUE(NodeTextW(tree, node) == AnsiToWide(WideToAnsi(Greek)));
    EXPECT_TRUE(NodeTextW(tree, plain) == L"plain");
}
