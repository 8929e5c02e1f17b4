// Label editing of the wide list view and tree view, with notifications in wide and ANSI form. The editors take
// the focus, so these cases run alone.
#include "WydComCtrlsTestSupport.h"

using namespace vcl;
using namespace wydcomtest;

namespace {
using TRecordingListView = TRecording<TWydListView>;
using TRecordingTreeView = TRecording<TWydTreeView>;
}  // namespace

TEST_F(WydComCtrlsTest, ListLabelEditsInWideAndAnsiNotifications)
{
    auto* list = Make<TRecordingListView>();
    list->SetViewStyle(TViewStyle::vsReport);
    list->GetListColumns()->Add()->SetWidth(200);
    TWydListItem* item = list->GetItems()->Add();
    item->SetCaption(L"start");
    std::vector<WORD> keys;
    list->OnKeyDown = MakeEvent<TObject*, WORD&, TShiftState>(nullptr, [&](TObject*, WORD& key, TShiftState) {
        keys.push_back(key);
    });
    WideString edited;
    list->OnEdited = TWydLVEditedEvent(std::function<void(TObject*, TWydListItem*, WideString&)>(
                                           [&](TObject*, TWydListItem*, WideString& s) {
                                               edited = s;
                                               s += L"+";
                                           }),
                                       this);
    form->Show();
    SetFocus(list->WindowHandle);
    HWND editor = HWND(SendMessageW(list->WindowHandle, LVM_EDITLABELW, 0, 0));
    EXPECT_TRUE(list->Saw(LVN_BEGINLABELEDITW)) << "a Unicode view on a plain form notifies in wide form";
    TypeIntoLabelEditor(editor, Cjk);
    EXPECT_TRUE(edited == Cjk);
    EXPECT_TRUE(item->GetCaption() == Cjk + L"+") << "the wide OnEdited may change the text";
    EXPECT_NE(std::find(keys.begin(), keys.end(), WORD(VK_RETURN)), keys.end())
        << "the editor's keys reach the view's key handling";

    editor = HWND(SendMessageW(list->WindowHandle, LVM_EDITLABELW, 0, 0));
    ASSERT_TRUE(editor);
    SendMessageW(list->WindowHandle, LVM_CANCELEDITLABEL, 0, 0);
    EXPECT_TRUE(item->GetCaption() == Cjk + L"+") << "a cancelled edit changes nothing";

    NotifyInAnsi(list);
    list->Codes.clear();
    list->OnEdited = TWydLVEditedEvent();
    AnsiString ansiEdited;
    list->TCustomListView::OnEdited = MakeEvent<TObject*, TListItem*, AnsiString&>(
        nullptr, [&](TObject*, TListItem*, AnsiString& s) { ansiEdited = s; });
    TypeIntoLabelEditor(HWND(SendMessageA(list->WindowHandle, LVM_EDITLABELA, 0, 0)), L"abc");
    EXPECT_TRUE(list->Saw(LVN_ENDLABELEDITA));
    EXPECT_FALSE(list->Saw(LVN_ENDLABELEDITW));
    EXPECT_EQ(ansiEdited, "abc") << "without a wide OnEdited the ANSI one runs";
    EXPECT_TRUE(item->GetCaption() == L"abc");
    EXPECT_TRUE(ItemTextW(list, 0, 0) == L"abc");
}


TEST_F(WydComCtrlsTest, TreeNotificationsInWideAndAnsiForm)
{
    auto* tree = Make<TRecordingTreeView>();
    TWydTreeNodes* nodes = tree->GetTreeNodes();
    int expanding = 0, changes = 0, cancels = 0;
    tree->OnExpanding =
        MakeEvent<TObject*, TTreeNode*, bool&>(nullptr, [&](TObject*, TTreeNode*, bool&) { ++expanding; });
    tree->OnChange = MakeEvent<TObject*, TTreeNode*>(nullptr, [&](TObject*, TTreeNode*) { ++changes; });
    tree->OnCancelEdit = MakeEvent<TObject*, TTreeNode*>(nullptr, [&](TObject*, TTreeNode*) { ++cancels; });
    form->Show();
    SetFocus(tree->WindowHandle);
    for (bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "wide notifications" : "ANSI notifications");
        // A node of its own for each form: the window announces only a node's first expansion.
        TWydTreeNode* node = nodes->Add(nullptr, Cyrillic);
        nodes->AddChild(node, Greek);
        if (!wide)
            NotifyInAnsi(tree);
        tree->Codes.clear();
        node->Expand(false);
        EXPECT_TRUE(tree->Saw(wide ? TVN_ITEMEXPANDINGW : TVN_ITEMEXPANDINGA));
        tree->SetSelected(node);
        EXPECT_TRUE(tree->Saw(wide ? TVN_SELCHANGEDW : TVN_SELCHANGEDA));
        HWND editor = HWND(SendMessageW(tree->WindowHandle, TVM_EDITLABELW, 0, LPARAM(node->ItemId)));
        ASSERT_TRUE(editor);
        SendMessageW(tree->WindowHandle, TVM_ENDEDITLABELNOW, TRUE, 0);
        EXPECT_TRUE(node->GetText() == Cyrillic) << "a cancelled edit changes nothing";
        WideString typed = wide ? Cjk : WideString(L"ansi");
        TypeIntoLabelEditor(HWND(SendMessageW(tree->WindowHandle, TVM_EDITLABELW, 0, LPARAM(node->ItemId))), typed);
        EXPECT_TRUE(tree->Saw(wide ? TVN_ENDLABELEDITW : TVN_ENDLABELEDITA));
        EXPECT_TRUE(node->GetText() == typed);
        EXPECT_TRUE(NodeTextW(tree, node) == typed);
    }
    EXPECT_EQ(expanding, 2);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(cancels, 2) << "a cancelled edit is announced in both forms";
}

