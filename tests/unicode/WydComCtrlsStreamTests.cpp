// The wide common controls in form streams and files: a form with one of each written and read back, the tree's
// "Utf8Data" records byte by byte, the tree's text form, and a screenshot of a demo form.
#include <cstdint>
#include <cstring>

#include "TestSupport.h"
#include "WindowPicture.h"
#include "WydComCtrlsTestSupport.h"

using namespace vcl;
using namespace wydcomtest;
using vcltest::PumpUntil;

namespace {

// The bytes of "Utf8Data", read back the way its records are laid out.
class TRecordReader {
public:
    explicit TRecordReader(TMemoryStream& stream)
        : bytes_(static_cast<const char*>(stream.GetMemory()), size_t(stream.GetSize()))
    {
    }
    std::int32_t Int()
    {
        std::int32_t v = 0;
        std::memcpy(&v, bytes_.data() + at_, sizeof v);
        at_ += sizeof v;
        return v;
    }
    BYTE Byte() { return BYTE(bytes_[at_++]); }
    std::string Bytes(size_t n)
    {
        std::string s = bytes_.substr(at_, n);
        at_ += n;
        return s;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

private:
    std::string bytes_;
    size_t at_ = 0;
};

struct RecordSeen {
    std::string text;
    int size, length, children;
};

RecordSeen ReadRecord(TRecordReader& r)
{
    RecordSeen seen{};
    seen.size = r.Int();
    for (int i = 0; i < 5; ++i)
        r.Int();  // the four indexes and Data
    seen.children = r.Int();
    seen.length = r.Byte();
    seen.text = r.Bytes(size_t(seen.size - 25));
    return seen;
}

void WriteRecord(TStream& stream, const std::string& text, int children)
{
    std::int32_t header[7] = {25 + std::int32_t(text.size()), 1, 2, -1, -1, 0, children};
    stream.WriteBuffer(header, sizeof header);
    BYTE length = BYTE(std::min<size_t>(text.size(), 255));
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(text.data(), int(text.size()));
}

std::vector<WideString> TreeTexts(TWydTreeNodes* nodes)
{
    std::vector<WideString> texts;
    for (TWydTreeNode* node = nodes->GetFirstNode(); node; node = node->GetNext())
        texts.push_back(WideString(size_t(node->GetLevel()), L'>') + node->GetText());
    return texts;
}

}  // namespace

TEST_F(WydComCtrlsTest, EveryControlWrittenToAFormStreamAndReadBack)
{
    const WideString longText(300, L'\x6F22');
    auto* list = Make<TWydListView>();
    list->SetName("lvNames");
    list->SetHint(Greek);
    list->GetListColumns()->Add()->SetCaption(Cyrillic);
    auto* tree = Make<TWydTreeView>();
    tree->SetName("tvFolders");
    TWydTreeNode* root = tree->GetTreeNodes()->Add(nullptr, Greek);
    tree->GetTreeNodes()->AddChild(root, longText);
    auto* tabs = Make<TWydTabControl>();
    tabs->SetName("tcKinds");
    tabs->GetTabs()->Add(Cjk);
    tabs->GetTabs()->Add(Emoji);
    auto* pages = Make<TWydPageControl>();
    pages->SetName("pgcPages");
    auto* sheet = new TWydTabSheet(form.get());
    sheet->SetName("tsFirst");
    sheet->SetCaption(Cyrillic);
    sheet->SetPageControl(pages);
    auto* status = Make<TWydStatusBar>();
    status->SetName("sbStatus");
    status->GetPanels()->Add()->SetText(Greek);
    status->SetSimpleText(Cjk);
    auto* toolbar = Make<TWydToolBar>();
    toolbar->SetName("tbTools");
    toolbar->SetCaption(Cyrillic);
    auto* button = new TWydToolButton(form.get());
    button->SetName("tbnRun");
    button->SetCaption(Emoji);
    button->SetParent(toolbar);
    auto* progress = Make<TWydProgressBar>();
    progress->SetName("pgbDone");
    progress->SetHint(Cjk);

    TMemoryStream stream;
    {
        TWriter writer(&stream);
        writer.WriteRootComponent(form.get());
    }
    stream.SetPosition(0);
    std::unique_ptr<TForm> read(new TForm(nullptr, 0));
    stream.ReadComponent(read.get());
    auto find = [&](const char* name) { return read->FindComponent(name); };
    auto* readList = dynamic_cast<TWydListView*>(find("lvNames"));
    ASSERT_NE(readList, nullptr);
    EXPECT_TRUE(readList->GetHint() == Greek);
    ASSERT_EQ(readList->GetListColumns()->GetCount(), 1);
    EXPECT_TRUE(readList->ColumnFromIndex(0)->GetCaption() == Cyrillic);
    auto* readTree = dynamic_cast<TWydTreeView*>(find("tvFolders"));
    ASSERT_NE(readTree, nullptr);
    EXPECT_EQ(TreeTexts(readTree->GetTreeNodes()), (std::vector<WideString>{Greek, L">" + longText}))
        << "a text beyond 255 bytes comes back whole";
    auto* readTabs = dynamic_cast<TWydTabControl*>(find("tcKinds"));
    ASSERT_NE(readTabs, nullptr);
    ASSERT_EQ(readTabs->GetTabs()->GetCount(), 2);
    EXPECT_TRUE(readTabs->GetTabs()->Get(1) == Emoji);
    auto* readSheet = dynamic_cast<TWydTabSheet*>(find("tsFirst"));
    ASSERT_NE(readSheet, nullptr);
    EXPECT_TRUE(readSheet->GetCaption() == Cyrillic);
    auto* readStatus = dynamic_cast<TWydStatusBar*>(find("sbStatus"));
    ASSERT_NE(readStatus, nullptr);
    EXPECT_TRUE(readStatus->GetPanels()->GetItem(0)->GetText() == Greek);
    EXPECT_TRUE(readStatus->GetSimpleText() == Cjk);
    auto* readToolbar = dynamic_cast<TWydToolBar*>(find("tbTools"));
    ASSERT_NE(readToolbar, nullptr);
    EXPECT_TRUE(readToolbar->GetCaption() == Cyrillic);
    auto* readButton = dynamic_cast<TWydToolButton*>(find("tbnRun"));
    ASSERT_NE(readButton, nullptr);
    EXPECT_TRUE(readButton->GetCaption() == Emoji);
    EXPECT_EQ(readToolbar->GetButtonCount(), 1);
    auto* readProgress = dynamic_cast<TWydProgressBar*>(find("pgbDone"));
    ASSERT_NE(readProgress, nullptr);
    EXPECT_TRUE(readProgress->GetHint() == Cjk);
}

TEST_F(WydComCtrlsTest, Utf8DataRecordsAreDepthFirstWithWholeTexts)
{
    auto* tree = Make<TWydTreeView>();
    TWydTreeNodes* nodes = tree->GetTreeNodes();
    const std::string ascii(300, 'a');
    TWydTreeNode* root = nodes->Add(nullptr, AnsiToWide(ascii));
    nodes->AddChild(root, Greek);
    nodes->AddChild(root, Emoji);
    nodes->Add(nullptr, Cjk);
    TMemoryStream stream;
    nodes->WriteUtf8Data(&stream);
    TRecordReader r(stream);
    EXPECT_EQ(r.Int(), 2) << "top-level nodes";
    const std::string mark = "\xEF\xBB\xBF";
    std::vector<std::pair<WideString, int>> expected{{AnsiToWide(ascii), 2}, {Greek, 0}, {Emoji, 0}, {Cjk, 0}};
    for (const auto& [text, children] : expected) {
        RecordSeen seen = ReadRecord(r);
        std::string bytes = mark + testsupport::ToUtf8(text);
        EXPECT_EQ(seen.text, bytes);
        EXPECT_EQ(seen.size, 25 + int(bytes.size()));
        EXPECT_EQ(seen.length, std::min<int>(int(bytes.size()), 255));
        EXPECT_EQ(seen.children, children);
    }
    EXPECT_TRUE(r.AtEnd());

    auto* copy = Make<TWydTreeView>();
    stream.SetPosition(0);
    copy->GetTreeNodes()->ReadUtf8Data(&stream);
    EXPECT_EQ(TreeTexts(copy->GetTreeNodes()), TreeTexts(nodes));
    EXPECT_EQ(copy->GetTreeNodes()->GetItem(0)->GetImageIndex(), root->GetImageIndex());
}

TEST_F(WydComCtrlsTest, Utf8DataRecordWithoutTheMarkIsAnsi)
{
    TMemoryStream stream;
    std::int32_t roots = 1;
    stream.WriteBuffer(&roots, sizeof roots);
    WriteRecord(stream, "Caf\xE9", 1);
    WriteRecord(stream, "\xEF\xBB\xBF" + testsupport::ToUtf8(Cjk), 0);
    stream.SetPosition(0);
    auto* tree = Make<TWydTreeView>();
    std::vector<WideString> added;
    tree->OnAddition = MakeEvent<TObject*, TTreeNode*>(
        nullptr, [&](TObject*, TTreeNode* node) { added.push_back(static_cast<TWydTreeNode*>(node)->GetText()); });
    tree->GetTreeNodes()->ReadUtf8Data(&stream);
    EXPECT_EQ(TreeTexts(tree->GetTreeNodes()), (std::vector<WideString>{AnsiToWide("Caf\xE9"), L">" + Cjk}));
    EXPECT_EQ(added, (std::vector<WideString>{AnsiToWide("Caf\xE9"), Cjk})) << "each node announced with its text";
    EXPECT_EQ(tree->GetTreeNodes()->GetItem(0)->GetSelectedIndex(), 2);

    TMemoryStream broken;
    broken.WriteBuffer(&roots, sizeof roots);
    std::int32_t header[7] = {25 + 3, 0, 0, 0, 0, 0, 0};
    broken.WriteBuffer(header, sizeof header);
    BYTE wrongLength = 9;
    broken.WriteBuffer(&wrongLength, 1);
    broken.WriteBuffer("abc", 3);
    broken.SetPosition(0);
    EXPECT_THROW(tree->GetTreeNodes()->ReadUtf8Data(&broken), EReadError) << "a length byte that disagrees with Size";
}

TEST_F(WydComCtrlsTest, Utf8DataIsWrittenOnlyWhereTheAncestorDiffers)
{
    auto* tree = Make<TWydTreeView>();
    tree->SetName("tvTree");
    tree->GetTreeNodes()->Add(nullptr, Greek);
    TForm ancestor(nullptr, 0);
    auto* same = new TWydTreeView(&ancestor);
    same->SetName("tvTree");
    same->SetParent(&ancestor);
    same->GetTreeNodes()->Add(nullptr, Greek);
    auto written = [&] {
        TMemoryStream stream;
        {
            TWriter writer(&stream);
            writer.WriteDescendent(form.get(), &ancestor);
        }
        std::string bytes(static_cast<const char*>(stream.GetMemory()), size_t(stream.GetSize()));
        return bytes.find("Utf8Data") != std::string::npos;
    };
    EXPECT_FALSE(written()) << "the same nodes as the ancestor";
    same->GetTreeNodes()->GetItem(0)->SetText(Cyrillic);
    EXPECT_TRUE(written()) << "a node differs";
}

TEST_F(WydComCtrlsTest, AssignCopiesTheWholeTreeWithWholeTexts)
{
    auto* tree = Make<TWydTreeView>();
    const WideString longText(300, L'\x0416');
    TWydTreeNode* root = tree->GetTreeNodes()->AddObject(nullptr, longText, this);
    tree->GetTreeNodes()->AddChild(root, Emoji)->SetImageIndex(4);
    auto* copy = Make<TWydTreeView>();
    copy->SetTreeNodes(tree->GetTreeNodes());
    EXPECT_EQ(TreeTexts(copy->GetTreeNodes()), (std::vector<WideString>{longText, L">" + Emoji}));
    EXPECT_EQ(copy->GetTreeNodes()->GetItem(0)->Data, this);
    EXPECT_EQ(copy->GetTreeNodes()->GetItem(1)->GetImageIndex(), 4);
}

TEST_F(WydComCtrlsTest, TextFormRoundTripsAndRefusesAJumpOfTwoLevels)
{
    auto* tree = Make<TWydTreeView>();
    TWydTreeNodes* nodes = tree->GetTreeNodes();
    TWydTreeNode* a = nodes->Add(nullptr, Cyrillic);
    TWydTreeNode* b = nodes->AddChild(a, Greek);
    nodes->AddChild(b, Emoji);
    nodes->Add(nullptr, Cjk);
    testsupport::TempDir dir;
    WideString file = dir.File(Cjk + L".txt");
    tree->SaveToFile(file);
    std::string bytes = testsupport::ReadFileBytes(file);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "UTF-16 with its mark";
    auto* copy = Make<TWydTreeView>();
    copy->LoadFromFile(file);
    EXPECT_EQ(TreeTexts(copy->GetTreeNodes()), TreeTexts(nodes));

    TWydTreeStrings lines;
    for (const wchar_t* line : {L"a", L"\tb", L"  c", L" d", L"e", L"\t\t\tf"})
        lines.Add(line);
    TMemoryStream stream;
    lines.SaveToStream(&stream);
    stream.SetPosition(0);
    try {
        copy->LoadFromStream(&stream);
        ADD_FAILURE() << "a line three levels below the one before is refused";
    } catch (const ETreeViewError& e) {
        EXPECT_EQ(e.Message, "Invalid level (3) for item \"f\"");
    }
    EXPECT_EQ(TreeTexts(copy->GetTreeNodes()), (std::vector<WideString>{L"a", L">b", L">>c", L">d", L"e"}))
        << "tabs and spaces count one level each; the nodes read before stay";
}

TEST_F(WydComCtrlsTest, DemoFormWithEachControlPrintsNonLatinText)
{
    MakeForm(true);
    form->SetBounds(40, 40, 640, 480);
    auto* tools = Make<TWydToolBar>(30);
    tools->SetShowCaptions(true);
    for (const WideString& caption : {Cyrillic, Cjk}) {
        auto* button = new TWydToolButton(form.get());
        button->SetCaption(caption);
        button->SetParent(tools);
    }
    auto* list = Make<TWydListView>();
    list->SetBounds(8, 44, 300, 150);
    list->SetViewStyle(TViewStyle::vsReport);
    list->GetListColumns()->Add()->SetCaption(Greek);
    list->GetListColumns()->Add()->SetCaption(Cyrillic);
    for (const WideString& text : Scripts) {
        TWydListItem* item = list->GetItems()->Add();
        item->SetCaption(text);
        item->GetSubItems()->Add(Cjk);
    }
    list->GetListColumns()->GetItem(0)->SetWidth(140);
    list->GetListColumns()->GetItem(1)->SetWidth(140);
    auto* tree = Make<TWydTreeView>();
    tree->SetBounds(316, 44, 300, 150);
    TWydTreeNode* root = tree->GetTreeNodes()->Add(nullptr, Greek);
    for (const WideString& text : Scripts)
        tree->GetTreeNodes()->AddChild(root, text);
    auto* pages = Make<TWydPageControl>();
    pages->SetBounds(8, 200, 300, 150);
    for (const WideString& caption : {Cyrillic, Cjk}) {
        auto* sheet = new TWydTabSheet(form.get());
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
    }
    auto* tabs = Make<TWydTabControl>();
    tabs->SetBounds(316, 200, 300, 100);
    tabs->GetTabs()->Add(Greek);
    tabs->GetTabs()->Add(Emoji);
    auto* progress = Make<TWydProgressBar>();
    progress->SetBounds(316, 310, 300, 20);
    progress->SetPosition(60);
    auto* status = Make<TWydStatusBar>(22);
    status->GetPanels()->Add()->SetText(Cyrillic);
    status->GetPanels()->GetItem(0)->SetWidth(200);
    status->GetPanels()->Add()->SetText(Cjk);
    static_cast<TWydForm*>(form.get())->SetCaption(Greek + L" " + Cjk);
    form->Show();
    root->Expand(false);
    ASSERT_TRUE(PumpUntil([&] { return !GetUpdateRect(form->WindowHandle, nullptr, FALSE); }));
    HBITMAP bitmap = vcltest::PrintWindowBitmap(form->WindowHandle);
    EXPECT_GT(vcltest::ColourCount(bitmap), 8u) << "the controls are in the picture";
    EXPECT_TRUE(vcltest::SaveBitmapPng(bitmap, testsupport::BinDir() + L"wyd-comctrls-demo.png"));
    DeleteObject(bitmap);
}
