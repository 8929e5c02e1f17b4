// Transaction folders and page files on a real folder of the prefix, the size texts and the Append
// numbering, without windows.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "Transactions.h"

using namespace pagorin;
using testsupport::TempDir;

namespace {

std::string Narrow(const std::wstring& text) { return testsupport::ToUtf8(text); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Touch(const std::string& path, size_t bytes = 4)
{
    testsupport::WriteFileBytes(testsupport::FromUtf8(path), std::string(bytes, 'x'));
}

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

class QueueFolder : public ::testing::Test {
protected:
    std::string In(const std::string& name) const { return queue + "\\" + name; }

    TempDir dir;
    std::string queue = Narrow(dir.Path());
};

TEST(TransactionNames, FolderNameIsTheLocalTimeWithoutSeparatorsButOneDash)
{
    EXPECT_EQ(TransactionFolderName(Time(2026, 3, 4, 5, 6, 7)), "20260304-050607");
    EXPECT_EQ(TransactionFolderName(Time(2040, 12, 31, 23, 59, 59)), "20401231-235959");
}

TEST_F(QueueFolder, TwoStartsInOneSecondGetTwoFolders)
{
    SYSTEMTIME now = Time(2026, 12, 31, 23, 59, 59);
    EXPECT_EQ(CreateTransactionFolder(queue, now), "20261231-235959");
    EXPECT_EQ(CreateTransactionFolder(queue, now), "20270101-000000") << "the second start reused the folder";
    EXPECT_EQ(CreateTransactionFolder(queue, now), "20270101-000001");
    EXPECT_TRUE(Exists(In("20270101-000001")));
}

TEST_F(QueueFolder, MissingQueueFolderStillNamesTheTransaction)
{
    EXPECT_EQ(CreateTransactionFolder(In("absent"), Time(2026, 1, 2, 3, 4, 5)), "20260102-030405");
    EXPECT_FALSE(Exists(In("absent")));
}

TEST_F(QueueFolder, FolderPathRefusesNamesThatLeaveTheQueue)
{
    EXPECT_EQ(TransactionFolderPath(queue, "20260102-030405"), In("20260102-030405"));
    for (const char* name : {"", ".", "..", "..\\x", "a\\b", "a/b", "C:x"})
        EXPECT_EQ(TransactionFolderPath(queue, name), "") << name;
}

TEST_F(QueueFolder, FolderPathRefusesNamesTheSystemResolvesToAnotherFolder)
{
    // "..." is the queue folder itself and "x." or "x " the folder "x": a delete would reach either.
    for (const char* name : {"...", "x.", "x ", "20260102-030405. ."})
        EXPECT_EQ(TransactionFolderPath(queue, name), "") << name;
    EXPECT_EQ(TransactionFolderPath(queue, ".x"), In(".x"));
}

TEST(PageFiles, PageNamesAreSplitAtTheLastDot)
{
    struct Case {
        const char* name;
        bool page;
    } cases[] = {
        {"Page001.jpg", true}, {"p.PNG", true},        {"a.b.jpg", true},  {"scan.v2001.tif", true},
        {"Doc.PDF", true},     {"p001~.jpg", false},   {"a.b~.jpg", false}, {"notes.txt", false},
        {"jpg", false},        {".jpg", false},        {"p001.jpeg", false}, {"FileList.txt", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsPageFileName(c.name), c.page) << c.name;
    EXPECT_TRUE(IsLeftoverFileName("FileList.txt"));
    EXPECT_TRUE(IsLeftoverFileName("Page001~.jpg"));
    EXPECT_FALSE(IsLeftoverFileName("notes.txt"));
}

TEST_F(QueueFolder, ReadingAFolderSortsPagesSubfoldersAndForeignFiles)
{
    CreateDirectoryA(In("t").c_str(), nullptr);
    Touch(In("t\\p001.jpg"), 1000);
    Touch(In("t\\p001~.jpg"));
    Touch(In("t\\FileList.txt"), 0);
    Touch(In("t\\scan.v2001.jpg"), 10);
    CreateDirectoryA(In("t\\sub").c_str(), nullptr);
    TransactionFolderContents contents = ReadTransactionFolder(In("t"));
    ASSERT_EQ(contents.Pages.size(), 2u);
    long long total = contents.Pages[0].Size + contents.Pages[1].Size;
    EXPECT_EQ(total, 1010);
    EXPECT_EQ(contents.Subfolders, std::vector<std::string>{"sub"});
    EXPECT_FALSE(contents.HasForeignFiles);
    Touch(In("t\\notes.txt"));
    EXPECT_TRUE(ReadTransactionFolder(In("t")).HasForeignFiles);
    EXPECT_EQ(QueueSubfolders(queue), std::vector<std::string>{"t"});
}

// A page whose mark still stands was cut short while it was written (in any case of letters); once the mark
// is gone the page counts again.
TEST_F(QueueFolder, PageWithItsPartialMarkIsNotRestored)
{
    CreateDirectoryA(In("t").c_str(), nullptr);
    Touch(In("t\\Page001.jpg"), 1000);
    Touch(In("t\\Page002.jpg"), 300);
    Touch(PartialPageName(In("t\\PAGE002.JPG")), 0);
    Touch(In("t\\Page001.jpg~.copy"), 10);  // another Page001.jpg's copy cut short: the whole page stays
    TransactionFolderContents contents = ReadTransactionFolder(In("t"));
    ASSERT_EQ(contents.Pages.size(), 1u);
    EXPECT_EQ(contents.Pages[0].Name, "Page001.jpg");
    EXPECT_FALSE(contents.HasForeignFiles);
    DeleteFileA(PartialPageName(In("t\\PAGE002.JPG")).c_str());
    EXPECT_EQ(ReadTransactionFolder(In("t")).Pages.size(), 2u);
}

TEST_F(QueueFolder, ReadAheadGivesEveryFolderInOrder)
{
    std::vector<std::string> folders;
    for (int i = 0; i < 50; ++i) {
        folders.push_back(In("t" + std::to_string(i)));
        CreateDirectoryA(folders.back().c_str(), nullptr);
        for (int p = 0; p <= i % 3; ++p)
            Touch(folders.back() + "\\p" + std::to_string(p) + ".jpg");
    }
    folders.push_back(In("missing"));
    FolderReadAhead reader(folders);
    for (size_t i = 0; i < 50; ++i)
        EXPECT_EQ(reader.Take(i).Pages.size(), i % 3 + 1) << i;
    EXPECT_TRUE(reader.Take(50).Pages.empty());
    FolderReadAhead untaken({In("t1"), In("t2")});  // ends with its reader
}

TEST_F(QueueFolder, DeleteFolderRefusesPathsOutsideAFolder)
{
    CreateDirectoryA(In("keep").c_str(), nullptr);
    Touch(In("keep\\p.jpg"));
    for (std::string path : {std::string(), std::string("C:\\"), std::string("C:"), queue + "\\",
                             In("keep\\..\\keep"), In("..")})
        EXPECT_FALSE(DeleteFolder(path)) << path;
    EXPECT_TRUE(Exists(In("keep\\p.jpg")));
}

TEST_F(QueueFolder, DeleteFolderRemovesItsFilesButNotASubfolder)
{
    CreateDirectoryA(In("t").c_str(), nullptr);
    Touch(In("t\\p.jpg"));
    EXPECT_TRUE(DeleteFolder(In("t")));
    EXPECT_FALSE(Exists(In("t")));

    CreateDirectoryA(In("u").c_str(), nullptr);
    CreateDirectoryA(In("u\\inner").c_str(), nullptr);
    Touch(In("u\\p.jpg"));
    Touch(In("u\\inner\\q.jpg"));
    EXPECT_FALSE(DeleteFolder(In("u")));
    EXPECT_FALSE(Exists(In("u\\p.jpg")));
    EXPECT_TRUE(Exists(In("u\\inner\\q.jpg")));
}

TEST_F(QueueFolder, OnlyAFolderOfLeftoversIsRemoved)
{
    CreateDirectoryA(In("left").c_str(), nullptr);
    Touch(In("left\\FileList.txt"), 0);
    Touch(In("left\\Page001~.jpg"));
    EXPECT_TRUE(RemoveLeftoverFolder(In("left")));
    EXPECT_FALSE(Exists(In("left")));

    CreateDirectoryA(In("foreign").c_str(), nullptr);
    Touch(In("foreign\\notes.txt"));
    EXPECT_FALSE(RemoveLeftoverFolder(In("foreign")));
    EXPECT_TRUE(Exists(In("foreign\\notes.txt")));
}

// A handed-over page's copy is what the restore finds after a crash: whole, under a page name, never
// over another page, and a copy cut short (its partial name) is a leftover, not a page.
TEST_F(QueueFolder, PageCopyLandsWholeUnderAFreePageName)
{
    CreateDirectoryA(In("t").c_str(), nullptr);
    CreateDirectoryA(In("a").c_str(), nullptr);
    CreateDirectoryA(In("b").c_str(), nullptr);
    Touch(In("a\\Page001.jpg"), 300);
    Touch(In("b\\Page001.jpg"), 500);
    EXPECT_EQ(KeepPageCopy(In("t"), In("a\\Page001.jpg")), In("t\\Page001.jpg"));
    EXPECT_EQ(KeepPageCopy(In("t"), In("b\\Page001.jpg")), In("t\\Page001 (2).jpg"));
    EXPECT_EQ(PageFileSize(In("t\\Page001.jpg")), 300) << "the first copy stays as it was";
    EXPECT_EQ(PageFileSize(In("t\\Page001 (2).jpg")), 500);
    TransactionFolderContents contents = ReadTransactionFolder(In("t"));
    ASSERT_EQ(contents.Pages.size(), 2u);
    EXPECT_FALSE(contents.HasForeignFiles) << "no partial copy is left behind";
    EXPECT_TRUE(IsLeftoverFileName("Page001.jpg~.copy"));
    EXPECT_FALSE(IsPageFileName("Page001.jpg~.copy"));
}

TEST_F(QueueFolder, PageCopyRefusesWhatItCannotOrNeedNotCopy)
{
    CreateDirectoryA(In("t").c_str(), nullptr);
    Touch(In("t\\Page001.jpg"));
    Touch(In("notes.txt"));
    EXPECT_EQ(KeepPageCopy(In("t"), In("t\\Page001.jpg")), "") << "already in its folder";
    EXPECT_EQ(KeepPageCopy(In("t"), In("missing.jpg")), "");
    EXPECT_EQ(KeepPageCopy(In("t"), In("notes.txt")), "") << "no page name";
    EXPECT_EQ(KeepPageCopy(In("gone"), In("t\\Page001.jpg")), "") << "no folder to take it";
    EXPECT_EQ(KeepPageCopy("", In("t\\Page001.jpg")), "");
    EXPECT_EQ(ReadTransactionFolder(In("t")).Pages.size(), 1u);
    EXPECT_FALSE(ReadTransactionFolder(In("t")).HasForeignFiles);
}

TEST_F(QueueFolder, PageSizeOfAVanishedFileIsZero)
{
    Touch(In("p.jpg"), 77);
    EXPECT_EQ(PageFileSize(In("p.jpg")), 77);
    EXPECT_EQ(PageFileSize(In("gone.jpg")), 0);
    EXPECT_EQ(PageFileSize(queue), 0) << "a folder is no page";
}

TEST(SizeTexts, CheckedSizeShowsKilobytesThenThousandthsOfMegabytes)
{
    const long long K = 1024, M = K * K;
    struct Case {
        long long bytes;
        const char* text;
        long long gauge;
    } cases[] = {
        {0, "", 0},
        {1000, "0 K", 0},
        {1023 * K, "1023 K", 0},
        {M, "1.000 MB", 1},
        {M + 512 * K, "1.500 MB", 1},
        {9 * M + 1023 * K, "9.999 MB", 9},
        {10 * M, "10 MB", 10},
        {3 * K * M, "3072 MB", 3072},  // past 32 bits
        {4700 * M, "4700 MB", 4700},
    };
    for (const Case& c : cases) {
        SizeShown shown = CheckedSizeText(c.bytes);
        EXPECT_EQ(shown.Text, c.text) << c.bytes;
        EXPECT_EQ(shown.GaugeMegabytes, c.gauge) << c.bytes;
    }
}

TEST(SizeTexts, TransactionBytesSwitchToMegabytesAtTenThousandKilobytes)
{
    const long long K = 1024;
    EXPECT_EQ(TransactionBytesText(0).Text, "0 K");
    EXPECT_EQ(TransactionBytesText(0).GaugeMegabytes, 5);
    EXPECT_EQ(TransactionBytesText(2048 * K).Text, "2048 K");
    EXPECT_EQ(TransactionBytesText(2048 * K).GaugeMegabytes, 2);
    EXPECT_EQ(TransactionBytesText(10000 * K).Text, "9 MB");
    EXPECT_EQ(TransactionBytesText(5LL * K * K * K).Text, "5120 MB");
}

TEST_F(QueueFolder, AppendContinuesAfterEveryExistingPageNumber)
{
    EXPECT_EQ(AppendPageNumber({"Page001.jpg", "Page002.jpg", "Page003.jpg", "Page.pdf"}, queue, "Page"), 3)
        << "the PDF is no page";
    EXPECT_EQ(AppendPageNumber({"Page001.jpg", "Page002.jpg", "Page.PDF"}, queue, "Page"), 2);
    Touch(In("Page001.jpg"));
    Touch(In("PAGE005.tif"));
    Touch(In("Other009.jpg"));
    Touch(In("Page7x.jpg"));
    EXPECT_EQ(AppendPageNumber({"Page001.jpg", "PAGE005.tif"}, queue, "Page"), 5) << "a gap would meet page 5";
    EXPECT_EQ(AppendPageNumber({}, queue, "Other"), 9);
    EXPECT_TRUE(IsPdfName("x.Pdf"));
    EXPECT_FALSE(IsPdfName("x.jpg"));
}

}  // namespace
