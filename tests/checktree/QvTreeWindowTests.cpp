// Window tests of the tree views that neither move the mouse nor take the focus: the paint pass that
// gives new nodes their box, system colours, the frame and the themed border in the non-client area, wheel
// scrolling, the node menus from the keyboard and WM_CONTEXTMENU, and state images across a new window.
#include <gtest/gtest.h>

#include <string>

#include "QvTestSupport.h"
#include "QvThemeSrv.h"
#include "QvTreeTestSupport.h"
#include "WindowTestSupport.h"

using namespace vcl;
using namespace qvtreetest;
using vcltest::PumpUntil;

namespace {

class QvCheckTreeWindow : public ::testing::Test, public TreeOnForm<TQvCheckTree> {};

TEST_F(QvCheckTreeWindow, FirstPaintGivesNewNodesAnEmptyBox)
{
    TTreeNode* a = tree->GetItems()->Add(nullptr, "A");
    TTreeNode* b = tree->GetItems()->AddChild(a, "B");
    b->SetStateIndex(csUnknown);
    form->Show();
    EXPECT_EQ(a->GetStateIndex(), -1) << "not painted yet";
    tree->Update();
    EXPECT_EQ(a->GetStateIndex(), csUnchecked);
    EXPECT_EQ(b->GetStateIndex(), csUnknown) << "a node without a box keeps none";
    EXPECT_EQ(WindowStateImage(a), 1);

    TTreeNode* later = tree->GetItems()->Add(a, "later");
    EXPECT_EQ(later->GetStateIndex(), -1);
    ASSERT_TRUE(PumpUntil([&] { return later->GetStateIndex() == csUnchecked; }, 3000))
        << "the insertion asked for the next paint";
    EXPECT_EQ(WindowStateImage(later), 1);
}

TEST_F(QvCheckTreeWindow, StateImagesSurviveANewWindow)
{
    BuildTree(tree, {{0, "A", 2}, {1, "A1", 3}, {1, "A2", 0}});
    form->Show();
    tree->Update();
    const HWND before = tree->WindowHandle;
    tree->SetFrameVisible(true);  // makes a new window
    EXPECT_NE(tree->WindowHandle, before);
    EXPECT_EQ(WindowStateImage(Node(tree, "A")), 2);
    EXPECT_EQ(WindowStateImage(Node(tree, "A1")), 3);
    EXPECT_EQ(WindowStateImage(Node(tree, "A2")), 0);

    // A window that lost its item states gets them again, a hidden row's once it shows.
    TVITEMA item{};
    item.mask = TVIF_STATE | TVIF_HANDLE;
    item.stateMask = TVIS_STATEIMAGEMASK;
    for (const char* text : {"A", "A1"}) {
        item.hItem = Node(tree, text)->ItemId;
        SendMessageA(tree->WindowHandle, TVM_SETITEMA, 0, LPARAM(&item));
    }
    ASSERT_EQ(WindowStateImage(Node(tree, "A1")), 0);
    tree->UpdateStateIndexDisplay(Node(tree, "A"));
    EXPECT_EQ(WindowStateImage(Node(tree, "A")), 2);
    Node(tree, "A")->Expand(false);
    EXPECT_EQ(WindowStateImage(Node(tree, "A1")), 3);
}

// Counts the CM_COLORCHANGED messages of a control.
struct ColorChangeCounter {
    explicit ColorChangeCounter(TControl* control) : control(control), previous(control->WindowProc)
    {
        control->WindowProc = MakeEvent<TMessage&>(this, [this](TMessage& message) {
            if (message.Msg == CM_COLORCHANGED) ++count;
            this->previous(message);
        });
    }
    ~ColorChangeCounter() { control->WindowProc = previous; }
    TControl* control;
    TWndMethod previous;
    int count = 0;
};

TEST_F(QvCheckTreeWindow, NewSystemColoursRepaintOnlyTreesInSystemColours)
{
    form->Show();
    const struct {
        TColor color;
        int colorChanges;
    } rows[] = {{clInfoBk, 1}, {clAqua, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.color);
        tree->SetColor(row.color);
        ColorChangeCounter counter(tree);
        SendMessageA(form->WindowHandle, WM_SYSCOLORCHANGE, 0, 0);
        EXPECT_EQ(counter.count, row.colorChanges);
    }
}

class QvTreeViewWindow : public ::testing::Test, public TreeOnForm<TQvTreeView> {
protected:
    void TearDown() override
    {
        TThemeServices::SetTestMode(TThemeTestMode::Automatic);
        FreeThemeServices();
    }
    void UseBranch(TThemeTestMode mode)
    {
        TThemeServices::SetTestMode(mode);
        ThemeServices()->UpdateThemes();
    }
};

TEST_F(QvTreeViewWindow, FrameIsPaintedUnlessTheVisualStyleDrawsIt)
{
    const struct {
        bool visible;
        TFramingPreference preference;
        TThemeTestMode branch;
        bool painted;
        const char* context;
    } rows[] = {
        {true, fpCustomFraming, TThemeTestMode::ForceThemed, true, "own framing with a style"},
        {true, fpCustomFraming, TThemeTestMode::ForceUnthemed, true, "own framing without a style"},
        {true, fpXPThemes, TThemeTestMode::ForceUnthemed, true, "no style to draw it"},
        {true, fpXPThemes, TThemeTestMode::ForceThemed, false, "the style draws it"},
        {false, fpCustomFraming, TThemeTestMode::ForceUnthemed, false, "no frame"},
    };
    tree->SetFrameColor(clRed);
    form->Show();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.context);
        UseBranch(row.branch);
        tree->SetFramingPreference(row.preference);
        tree->SetFrameVisible(row.visible);
        tree->RepaintFrame();
        EXPECT_EQ(WindowPixel(0, 0) == clRed, row.painted);
        EXPECT_EQ(WindowPixel(tree->GetWidth() - 1, 5) == clRed, row.painted);
    }
}

TEST_F(QvTreeViewWindow, ThemedBorderIsPaintedOverTheClientEdgeOnly)
{
    for (int i = 0; i < 30; ++i)
        tree->GetItems()->Add(nullptr, std::string(60, 'W'));  // both scroll bars
    form->Show();
    tree->Update();
    const int width = tree->GetWidth(), height = tree->GetHeight();
    const POINT corner{width - 3 - GetSystemMetrics(SM_CXVSCROLL) / 2, height - 3 - GetSystemMetrics(SM_CYHSCROLL) / 2};
    for (TThemeTestMode mode : {TThemeTestMode::ForceThemed, TThemeTestMode::ForceUnthemed}) {
        SCOPED_TRACE(static_cast<int>(mode));
        UseBranch(mode);
        HDC dc = GetWindowDC(tree->WindowHandle);
        const RECT whole{0, 0, width, height};
        HBRUSH fuchsia = CreateSolidBrush(clFuchsia);
        FillRect(dc, &whole, fuchsia);
        DeleteObject(fuchsia);
        ReleaseDC(tree->WindowHandle, dc);
        ThemeServices()->PaintBorder(tree, true);
        EXPECT_EQ(WindowPixel(0, 0) != clFuchsia, mode == TThemeTestMode::ForceThemed) << "the edge";
        EXPECT_EQ(WindowPixel(width - 1, height / 2) != clFuchsia, mode == TThemeTestMode::ForceThemed);
        EXPECT_EQ(WindowPixel(width / 2, height / 2), clFuchsia) << "inside the edge";
        EXPECT_EQ(WindowPixel(corner.x, corner.y), Rgb(clBtnFace)) << "between the scroll bars";
    }
}

TEST_F(QvTreeViewWindow, HotFrameFollowsTheMouse)
{
    UseBranch(TThemeTestMode::ForceUnthemed);
    tree->SetFrameColor(clRed);
    tree->SetFrameHotColor(clBlue);
    tree->SetFrameHotStyle(fsFlat);
    tree->SetFrameSides(SideBit(sdLeft));
    tree->SetFrameHotTrack(true);
    EXPECT_TRUE(tree->GetFrameVisible());
    EXPECT_EQ(tree->GetFrameSides(), AllSides) << "hot tracking frames all sides";
    int entered = 0, left = 0;
    tree->OnMouseEnter = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++entered; });
    tree->OnMouseLeave = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++left; });
    form->Show();
    tree->Update();
    EXPECT_EQ(WindowPixel(0, 0), clRed);
    tree->Perform(CM_MOUSEENTER);
    EXPECT_EQ(WindowPixel(0, 0), clBlue);
    tree->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(WindowPixel(0, 0), clRed);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
}

TEST_F(QvTreeViewWindow, WheelScrollsByItsLinesAndReachesTheTop)
{
    for (int i = 0; i < 80; ++i) tree->GetItems()->Add(nullptr, "node " + std::to_string(i));
    form->Show();
    const int lines = Mouse->GetWheelScrollLines();
    ASSERT_GT(lines, 1);
    auto position = [&] { return GetScrollPos(tree->WindowHandle, SB_VERT); };
    auto wheel = [&](int notches) {
        SendMessageA(tree->WindowHandle, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(notches * WHEEL_DELTA))),
                     MAKELPARAM(100, 100));
    };
    wheel(-1);
    EXPECT_EQ(position(), lines);
    EXPECT_EQ(tree->GetTopItem(), tree->GetItems()->GetItem(lines));
    wheel(-1);
    EXPECT_EQ(position(), 2 * lines);
    SendMessageA(tree->WindowHandle, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1), 0);
    ASSERT_EQ(position(), 1);
    wheel(1);  // fewer lines above than a notch scrolls
    EXPECT_EQ(position(), 0) << "the wheel reaches the top";
    EXPECT_EQ(tree->GetTopItem(), tree->GetItems()->GetFirstNode());
}

TEST_F(QvTreeViewWindow, AutoSelectSelectsWhatIsExpandedButNotDuringFullExpand)
{
    // The native tree tells of an expansion asked by a program only the first time a node opens.
    BuildTree(tree, {{0, "A"}, {1, "A1"}, {2, "A1a"}, {0, "B"}, {1, "B1"}, {0, "C"}});
    form->Show();
    tree->SetAutoSelect(true);
    tree->SetSelected(Node(tree, "C"));
    Node(tree, "A")->Expand(false);
    EXPECT_EQ(tree->GetSelected(), Node(tree, "A"));
    tree->SetSelected(Node(tree, "C"));
    Node(tree, "A1")->Expand(false);
    EXPECT_EQ(tree->GetSelected(), Node(tree, "A1"));
    tree->SetSelected(Node(tree, "C"));
    tree->FullExpand();
    EXPECT_TRUE(Node(tree, "B")->GetExpanded());
    EXPECT_EQ(tree->GetSelected(), Node(tree, "C"));
    EXPECT_TRUE(tree->GetAutoSelect()) << "restored afterwards";
}

TEST_F(QvTreeViewWindow, KeyboardMenusOpenAtTheSelectedLabel)
{
    auto* menu = new RecordingPopupMenu(form.get());
    tree->SetPopupMenu(menu);
    TTreeNode* first = tree->GetItems()->Add(nullptr, "First");
    TTreeNode* second = tree->GetItems()->Add(nullptr, "Second");
    std::vector<TTreeNode*> asked;
    tree->OnNodeContextMenu = MakeEvent<TObject*, TTreeNode*, POINT&, TPopupMenu*&>(
        nullptr, [&](TObject*, TTreeNode* node, POINT&, TPopupMenu*&) { asked.push_back(node); });
    form->Show();

    SendMessageA(tree->WindowHandle, WM_KEYDOWN, VK_APPS, 0);
    EXPECT_EQ(menu->shown, 1) << "no node selected: the tree's menu at its corner";
    EXPECT_EQ(menu->at.x, tree->ClientToScreen(POINT{0, 0}).x);
    EXPECT_EQ(menu->at.y, tree->ClientToScreen(POINT{0, 0}).y);
    EXPECT_TRUE(asked.empty());

    tree->SetSelected(second);
    SendMessageA(tree->WindowHandle, WM_KEYDOWN, VK_APPS, 0);
    ASSERT_EQ(asked, std::vector<TTreeNode*>{second});
    const RECT label = second->DisplayRect(true);
    const POINT centre = tree->ClientToScreen(POINT{(label.left + label.right) / 2, (label.top + label.bottom) / 2});
    EXPECT_EQ(menu->shown, 2);
    EXPECT_EQ(menu->at.x, centre.x);
    EXPECT_EQ(menu->at.y, centre.y);
    EXPECT_EQ(menu->openedFor, tree);

    // Shift+F10 does the same; F10 alone does not.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(tree->WindowHandle, WM_SYSKEYDOWN, VK_F10, 0);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(menu->shown, 3);
    SendMessageA(tree->WindowHandle, WM_SYSKEYDOWN, VK_F10, 0);
    EXPECT_EQ(menu->shown, 3);
    (void)first;
}

TEST_F(QvTreeViewWindow, NodeMenuHandlerMayMoveAndReplaceTheMenu)
{
    auto* standard = new RecordingPopupMenu(form.get());
    auto* other = new RecordingPopupMenu(form.get());
    tree->SetPopupMenu(standard);
    TTreeNode* node = tree->GetItems()->Add(nullptr, "Node");
    tree->OnNodeContextMenu = MakeEvent<TObject*, TTreeNode*, POINT&, TPopupMenu*&>(
        nullptr, [&](TObject*, TTreeNode*, POINT& pos, TPopupMenu*& menu) {
            pos = POINT{5, 6};
            menu = other;
        });
    form->Show();
    tree->SetSelected(node);
    SendMessageA(tree->WindowHandle, WM_KEYDOWN, VK_APPS, 0);
    EXPECT_EQ(standard->shown, 0);
    EXPECT_EQ(other->shown, 1);
    EXPECT_EQ(other->at.x, tree->ClientToScreen(POINT{5, 6}).x);
    EXPECT_EQ(other->at.y, tree->ClientToScreen(POINT{5, 6}).y);
}

TEST_F(QvTreeViewWindow, ContextMenuMessageServesOnlyATreeWithoutSelection)
{
    auto* menu = new RecordingPopupMenu(form.get());
    tree->SetPopupMenu(menu);
    TTreeNode* node = tree->GetItems()->Add(nullptr, "Node");
    int handlerCalls = 0;
    tree->OnNodeContextMenu = MakeEvent<TObject*, TTreeNode*, POINT&, TPopupMenu*&>(
        nullptr, [&](TObject*, TTreeNode* asked, POINT&, TPopupMenu*&) {
            ++handlerCalls;
            EXPECT_EQ(asked, nullptr);
        });
    form->Show();
    const POINT screen = tree->ClientToScreen(POINT{40, 200});
    SendMessageA(tree->WindowHandle, WM_CONTEXTMENU, WPARAM(tree->WindowHandle), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(handlerCalls, 1);
    EXPECT_EQ(menu->shown, 1);
    EXPECT_EQ(menu->at.x, screen.x);
    EXPECT_EQ(menu->at.y, screen.y);
    SendMessageA(tree->WindowHandle, WM_CONTEXTMENU, WPARAM(tree->WindowHandle), MAKELPARAM(-1, -1));
    EXPECT_EQ(menu->shown, 2) << "from the keyboard";
    EXPECT_EQ(menu->at.x, tree->ClientToScreen(POINT{0, 0}).x);
    EXPECT_EQ(handlerCalls, 1) << "no node to ask about";
    tree->SetSelected(node);
    SendMessageA(tree->WindowHandle, WM_CONTEXTMENU, WPARAM(tree->WindowHandle), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(menu->shown, 2) << "with a selected node the right click's own menu serves";
}

}  // namespace
