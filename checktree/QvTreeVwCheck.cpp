// The check-box tree: check states and their cascade, the check images, mouse and space toggling.
#include "QvTreeVw.h"

#include <iterator>

#include "QvCommonBitmaps.h"
#include "QvThemeSrv.h"

using namespace vcl;

namespace {

int StateOf(const TTreeNode* node) { return node->GetStateIndex(); }

// The state changes of a cascade reach the window when it ends: many under one redraw of the tree instead of a
// row (and its scroll bars) per change, a few (the box of a closed branch and its parents) row by row, as one
// redraw of a long tree costs more than a few rows.
class TStateBatch {
public:
    explicit TStateBatch(TQvCheckTree* tree) : nodes_(tree->GetItems()) { nodes_->BeginStateUpdate(); }
    ~TStateBatch() { nodes_->EndStateUpdate(); }
    TStateBatch(const TStateBatch&) = delete;
    TStateBatch& operator=(const TStateBatch&) = delete;

private:
    TTreeNodes* nodes_;
};

// A parent's state from its children: mixed as soon as one child is mixed or both ticked and empty boxes
// were seen; else ticked when any child is. Children without a box (0, or -1 before the first paint)
// count for neither side.
TQvCheckState StateFromChildren(const TTreeNode* parent)
{
    int unchecked = 0, checked = 0;
    for (const TTreeNode* child = parent->getFirstChild(); child; child = child->getNextSibling()) {
        const int state = StateOf(child);
        if (state == csUnchecked) ++unchecked;
        if (state == csChecked) ++checked;
        if (state == csPartiallyChecked || (unchecked > 0 && checked > 0)) return csPartiallyChecked;
    }
    return checked > 0 ? csChecked : csUnchecked;
}

// The mark colour of the plain images: clOlive is their transparent colour, so a mark of that colour (or
// of clGray) is drawn one step off it.
COLORREF MarkColor(TColor highlight)
{
    const COLORREF rgb = ColorToRGB(highlight);
    return rgb == ColorToRGB(clOlive) || rgb == ColorToRGB(clGray) ? rgb + 1 : rgb;
}

}  // namespace

TQvCheckTree::TQvCheckTree(TComponent* AOwner) : TQvCustomTreeView(AOwner)
{
    FCheckImages = new TImageList(this);
    FCheckImages->SetName("CheckImages");
    SetStateImages(FCheckImages);
    InitStateImages();
    FCheckImageWidth = FCheckImages->GetWidth();
    SetReadOnly(true);
}

TQvCheckTree::~TQvCheckTree()
{
    SetStateImages(nullptr);
    delete FCheckImages;
}

// ---- states

bool TQvCheckTree::CanChangeState(TTreeNode* Node, TQvCheckState NewState)
{
    bool allow = true;
    OnStateChanging(this, Node, NewState, allow);
    return allow;
}

void TQvCheckTree::StateChange(TTreeNode* Node, TQvCheckState NewState) { OnStateChange(this, Node, NewState); }

void TQvCheckTree::SetNodeCheckState(TTreeNode* Node, TQvCheckState State)
{
    if (!CanChangeState(Node, State)) return;
    Node->SetStateIndex(State);
    StateChange(Node, State);
}

void TQvCheckTree::Cascade(TTreeNode* Node)
{
    if (!FCascadeChecks) return;
    const bool checked = StateOf(Node) == csChecked;
    UpdateChildren(Node, checked);
    UpdateParents(Node, checked);
}

void TQvCheckTree::ChangeNodeCheckState(TTreeNode* Node, TQvCheckState State)
{
    if (!Node) return;
    FBoxPressed = false;
    TStateBatch batch(this);
    if (StateOf(Node) != State) SetNodeCheckState(Node, State);
    // Also when nothing changed or a handler refused: the node's state is imposed on its descendants again.
    Cascade(Node);
}

void TQvCheckTree::ToggleCheckState(TTreeNode* Node)
{
    if (!Node) return;
    FBoxPressed = false;
    const int state = StateOf(Node);
    if (state == csUnknown) return;
    TStateBatch batch(this);
    SetNodeCheckState(Node, state == csChecked ? csUnchecked : csChecked);
    Cascade(Node);
}

void TQvCheckTree::ForceCheckState(TTreeNode* Node, TQvCheckState State)
{
    if (!Node || StateOf(Node) == State) return;
    Node->SetStateIndex(State);
    StateChange(Node, State);
}

void TQvCheckTree::UpdateChildren(TTreeNode* Node, bool Checked)
{
    RecurseChildren(Node->getFirstChild(), Checked);
    OnUpdateChildren(this);
}

// Depth first, each node before its children; a refused node's children are still set.
void TQvCheckTree::RecurseChildren(TTreeNode* Node, bool Checked)
{
    for (TTreeNode* n = Node; n; n = n->getNextSibling()) {
        SetNodeCheckState(n, Checked ? csChecked : csUnchecked);
        if (TTreeNode* child = n->getFirstChild()) RecurseChildren(child, Checked);
    }
}

void TQvCheckTree::UpdateParents(TTreeNode* Node, bool)
{
    for (TTreeNode* parent = Node->GetParent(); parent; parent = parent->GetParent())
        SetNodeCheckState(parent, StateFromChildren(parent));
}

void TQvCheckTree::UpdateCascadingStates(TTreeNode* Node)
{
    if (!Node || !FCascadeChecks) return;
    const int state = StateOf(Node);
    if (state != csChecked && state != csUnchecked) return;
    TStateBatch batch(this);
    UpdateChildren(Node, state == csChecked);
    UpdateParents(Node, StateOf(Node) == csChecked);
}

// Carries the state of every leaf below the node up again, leaf by leaf in tree order.
void TQvCheckTree::UpdateChildrenCascadingStates(TTreeNode* Node)
{
    if (!Node || !FCascadeChecks) return;
    if (!Node->getFirstChild()) {
        UpdateCascadingStates(Node);
        return;
    }
    TStateBatch batch(this);
    for (TTreeNode* child = Node->getFirstChild(); child; child = child->getNextSibling()) {
        if (child->GetHasChildren())
            UpdateChildrenCascadingStates(child);
        else
            UpdateCascadingStates(child);
    }
}

void TQvCheckTree::SetAllChildren(TTreeNode* Node, TQvCheckState State)
{
    for (TTreeNode* n = Node; n; n = n->getNextSibling()) {
        n->SetStateIndex(State);
        if (TTreeNode* child = n->getFirstChild()) SetAllChildren(child, State);
    }
}

void TQvCheckTree::SetAllNodes(TQvCheckState State)
{
    TStateBatch batch(this);
    if (TTreeNode* first = GetItems()->GetFirstNode()) SetAllChildren(first, State);
}

TQvCheckState TQvCheckTree::GetItemState(int Index) const
{
    return static_cast<TQvCheckState>(StateOf(GetItems()->GetItem(Index)));
}

void TQvCheckTree::SetItemState(int Index, TQvCheckState State)
{
    TTreeNode* node = GetItems()->GetItem(Index);
    if (StateOf(node) != State) ChangeNodeCheckState(node, State);
}

void TQvCheckTree::ResolveNewNodeStates()
{
    TTreeNode* n = GetItems()->GetFirstNode();
    while (n && StateOf(n) != -1) n = n->GetNext();
    if (!n) return;
    TStateBatch batch(this);
    for (; n; n = n->GetNext())
        if (StateOf(n) == -1) n->SetStateIndex(csUnchecked);
}

// ---- images

void TQvCheckTree::Loaded()
{
    TQvCustomTreeView::Loaded();
    UpdateImageWidth();
}

void TQvCheckTree::Notification(TComponent* AComponent, TOperation Operation)
{
    const bool imagesGone = Operation == opRemove && AComponent == GetImages();
    TQvCustomTreeView::Notification(AComponent, Operation);
    // Without node images the boxes move back to the labels.
    if (imagesGone) UpdateImageWidth();
}

void TQvCheckTree::SetImages(TCustomImageList* Value)
{
    TQvCustomTreeView::SetImages(Value);
    UpdateImageWidth();
}

void TQvCheckTree::UpdateImageWidth()
{
    TCustomImageList* images = GetImages();
    FImageWidth = images ? images->GetWidth() : 0;
}

void TQvCheckTree::SetHighlightColor(TColor Value)
{
    if (Value == FHighlightColor) return;
    FHighlightColor = Value;
    InitStateImages();
    Invalidate();
}

// Four images, one per check state; index 0 is never shown and fills its place.
void TQvCheckTree::InitStateImages()
{
    FCheckImages->Clear();
    if (ThemeServices()->ThemesEnabled())
        BuildThemedImages();
    else
        BuildPlainImages();
}

void TQvCheckTree::BuildThemedImages()
{
    TBitmap box;
    box.SetSize(16, 16);
    const RECT r{0, 0, 16, 16};
    for (TThemedButton element :
         {tbCheckBoxUncheckedNormal, tbCheckBoxUncheckedNormal, tbCheckBoxCheckedNormal, tbCheckBoxMixedNormal}) {
        ThemeServices()->DrawElement(box.GetCanvas()->GetHandle(), TThemeServices::GetElementDetails(element), r);
        FCheckImages->Add(&box, nullptr);
    }
}

// The layer's 13 x 13 boxes in the tree's colours, two pixels in from the top left of a 16 x 16 image
// whose clOlive rest is transparent.
void TQvCheckTree::BuildPlainImages()
{
    const COLORREF window = ColorToRGB(clWindow);
    const COLORMAP colours[] = {{RGB(255, 255, 255), window},
                                {RGB(128, 128, 128), COLORREF(ColorToRGB(GetFrameColor()))},
                                {RGB(255, 0, 0), window},
                                {RGB(255, 0, 255), window},
                                {RGB(0, 0, 255), MarkColor(FHighlightColor)}};
    TBitmap box, image;
    image.SetSize(16, 16);
    image.GetCanvas()->GetBrush()->SetColor(clOlive);
    image.GetCanvas()->FillRect(RECT{0, 0, 16, 16});
    for (const char* name : {qvbitmaps::CheckBoxUnchecked, qvbitmaps::CheckBoxUnchecked, qvbitmaps::CheckBoxChecked,
                             qvbitmaps::CheckBoxGrayed}) {
        box.LoadMappedResource(HInstance, name, colours, int(std::size(colours)));
        image.GetCanvas()->Draw(2, 2, &box);
        FCheckImages->AddMasked(&image, clOlive);
    }
}

// ---- input

// The box is the band of one check image just left of the node image (or of the label without node
// images), over the label's height, of the selected node.
void TQvCheckTree::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == TMouseButton::mbLeft) {
        // Every press starts afresh: a box press released outside the tree must not make a later plain
        // click on the label toggle.
        FBoxPressed = false;
        TTreeNode* node = GetSelected();
        const int index = node ? node->GetAbsoluteIndex() : -1;
        if (index >= 0) {
            const RECT label = node->DisplayRect(true);
            if (X <= label.left - FImageWidth && X > label.left - FCheckImageWidth - FImageWidth && Y >= label.top &&
                Y <= label.bottom) {
                FBoxPressed = true;
                FPressedIndex = index;
            }
        }
    }
    TQvCustomTreeView::MouseDown(Button, Shift, X, Y);
}

void TQvCheckTree::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == TMouseButton::mbLeft && FBoxPressed) {
        TTreeNode* node = GetSelected();
        const RECT client = GetClientRect();
        if (node && node->GetAbsoluteIndex() == FPressedIndex && PtInRect(&client, POINT{X, Y}))
            ToggleCheckState(node);
    }
    TQvCustomTreeView::MouseUp(Button, Shift, X, Y);
}

void TQvCheckTree::KeyUp(WORD& Key, TShiftState Shift)
{
    if (Key == VK_SPACE && !IsEditing()) ToggleCheckState(GetSelected());
    TQvCustomTreeView::KeyUp(Key, Shift);
}

// The space toggles; it must not reach the tree's incremental search.
void TQvCheckTree::WMChar(TMessage& Message)
{
    if (Message.WParam == VK_SPACE) return;
    TQvCustomTreeView::Dispatch(Message);
}

void TQvCheckTree::WMPaint(TMessage& Message)
{
    ResolveNewNodeStates();
    TQvCustomTreeView::Dispatch(Message);
}

VCL_BEGIN_MESSAGE_MAP(TQvCheckTree)
    VCL_MESSAGE(WM_PAINT, WMPaint)
    VCL_MESSAGE(WM_CHAR, WMChar)
VCL_END_MESSAGE_MAP(TQvCustomTreeView)
