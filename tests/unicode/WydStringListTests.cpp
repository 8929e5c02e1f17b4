// Wide string lists: text, comma text, names and values, sorting, duplicates, events, assignment, and the
// text files of every byte-order mark (written by iconv on the Linux side) read and written here.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "WydClasses.h"
#include "WydTestSupport.h"
#include "WydWideStrUtils.h"

namespace {

std::vector<WideString> Items(const TWideStrings& list) {
    std::vector<WideString> items;
    for (int i = 0; i < list.GetCount(); ++i) items.push_back(list.Get(i));
    return items;
}

using Lines = std::vector<WideString>;

AnsiString StreamBytes(const std::function<void(vcl::TStream*)>& write) {
    vcl::TMemoryStream stream;
    write(&stream);
    return AnsiString(static_cast<const char*>(stream.GetMemory()), static_cast<size_t>(stream.GetSize()));
}

void LoadBytes(TWideStrings& list, const AnsiString& bytes) {
    vcl::TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    stream.SetPosition(0);
    list.LoadFromStream(&stream);
}

const Lines sampleLines = {L"Pagorin", L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac",
                           L"\u0416\u0435\u043d\u0430", L"caf\u00e9 \U0001F4BF"};

WideString TextFile(const wchar_t* name) { return testsupport::BinDir() + L"wyd-text\\" + name; }

// Counts the events of a list.
struct EventCounter {
    int changing = 0;
    int changed = 0;
    void OnChanging(vcl::TObject*) { ++changing; }
    void OnChange(vcl::TObject*) { ++changed; }
    void Attach(TWydStringList& list) {
        list.OnChanging = vcl::TNotifyEvent(this, &EventCounter::OnChanging);
        list.OnChange = vcl::TNotifyEvent(this, &EventCounter::OnChange);
    }
};

} // namespace

TEST(WydStringList, TextParsingAndWriting) {
    TWydStringList list;
    const struct {
        const wchar_t* text;
        Lines items;
    } cases[] = {
        {L"a\r\nb\r\n", {L"a", L"b"}},
        {L"a\n\rb", {L"a", L"", L"b"}},
        {L"a\r\rb", {L"a", L"", L"b"}},
        {L"a\u2028b", {L"a", L"b"}},
        {L"a\r\n\u2028b", {L"a", L"b"}},
        {L"", {}},
        {L"\r\n", {L""}},
    };
    for (const auto& c : cases) {
        list.SetText(c.text);
        EXPECT_EQ(Items(list), c.items) << testsupport::ToUtf8(c.text);
    }
    list.SetText(WideString(L"a\0b", 3));
    EXPECT_EQ(Items(list), Lines{L"a"});
    list.Clear();
    EXPECT_EQ(list.GetText(), L"");
    list.Add(L"");
    EXPECT_EQ(list.GetText(), L"\r\n");
    EXPECT_EQ(list.GetCommaText(), L"\"\"");
}

TEST(WydStringList, CommaAndDelimitedText) {
    TWydStringList list;
    list.Add(L"a b");
    list.Add(L"c");
    list.Add(L"say \"hi\"");
    EXPECT_EQ(list.GetCommaText(), L"\"a b\",c,\"say \"\"hi\"\"\"");
    const struct {
        const wchar_t* text;
        Lines items;
    } cases[] = {
        {L"x,,y", {L"x", L"", L"y"}}, {L"a, b", {L"a", L"b"}}, {L"a b", {L"a", L"b"}},
        {L"a,", {L"a", L""}},         {L"  \"q, r\" ,s", {L"q, r", L"s"}}, {L"\"open", {L"open"}},
    };
    for (const auto& c : cases) {
        list.SetCommaText(c.text);
        EXPECT_EQ(Items(list), c.items) << testsupport::ToUtf8(c.text);
    }
    // Reading CommaText leaves a custom delimiter alone; writing it sets comma and double quote.
    list.SetDelimiter(L';');
    list.SetQuoteChar(L'\'');
    list.SetText(L"a b\r\nc\r\n");
    EXPECT_EQ(list.GetCommaText(), L"\"a b\",c");
    EXPECT_EQ(list.GetDelimitedText(), L"'a b';c");
    list.SetCommaText(L"x");
    EXPECT_EQ(list.GetDelimiter(), L',');
    EXPECT_EQ(list.GetQuoteChar(), L'"');
    // A NUL delimiter is refused: the parser would run past the end of the text.
    list.SetDelimiter(L'\0');
    EXPECT_EQ(list.GetDelimiter(), L',');
    list.SetDelimiter(L';');
    list.SetQuoteChar(L';');
    list.SetDelimitedText(L";a;");
    EXPECT_EQ(Items(list), Lines{L"a"});
}

TEST(WydStringList, NamesAndValues) {
    for (bool sorted : {false, true}) {
        TWydStringList list;
        list.SetSorted(sorted);
        list.Add(L"b=2");
        list.Add(L"a=1");
        list.Add(L"plain");
        EXPECT_EQ(list.GetValues(L"A"), L"1") << sorted;
        EXPECT_EQ(list.GetValues(L"plain"), L"") << sorted;
        EXPECT_EQ(list.IndexOfName(L"b"), sorted ? 1 : 0) << sorted;
        EXPECT_EQ(list.IndexOfName(L"c"), -1) << sorted;
        EXPECT_EQ(list.GetNames(list.IndexOf(L"plain")), L"") << sorted;
        EXPECT_EQ(list.GetValueFromIndex(-1), L"") << sorted;
        list.SetValues(L"a", L"");
        EXPECT_EQ(list.IndexOfName(L"a"), -1) << sorted;
    }
    TWydStringList list;
    list.SetValues(L"k", L"v=w");
    EXPECT_EQ(Items(list), Lines{L"k=v=w"});
    EXPECT_EQ(list.GetValues(L"k"), L"v=w");
    list.SetValueFromIndex(0, L"z");
    list.SetValueFromIndex(-1, L"new");
    EXPECT_EQ(Items(list), (Lines{L"k=z", L"=new"}));
}

TEST(WydStringList, SortedListsAndDuplicates) {
    TWydStringList list;
    list.SetSorted(true);
    list.Add(L"a");
    EXPECT_EQ(list.Add(L"A"), 0);
    EXPECT_EQ(list.GetCount(), 1);
    list.SetCaseSensitive(true);
    list.Add(L"A");
    EXPECT_EQ(list.GetCount(), 2);

    TWydStringList strict;
    strict.SetSorted(true);
    strict.SetDuplicates(vcl::dupError);
    strict.Add(L"x");
    EXPECT_THROW(strict.Add(L"X"), vcl::EStringListError);
    EXPECT_EQ(Items(strict), Lines{L"x"});

    TWydStringList accepting;
    accepting.SetSorted(true);
    accepting.SetDuplicates(vcl::dupAccept);
    for (const wchar_t* s : {L"m", L"a", L"m", L"z", L"m"}) accepting.Add(s);
    int index = -1;
    EXPECT_TRUE(accepting.Find(L"m", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(accepting.Find(L"n", index));
    EXPECT_EQ(index, 4);
    EXPECT_THROW(accepting.Insert(0, L"q"), vcl::EStringListError);
    EXPECT_THROW(accepting.Put(0, L"q"), vcl::EStringListError);
}

TEST(WydStringList, SortingAgreesWithCompareStringW) {
    const Lines words = {L"\u00e9t\u00e9", L"ete", L"Zebra", L"apple", L"Apple", L"a-b", L"ab", L"10", L"9", L"",
                         L"\u0416", L"co-op", L"coop", L"b"};
    for (bool caseSensitive : {false, true}) {
        TWydStringList list;
        list.SetCaseSensitive(caseSensitive);
        for (const WideString& w : words) list.Add(w);
        list.Sort();
        const DWORD flags = caseSensitive ? 0 : NORM_IGNORECASE;
        for (int i = 1; i < list.GetCount(); ++i) {
            const WideString a = list.Get(i - 1), b = list.Get(i);
            EXPECT_LE(CompareStringW(LOCALE_USER_DEFAULT, flags, a.c_str(), -1, b.c_str(), -1), CSTR_EQUAL)
                << i << (caseSensitive ? " case-sensitive" : " case-insensitive");
        }
    }
}

TEST(WydStringList, ChangingCaseSensitivityResortsASortedList) {
    TWydStringList list;
    list.SetSorted(true);
    list.SetDuplicates(vcl::dupAccept);
    for (const wchar_t* s : {L"b", L"B", L"a", L"A"}) list.Add(s);
    list.SetCaseSensitive(true);
    for (int i = 1; i < list.GetCount(); ++i)
        EXPECT_LE(vcl::WideCompareStr(list.Get(i - 1), list.Get(i)), 0) << i;
    for (const wchar_t* s : {L"a", L"A", L"b", L"B"}) EXPECT_GE(list.IndexOf(s), 0) << testsupport::ToUtf8(s);
}

TEST(WydStringList, RefusedMovesLoseNothing) {
    TWydStringList sorted;
    sorted.SetSorted(true);
    sorted.Add(L"a");
    sorted.Add(L"b");
    EXPECT_THROW(sorted.Move(0, 1), vcl::EStringListError);
    EXPECT_EQ(Items(sorted), (Lines{L"a", L"b"}));

    TWydStringList list;
    list.SetText(L"a\r\nb\r\nc\r\n");
    EXPECT_THROW(list.Move(0, 3), vcl::EStringListError);
    EXPECT_THROW(list.Move(-1, 0), vcl::EStringListError);
    EXPECT_EQ(Items(list), (Lines{L"a", L"b", L"c"}));
    vcl::TObject marker;
    list.PutObject(0, &marker);
    list.Move(0, 2);
    EXPECT_EQ(Items(list), (Lines{L"b", L"c", L"a"}));
    EXPECT_EQ(list.GetObject(2), &marker);
    list.Exchange(0, 2);
    EXPECT_EQ(Items(list), (Lines{L"a", L"c", L"b"}));
    EXPECT_EQ(list.GetObject(0), &marker);
    EXPECT_THROW(list.Exchange(0, 3), vcl::EStringListError);
    EXPECT_THROW(list.Get(3), vcl::EStringListError);
    try {
        list.Delete(7);
    } catch (const vcl::EStringListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (7)");
    }
}

TEST(WydStringList, AssignAndAddStrings) {
    TWydStringList list;
    list.SetText(L"a\r\nb\r\n");
    list.Assign(&list);
    EXPECT_EQ(Items(list), (Lines{L"a", L"b"}));
    list.AddStrings(&list);
    EXPECT_EQ(Items(list), (Lines{L"a", L"b", L"a", L"b"}));

    TWydStringList copy;
    list.SetDelimiter(L';');
    copy.Assign(&list);
    EXPECT_TRUE(copy.Equals(&list));
    EXPECT_EQ(copy.GetDelimiter(), L';');

    vcl::TStringList ansi;
    list.SetText(L"caf\u00e9\r\n\u0416\r\n");
    ansi.Assign(&list);
    ASSERT_EQ(ansi.GetCount(), 2);
    EXPECT_EQ(ansi.Get(0), "caf\xe9");
    EXPECT_EQ(ansi.Get(1), "?");
    copy.Assign(&ansi);
    EXPECT_EQ(Items(copy), (Lines{L"caf\u00e9", L"?"}));
    vcl::TPersistent other;
    EXPECT_THROW(copy.Assign(&other), vcl::EConvertError);
}

TEST(WydStringList, OneEventPairPerUpdateBracket) {
    TWydStringList list;
    EventCounter events;
    events.Attach(list);
    list.BeginUpdate();
    list.Add(L"a");
    list.BeginUpdate();
    list.Add(L"b");
    list.EndUpdate();
    list.Add(L"c");
    list.EndUpdate();
    EXPECT_EQ(events.changing, 1);
    EXPECT_EQ(events.changed, 1);
    list.SetText(L"x\r\ny\r\n");
    EXPECT_EQ(events.changing, 2);
    EXPECT_EQ(events.changed, 2);
    list.Add(L"z");
    EXPECT_EQ(events.changing, 3);
    list.Clear();
    list.Clear();
    EXPECT_EQ(events.changed, 4) << "clearing an empty list changes nothing";
    list.EndUpdate();
    list.Add(L"after an unmatched EndUpdate");
    EXPECT_EQ(events.changed, 5);
}

TEST(WydStringList, ReadsEveryMark) {
    const struct {
        const char* bytes;
        size_t length;
        Lines items;
        TWydStreamCharSet charSet;
    } cases[] = {
        {"\xFF\xFE" "A\0", 4, {L"A"}, csUnicode},
        {"\xFE\xFF\0A", 4, {L"A"}, csUnicodeSwapped},
        {"\xEF\xBB\xBF" "A", 4, {L"A"}, csUtf8},
        {"AB", 2, {L"AB"}, csAnsi},
        {"\xe9", 1, {L"\u00e9"}, csAnsi},
        {"\xFF\xFE" "A\0B", 5, {L"A"}, csUnicode},
        {"\xEF\xBB", 2, {L"\u00ef\u00bb"}, csAnsi},
        {"", 0, {}, csAnsi},
    };
    for (const auto& c : cases) {
        TWydStringList list;
        LoadBytes(list, AnsiString(c.bytes, c.length));
        EXPECT_EQ(Items(list), c.items) << c.length;
        vcl::TMemoryStream stream;
        stream.WriteBuffer(c.bytes, static_cast<int>(c.length));
        stream.SetPosition(0);
        EXPECT_EQ(AutoDetectCharacterSet(&stream), c.charSet) << c.length;
    }
}

TEST(WydStringList, WritesUtf16WithItsMark) {
    TWydStringList list;
    EXPECT_EQ(StreamBytes([&](vcl::TStream* s) { list.SaveToStream(s); }), "\xFF\xFE");
    list.Add(L"A");
    EXPECT_EQ(StreamBytes([&](vcl::TStream* s) { list.SaveToStream(s); }), AnsiString("\xFF\xFE" "A\0\r\0\n\0", 8));
    EXPECT_EQ(StreamBytes([&](vcl::TStream* s) { list.SaveToStream_BOM(s, false); }), AnsiString("A\0\r\0\n\0", 6));
}

TEST(WydStringList, FilesOfEveryEncodingFromIconv) {
    const struct {
        const wchar_t* file;
        TWydStreamCharSet charSet;
        Lines items;
    } cases[] = {
        {L"utf16le-bom.txt", csUnicode, sampleLines},
        {L"utf16be-bom.txt", csUnicodeSwapped, sampleLines},
        {L"utf8-bom.txt", csUtf8, sampleLines},
        {L"cp1252.txt", csAnsi, {L"Pagorin", L"caf\u00e9 \u20ac"}},
    };
    testsupport::TempDir dir;
    const AnsiString expectedSaved = testsupport::ReadFileBytes(TextFile(L"utf16le-bom.txt"));
    for (const auto& c : cases) {
        TWydStringList list;
        list.LoadFromFile(TextFile(c.file));
        EXPECT_EQ(list.GetLastFileCharSet(), c.charSet) << testsupport::ToUtf8(c.file);
        EXPECT_EQ(Items(list), c.items) << testsupport::ToUtf8(c.file);
        // Whatever was read, the list is written as UTF-16LE with its mark.
        if (c.charSet != csAnsi) {
            list.SaveToFile(dir.File(L"saved-\u0416.txt"));
            EXPECT_EQ(testsupport::ReadFileBytes(dir.File(L"saved-\u0416.txt")), expectedSaved)
                << testsupport::ToUtf8(c.file);
        }
    }
    EXPECT_THROW(TWydStringList().LoadFromFile(dir.File(L"missing.txt")), vcl::EFOpenError);
}

TEST(WydStringList, AnsiViewInCodePagesWithoutAPilingMark) {
    testsupport::TempDir dir;
    TWydStringList list;
    list.SetText(L"\u0416\u0435\u043d\u0430\r\ncaf\u00e9\r\n");
    TAnsiStrings* ansi = list.GetAnsiStrings();
    EXPECT_EQ(ansi->Get(0), "????");
    const WideString name = dir.File(L"utf8.txt");
    for (int round = 0; round < 3; ++round) {
        ansi->SaveToFileEx(name, CP_UTF8);
        ansi->LoadFromFileEx(name, CP_UTF8);
    }
    EXPECT_EQ(Items(list), (Lines{L"\u0416\u0435\u043d\u0430", L"caf\u00e9"}));
    EXPECT_EQ(testsupport::ReadFileBytes(name).substr(0, 5), "\xEF\xBB\xBF\xD0\x96");

    TAnsiStringsForWideStringsAdapter cyrillic(&list, 1251);
    EXPECT_EQ(cyrillic.Get(0), "\xc6\xe5\xed\xe0");
    cyrillic.Insert(0, "\xc6");
    EXPECT_EQ(list.Get(0), L"\u0416");
    vcl::TStringList source;
    source.Add("x");
    list.SetAnsiStrings(&source);
    EXPECT_EQ(Items(list), Lines{L"x"});
}

TEST(WydStringList, TextCopiesAndEnumeration) {
    TWydStringList list;
    list.SetTextW(L"a\r\nb");
    wchar_t* text = list.GetTextW();
    EXPECT_STREQ(text, L"a\r\nb\r\n");
    WStrDispose(text);
    Lines seen;
    for (TWideStringsEnumerator e = list.GetEnumerator(); e.MoveNext();) seen.push_back(e.GetCurrent());
    EXPECT_EQ(seen, (Lines{L"a", L"b"}));
    list.SetCapacity(0);
    EXPECT_GE(list.GetCapacity(), list.GetCount());
}
