// The check tree's text format: round trips through streams and files, the field and level rules of
// reading, each reading error with its text, and the string-list view of the nodes.
#include <gtest/gtest.h>

#include <memory>

#include "QvTestSupport.h"
#include "QvTreeTestSupport.h"
#include "SysUtils.h"
#include "TestSupport.h"

using namespace vcl;
using namespace qvtreetest;

namespace {

class QvCheckTreeText : public WindowlessCheckTree {
protected:
    AnsiString Write()
    {
        TMemoryStream stream;
        tree->SaveToStream(&stream);
        return AnsiString(static_cast<const char*>(stream.GetMemory()), size_t(stream.GetSize()));
    }
    void Read(const AnsiString& text)
    {
        TMemoryStream stream;
        stream.WriteBuffer(text.data(), int(text.size()));
        stream.SetPosition(0);
        tree->LoadFromStream(&stream);
    }
    // Every node as "level:state|image|selected|text", in tree order.
    std::vector<std::string> Nodes()
    {
        std::vector<std::string> nodes;
        for (TTreeNode* n = tree->GetItems()->GetFirstNode(); n; n = n->GetNext())
            nodes.push_back(std::to_string(n->GetLevel()) + ":" + std::to_string(n->GetStateIndex()) + "|" +
                            std::to_string(n->GetImageIndex()) + "|" + std::to_string(n->GetSelectedIndex()) + "|" +
                            n->GetText());
        return nodes;
    }
    template <class E>
    std::string ReadError(const AnsiString& text)
    {
        try {
            Read(text);
        } catch (const E& e) {
            return e.Message;
        }
        return "no error";
    }
};

TEST_F(QvCheckTreeText, WritesOneLinePerNodeWithTabsAndFields)
{
    TTreeNode* a = tree->GetItems()->Add(nullptr, "A");
    a->SetStateIndex(csChecked);
    a->SetImageIndex(0);
    a->SetSelectedIndex(0);
    TTreeNode* b = tree->GetItems()->AddChild(a, "B");
    b->SetStateIndex(csUnchecked);
    b->SetImageIndex(-1);
    b->SetSelectedIndex(-1);
    EXPECT_EQ(Write(), "2|0|0|A\r\n\t1|-1|-1|B\r\n");
    tree->GetItems()->Clear();
    EXPECT_EQ(Write(), "") << "nothing for an empty tree";
}

TEST_F(QvCheckTreeText, RoundTripKeepsNestingStatesImagesAndTexts)
{
    BuildTree(tree.get(), {{0, "Root", -1}, {1, "one | two", 0}, {2, "deep", 3}, {1, "back", 2}, {0, "", 1}});
    tree->GetItems()->GetItem(2)->SetImageIndex(7);
    tree->GetItems()->GetItem(2)->SetSelectedIndex(8);
    const std::vector<std::string> before = Nodes();
    const AnsiString text = Write();
    EventLog log(tree.get());
    Read(text);
    EXPECT_EQ(Nodes(), before);
    EXPECT_TRUE(log.entries.empty()) << "reading fires no check-state event";
}

TEST_F(QvCheckTreeText, FieldsAreTakenBeforeTheFirstThreeBars)
{
    const struct {
        const char* line;
        const char* node;
    } rows[] = {
        {"plain text", "0:-1|-1|-1|plain text"},
        {"2|just a state", "0:2|-1|-1|just a state"},
        {"3|4|state and image", "0:3|4|-1|state and image"},
        {"1|2|3|a|b|c", "0:1|2|3|a|b|c"},
        {"1|2|3|", "0:1|2|3|"},
        {"\t\t  0|1|2|indented first line", "0:0|1|2|indented first line"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        Read(row.line);
        EXPECT_EQ(Nodes(), std::vector<std::string>{row.node});
    }
}

TEST_F(QvCheckTreeText, LinesFindTheirParentsByLevel)
{
    Read("a\r\n\tb\r\n\t\tc\r\n\t\t d\r\n\te\r\nf\r\n\tg\r\n");
    EXPECT_EQ(Nodes(), (std::vector<std::string>{"0:-1|-1|-1|a", "1:-1|-1|-1|b", "2:-1|-1|-1|c", "3:-1|-1|-1|d",
                                                 "1:-1|-1|-1|e", "0:-1|-1|-1|f", "1:-1|-1|-1|g"}));
    EXPECT_EQ(tree->GetItems()->GetItem(4)->GetParent(), tree->GetItems()->GetItem(0));
}

TEST_F(QvCheckTreeText, LineTwoLevelsDeeperFailsAndKeepsTheLinesBefore)
{
    EXPECT_EQ(ReadError<ETreeViewError>("a\r\n\tb\r\n\t\t\t2|0|0|too deep\r\nnever\r\n"),
              "Invalid level (3) for item \"too deep\"");
    EXPECT_EQ(Nodes(), (std::vector<std::string>{"0:-1|-1|-1|a", "1:-1|-1|-1|b"}));
}

TEST_F(QvCheckTreeText, NumbersAreReadStrictly)
{
    EXPECT_EQ(ReadError<EConvertError>("ok\r\nx|0|0|bad state\r\n"), "'x' is not a valid integer value");
    EXPECT_EQ(Nodes(), std::vector<std::string>{"0:-1|-1|-1|ok"});
    EXPECT_EQ(ReadError<EConvertError>("1|2.5|0|bad image\r\n"), "'2.5' is not a valid integer value");
    EXPECT_EQ(ReadError<EConvertError>("1|0||no selected image\r\n"), "'' is not a valid integer value");
}

TEST_F(QvCheckTreeText, FilesRoundTripAndMissingFilesRaise)
{
    testsupport::TempDir dir;
    const AnsiString file = WideToAnsi(dir.File(L"tree.txt"));
    BuildTree(tree.get(), {{0, "A", 2}, {1, "B", 1}});
    tree->SaveToFile(file);
    EXPECT_EQ(testsupport::ReadFileBytes(dir.File(L"tree.txt")), "2|0|0|A\r\n\t1|0|0|B\r\n");
    tree->GetItems()->Clear();
    tree->LoadFromFile(file);
    EXPECT_EQ(Nodes(), (std::vector<std::string>{"0:2|0|0|A", "1:1|0|0|B"}));
    EXPECT_THROW(tree->LoadFromFile(WideToAnsi(dir.File(L"missing.txt"))), EFOpenError);
    EXPECT_THROW(tree->SaveToFile(WideToAnsi(dir.File(L"no folder\\tree.txt"))), EFCreateError);
}

TEST_F(QvCheckTreeText, StringsShowTheNodesAndAddByLevel)
{
    TQvCheckTreeStrings strings(tree->GetItems());
    EXPECT_EQ(strings.Add("a"), 0);
    EXPECT_EQ(strings.Add("\tb"), 1);
    EXPECT_EQ(strings.Add("\t\tc"), 2);
    EXPECT_EQ(strings.Add(" d"), 3);
    EXPECT_EQ(strings.Add("e"), 4);
    EXPECT_EQ(strings.Add("\x1A"), 5);  // an end-of-file mark adds nothing
    ASSERT_EQ(strings.GetCount(), 5);
    EXPECT_EQ(strings.Get(2), "\t\tc");
    EXPECT_EQ(strings.Get(3), "\td");
    EXPECT_EQ(tree->GetItems()->GetItem(3)->GetParent(), tree->GetItems()->GetItem(0));
    try {
        strings.Add("\t\tjump");
        ADD_FAILURE() << "a jump of two levels was accepted";
    } catch (const ETreeViewError& e) {
        EXPECT_EQ(e.Message, "Invalid item level assignment");
    }

    TObject marker;
    strings.PutObject(1, &marker);
    EXPECT_EQ(strings.GetObject(1), &marker);
    EXPECT_EQ(tree->GetItems()->GetItem(1)->GetData(), &marker);
    strings.Insert(1, "inserted");
    EXPECT_EQ(strings.Get(1), "\tinserted");
    strings.Delete(0);  // with its descendants
    EXPECT_EQ(strings.GetCount(), 1);
    EXPECT_EQ(strings.Get(0), "e");
    strings.Clear();
    EXPECT_EQ(strings.GetCount(), 0);
    EXPECT_EQ(strings.Add("\tfirst"), 0) << "one level below nothing is a root";
    EXPECT_EQ(tree->GetItems()->GetFirstNode()->GetText(), "first");
}

}  // namespace
