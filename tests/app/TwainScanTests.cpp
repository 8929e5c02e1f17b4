// Scans through Pagorin's TWAIN session from the lab's virtual scanner: numbered page files of every format,
// pixel type and resolution, duplex, the protocol's end of each transfer, and every way a scan can fail.
#include "TwainTestSupport.h"

#include "WicImage.h"

#include <atomic>
#include <thread>

using namespace twaintest;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

class TwainScan : public VirtualScannerTest {
protected:
    void SetUp() override
    {
        VirtualScannerTest::SetUp();
        pagorin::ScanSettings& s = events_.Current;
        s.Scanner = ScannerName;
        s.ColorMode = "Grayscale";
        s.Resolution = "75";
        s.FileFormat = "JPG";
        s.FileNaming = "Scan";
        s.QueuePath = Narrow(queue_.Path());
        UseTransaction("20260301-101500");
    }
    void UseTransaction(const std::string& name)
    {
        events_.Current.Transaction = name;
        events_.Current.PageNumber = 0;
        CreateDirectoryW(Folder().c_str(), nullptr);
    }
    std::wstring Folder() const { return queue_.File(Wide(events_.Current.Transaction)); }
    std::wstring Page(const std::string& name) const { return Folder() + L"\\" + Wide(name); }
    bool Exists(const std::string& name) const
    {
        return GetFileAttributesW(Page(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // Starts a scan and runs the loop until it has ended; gives how it ended.
    pagorin::ScanResult Scan()
    {
        size_t ends = events_.Ends.size();
        twain_.StartScan();
        EXPECT_TRUE(Pump([&] { return events_.Ends.size() > ends; }, 30000)) << "the scan did not end\n" << Trace();
        EXPECT_EQ(events_.Ends.size(), ends + 1) << "a scan ends once";
        EXPECT_FALSE(twain_.Scanning());
        return events_.Ends.empty() ? pagorin::ScanResult{} : events_.Ends.back();
    }
    // The page files in the transaction's folder, by name.
    std::vector<std::string> FilesInFolder() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((Folder() + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(Narrow(found.cFileName));
        } while (FindNextFileW(search, &found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }
    size_t Count(const std::string& traced) const
    {
        std::string trace = Trace();
        size_t count = 0;
        for (size_t at = trace.find(traced); at != std::string::npos; at = trace.find(traced, at + 1))
            ++count;
        return count;
    }
    // The entries appear in the trace in this order.
    void ExpectTraceOrder(const std::vector<std::string>& entries) const
    {
        std::string trace = Trace();
        size_t at = 0;
        for (const std::string& entry : entries) {
            at = trace.find(entry, at);
            ASSERT_NE(at, std::string::npos) << "missing in order: " << entry << "\n" << trace;
            ++at;
        }
    }

    TempDir queue_;
};

struct Decoded {
    GUID container{};
    double dpi = 0;
    WICPixelFormatGUID format{};
};

Decoded DecodeFile(const std::wstring& path)
{
    wic::ComApartment com;
    const wic::DecodedImage image = wic::Decode(path);
    Decoded result;
    result.container = image.container;
    double dpiY = 0;
    image.frame->GetResolution(&result.dpi, &dpiY);
    image.frame->GetPixelFormat(&result.format);
    return result;
}

}  // namespace

TEST_F(TwainScan, PagesOfEveryFormatReachNumberedFilesOfThatFormat)
{
    Scenario("[Scanner]\nSheets = 3\n");
    struct Row {
        const char* Format;
        const char* Extension;
        GUID Container;
    } rows[] = {{"TIFF", "tif", GUID_ContainerFormatTiff},
                {"BMP", "bmp", GUID_ContainerFormatBmp},
                {"JPG", "jpg", GUID_ContainerFormatJpeg},
                {"PNG", "png", GUID_ContainerFormatPng}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Format);
        events_.Pages.clear();
        UseTransaction(std::string("T-") + row.Extension);
        events_.Current.FileFormat = row.Format;
        pagorin::ScanResult result = Scan();
        EXPECT_TRUE(result.Transferred);
        EXPECT_EQ(result.Pages, 3);
        EXPECT_EQ(result.PageNumber, 3);
        std::vector<std::string> names;
        for (const char* number : {"001.", "002.", "003."})
            names.push_back(std::string("Scan") + number + row.Extension);
        EXPECT_EQ(events_.Pages, names);
        EXPECT_EQ(FilesInFolder(), names);
        for (const std::string& name : names)
            EXPECT_EQ(DecodeFile(Page(name)).container, row.Container) << name;
    }
    EXPECT_TRUE(events_.Messages.empty()) << events_.Messages.front();
    EXPECT_EQ(events_.TransfersStarted, 4);
}

TEST_F(TwainScan, PixelTypeAndResolutionReachThePages)
{
    Scenario("[Scanner]\nSheets = 1\n");
    events_.Current.FileFormat = "PNG";
    struct Row {
        const char* ColorMode;
        const char* Resolution;
        bool Colour;
    } rows[] = {{"Black and White", "100", false}, {"Grayscale", "150", false}, {"24-bit Color", "120", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ColorMode);
        events_.Current.ColorMode = row.ColorMode;
        events_.Current.Resolution = row.Resolution;
        ASSERT_EQ(Scan().Pages, 1);
        Decoded page = DecodeFile(Page(events_.Pages.back()));
        EXPECT_NEAR(page.dpi, atoi(row.Resolution), 0.5);
        bool colour = page.format == GUID_WICPixelFormat24bppBGR || page.format == GUID_WICPixelFormat24bppRGB ||
                      page.format == GUID_WICPixelFormat32bppBGR || page.format == GUID_WICPixelFormat32bppBGRA;
        EXPECT_EQ(colour, row.Colour);
        if (std::string(row.ColorMode) == "Black and White") {
            EXPECT_TRUE(page.format == GUID_WICPixelFormatBlackWhite || page.format == GUID_WICPixelFormat1bppIndexed);
        }
    }
    EXPECT_EQ(events_.Pages, (std::vector<std::string>{"Scan001.png", "Scan002.png", "Scan003.png"}));
}

TEST_F(TwainScan, DuplexDoublesThePagesOnlyWhenTicked)
{
    Scenario("[Scanner]\nSheets = 2\nDuplex = yes\n");
    events_.Current.Duplex = true;
    EXPECT_EQ(Scan().Pages, 4);
    EXPECT_EQ(Count("CAPABILITY.SET\t0x1013=1\t0"), 1u);
    events_.Current.Duplex = false;
    UseTransaction("T2");
    EXPECT_EQ(Scan().Pages, 2);
    EXPECT_EQ(Count("CAPABILITY.SET\t0x1013"), 1u) << "duplex is asked for only when ticked";
}

TEST_F(TwainScan, EachTransferIsEndedAndTheSourceDisabledBeforeItCloses)
{
    Scenario("[Scanner]\nSheets = 2\n");
    ASSERT_EQ(Scan().Pages, 2);
    UseTransaction("T2");
    ASSERT_EQ(Scan().Pages, 2);
    ExpectTraceOrder({"IDENTITY.OPENDS", "CAPABILITY.SET\t0x0103=1\t0", "CAPABILITY.SET\t0x0101=1\t0",
                      "CAPABILITY.SET\t0x1118=75\t0", "CAPABILITY.SET\t0x1119=75\t0", "CAPABILITY.SET\t0x1002=1\t0",
                      "USERINTERFACE.ENABLEDS\t\t0", "SETUPFILEXFER.SET", "IMAGEFILEXFER.GET\t\t6",
                      "PENDINGXFERS.ENDXFER\t\t0 state=6", "IMAGEFILEXFER.GET\t\t6", "PENDINGXFERS.ENDXFER\t\t0 state=5",
                      "USERINTERFACE.DISABLEDS\t\t0 state=4", "IDENTITY.CLOSEDS\t\t0 state=3", "IDENTITY.OPENDS"});
    EXPECT_EQ(Count("\t1 cc="), 0u) << Trace();
}

// While the source writes a page its mark stands beside it, so that an abrupt end then leaves a page the
// queue's restore does not take for whole; a finished transfer leaves only the page.
TEST_F(TwainScan, PageIsMarkedPartialOnlyWhileTheSourceWritesIt)
{
    Scenario("[Scanner]\nSheets = 1\n[Delays]\nScanner.page = 1500\n");
    const std::wstring mark = Folder() + L"\\Scan001.jpg~.part";
    std::atomic<bool> seen = false, scanning = true;
    std::thread watcher([&] {
        while (scanning && !seen) {
            seen = GetFileAttributesW(mark.c_str()) != INVALID_FILE_ATTRIBUTES;
            Sleep(20);
        }
    });
    pagorin::ScanResult result = Scan();
    scanning = false;
    watcher.join();
    EXPECT_EQ(result.Pages, 1);
    EXPECT_TRUE(seen) << "no mark while the page was written";
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"Scan001.jpg"});
}

TEST_F(TwainScan, PaperJamKeepsTheEarlierPagesTellsTheOperatorAndLeavesTheSourceUsable)
{
    Scenario("[Scanner]\nSheets = 4\nPaperJam = 3\n");
    pagorin::ScanResult result = Scan();
    EXPECT_TRUE(result.Transferred);
    EXPECT_EQ(result.Pages, 2);
    EXPECT_EQ(FilesInFolder(), (std::vector<std::string>{"Scan001.jpg", "Scan002.jpg"})) << "no empty page file";
    EXPECT_EQ(events_.Messages, std::vector<std::string>{"Scanning stopped at Scan003.jpg: paper jam"});
    ExpectTraceOrder({"IMAGEFILEXFER.GET\t\t1 cc=20", "PENDINGXFERS.RESET\t\t0 state=5",
                      "USERINTERFACE.DISABLEDS\t\t0 state=4"});

    Scenario("[Scanner]\nSheets = 2\n");
    EXPECT_EQ(Scan().Pages, 2);
    EXPECT_EQ(events_.Pages.back(), "Scan005.jpg");
}

TEST_F(TwainScan, JamOnTheFirstSheetEndsWithoutPages)
{
    Scenario("[Scanner]\nSheets = 3\nPaperJam = 1\n");
    pagorin::ScanResult result = Scan();
    EXPECT_EQ(result.Pages, 0);
    EXPECT_TRUE(FilesInFolder().empty());
    EXPECT_EQ(events_.Messages, std::vector<std::string>{"Scanning stopped at Scan001.jpg: paper jam"});
    EXPECT_EQ(Count("USERINTERFACE.DISABLEDS\t\t0"), 1u);
}

TEST_F(TwainScan, CancelledFirstTransferLeavesNoFileAndGivesTheScanUp)
{
    Scenario("[Scanner]\nSheets = 3\n[Failures]\nScanner.IMAGEFILEXFER.GET = 1:3\n");
    pagorin::ScanResult result = Scan();
    EXPECT_TRUE(result.Transferred);
    EXPECT_EQ(result.Pages, 0);
    EXPECT_TRUE(FilesInFolder().empty());
    EXPECT_TRUE(events_.Messages.empty());
    ExpectTraceOrder({"IMAGEFILEXFER.GET\t\t3", "PENDINGXFERS.ENDXFER\t\t0 state=6", "PENDINGXFERS.RESET\t\t0 state=5",
                      "USERINTERFACE.DISABLEDS\t\t0 state=4"});
}

TEST_F(TwainScan, CancelledLaterTransferGoesOnWithTheRest)
{
    Scenario("[Scanner]\nSheets = 3\n[Failures]\nScanner.IMAGEFILEXFER.GET = 2:3\n");
    pagorin::ScanResult result = Scan();
    EXPECT_EQ(result.Pages, 2);
    EXPECT_EQ(FilesInFolder(), (std::vector<std::string>{"Scan001.jpg", "Scan003.jpg"}));
    EXPECT_TRUE(events_.Messages.empty());
}

TEST_F(TwainScan, AppendedScanOfATransactionWithPagesEndsNormallyAfterAFailedFirstTransfer)
{
    Scenario("[Scanner]\nSheets = 2\n[Failures]\nScanner.IMAGEFILEXFER.GET = 1:1\n");
    events_.Current.TransactionHasPages = true;
    events_.Current.PageNumber = 5;
    pagorin::ScanResult result = Scan();
    EXPECT_TRUE(result.Transferred);
    EXPECT_EQ(result.Pages, 0);
    EXPECT_EQ(result.PageNumber, 6);
    EXPECT_EQ(events_.Messages, std::vector<std::string>{"Scanning stopped at Scan006.jpg: condition code 5"});
    EXPECT_EQ(Count("USERINTERFACE.DISABLEDS\t\t0 state=4"), 1u);
}

TEST_F(TwainScan, NumberingContinuesAfterExistingPagesAndNeverOverwritesOne)
{
    Scenario("[Scanner]\nSheets = 3\n");
    events_.Current.PageNumber = 5;
    WriteFileBytes(Page("Scan007.jpg"), "kept");
    EXPECT_EQ(Scan().Pages, 3);
    EXPECT_EQ(events_.Pages, (std::vector<std::string>{"Scan006.jpg", "Scan008.jpg", "Scan009.jpg"}));
    EXPECT_EQ(ReadFileBytes(Page("Scan007.jpg")), "kept");
}

TEST_F(TwainScan, RefusedCapabilitiesAreReportedAndTheScanGoesOn)
{
    Scenario("[Scanner]\nRefuseCapabilities = ICAP_PIXELTYPE, CAP_FEEDERENABLED, ICAP_YRESOLUTION\n");
    EXPECT_EQ(Scan().Pages, 3);
    EXPECT_EQ(events_.Messages, (std::vector<std::string>{"ICAP_PIXELTYPE Failed", "ICAP_YRESOLUTION Failed",
                                                          "CAP_FEEDERENABLED Failed"}));
}

TEST_F(TwainScan, UnknownColourModeIsNotSentToTheSource)
{
    events_.Current.ColorMode = "Sepia";
    EXPECT_EQ(Scan().Pages, 3);
    EXPECT_EQ(events_.Messages, std::vector<std::string>{"ICAP_PIXELTYPE Failed"});
    EXPECT_EQ(Count("CAPABILITY.SET\t0x0101"), 0u);
}

TEST_F(TwainScan, SourceWithoutFileTransferStopsAtTheFirstCapability)
{
    Scenario("[Scanner]\nNoFileTransfer = yes\n");
    pagorin::ScanResult result = Scan();
    EXPECT_FALSE(result.Transferred);
    EXPECT_EQ(events_.Messages, std::vector<std::string>{"ICAP_XFERMECH Failed"});
    EXPECT_EQ(Count("CAPABILITY.SET\t0x0101"), 0u);
    EXPECT_EQ(Count("USERINTERFACE.ENABLEDS"), 0u);
}

TEST_F(TwainScan, ScannerNotFoundStopsAtTheFirstCapability)
{
    events_.Current.Scanner = "No Such Scanner";
    EXPECT_FALSE(Scan().Transferred);
    EXPECT_FALSE(twain_.SourceOpen());
    EXPECT_EQ(events_.Messages, std::vector<std::string>{"ICAP_XFERMECH Failed"});
}

TEST_F(TwainScan, SilentSourceEndsTheScanAfterTheBoundAndTheNextScanWorks)
{
    Scenario("[Scanner]\nNeverSignals = yes\n");
    twain_.ReadyTimeoutMs = 2000;
    pagorin::ScanResult result = Scan();
    EXPECT_FALSE(result.Transferred);
    EXPECT_EQ(events_.Messages, std::vector<std::string>{"The scanner sent no pages within 2 seconds."});
    EXPECT_EQ(Count("USERINTERFACE.DISABLEDS\t\t0 state=4"), 1u);

    Scenario("[Scanner]\nSheets = 1\n");
    EXPECT_EQ(Scan().Pages, 1);
}

TEST_F(TwainScan, EmptyFeederEndsTheScanWithTheCloseRequest)
{
    Scenario("[Scanner]\nSheets = 0\n");
    pagorin::ScanResult result = Scan();
    EXPECT_FALSE(result.Transferred);
    EXPECT_EQ(events_.Messages, std::vector<std::string>{"MSG_CLOSEDSREQ"});
    EXPECT_EQ(Count("USERINTERFACE.DISABLEDS\t\t0 state=4"), 1u);
    EXPECT_TRUE(twain_.SourceOpen()) << "a close request disables the source but leaves it open";
}

TEST_F(TwainScan, WithoutATransactionNoPageIsWrittenAnywhere)
{
    events_.Current.Transaction.clear();
    pagorin::ScanResult result = Scan();
    EXPECT_EQ(result.Pages, 0);
    EXPECT_EQ(events_.Messages, std::vector<std::string>{"Create target file error"});
    EXPECT_EQ(GetFileAttributesW(queue_.File(L"Scan001.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectTraceOrder({"PENDINGXFERS.RESET\t\t0 state=5", "USERINTERFACE.DISABLEDS\t\t0 state=4"});
}

TEST_F(TwainScan, OverlongPagePathIsRefusedBeforeTheSourceIsAsked)
{
    events_.Current.FileNaming = std::string(240, 'p');
    EXPECT_EQ(Scan().Pages, 0);
    EXPECT_EQ(events_.Messages, std::vector<std::string>{"Create target file error"});
    EXPECT_EQ(Count("SETUPFILEXFER.SET"), 0u);
}

TEST(TwainSession, WithoutTheManagerNothingIsCalledAndAScanStopsAtOnce)
{
    RecordingEvents events;
    events.Current.Scanner = ScannerName;
    pagorin::TwainSession twain(events);
    EXPECT_FALSE(twain.Loaded());
    TW_IDENTITY identity{};
    EXPECT_EQ(twain.CallDsmEntry(&twain.AppIdentity, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &identity),
              TWRC_FAILURE);
    twain.OpenTwainManager(nullptr);
    EXPECT_TRUE(twain.Sources().empty());
    twain.StartScan();
    MSG message{};
    message.message = WM_NULL;
    twain.CheckEvent(message);
    EXPECT_EQ(events.Messages, std::vector<std::string>{"ICAP_XFERMECH Failed"});
    ASSERT_EQ(events.Ends.size(), 1u);
    EXPECT_FALSE(events.Ends[0].Transferred);
}

