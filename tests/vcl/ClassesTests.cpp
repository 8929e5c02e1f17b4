// Object model, components, lists, string lists, collections and streams.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "Classes.h"
#include "TestSupport.h"

using namespace vcl;

namespace {

std::vector<std::string> journal;

// A component that writes its life and the notifications it gets into the journal.
class TRecorder : public TComponent {
    VCL_CLASS(TRecorder, TComponent)
    explicit TRecorder(TComponent* owner) : TComponent(owner) {}
    ~TRecorder() override { journal.push_back("~" + GetName()); }

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove) journal.push_back(GetName() + " sees " + component->GetName() + " go");
    }
};
VCL_IMPLEMENT_CLASS(TRecorder, TComponent)

TRecorder* Make(TComponent* owner, const char* name) {
    auto* c = new TRecorder(owner);
    c->SetName(name);
    return c;
}

TEST(Component, OwnerFreesChildrenLastFirstAndNotifiesWatchers) {
    auto* watcher = Make(nullptr, "Watcher");
    auto* form = Make(nullptr, "Form");
    Make(form, "A");
    auto* b = Make(form, "B");
    Make(form, "C");
    b->FreeNotification(watcher);
    EXPECT_EQ(form->GetComponentCount(), 3);
    EXPECT_EQ(form->FindComponent("b"), b);
    journal.clear();
    delete form;
    // The form's own part goes first (C++ destroys the derived part before TComponent's), then its
    // children, last created first. B asked for notifications, so the owner announces B to every child
    // before B goes, and B tells its watcher from its TComponent part.
    const std::vector<std::string> expected = {
        "~Form", "~C", "B sees B go", "A sees B go", "~B", "Watcher sees B go", "~A",
    };
    EXPECT_EQ(journal, expected);
    journal.clear();
    delete watcher;
    EXPECT_EQ(journal, std::vector<std::string>{"~Watcher"});  // B's entry was removed: no dangling call
}

TEST(Component, StateAndNamesAreChecked) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    a->SetName("First");
    auto* b = new TComponent(&owner);
    EXPECT_THROW(b->SetName("first"), EComponentError);
    EXPECT_THROW(b->SetName("1st"), EComponentError);
    owner.Destroying();
    EXPECT_TRUE(a->GetComponentState().Contains(csDestroying));
    EXPECT_FALSE(a->GetComponentState().Contains(csLoading));
}

TEST(ObjectModel, ClassNamesParentsAndCreationByName) {
    TRecorder r(nullptr);
    EXPECT_EQ(r.ClassName(), "TRecorder");
    EXPECT_EQ(r.ClassParent(), TComponent::StaticClass());
    EXPECT_TRUE(r.InheritsFrom(TPersistent::StaticClass()));
    EXPECT_FALSE(r.InheritsFrom(TStrings::StaticClass()));
    EXPECT_EQ(GetClass("TRecorder"), nullptr);
    RegisterClass(TRecorder::StaticClass());
    TComponent owner(nullptr);
    auto* made = dynamic_cast<TRecorder*>(FindClass("trecorder")->Create(&owner));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Owner(), &owner);
    UnRegisterClass(TRecorder::StaticClass());
    EXPECT_THROW(FindClass("TRecorder"), EClassNotFound);
    EXPECT_THROW(TStrings::StaticClass()->Create(nullptr), EInvalidOperation);  // abstract
}

TEST(Persistent, AssignWithoutSupportRaisesWithBothClassNames) {
    TStringList list;
    TComponent component(nullptr);
    try {
        list.Assign(&component);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Cannot assign a TComponent to a TStringList");
    }
}

// A list that records its notifications, as descendants replacing an internal list do.
class TNotifyingList : public TList {
public:
    std::vector<std::pair<void*, TListNotification>> seen;

protected:
    void Notify(void* item, TListNotification action) override { seen.push_back({item, action}); }
};

TEST(List, NotifiesAddsDeletesAndExtracts) {
    int a, b, c;
    TNotifyingList list;
    list.Add(&a);
    list.Add(&b);
    list.Insert(0, &c);
    list.Extract(&a);
    list.Delete(0);
    list.Clear();
    using P = std::pair<void*, TListNotification>;
    std::vector<P> expected = {{&a, lnAdded}, {&b, lnAdded}, {&c, lnAdded}, {&a, lnExtracted}, {&c, lnDeleted}, {&b, lnDeleted}};
    EXPECT_EQ(list.seen, expected);
    EXPECT_THROW(list.Delete(0), EListError);
}

struct SortedCase {
    TDuplicates mode;
    std::vector<std::string> expected;  // after adding b, a, B, c, a
    std::vector<int> indexes;           // what each Add returned
};

TEST(StringList, SortedWithEachDuplicatesMode) {
    const SortedCase cases[] = {
        {dupIgnore, {"a", "b", "c"}, {0, 0, 1, 2, 0}},
        {dupAccept, {"a", "a", "B", "b", "c"}, {0, 0, 1, 3, 0}},  // equal strings go before the run
    };
    for (const SortedCase& c : cases) {
        TStringList list;
        list.SetSorted(true);
        list.SetDuplicates(c.mode);
        std::vector<int> indexes;
        for (const char* s : {"b", "a", "B", "c", "a"}) indexes.push_back(list.Add(s));
        std::vector<std::string> items;
        for (int i = 0; i < list.GetCount(); ++i) items.push_back(list.GetStrings(i));
        EXPECT_EQ(items, c.expected) << "mode " << c.mode;
        EXPECT_EQ(indexes, c.indexes) << "mode " << c.mode;
        EXPECT_EQ(list.IndexOf("B"), c.mode == dupAccept ? 2 : 1);
        EXPECT_THROW(list.Insert(0, "x"), EStringListError);
        EXPECT_THROW(list.SetStrings(0, "x"), EStringListError);
    }
    TStringList strict;
    strict.SetSorted(true);
    strict.SetDuplicates(dupError);
    strict.Add("x");
    try {
        strict.Add("X");
        ADD_FAILURE();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message, "String list does not allow duplicates");
    }
    strict.SetCaseSensitive(true);
    EXPECT_NO_THROW(strict.Add("X"));
    EXPECT_EQ(strict.GetCount(), 2);
}

TEST(StringList, SortingLaterKeepsObjects) {
    TStringList list;
    TComponent o1(nullptr), o2(nullptr);
    list.AddObject("zeta", &o1);
    list.AddObject("alpha", &o2);
    list.SetSorted(true);
    EXPECT_EQ(list.GetStrings(0), "alpha");
    EXPECT_EQ(list.GetObjects(0), &o2);
    int index = -1;
    EXPECT_FALSE(list.Find("beta", index));
    EXPECT_EQ(index, 1);
}

TEST(StringList, CommaTextQuotingRoundTrips) {
    const std::vector<std::vector<std::string>> lists = {
        {"plain", "with space", "with,comma", "with\"quote", "", "end"},
        {""},
        {"a\tb", "'single'", "x"},
        {},
    };
    for (const auto& items : lists) {
        TStringList a, b;
        for (const auto& s : items) a.Add(s);
        AnsiString text = a.GetCommaText();
        b.SetCommaText(text);
        ASSERT_EQ(b.GetCount(), a.GetCount()) << text;
        for (int i = 0; i < a.GetCount(); ++i) EXPECT_EQ(b.GetStrings(i), a.GetStrings(i)) << text;
    }
    TStringList list;
    list.Add("a b");
    list.Add("c\"d");
    EXPECT_EQ(list.GetCommaText(), "\"a b\",\"c\"\"d\"");
    list.SetCommaText("one two, \"three four\" ,five,");
    EXPECT_EQ(list.GetCount(), 5);
    EXPECT_EQ(list.GetStrings(1), "two");
    EXPECT_EQ(list.GetStrings(2), "three four");
    EXPECT_EQ(list.GetStrings(4), "");
    list.SetDelimiter(';');
    list.SetQuoteChar('\'');
    list.SetDelimitedText("a;'b;c';d");
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetStrings(1), "b;c");
}

TEST(StringList, TextNamesValuesAndUpdates) {
    TStringList list;
    int changes = 0;
    list.SetOnChange(TNotifyEvent(std::function<void(TObject*)>([&](TObject*) { ++changes; })));
    list.SetText("a=1\r\nb=2\nc\rd=");
    EXPECT_EQ(changes, 1);  // one change for the whole text
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.GetText(), "a=1\r\nb=2\r\nc\r\nd=\r\n");
    EXPECT_EQ(list.GetValues("B"), "2");
    EXPECT_EQ(list.GetNames(0), "a");
    list.SetValues("e", "5");
    list.SetValues("a", "");
    EXPECT_EQ(list.IndexOfName("a"), -1);
    EXPECT_EQ(list.GetValueFromIndex(list.IndexOfName("e")), "5");
    list.BeginUpdate();
    list.Add("x");
    list.Add("y");
    int before = changes;
    list.EndUpdate();
    EXPECT_EQ(changes, before + 1);
    list.Move(0, 2);
    EXPECT_EQ(list.GetStrings(2), "b=2");
}

TEST(Event, IdentityComparesObjectAndMethod) {
    struct Handler : TObject {
        void One(TObject*) {}
        void Two(TObject*) {}
    } h1, h2;
    TNotifyEvent a(&h1, &Handler::One), b(&h1, &Handler::One), c(&h1, &Handler::Two), d(&h2, &Handler::One);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == c);
    EXPECT_FALSE(a == d);
    TNotifyEvent none;
    none(nullptr);  // unassigned: nothing happens
    EXPECT_TRUE(none == TNotifyEvent());
}

TEST(Stream, MemoryStreamReadsWritesSeeksAndGrows) {
    TMemoryStream m;
    m.WriteBuffer("hello", 5);
    m.SetPosition(10);
    m.WriteBuffer("!", 1);
    EXPECT_EQ(m.GetSize(), 11);
    EXPECT_EQ(static_cast<const char*>(m.GetMemory())[7], '\0');  // the gap is zeroed
    m.Seek(-6, soEnd);
    char buffer[8] = {};
    EXPECT_EQ(m.Read(buffer, 8), 6);
    m.SetPosition(0);
    EXPECT_THROW(m.ReadBuffer(buffer, 12), EReadError);
    m.SetSize(2);
    EXPECT_EQ(m.GetPosition(), 2);
}

TEST(Stream, FileStreamCreatesOpensAndReportsMissingFiles) {
    testsupport::TempDir dir;
    AnsiString name = WideToAnsi(dir.File(L"data.txt"));
    {
        TFileStream f(name, fmCreate);
        TStringList lines;
        lines.Add("one");
        lines.Add("two");
        lines.SaveToStream(&f);
    }
    TStringList read;
    read.LoadFromFile(name);
    EXPECT_EQ(read.GetCommaText(), "one,two");
    {
        TFileStream f(name, fmOpenReadWrite | fmShareDenyNone);
        EXPECT_EQ(f.GetSize(), 10);
        f.SetSize(3);
    }
    EXPECT_EQ(FileSizeOf(name), 3);
    try {
        TFileStream missing(name + ".none", fmOpenRead);
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message, "Cannot open file " + name + ".none");
    }
    EXPECT_THROW(TFileStream(WideToAnsi(dir.File(L"no\\such\\dir.txt")), fmCreate), EFCreateError);
}

class TNamedItem : public TCollectionItem {
    VCL_CLASS(TNamedItem, TCollectionItem)
    explicit TNamedItem(TCollection* collection = nullptr) : TCollectionItem(collection) {}
    AnsiString Text;
    void Assign(TPersistent* source) override {
        if (auto* other = dynamic_cast<TNamedItem*>(source)) Text = other->Text;
        else TCollectionItem::Assign(source);
    }
};
VCL_IMPLEMENT_CLASS(TNamedItem, TCollectionItem)

class TCountingCollection : public TCollection {
public:
    TCountingCollection() : TCollection(TNamedItem::StaticClass()) {}
    int updates = 0;

protected:
    void Update(TCollectionItem*) override { ++updates; }
};

TEST(Collection, AddsItemsOfItsClassAndBatchesUpdates) {
    TCountingCollection c;
    auto* first = dynamic_cast<TNamedItem*>(c.Add());
    ASSERT_NE(first, nullptr);
    first->Text = "one";
    EXPECT_EQ(c.updates, 1);
    c.BeginUpdate();
    dynamic_cast<TNamedItem*>(c.Add())->Text = "two";
    c.Add();
    c.EndUpdate();
    EXPECT_EQ(c.updates, 2);
    c.GetItems(1)->SetIndex(0);
    EXPECT_EQ(dynamic_cast<TNamedItem*>(c.GetItems(0))->Text, "two");
    TCountingCollection copy;
    copy.Assign(&c);
    EXPECT_EQ(copy.GetCount(), 3);
    EXPECT_EQ(dynamic_cast<TNamedItem*>(copy.GetItems(1))->Text, "one");
    delete c.GetItems(0);
    EXPECT_EQ(c.GetCount(), 2);
    EXPECT_THROW(c.GetItems(5), EListError);
}

}  // namespace

TEST(Scopes, ValueAndUpdateComeBackHoweverTheScopeEnds)
{
    bool flag = false;
    int depth = 3;
    TStringList list;
    try {
        TScopedValue<bool> set(flag, true);
        TScopedValue<int> deeper(depth, 4);
        TUpdateScope<TStringList> update(&list);
        EXPECT_TRUE(flag);
        EXPECT_EQ(depth, 4);
        EXPECT_EQ(list.GetUpdateCount(), 1);
        {
            TScopedValue<bool> cleared(flag, false);
            TUpdateScope<TStringList> inner(&list);
            EXPECT_FALSE(flag);
            EXPECT_EQ(list.GetUpdateCount(), 2);
        }
        EXPECT_TRUE(flag) << "the value from before the inner scope";
        throw std::runtime_error("leaving");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(flag);
    EXPECT_EQ(depth, 3);
    EXPECT_EQ(list.GetUpdateCount(), 0);
}
