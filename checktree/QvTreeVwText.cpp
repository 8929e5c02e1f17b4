// The check tree's text format: one line per node in tree order, a TAB per level, then
// "state|image|selected image|text", CR LF after each line; read and written through TQvCheckTreeStrings.
#include "QvTreeVw.h"

#include "SysUtils.h"

using namespace vcl;

namespace {

// The level given by the leading TABs and blanks, and the rest of the line after them.
int SplitLevel(const AnsiString& line, AnsiString& rest)
{
    size_t level = 0;
    while (level < line.size() && (line[level] == '\t' || line[level] == ' ')) ++level;
    rest = line.substr(level);
    return int(level);
}

// Takes the integer before the first "|" off the front of rest; -1 when rest holds no "|".
int TakeField(AnsiString& rest)
{
    const size_t bar = rest.find('|');
    if (bar == AnsiString::npos) return -1;
    const int value = StrToInt(rest.substr(0, bar));
    rest.erase(0, bar + 1);
    return value;
}

AnsiString Tabs(int count) { return AnsiString(size_t(count), '\t'); }

// The node that ends the tree in tree order.
TTreeNode* LastNode(TTreeNodes* nodes)
{
    const auto& roots = nodes->Roots();
    TTreeNode* last = roots.empty() ? nullptr : roots.back();
    while (last && last->GetLastChild()) last = last->GetLastChild();
    return last;
}

// Where a line of the given level goes after the node of the previous line: beside it, below it, or
// beside its ancestor at that level. A line two or more levels deeper than the previous one has no place.
TTreeNode* PlaceNode(TTreeNodes* nodes, TTreeNode* previous, int level, const AnsiString& text)
{
    if (!previous) return nodes->Add(nullptr, text);
    const int previousLevel = previous->GetLevel();
    if (previousLevel == level) return nodes->Add(previous, text);
    if (previousLevel == level - 1) return nodes->AddChild(previous, text);
    if (previousLevel > level) {
        TTreeNode* sibling = previous->GetParent();
        while (sibling->GetLevel() > level) sibling = sibling->GetParent();
        return nodes->Add(sibling, text);
    }
    throw ETreeViewError("Invalid level (%d) for item \"%s\"", {level, text});
}

}  // namespace

VCL_IMPLEMENT_CLASS(TQvCheckTreeStrings, TStrings)

TQvCheckTreeStrings::TQvCheckTreeStrings(TTreeNodes* Nodes) : FNodes(Nodes) {}

AnsiString TQvCheckTreeStrings::Get(int Index) const
{
    TTreeNode* node = FNodes->GetItem(Index);
    return Tabs(node->GetLevel()) + node->GetText();
}

int TQvCheckTreeStrings::GetCount() const { return FNodes->GetCount(); }

TObject* TQvCheckTreeStrings::GetObject(int Index) const
{
    return static_cast<TObject*>(FNodes->GetItem(Index)->GetData());
}

void TQvCheckTreeStrings::PutObject(int Index, TObject* Object) { FNodes->GetItem(Index)->SetData(Object); }

void TQvCheckTreeStrings::SetUpdateState(bool Updating)
{
    TCustomTreeView* tree = FNodes->GetOwner();
    if (!tree || !tree->HandleAllocated()) return;
    tree->Perform(WM_SETREDRAW, !Updating, 0);
    if (!Updating) tree->Refresh();
}

int TQvCheckTreeStrings::Add(const AnsiString& S)
{
    const int count = GetCount();
    if (S == "\x1A") return count;  // an end-of-file mark is no line
    AnsiString text;
    const int level = SplitLevel(S, text);
    TTreeNode* last = LastNode(FNodes);
    const int lastLevel = last ? last->GetLevel() : 0;
    if (!last || level > lastLevel) {
        if (level - lastLevel > 1) throw ETreeViewError("Invalid item level assignment");
        FNodes->AddChild(last, text);
        return count;
    }
    // Up to the parent of the last node's ancestor at that level (none: a root node).
    TTreeNode* parent = last;
    for (int step = 0; step <= lastLevel - level; ++step) {
        if (!parent) throw ETreeViewError("Invalid item level assignment");
        parent = parent->GetParent();
    }
    FNodes->AddChild(parent, text);
    return count;
}

void TQvCheckTreeStrings::Clear() { FNodes->Clear(); }

void TQvCheckTreeStrings::Delete(int Index) { FNodes->GetItem(Index)->Delete(); }

void TQvCheckTreeStrings::Insert(int Index, const AnsiString& S) { FNodes->Insert(FNodes->GetItem(Index), S); }

void TQvCheckTreeStrings::ReadTreeFromStream(TStream* Stream)
{
    TStringList lines;
    TUpdateScope<TTreeNodes> update(FNodes);
    try {
        FNodes->Clear();
        lines.LoadFromStream(Stream);
        TTreeNode* previous = nullptr;
        for (int i = 0; i < lines.GetCount(); ++i) {
            AnsiString rest;
            const int level = SplitLevel(lines.Get(i), rest);
            // Up to three numbers, each before a "|"; what remains is the text, "|" and all.
            const int state = TakeField(rest);
            const int image = TakeField(rest);
            const int selected = TakeField(rest);
            TTreeNode* node = PlaceNode(FNodes, previous, level, rest);
            node->SetStateIndex(state);
            node->SetImageIndex(image);
            node->SetSelectedIndex(selected);
            previous = node;
        }
    } catch (...) {
        if (TCustomTreeView* tree = FNodes->GetOwner()) tree->Invalidate();
        throw;
    }
}

void TQvCheckTreeStrings::WriteTreeToStream(TStream* Stream)
{
    for (TTreeNode* node = FNodes->GetFirstNode(); node; node = node->GetNext()) {
        const AnsiString line = Tabs(node->GetLevel()) + IntToStr(node->GetStateIndex()) + "|" +
                                IntToStr(node->GetImageIndex()) + "|" + IntToStr(node->GetSelectedIndex()) + "|" +
                                node->GetText() + "\r\n";
        Stream->WriteBuffer(line.data(), int(line.size()));
    }
}

// ---------------------------------------------------------------------------------------------------------
// TQvCheckTree's files and streams

void TQvCheckTree::LoadFromFile(const AnsiString& FileName)
{
    TFileStream stream(FileName, fmOpenRead);
    LoadFromStream(&stream);
}

void TQvCheckTree::SaveToFile(const AnsiString& FileName)
{
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

void TQvCheckTree::LoadFromStream(TStream* Stream) { TQvCheckTreeStrings(GetItems()).ReadTreeFromStream(Stream); }

void TQvCheckTree::SaveToStream(TStream* Stream) { TQvCheckTreeStrings(GetItems()).WriteTreeToStream(Stream); }
