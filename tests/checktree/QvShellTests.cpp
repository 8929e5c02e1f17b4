// Shell interfaces and utilities: item ID lists, PIDL lists, names and folders, shortcuts, file types and
// the double-byte-aware string routines, against Wine's shell.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <vector>

#include "QvShellUtils.h"
#include "QvTestSupport.h"
#include "TestSupport.h"

using namespace vcl;

namespace {

// An item ID list built from raw items (each given as its payload bytes), terminated.
std::vector<BYTE> MakeList(const std::vector<std::vector<BYTE>>& items)
{
    std::vector<BYTE> list;
    for (const auto& item : items) {
        const USHORT size = static_cast<USHORT>(item.size() + 2);
        list.push_back(size & 0xFF);
        list.push_back(size >> 8);
        list.insert(list.end(), item.begin(), item.end());
    }
    list.push_back(0);
    list.push_back(0);
    return list;
}

LPITEMIDLIST AsPidl(std::vector<BYTE>& bytes) { return reinterpret_cast<LPITEMIDLIST>(bytes.data()); }

TEST(QvShellUtils, ItemListLengthsAndCopies)
{
    auto one = MakeList({std::vector<BYTE>(18, 7)});
    EXPECT_EQ(IdListLen(AsPidl(one)), 22u);
    EXPECT_EQ(IdListLen(nullptr), 0u);
    auto two = MakeList({{1, 2}, {3}});
    LPITEMIDLIST joined = ConcatIdLists(nullptr, AsPidl(one), AsPidl(two));
    EXPECT_EQ(IdListLen(joined), 20u + 4u + 3u + 2u);
    LPITEMIDLIST copy = CopyIdList(nullptr, AsPidl(two));
    EXPECT_EQ(std::memcmp(copy, two.data(), two.size()), 0);
    ShellMemFree(joined);
    ShellMemFree(copy);
}

TEST(QvShellUtils, ComparingMissingOrEmptyLists)
{
    auto empty = MakeList({});
    auto one = MakeList({{1}});
    EXPECT_EQ(CompareAbsIdLists(nullptr, nullptr), 0);
    EXPECT_EQ(CompareAbsIdLists(nullptr, AsPidl(one)), -1);
    EXPECT_EQ(CompareAbsIdLists(AsPidl(one), nullptr), -1);
    EXPECT_EQ(CompareAbsIdLists(AsPidl(empty), AsPidl(empty)), 0);
    EXPECT_EQ(CompareAbsIdLists(AsPidl(empty), AsPidl(one)), -1);
}

TEST(QvShellUtils, IdListArrayGivesItemsAndParents)
{
    auto list = MakeList({{1}, {2, 2}, {3, 3, 3}});
    TQvIdListArray items(AsPidl(list));
    EXPECT_EQ(items.GetCount(), 3);
    EXPECT_EQ(IdListLen(items.GoUp(1)), 3u + 4u + 2u);
    EXPECT_EQ(IdListLen(items.GetItem(2)), 5u + 2u);
    EXPECT_EQ(items.GetItem(3), nullptr);
    EXPECT_EQ(items.GetItem(-1), nullptr);
    EXPECT_EQ(items.GoUp(4), nullptr);
}

TEST(QvPidlList, SortedListsRefuseOrIgnoreDuplicates)
{
    auto a = MakeList({{1, 2}});
    auto a2 = MakeList({{1, 2}});
    auto b = MakeList({{1}});
    auto c = MakeList({{9}});
    TQvPidlList list;
    list.SetSorted(true);
    list.Add(AsPidl(c));
    list.Add(AsPidl(a));
    // Compared byte by byte, the size word included: {1} < {9} < {1, 2}.
    EXPECT_EQ(list.Add(AsPidl(b)), 0);
    EXPECT_EQ(list.GetPIDL(2), AsPidl(a));
    try {
        list.Add(AsPidl(a2));
        FAIL() << "duplicate accepted";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "TQvPidlList: Duplicate PIDL");
    }
    list.Duplicates = dupIgnore;
    EXPECT_EQ(list.Add(AsPidl(a2)), 2);
    EXPECT_EQ(list.GetCount(), 3);
    list.Duplicates = dupAccept;
    list.Add(AsPidl(a2));
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.IndexOf(AsPidl(c)), 1);
    EXPECT_THROW(list.GetPIDL(4), EListError);
    list.Delete(0);
    EXPECT_EQ(list.GetCount(), 3);
}

TEST(QvShellUtils, FormatStrPosTakesInsertsByPosition)
{
    EXPECT_EQ(FormatStrPos("%2 %1", {"x", "y"}), "y x");
    EXPECT_EQ(FormatStrPos("", {"x"}), "");
    // An insert beyond the arguments reads as empty, never past them.
    EXPECT_EQ(FormatStrPos("[%1|%3]", {"a", "b"}), "[a|]");
    EXPECT_THROW(FormatStrPos("%1", std::vector<AnsiString>(51, "z")), Exception);
    EXPECT_EQ(FormatStrPos("%50", std::vector<AnsiString>(50, "z")), "z");
}

TEST(QvShellUtils, CommandLinesSplitIntoParameters)
{
    const struct {
        const char* line;
        const char* expected;  // parameters joined by '|'
    } rows[] = {
        {"a \"b c\" \"\" d", "a|b c|d"},
        {"x\"y z\"", "x|y z"},
        {"  tab\there   ", "tab|here"},
        {"\"quoted  \" next", "quoted|next"},
        {"", ""},
    };
    for (const auto& row : rows) {
        TStringList list;
        ParametizeCmdLineDB(row.line, &list);
        AnsiString joined;
        for (int i = 0; i < list.GetCount(); ++i) joined += (i ? "|" : "") + list.GetStrings(i);
        EXPECT_EQ(joined, row.expected) << row.line;
    }
}

TEST(QvShellUtils, TrailingCharactersAndTrimming)
{
    EXPECT_EQ(EnsureTrailingCharDB("", '\\'), "");
    EXPECT_EQ(EnsureTrailingCharDB("C:", '\\'), "C:\\");
    EXPECT_EQ(EnsureTrailingCharDB("C:\\", '\\'), "C:\\");
    EXPECT_EQ(TrimRightDB("abc \t\r\n"), "abc");
    AnsiString dest;
    int index = 2;
    CopyCharDB(index, "abc", dest);
    EXPECT_EQ(dest, "b");
    EXPECT_EQ(index, 3);
}

TEST(QvShellUtils, VersionsWereReadAtStart)
{
    EXPECT_TRUE(IsWinNT());
    EXPECT_TRUE(IsWin2000());
    EXPECT_FALSE(IsWin95());
    EXPECT_TRUE(HasWin95Shell());
    EXPECT_NE(ShellIMalloc(), nullptr);
    // Wine's comctl32 carries a version resource; which major version it reports is Wine's choice.
    EXPECT_GE(HIWORD(ComCtlVersion().dwFileVersionMS), 5);
    TQvModuleVersion version;
    EXPECT_FALSE(GetModuleVersion("no-such-module-here.dll", version));
}

TEST(QvShellUtils, PathsAndItemListsRoundTrip)
{
    testsupport::TempDir temp;
    const AnsiString folder = WideToAnsi(temp.Path());
    LPITEMIDLIST pidl = nullptr;
    ASSERT_EQ(ShellGetIdListFromPath(folder, pidl), S_OK);
    EXPECT_EQ(CompareText(ShellGetPathFromIdList(pidl), folder), 0);
    EXPECT_EQ(CompareText(ShellGetDisplayPathName(folder), folder), 0);
    EXPECT_EQ(ShellFindCSIDLFromIdList(pidl), csidlNone);
    EXPECT_EQ(CompareText(ShellGetFriendlyNameForLastIdListElement(pidl), ExtractFileName(folder)), 0);
    IShellFolder_NRC* shellFolder = nullptr;
    EXPECT_EQ(ShellGetFolderFromIdList(pidl, shellFolder), S_OK);
    ASSERT_NE(shellFolder, nullptr);
    shellFolder->Release();
    ShellMemFree(pidl);
}

TEST(QvShellUtils, SpecialFoldersAreFoundAgain)
{
    LPITEMIDLIST desktop = nullptr;
    ASSERT_EQ(ShellGetSpecialFolderIdList(nullptr, csidlDesktop, desktop), S_OK);
    EXPECT_EQ(ShellFindCSIDLFromIdList(desktop), csidlDesktop);
    ShellMemFree(desktop);
    LPITEMIDLIST windows = nullptr;
    ASSERT_EQ(ShellGetSpecialFolderIdList(nullptr, csidlWindows, windows), S_OK);
    EXPECT_TRUE(ShellCSIDLEqualsIdList(windows, csidlWindows));
    EXPECT_EQ(CompareText(ShellGetSpecialFolderPath(nullptr, csidlWindows), "C:\\windows"), 0);
    ShellMemFree(windows);
}

TEST(QvShellUtils, SystemImageListAndIcons)
{
    EXPECT_NE(ShellGetSystemImageList(iszSmall), nullptr);
    EXPECT_NE(ShellGetSystemImageList(iszLarge), nullptr);
    EXPECT_GE(ShellGetIconIndexFromExt(".txt", SHGFI_SMALLICON), 0);
    EXPECT_GE(ShellGetSpecialFolderIconIndex(csidlDrives, SHGFI_SMALLICON), 0);
    FlushDriveInfoCache();
}

TEST(QvShellUtils, ShortcutsRoundTrip)
{
    testsupport::TempDir temp;
    const AnsiString target = WideToAnsi(temp.File(L"target.txt"));
    testsupport::WriteFileBytes(temp.File(L"target.txt"), "text");
    const AnsiString link = WideToAnsi(temp.File(L"target.lnk"));
    TLinkData data;
    data.PathName = target;
    data.Arguments = "/x";
    data.Description = "A target";
    data.ShowCmd = SW_SHOWMAXIMIZED;
    data.Options = (1u << ldoUseArgs) | (1u << ldoUseDesc) | (1u << ldoUseShowCmd);
    ASSERT_EQ(CreateShortcut(link, data), S_OK);
    TLinkData read;
    ASSERT_EQ(ResolveShortcut(link, read, true), S_OK);
    EXPECT_EQ(CompareText(read.PathName, target), 0);
    EXPECT_EQ(read.Arguments, "/x");
    EXPECT_EQ(read.Description, "A target");
    // Wine's shell link keeps the show command only in memory: a loaded link always says normal.
    EXPECT_EQ(read.ShowCmd, RunningUnderWine() ? SW_SHOWNORMAL : SW_SHOWMAXIMIZED);
    EXPECT_EQ(read.Options, AllLinkDataOptions);
    EXPECT_NE(read.IdList, nullptr);
    ShellMemFree(read.IdList);
    ASSERT_EQ(CreateQuickShortcut(WideToAnsi(temp.File(L"quick.lnk")), target), S_OK);
    ASSERT_EQ(ResolveShortcut(WideToAnsi(temp.File(L"quick.lnk")), read, false), S_OK);
    EXPECT_EQ(read.Description, target);
    EXPECT_EQ(read.IdList, nullptr);
    EXPECT_NE(ResolveShortcut(WideToAnsi(temp.File(L"missing.lnk")), read, false), S_OK);
}

TEST(QvShellUtils, FileTypesLeadToTheirClassIds)
{
    auto setDefault = [&](const std::wstring& key, const wchar_t* value) {
        HKEY handle;
        ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, key.c_str(), &handle), ERROR_SUCCESS);
        RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
    };
    setDefault(L".qvtest", L"QvTest.Document");
    setDefault(L"QvTest.Document\\CLSID", L"{00021401-0000-0000-C000-000000000046}");
    setDefault(L".qvdirect", L"CLSID\\{00021401-0000-0000-C000-000000000046}");
    CLSID clsid{};
    EXPECT_TRUE(QvClsidFromFileType(".qvtest", clsid));
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ShellLink));
    clsid = CLSID{};
    EXPECT_TRUE(QvClsidFromFileType(".qvdirect", clsid));
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ShellLink));
    EXPECT_FALSE(QvClsidFromFileType(".qvmissing", clsid));
    for (const wchar_t* key : {L".qvtest", L"QvTest.Document", L".qvdirect"})
        testsupport::DeleteRegTree(HKEY_CLASSES_ROOT, key);
}

}  // namespace
