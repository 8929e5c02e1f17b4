// Wide file and path routines: the path table, folders, searching, attributes and names beyond 260 characters.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include "Classes.h"
#include "TestSupport.h"
#include "WydSysUtils.h"
#include "WydTestSupport.h"

namespace {

struct PathCase {
    const wchar_t* name;
    const wchar_t* dir;
    const wchar_t* path;
    const wchar_t* drive;
    const wchar_t* fileName;
    const wchar_t* ext;
};

const PathCase pathCases[] = {
    {L"C:\\a\\b.txt", L"C:\\a", L"C:\\a\\", L"C:", L"b.txt", L".txt"},
    {L"C:\\", L"C:\\", L"C:\\", L"C:", L"", L""},
    {L"C:file.x", L"C:", L"C:", L"C:", L"file.x", L".x"},
    {L"\\x", L"\\", L"\\", L"", L"x", L""},
    {L"\\\\server\\share\\dir\\f", L"\\\\server\\share\\dir", L"\\\\server\\share\\dir\\", L"\\\\server\\share",
     L"f", L""},
    {L"\\\\server", L"\\", L"\\\\", L"\\\\server", L"server", L""},
    {L"\\\\", L"\\", L"\\\\", L"\\\\", L"", L""},
    {L"C:\\d.x\\file", L"C:\\d.x", L"C:\\d.x\\", L"C:", L"file", L""},
    {L".bashrc", L"", L"", L"", L".bashrc", L".bashrc"},
    {L"", L"", L"", L"", L"", L""},
};

} // namespace

TEST(WydFiles, PathPartsTable) {
    for (const auto& c : pathCases) {
        EXPECT_EQ(WideExtractFileDir(c.name), c.dir) << c.name;
        EXPECT_EQ(WideExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(WideExtractFileDrive(c.name), c.drive) << c.name;
        EXPECT_EQ(WideExtractFileName(c.name), c.fileName) << c.name;
        EXPECT_EQ(WideExtractFileExt(c.name), c.ext) << c.name;
    }
}

TEST(WydFiles, ExtensionsDelimitersAndRelativePaths) {
    EXPECT_EQ(WideChangeFileExt(L"C:\\d.x\\file", L".new"), L"C:\\d.x\\file.new");
    EXPECT_EQ(WideChangeFileExt(L"a.b.c", L".d"), L"a.b.d");
    EXPECT_EQ(WideChangeFileExt(L".bashrc", L".new"), L".new");
    EXPECT_EQ(WideIncludeTrailingPathDelimiter(L""), L"\\");
    EXPECT_EQ(WideIncludeTrailingBackslash(L"C:\\a\\"), L"C:\\a\\");
    EXPECT_EQ(WideExcludeTrailingBackslash(L"C:\\a\\"), L"C:\\a");
    EXPECT_TRUE(WideIsPathDelimiter(L"a\\b", 2));
    EXPECT_FALSE(WideIsPathDelimiter(L"a\\b", 4));
    EXPECT_EQ(WideLastDelimiter(L"\\:", L"C:\\a\\b"), 5);
    EXPECT_EQ(WideExtractRelativePath(L"C:\\a\\b\\x.txt", L"C:\\a\\c\\y.txt"), L"..\\c\\y.txt");
    EXPECT_EQ(WideExtractRelativePath(L"C:\\A\\x.txt", L"c:\\a\\d\\e\\y.txt"), L"d\\e\\y.txt");
    EXPECT_EQ(WideExtractRelativePath(L"C:\\a\\x.txt", L"D:\\a\\y.txt"), L"D:\\a\\y.txt");
}

// A share named without its trailing backslash is its whole drive: nothing of it is a folder.
TEST(WydFiles, RelativePathFromAShareWithoutBackslashDoesNotThrow) {
    EXPECT_EQ(WideExtractRelativePath(L"\\\\server\\share", L"\\\\server\\share\\dir\\x.txt"), L"dir\\x.txt");
    EXPECT_NO_THROW(WideExtractRelativePath(L"\\\\server\\share\\dir\\x.txt", L"\\\\SERVER\\share"));
}

TEST(WydFiles, FilesFoldersAndAttributesOnBothPaths) {
    testsupport::TempDir dir;
    OnBothPlatforms([&](const char* path) {
        const WideString folder = dir.File(L"d\u00e9j\u00e0");
        const WideString name = folder + L"\\caf\u00e9.txt";
        EXPECT_TRUE(WideCreateDir(folder)) << path;
        EXPECT_TRUE(WideDirectoryExists(folder)) << path;
        const HANDLE file = WideFileCreate(name);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile(file, "12345", 5, &written, nullptr);
        CloseHandle(file);
        EXPECT_TRUE(WideFileExists(name)) << path;
        EXPECT_FALSE(WideFileExists(folder)) << path;
        EXPECT_FALSE(WideDirectoryExists(name)) << path;
        // A pattern is not a file, even when a file matches it.
        EXPECT_FALSE(WideFileExists(folder + L"\\*.txt")) << path;
        EXPECT_FALSE(WideFileExists(folder + L"\\caf?.txt")) << path;
        EXPECT_NE(WideFileAge(name), -1) << path;
        EXPECT_EQ(WideFileAge(folder), -1) << path;
        double when = 0;
        EXPECT_TRUE(WideFileAge(name, when)) << path;
        EXPECT_GT(when, 40000.0) << path;
        EXPECT_TRUE(WideFileSetReadOnly(name, true)) << path;
        EXPECT_TRUE(WideFileIsReadOnly(name)) << path;
        EXPECT_FALSE(WideDeleteFile(name)) << path;
        EXPECT_TRUE(WideFileSetReadOnly(name, false)) << path;
        EXPECT_FALSE(WideFileSetReadOnly(folder + L"\\missing", true)) << path;
        EXPECT_EQ(WideFileSearch(L"caf\u00e9.txt", L";C:\\nowhere;" + folder), name) << path;
        EXPECT_EQ(WideFileSearch(L"missing.txt", folder), L"") << path;
        EXPECT_TRUE(WideCopyFile(name, folder + L"\\copy.txt", true)) << path;
        EXPECT_FALSE(WideCopyFile(name, folder + L"\\copy.txt", true)) << path;
        EXPECT_TRUE(WideRenameFile(folder + L"\\copy.txt", folder + L"\\moved.txt")) << path;

        TSearchRecW rec;
        ASSERT_EQ(WideFindFirst(folder + L"\\*", 0, rec), 0) << path;
        std::vector<WideString> names{rec.Name};
        EXPECT_EQ(rec.Size, 5) << path;
        while (WideFindNext(rec) == 0) names.push_back(rec.Name);
        WideFindClose(rec);
        EXPECT_EQ(rec.FindHandle, INVALID_HANDLE_VALUE) << path;
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<WideString>{L"caf\u00e9.txt", L"moved.txt"})) << path;
        ASSERT_EQ(WideFindFirst(dir.File(L"*"), FILE_ATTRIBUTE_DIRECTORY, rec), 0) << path;
        WideFindClose(rec);
        EXPECT_NE(WideFindFirst(folder + L"\\*.none", 0, rec), 0) << path;
        EXPECT_EQ(rec.FindHandle, INVALID_HANDLE_VALUE) << path;

        EXPECT_TRUE(WideDeleteFile(name)) << path;
        EXPECT_TRUE(WideDeleteFile(folder + L"\\moved.txt")) << path;
        EXPECT_TRUE(WideRemoveDir(folder)) << path;
    });
}

TEST(WydFiles, OpenModesAreChecked) {
    testsupport::TempDir dir;
    const WideString name = dir.File(L"f.bin");
    CloseHandle(WideFileCreate(name));
    const HANDLE reader = WideFileOpen(name, vcl::fmOpenRead | vcl::fmShareDenyWrite);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WideFileOpen(name, vcl::fmOpenWrite | vcl::fmShareDenyNone), INVALID_HANDLE_VALUE);
    const HANDLE second = WideFileOpen(name, vcl::fmOpenRead | vcl::fmShareDenyNone);
    EXPECT_NE(second, INVALID_HANDLE_VALUE);
    CloseHandle(second);
    CloseHandle(reader);
    for (DWORD badMode : {3u, 0x50u, 0x100u}) {
        SetLastError(0);
        EXPECT_EQ(WideFileOpen(name, badMode), INVALID_HANDLE_VALUE) << badMode;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << badMode;
    }
}

TEST(WydFiles, ForceDirectories) {
    testsupport::TempDir dir;
    EXPECT_THROW(WideForceDirectories(L""), EWydGeneralError);
    EXPECT_TRUE(WideForceDirectories(L"C:\\"));
    EXPECT_TRUE(WideForceDirectories(dir.File(L"a\\\u0416\\c\\")));
    EXPECT_TRUE(WideDirectoryExists(dir.File(L"a\\\u0416\\c")));
    CloseHandle(WideFileCreate(dir.File(L"file")));
    EXPECT_FALSE(WideForceDirectories(dir.File(L"file\\sub")));

    // Short relative names: a one-part name and parents of one or two characters.
    const WideString saved = WideGetCurrentDir();
    ASSERT_TRUE(WideSetCurrentDir(dir.Path()));
    EXPECT_EQ(WideGetCurrentDir(), dir.Path());
    EXPECT_TRUE(WideForceDirectories(L"abc"));
    EXPECT_TRUE(WideForceDirectories(L"x\\y"));
    EXPECT_TRUE(WideForceDirectories(L"pq\\r"));
    WideSetCurrentDir(saved);
    EXPECT_TRUE(WideDirectoryExists(dir.File(L"abc")));
    EXPECT_TRUE(WideDirectoryExists(dir.File(L"x\\y")));
    EXPECT_TRUE(WideDirectoryExists(dir.File(L"pq\\r")));
}

// The longest name Windows takes holds some 16,000 folders: making them must not keep a copy of the name
// (or a call) per folder.
TEST(WydFiles, ForceDirectoriesOfSixteenThousandFoldersKeepsNoCopyPerFolder) {
    testsupport::TempDir dir;
    CloseHandle(WideFileCreate(dir.File(L"file")));
    WideString deep = L"\\\\?\\" + dir.File(L"file");
    while (deep.size() < 32000) deep += L"\\a";
    PROCESS_MEMORY_COUNTERS before{}, after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    EXPECT_FALSE(WideForceDirectories(deep)) << "a file stands in the way";
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_LT(after.PeakWorkingSetSize - before.PeakWorkingSetSize, 64u << 20) << "memory grows with the folders";
    EXPECT_TRUE(WideFileExists(dir.File(L"file")));
}

TEST(WydFiles, NamesBeyond260Characters) {
    testsupport::TempDir dir;
    WideString deep = L"\\\\?\\" + dir.Path();
    for (int i = 0; i < 6; ++i) deep += L"\\" + WideString(50, static_cast<wchar_t>(L'a' + i));
    ASSERT_GT(deep.size(), 300u);
    EXPECT_TRUE(WideForceDirectories(deep));
    EXPECT_TRUE(WideDirectoryExists(deep));
    const WideString name = deep + L"\\\u0416.txt";
    CloseHandle(WideFileCreate(name));
    EXPECT_TRUE(WideFileExists(name));
    TSearchRecW rec;
    ASSERT_EQ(WideFindFirst(deep + L"\\*.txt", 0, rec), 0);
    EXPECT_EQ(rec.Name, L"\u0416.txt");
    WideFindClose(rec);
    EXPECT_TRUE(WideDeleteFile(name));

    // Results longer than a 260-character buffer come back whole.
    const WideString relative = WideString(150, L'r') + L"\\" + WideString(150, L's');
    const WideString expanded = WideExpandFileName(relative);
    EXPECT_EQ(expanded, WideIncludeTrailingBackslash(WideGetCurrentDir()) + relative);
    for (int i = 5; i >= 0; --i) {
        EXPECT_TRUE(WideRemoveDir(deep));
        deep = WideExtractFileDir(deep);
    }
}
