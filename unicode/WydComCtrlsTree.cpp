// The wide tree view. Each node keeps a wide text beside the class library's ANSI one (the wide text counts
// while its ANSI form is what the class library holds). The node objects outlive the window, so the texts
// survive its re-creation; on NT the window gets them through the wide notifications.
#include "WydComCtrls.h"

#include <cstdint>

#include "WydSysUtils.h"
#include "WydSystem.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydTreeNode, TTreeNode)
VCL_IMPLEMENT_CLASS(TWydTreeNodes, TTreeNodes)
VCL_IMPLEMENT_CLASS(TWydTreeStrings, TWydStringList)
VCL_IMPLEMENT_CLASS(TWydCustomTreeView, TCustomTreeView)
VCL_IMPLEMENT_CLASS(TWydTreeView, TWydCustomTreeView, {
    PublishTreeViewProperties(m);
    m.Publish("Hint", &TWydTreeView::GetHint, &TWydTreeView::SetHint).Stored(&TWydTreeView::IsHintStored);
})

// =============================================================================================
// Nodes

void TWydTreeNode::Assign(TPersistent* source)
{
    TTreeNode::Assign(source);
    if (auto* node = dynamic_cast<TWydTreeNode*>(source); node && !GetDeleting())
        SetText(node->GetText());
}

void TWydTreeNode::SetText(const WideString& value)
{
    SetSyncedWideString(value, text_, TTreeNode::GetText(), [this](const AnsiString& s) { SetInheritedText(s); });
}

bool TWydTreeNode::IsEqual(const TWydTreeNode* node) const
{
    return node && GetText() == node->GetText() && Data == node->Data;
}

TWydTreeNodes* TWydTreeNode::GetNodeOwner() const
{
    return dynamic_cast<TWydTreeNodes*>(GetOwner());
}

TWydCustomTreeView* TWydTreeNode::GetTreeView() const
{
    return dynamic_cast<TWydCustomTreeView*>(TTreeNode::GetTreeView());
}

// =============================================================================================
// The node list

TWydTreeNode* TWydTreeNodes::AddNode(TWydTreeNode* node, TWydTreeNode* relative, const WideString& s, void* ptr,
                                     TNodeAttachMode method)
{
    bool joins = !node || node->GetIndex() < 0;
    if (!node)
        node = static_cast<TWydTreeNode*>(GetOwner() ? GetOwner()->CreateNode() : new TWydTreeNode(this));
    if (joins)
        node->text_ = s;  // before it joins, so whoever is told of the new node reads its wide text
    return static_cast<TWydTreeNode*>(TTreeNodes::AddNode(node, relative, WideToAnsi(s), ptr, method));
}

TWydTreeNode* TWydTreeNodes::Add(TWydTreeNode* sibling, const WideString& s)
{
    return AddNode(nullptr, sibling, s, nullptr, TNodeAttachMode::naAdd);
}

TWydTreeNode* TWydTreeNodes::AddObject(TWydTreeNode* sibling, const WideString& s, void* ptr)
{
    return AddNode(nullptr, sibling, s, ptr, TNodeAttachMode::naAdd);
}

TWydTreeNode* TWydTreeNodes::AddFirst(TWydTreeNode* sibling, const WideString& s)
{
    return AddNode(nullptr, sibling, s, nullptr, TNodeAttachMode::naAddFirst);
}

TWydTreeNode* TWydTreeNodes::AddObjectFirst(TWydTreeNode* sibling, const WideString& s, void* ptr)
{
    return AddNode(nullptr, sibling, s, ptr, TNodeAttachMode::naAddFirst);
}

TWydTreeNode* TWydTreeNodes::AddChild(TWydTreeNode* parent, const WideString& s)
{
    return AddNode(nullptr, parent, s, nullptr, TNodeAttachMode::naAddChild);
}

TWydTreeNode* TWydTreeNodes::AddChildObject(TWydTreeNode* parent, const WideString& s, void* ptr)
{
    return AddNode(nullptr, parent, s, ptr, TNodeAttachMode::naAddChild);
}

TWydTreeNode* TWydTreeNodes::AddChildFirst(TWydTreeNode* parent, const WideString& s)
{
    return AddNode(nullptr, parent, s, nullptr, TNodeAttachMode::naAddChildFirst);
}

TWydTreeNode* TWydTreeNodes::AddChildObjectFirst(TWydTreeNode* parent, const WideString& s, void* ptr)
{
    return AddNode(nullptr, parent, s, ptr, TNodeAttachMode::naAddChildFirst);
}

TWydTreeNode* TWydTreeNodes::Insert(TWydTreeNode* sibling, const WideString& s)
{
    return AddNode(nullptr, sibling, s, nullptr, TNodeAttachMode::naInsert);
}

TWydTreeNode* TWydTreeNodes::InsertObject(TWydTreeNode* sibling, const WideString& s, void* ptr)
{
    return AddNode(nullptr, sibling, s, ptr, TNodeAttachMode::naInsert);
}

TWydTreeNode* TWydTreeNodes::InsertNode(TWydTreeNode* node, TWydTreeNode* sibling, const WideString& s, void* ptr)
{
    return AddNode(node, sibling, s, ptr, TNodeAttachMode::naInsert);
}

TWydCustomTreeView* TWydTreeNodes::GetNodesOwner() const
{
    return dynamic_cast<TWydCustomTreeView*>(GetOwner());
}

// The class library's Assign copies node by node through each node's Assign, which brings the wide text.
void TWydTreeNodes::Assign(TPersistent* source)
{
    ClearCache();
    TTreeNodes::Assign(source);
}

void TWydTreeNodes::DefineProperties(TFiler* filer)
{
    TTreeNodes::DefineProperties(filer);
    filer->DefineBinaryProperty(
        "Utf8Data", [this](TStream* s) { ReadUtf8Data(s); }, [this](TStream* s) { WriteUtf8Data(s); },
        Utf8DataDiffers(filer->GetAncestor()));
}

bool TWydTreeNodes::Utf8DataDiffers(TPersistent* ancestor) const
{
    auto* other = dynamic_cast<TWydTreeNodes*>(ancestor);
    if (!other)
        return GetCount() > 0;
    if (other->GetCount() != GetCount())
        return true;
    for (int i = 0; i < GetCount(); ++i)
        if (!GetItem(i)->IsEqual(other->GetItem(i)))
            return true;
    return false;
}

// "Utf8Data", little-endian: the Int32 count of top-level nodes, then each node's record followed by its
// children's, depth first. A record: Int32 Size (the bytes after it: 25 + the text's bytes); Int32 ImageIndex,
// SelectedIndex, StateIndex, OverlayIndex; UInt32 Data; Int32 child count; one length byte; the text as
// EF BB BF and UTF-8. A text of more than 255 bytes is written whole: its length byte says 255 and Size
// tells the real length, so no text is cut. Records whose text lacks the mark are ANSI.
namespace {

const char Utf8Mark[] = "\xEF\xBB\xBF";
const int RecordFixedBytes = 25;
const int MaxRecordText = 1 << 20;

void WriteInt32(TStream* stream, std::int32_t value)
{
    stream->WriteBuffer(&value, sizeof value);
}

std::int32_t ReadInt32(TStream* stream)
{
    std::int32_t value = 0;
    stream->ReadBuffer(&value, sizeof value);
    return value;
}

void WriteRecord(TStream* stream, const TWydTreeNode* node)
{
    AnsiString text = Utf8Mark + WideStringToUTF8(node->GetText());
    WriteInt32(stream, RecordFixedBytes + int(text.size()));
    WriteInt32(stream, node->GetImageIndex());
    WriteInt32(stream, node->GetSelectedIndex());
    WriteInt32(stream, node->GetStateIndex());
    WriteInt32(stream, node->GetOverlayIndex());
    WriteInt32(stream, std::int32_t(std::uint32_t(reinterpret_cast<std::uintptr_t>(node->Data))));
    WriteInt32(stream, node->GetCount());
    auto length = BYTE(std::min<size_t>(text.size(), 255));
    stream->WriteBuffer(&length, 1);
    stream->WriteBuffer(text.data(), int(text.size()));
    for (int i = 0; i < node->GetCount(); ++i)
        WriteRecord(stream, node->GetItem(i));
}

WideString RecordText(const AnsiString& bytes)
{
    if (bytes.compare(0, 3, Utf8Mark) == 0)
        return UTF8ToWideString(bytes.substr(3));
    return AnsiToWide(bytes);
}

}  // namespace

void TWydTreeNodes::WriteUtf8Data(TStream* stream)
{
    WriteInt32(stream, std::int32_t(Roots().size()));
    for (TTreeNode* root : Roots())
        WriteRecord(stream, static_cast<TWydTreeNode*>(root));
}

void TWydTreeNodes::ReadUtf8Data(TStream* stream)
{
    TScopedValue<bool> reading(Reading, true);
    TUpdateScope<TTreeNodes> update(this);
    Clear();
    std::function<void(TWydTreeNode*)> readRecord = [&](TWydTreeNode* parent) {
        int size = ReadInt32(stream);
        if (size < RecordFixedBytes || size - RecordFixedBytes > MaxRecordText)
            throw EReadError("Invalid property value");
        int image = ReadInt32(stream), selected = ReadInt32(stream), state = ReadInt32(stream);
        int overlay = ReadInt32(stream);
        auto data = std::uint32_t(ReadInt32(stream));
        int children = ReadInt32(stream);
        BYTE length = 0;
        stream->ReadBuffer(&length, 1);
        int textBytes = size - RecordFixedBytes;
        if (children < 0 || length != std::min(textBytes, 255))
            throw EReadError("Invalid property value");
        AnsiString bytes(size_t(textBytes), '\0');
        stream->ReadBuffer(bytes.data(), textBytes);
        TWydTreeNode* node = AddChild(parent, RecordText(bytes));
        node->SetImageIndex(image);
        node->SetSelectedIndex(selected);
        node->SetStateIndex(state);
        node->SetOverlayIndex(overlay);
        node->Data = reinterpret_cast<void*>(std::uintptr_t(data));
        Added(node);
        for (int i = 0; i < children; ++i)
            readRecord(node);
    };
    int roots = ReadInt32(stream);
    if (roots < 0)
        throw EReadError("Invalid property value");
    for (int i = 0; i < roots; ++i)
        readRecord(nullptr);
}

// =============================================================================================
// The view

TWydCustomTreeView::TWydCustomTreeView(TComponent* owner)
    : TCustomTreeView(owner), editHook_(this, [this](TMessage& m) { return RouteLabelEditKey(this, m); })
{
}

TTreeNode* TWydCustomTreeView::CreateNode()
{
    return NewNode(ChosenWideClass<TWydTreeNode, TTreeNodeClasses>(
        this, OnCreateNodeClass, "Internal Error: OnCreateNodeClass.ItemClass must inherit from TWydTreeNode."));
}

TTreeNodes* TWydCustomTreeView::CreateTreeNodes()
{
    return new TWydTreeNodes(this);
}

void TWydCustomTreeView::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"SysTreeView32");
}

int TWydCustomTreeView::GetSelections(TList* list) const
{
    list->Clear();
    if (TTreeNode* node = GetSelected())
        list->Add(node);
    return list->GetCount();
}

TWydTreeNode* TWydCustomTreeView::GetNodeFromItem(const TVITEMW& item) const
{
    if (item.mask & TVIF_PARAM)
        return Typed(reinterpret_cast<TTreeNode*>(item.lParam));
    return GetTreeNodes()->GetNode(item.hItem);
}

int TWydCustomTreeView::CompareNodes(TTreeNode* node1, TTreeNode* node2, int data)
{
    if (!Win32PlatformIsUnicode)
        return TCustomTreeView::CompareNodes(node1, node2, data);
    int result = 0;
    if (OnCompare)
        OnCompare(this, node1, node2, data, result);
    else
        result = lstrcmpW(Typed(node1)->GetText().c_str(), Typed(node2)->GetText().c_str());
    return result;
}

void TWydCustomTreeView::Edit(const TVITEMA& item)
{
    // A cancelled edit (no text) has been announced already (OnCancelEdit).
    if (!item.pszText)
        return;
    TWydTreeNode* node = item.mask & TVIF_PARAM ? Typed(reinterpret_cast<TTreeNode*>(item.lParam))
                                                : GetTreeNodes()->GetNode(item.hItem);
    if (node)
        EditText(node, SyncedWideText(node->GetText(), item.pszText));
}

void TWydCustomTreeView::EditText(TWydTreeNode* node, const WideString& text)
{
    node->SetText(EditedText(this, node, text, OnEdited, TCustomTreeView::OnEdited));
}

VCL_BEGIN_MESSAGE_MAP(TWydCustomTreeView)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
VCL_END_MESSAGE_MAP(TCustomTreeView)

void TWydCustomTreeView::CNNotify(TMessage& message)
{
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    if (Win32PlatformIsUnicode) {
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
        switch (header->code) {
        case TVN_GETDISPINFOW:
            GetDisplayInfoW(message);
            return;
        case TVN_SETDISPINFOW:
            if (TWydTreeNode* node = GetNodeFromItem(info->item); node && (info->item.mask & TVIF_TEXT) &&
                                                                   info->item.pszText)
                node->SetText(info->item.pszText);
            return;
        case TVN_BEGINLABELEDITW: {
            TWydTreeNode* node = GetNodeFromItem(info->item);
            message.Result = Dragging() || !node || !CanEdit(node);
            if (!message.Result)
                editHook_.Attach(HWND(SendMessageW(WindowHandle, TVM_GETEDITCONTROL, 0, 0)));
            return;
        }
        case TVN_ENDLABELEDITW: {
            TWydTreeNode* node = GetNodeFromItem(info->item);
            if (node && info->item.pszText)
                EditText(node, info->item.pszText);
            else if (node)
                OnCancelEdit(this, node);
            return;
        }
        default:
            break;
        }
    }
    TCustomTreeView::Dispatch(message);
}

// The wide text; images and children as the class library answers them.
void TWydCustomTreeView::GetDisplayInfoW(TMessage& message)
{
    TVITEMW& item = reinterpret_cast<NMTVDISPINFOW*>(message.LParam)->item;
    TWydTreeNode* node = Typed(reinterpret_cast<TTreeNode*>(item.lParam));
    if (!node)
        return;
    UINT mask = item.mask;
    if (mask & TVIF_TEXT)
        CopyDisplayText(node->GetText(), item.pszText, item.cchTextMax);
    item.mask &= ~UINT(TVIF_TEXT);
    TCustomTreeView::Dispatch(message);
    item.mask = mask;
}

// =============================================================================================
// The text form

void TWydCustomTreeView::SaveToStream(TStream* stream)
{
    TWydTreeStrings lines;
    for (TWydTreeNode* node = GetTreeNodes()->GetFirstNode(); node; node = node->GetNext())
        lines.Add(WideString(size_t(node->GetLevel()), L'\t') + node->GetText());
    lines.SaveToStream(stream);
}

void TWydCustomTreeView::SaveToFile(const WideString& fileName)
{
    TWydFileStream stream(fileName, fmCreate);
    SaveToStream(&stream);
}

void TWydCustomTreeView::LoadFromStream(TStream* stream)
{
    TWydTreeStrings lines;
    lines.LoadFromStream(stream);
    LoadLines(lines);
}

void TWydCustomTreeView::LoadFromFile(const WideString& fileName)
{
    TWydTreeStrings lines;
    lines.LoadFromFile(fileName);
    LoadLines(lines);
}

// Each line's leading tabs and spaces give its level; a line one level deeper than the node before is its
// child, one at the same level its sibling, one higher the sibling of that level's node.
void TWydCustomTreeView::LoadLines(TWydTreeStrings& lines)
{
    TWydTreeNodes* nodes = GetTreeNodes();
    TUpdateScope<TTreeNodes> update(nodes);
    nodes->Clear();
    TWydTreeNode* previous = nullptr;
    for (int i = 0; i < lines.GetCount(); ++i) {
        WideString line = lines.Get(i);
        size_t indent = line.find_first_not_of(L"\t ");
        int level = int(indent == WideString::npos ? line.size() : indent);
        WideString text = line.substr(size_t(level));
        TWydTreeNode* parent = nullptr;
        if (previous) {
            int previousLevel = previous->GetLevel();
            if (level > previousLevel + 1)
                throw ETreeViewError("Invalid level (%d) for item \"%s\"", {level, WideToAnsi(text)});
            if (level == previousLevel + 1) {
                parent = previous;
            } else {
                TWydTreeNode* sibling = previous;
                while (sibling->GetLevel() > level)
                    sibling = sibling->GetParent();
                parent = sibling->GetParent();
            }
        }
        previous = nodes->AddChild(parent, text);
    }
}
