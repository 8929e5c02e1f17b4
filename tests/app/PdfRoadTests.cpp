// The PDF road with the real Fendrix.exe and PDF writer of the device lab: PDFs of the pages in order, the
// slot protocol, append, the eleventh transaction, and every way a page's JPEG copy or the writer can fail.
// qpdf and poppler judge a road's PDF in check-pdf-road.sh.
#include "PdfRoad.h"

#include <gtest/gtest.h>

#include "DiscJob.h"
#include "DiscTestSupport.h"
#include "PdfDocument.h"
#include "PdfRoadSupport.h"
#include "TestImages.h"
#include "TestSupport.h"

using namespace pagorin;
using pdfroadtest::StartTransaction;
using pdfroadtest::TimerPlayer;
using testsupport::FromUtf8;
using testsupport::ReadFileBytes;

namespace {

class PdfRoadTest : public ::testing::Test {
protected:
    PdfRoadTest() { SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str()); }
    ~PdfRoadTest() override { SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr); }

    void Scenario(const std::string& text) { testsupport::WriteFileBytes(lab_.File(L"scenario.ini"), text); }
    std::string Trace() { return ReadFileBytes(lab_.File(L"trace.log")); }
    std::string Folder(const std::string& name)
    {
        std::string folder = Ansi(files_.Path()) + "\\" + name;
        CreateDirectoryA(folder.c_str(), nullptr);
        return folder;
    }
    static std::string Ansi(const std::wstring& text) { return std::string(text.begin(), text.end()); }
    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    // JPEG pages "Page001.jpg" ... in `folder`, each of its own size, so that no two are alike.
    static std::vector<std::string> Pages(const std::string& folder, int count, UINT firstWidth = 60)
    {
        std::vector<std::string> pages;
        for (int n = 1; n <= count; ++n) {
            char name[32];
            snprintf(name, sizeof name, "\\Page%03d.jpg", n);
            pages.push_back(folder + name);
            testimages::Write(FromUtf8(pages.back()), GUID_ContainerFormatJpeg, firstWidth + 7 * n, 40 + n, 100);
        }
        return pages;
    }
    // The files in a folder matching a pattern.
    static int Count(const std::string& folder, const char* pattern)
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return 0;
        int count = 0;
        do ++count;
        while (FindNextFileA(search, &found));
        FindClose(search);
        return count;
    }
    static int Occurrences(const std::string& text, const std::string& part)
    {
        int count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++count;
        return count;
    }

    testsupport::TempDir lab_, files_;
};

TEST_F(PdfRoadTest, PagesArrivingWhileScanningBecomeOnePdfInOrder)
{
    TimerPlayer player;
    std::string folder = Folder("20240102-030405");
    std::vector<std::string> pages = Pages(folder, 5);
    std::vector<PdfTransaction> transactions{StartTransaction(player, folder + "\\Page.pdf", {}, false)};
    ASSERT_EQ(transactions[0].Slot, 0);
    EXPECT_TRUE(player.Road().Running());
    // The scanner delivers the pages one by one; the transaction closes after the last.
    for (const std::string& page : pages) {
        transactions[0].PagePaths.push_back(page);
        size_t handed = transactions[0].PagePaths.size();
        ASSERT_TRUE(player.RunUntil(transactions, [&] { return player.PagesHandedOver() == int(handed); }));
    }
    transactions[0].Closed = true;
    ASSERT_TRUE(player.RunToTheEnd(transactions));

    ASSERT_TRUE(player.Outcomes()[0].has_value());
    const PdfOutcome& outcome = *player.Outcomes()[0];
    EXPECT_TRUE(outcome.Saved) << outcome.Reason;
    EXPECT_EQ(outcome.PdfPath, folder + "\\Page.pdf");
    EXPECT_EQ(player.FinishesStarted(), 1);
    EXPECT_FALSE(player.Road().Running());
    std::string pdf = ReadFileBytes(FromUtf8(outcome.PdfPath));
    EXPECT_EQ(Occurrences(pdf, "/Type /Page "), 5);
    size_t previous = 0;
    for (int n = 1; n <= 5; ++n) {
        size_t title = pdf.find(pdf::PdfTextString(L"Page " + std::to_wstring(n)));
        size_t image = pdf.find(ReadFileBytes(FromUtf8(pages[n - 1])));
        EXPECT_NE(title, std::string::npos) << n;
        EXPECT_NE(image, std::string::npos) << "page " << n << " embedded unchanged";
        EXPECT_GT(image, previous) << "page " << n << " in order";
        previous = image;
    }
    EXPECT_EQ(Count(folder, "*~.jpg"), 0) << "the JPEG copies are removed";
    EXPECT_EQ(Count(folder, "*.tmp"), 0);
}

// A page is handed over only to a thread that waits for one: after a failed creation, none is, and the
// transaction goes on without a PDF.
TEST_F(PdfRoadTest, FailedCreationFreesTheSlotWithoutTakingAPage)
{
    Scenario("[Failures]\nPDFLIBRARY.RURARO_Create = 1:1\n");
    TimerPlayer player;
    std::string folder = Folder("T");
    std::vector<PdfTransaction> transactions{StartTransaction(player, folder + "\\Page.pdf", Pages(folder, 2))};
    ASSERT_TRUE(player.RunToTheEnd(transactions, 20000));
    ASSERT_TRUE(player.Outcomes()[0].has_value());
    EXPECT_FALSE(player.Outcomes()[0]->Saved);
    EXPECT_NE(player.Outcomes()[0]->Reason.find("create"), std::string::npos) << player.Outcomes()[0]->Reason;
    EXPECT_EQ(player.PagesHandedOver(), 0);
    EXPECT_EQ(Trace().find("Fendrix\tconvert"), std::string::npos);
    EXPECT_FALSE(player.Road().Running());
    EXPECT_FALSE(Exists(folder + "\\Page.pdf"));
}

struct FailureCase {
    const char* context;
    const char* scenario;
    const char* reason;  // part of the outcome's reason
    DWORD fendrixLimit = 60000;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.context; }

class PdfRoadFailure : public PdfRoadTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PdfRoadFailure, PdfFailsAndTheSlotIsFreedWithNothingLeftBehind)
{
    const FailureCase& c = GetParam();
    Scenario(c.scenario);
    PdfTiming timing;
    timing.FendrixLimit = c.fendrixLimit;
    TimerPlayer player(timing);
    std::string folder = Folder("T");
    std::vector<PdfTransaction> transactions{StartTransaction(player, folder + "\\Page.pdf", Pages(folder, 3))};
    ASSERT_TRUE(player.RunToTheEnd(transactions, 90000)) << c.context;
    ASSERT_TRUE(player.Outcomes()[0].has_value());
    const PdfOutcome& outcome = *player.Outcomes()[0];
    EXPECT_FALSE(outcome.Saved) << c.context;
    EXPECT_NE(outcome.Reason.find(c.reason), std::string::npos) << c.context << ": " << outcome.Reason;
    EXPECT_FALSE(player.Road().Running());
    EXPECT_FALSE(Exists(folder + "\\Page.pdf")) << c.context;
    EXPECT_EQ(Count(folder, "*~.jpg"), 0) << c.context;
}

INSTANTIATE_TEST_SUITE_P(
    Injected, PdfRoadFailure,
    ::testing::Values(
        FailureCase{"Fendrix writes nothing", "[Failures]\nFendrix.convert = 2:1\n", "no complete JPEG copy of"},
        FailureCase{"Fendrix leaves half a copy", "[Failures]\nFendrix.convert = 2:2\n", "no complete JPEG copy of"},
        FailureCase{"Fendrix takes too long", "[Delays]\nFendrix.convert = 20000\n", "within 3 s", 3000},
        FailureCase{"the writer refuses a page", "[Failures]\nPDFLIBRARY.RURARO_AddImageFilePage = 2:1\n",
                    "did not take"},
        FailureCase{"the writer cannot save", "[Failures]\nPDFLIBRARY.RURARO_SaveToFileName = 1:1\n",
                    "could not save"}));

TEST_F(PdfRoadTest, ClosedTransactionWithoutPagesGetsNoPdf)
{
    TimerPlayer player;
    std::string folder = Folder("T");
    std::vector<PdfTransaction> transactions{StartTransaction(player, folder + "\\Page.pdf", {})};
    ASSERT_TRUE(player.RunToTheEnd(transactions, 20000));
    ASSERT_TRUE(player.Outcomes()[0].has_value());
    EXPECT_FALSE(player.Outcomes()[0]->Saved);
    EXPECT_FALSE(Exists(folder + "\\Page.pdf"));
}

// A '.' in a folder above the pages gives every page of every transaction the same JPEG copy name: each
// page still gets its own copy, never another page's.
TEST_F(PdfRoadTest, DottedFolderNeverLetsAPageUseAnotherPagesCopy)
{
    TimerPlayer player;
    Folder("scan.v1");
    std::string first = Folder("scan.v1\\T1"), second = Folder("scan.v1\\T2");
    std::vector<std::string> firstPages = Pages(first, 3, 60);
    std::vector<std::string> secondPages = Pages(second, 3, 90);
    // A stale copy from an earlier run lies under the shared name.
    testsupport::WriteFileBytes(FromUtf8(Ansi(files_.Path()) + "\\scan~.jpg"), "stale");
    std::vector<PdfTransaction> transactions{StartTransaction(player, first + "\\A.pdf", firstPages),
                                             StartTransaction(player, second + "\\B.pdf", secondPages)};
    ASSERT_TRUE(player.RunToTheEnd(transactions));
    for (int t = 0; t < 2; ++t) {
        ASSERT_TRUE(player.Outcomes()[t].has_value());
        ASSERT_TRUE(player.Outcomes()[t]->Saved) << player.Outcomes()[t]->Reason;
        std::string pdf = ReadFileBytes(FromUtf8(player.Outcomes()[t]->PdfPath));
        const auto& own = t == 0 ? firstPages : secondPages;
        const auto& other = t == 0 ? secondPages : firstPages;
        for (int n = 0; n < 3; ++n) {
            EXPECT_NE(pdf.find(ReadFileBytes(FromUtf8(own[n]))), std::string::npos) << t << " page " << n + 1;
            EXPECT_EQ(pdf.find(ReadFileBytes(FromUtf8(other[n]))), std::string::npos) << t << " page " << n + 1;
        }
    }
    EXPECT_FALSE(Exists(Ansi(files_.Path()) + "\\scan~.jpg"));
}

// Append: the old PDF goes, and the transaction's PDF is made again with every page. An append while the
// slot still compiles stops that slot first, so no slot is left behind.
TEST_F(PdfRoadTest, AppendMakesThePdfAgainFromEveryPage)
{
    PdfTiming timing;
    TimerPlayer player(timing);
    std::string folder = Folder("T");
    std::vector<std::string> pages = Pages(folder, 4);
    std::vector<PdfTransaction> transactions{
        StartTransaction(player, folder + "\\Page.pdf", {pages[0], pages[1]})};
    ASSERT_TRUE(player.RunToTheEnd(transactions));
    ASSERT_TRUE(player.Outcomes()[0] && player.Outcomes()[0]->Saved);

    // The tree now shows the two pages and the PDF; the operator appends two pages.
    std::vector<std::string> children{"Page001.jpg", "Page002.jpg", folder + "\\Page.pdf"};
    int pdfChild = FindPdfChild(children);
    ASSERT_EQ(pdfChild, 2);
    DeleteFileA(children[pdfChild].c_str());
    transactions[0].PagePaths = {pages[0], pages[1]};
    transactions[0].Slot = player.Road().Start(transactions[0].Slot, folder + "\\Page.pdf");
    transactions[0].PdfDone = false;
    transactions[0].Closed = false;
    ASSERT_TRUE(player.RunUntil(transactions, [&] { return player.PagesHandedOver() >= 3; }));

    // Appended again while compiling: the busy slot is stopped and a slot starts from the first page.
    int busy = transactions[0].Slot;
    transactions[0].Slot = player.Road().Start(busy, folder + "\\Page.pdf");
    ASSERT_GE(transactions[0].Slot, 0);
    int busySlots = 0;
    for (int slot = 0; slot < PdfRoad::SlotCount; ++slot)
        busySlots += player.Road().State(slot) != SlotFree;
    EXPECT_EQ(busySlots, 1);
    transactions[0].PagePaths = pages;
    transactions[0].Closed = true;
    ASSERT_TRUE(player.RunToTheEnd(transactions));
    ASSERT_TRUE(player.Outcomes()[0] && player.Outcomes()[0]->Saved) << player.Outcomes()[0]->Reason;
    std::string pdf = ReadFileBytes(FromUtf8(folder + "\\Page.pdf"));
    EXPECT_EQ(Occurrences(pdf, "/Type /Page "), 4);
    for (const std::string& page : pages)
        EXPECT_NE(pdf.find(ReadFileBytes(FromUtf8(page))), std::string::npos) << page;
}

// Ten transactions compile at once; the eleventh gets no slot and is written without a PDF, beside the
// others' PDFs.
TEST_F(PdfRoadTest, EleventhTransactionIsWrittenWithoutAPdf)
{
    TimerPlayer player;
    std::vector<PdfTransaction> compiling;
    std::vector<JobTransaction> tree;
    for (int t = 0; t < 11; ++t) {
        std::string name = "2024010" + std::to_string(t / 10) + "-03040" + std::to_string(t % 10);
        std::string folder = Folder(name);
        compiling.push_back(StartTransaction(player, folder + "\\Page.pdf", Pages(folder, 1, 60 + t)));
        JobTransaction job;
        job.FolderName = name;
        job.Pages.push_back({CheckChecked, WriteWaiting, compiling.back().PagePaths[0]});
        tree.push_back(job);
    }
    for (int t = 0; t < 10; ++t)
        EXPECT_EQ(compiling[t].Slot, t);
    EXPECT_EQ(compiling[10].Slot, -1);
    EXPECT_TRUE(compiling[10].PdfDone);

    ASSERT_TRUE(player.RunToTheEnd(compiling, 120000));
    for (int t = 0; t < 11; ++t) {
        tree[t].PdfDone = compiling[t].PdfDone;
        if (t < 10) {
            ASSERT_TRUE(player.Outcomes()[t] && player.Outcomes()[t]->Saved) << t;
            tree[t].Pages.push_back({CheckChecked, WriteWaiting, player.Outcomes()[t]->PdfPath});
        }
    }
    disctest::ResetSharedState();
    SetSessionFilePath(Ansi(files_.File(L"Session.txt")));
    DiscJobInputs inputs;
    inputs.DetectedDiscType = 2;
    inputs.QueuePath = Ansi(files_.Path());
    DiscJob job = PrepareDiscJob(tree, inputs);
    ASSERT_TRUE(job.Ready);
    for (int t = 0; t < 11; ++t) {
        std::string list = ReadFileBytes(FromUtf8(inputs.QueuePath + "\\" + tree[t].FolderName + "\\FileList0.txt"));
        EXPECT_EQ(Occurrences(list, "\r\n"), t < 10 ? 2 : 1) << tree[t].FolderName;
        EXPECT_EQ(list.find(".pdf") != std::string::npos, t < 10) << tree[t].FolderName;
    }
}

// Stopping a slot while its page is being copied ends the copy and the thread, and frees the slot at once.
TEST_F(PdfRoadTest, StopDuringAConversionFreesTheSlot)
{
    Scenario("[Delays]\nFendrix.convert = 20000\n");
    TimerPlayer player;
    std::string folder = Folder("T");
    std::vector<PdfTransaction> transactions{
        StartTransaction(player, folder + "\\Page.pdf", Pages(folder, 1), false)};
    ASSERT_TRUE(player.RunUntil(transactions, [&] { return player.Road().State(0) == SlotWaitingForPage &&
                                                            player.PagesHandedOver() == 1; }));
    player.Road().Stop(transactions[0].Slot);
    EXPECT_EQ(player.Road().State(0), SlotFree);
    EXPECT_FALSE(player.Road().Running());
    EXPECT_EQ(Count(folder, "*~.jpg"), 0);
    EXPECT_EQ(Trace().find("\twritten"), std::string::npos) << "the copy was not finished";
}

TEST(PdfChild, FoundByItsExtensionFromTheLastChildBackwards)
{
    struct Row {
        std::vector<std::string> children;
        int expected;
    } rows[] = {
        {{"Page001.jpg", "Page002.jpg", "C:\\Q\\T\\Page.pdf"}, 2},
        {{"C:\\Q\\T\\Old.PDF", "Page001.jpg"}, 0},
        {{"a.pdf", "b.pdf"}, 1},
        {{"scan.pdf.tif", "Page001.jpg"}, -1},
        {{}, -1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FindPdfChild(row.children), row.expected) << ::testing::PrintToString(row.children);
}

}  // namespace
