// Pagorin.exe carrying transactions to discs on the device lab: the hot-key run from its page through the
// countdown, the PDF and the disc to its own end; a burst of hot-key starts; the interactive run's Write; a
// page handed over to an interactive run; and the hand-over message itself in every shape another process
// may send it.
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

#include "IsoReader.h"
#include "PagorinRunFixture.h"
#include "TestImages.h"

namespace {

using namespace pagorintest;

// Where the disc-image check (check-flow-image.sh) wants the hot-key run's disc and page left.
std::wstring ImageHandOverFolder()
{
    wchar_t folder[MAX_PATH] = {};
    return GetEnvironmentVariableW(L"PAGORIN_FLOW_IMAGE_DIR", folder, MAX_PATH) ? folder : L"";
}

int Occurrences(const std::string& log, const std::string& text)
{
    int n = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++n;
    return n;
}

class PagorinJobFlow : public PagorinDiscRoad {
protected:
    // Lines of the day log must come in this order (each after the one before).
    void ExpectLogOrder(const std::vector<std::string>& lines)
    {
        std::string log = DayLog();
        size_t at = 0;
        for (const std::string& line : lines) {
            size_t found = log.find(line, at);
            ASSERT_NE(found, std::string::npos) << "\"" << line << "\" missing or out of order:\n" << log;
            at = found + line.size();
        }
    }
    // The robot calls named, in this order among all of them.
    void ExpectRobotOrder(const std::vector<std::string>& calls)
    {
        std::vector<std::string> all = RobotCalls();
        size_t at = 0;
        for (const std::string& call : calls) {
            while (at < all.size() && all[at] != call)
                ++at;
            ASSERT_LT(at, all.size()) << call << " missing or out of order";
            ++at;
        }
    }
    std::wstring Disc(int n) { return lab_.File(L"discs\\disc-" + std::to_wstring(n) + L".iso"); }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    // The countdown shows; its Finish ends the wait for further pages.
    void FinishCountdown()
    {
        HWND alert = WaitForTopWindow(L"Attention", 60000, first_.Pid());
        ASSERT_NE(alert, nullptr) << "the next-page countdown did not show";
        ClickButton(alert, L"Finish");
    }
    // Starts a hot-key run with `page`, ends its countdown once the robot's writers are ready and asks it to
    // close; gives its main window and the alert that answers the close.
    void StartHotKeyRunThenClose(const std::wstring& page, HWND& window, HWND& alert)
    {
        first_ = Start(Quoted(page));
        window = WaitForTopWindow(MainCaption, 60000, first_.Pid());
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return DayLog().find("writers ready") != std::string::npos; }, 30000));
        FinishCountdown();
        ASSERT_TRUE(WaitUntil([&] { return DayLog().find("Total 1 pages scanned") != std::string::npos; }, 20000));
        PostMessageW(window, WM_CLOSE, 0, 0);
        alert = WaitForTopWindow(L"Attention", 20000, first_.Pid());
        ASSERT_NE(alert, nullptr) << "closing did not ask";
    }
    std::wstring JpegPage(const wchar_t* name)
    {
        std::wstring page = work_.File(name);
        testimages::Write(page, GUID_ContainerFormatJpeg, 320, 400, 100);
        return page;
    }
};

TEST_F(PagorinJobFlow, HotKeyRunCountsDownWritesThePageWithItsPdfAndEnds)
{
    Install();
    SetRegDword(L"Next Page Wait", 5);
    SetRegDword(L"Compiled PDF", 1);
    CopyFileW((BinDir() + L"Fendrix.exe").c_str(), install_.File(L"Fendrix.exe").c_str(), FALSE);
    std::wstring page = JpegPage(L"Page001.jpg");
    std::string pageBytes = ReadFileBytes(page);
    first_ = Start(Quoted(page));
    HWND alert = WaitForTopWindow(L"Attention", 60000, first_.Pid());
    ASSERT_NE(alert, nullptr) << "the next-page countdown did not show";
    std::optional<DWORD> ended = first_.Wait(150000);
    ASSERT_TRUE(ended) << "the hot-key run did not end by itself:\n" << DayLog();
    EXPECT_EQ(*ended, 0u);

    ExpectLogOrder({"Application started.", "A Scan-To-Disc transaction started.",
                    "Total 1 pages scanned in current transaction.", "PDF writing started.", "PDF writing finished.",
                    "Start the Disc Writing Session.", "Total 1 discs written in current session.", "Application closed"});
    EXPECT_EQ(Occurrences(DayLog(), "Application closed"), 1);
    ExpectRobotOrder({"LoadDrive", "UnloadDrive", "Park"});
    ASSERT_TRUE(Exists(Disc(1))) << "no disc was written";
    EXPECT_FALSE(Exists(Disc(2))) << "one copy only";
    std::wstring keep = ImageHandOverFolder();
    if (!keep.empty()) {
        CopyFileW(Disc(1).c_str(), (keep + L"\\disc.iso").c_str(), FALSE);
        WriteFileBytes(keep + L"\\Page001.jpg", pageBytes);
    }
}

// How many starts follow the first in the hot-key burst: 100, or PAGORIN_BURST_STARTS for a longer run by hand.
int BurstStarts()
{
    const char* count = std::getenv("PAGORIN_BURST_STARTS");
    int starts = count ? std::atoi(count) : 0;
    return starts > 0 ? starts : 100;
}

constexpr int BurstLaunchers = 25;

// A page of its own: the bytes carry its number and differ in length, so a page written in another's place
// or cut short shows.
std::string BurstPageBytes(int n)
{
    return "\xFF\xD8" "burst page " + std::to_string(n) + std::string(size_t(n * 37 % 900), char('a' + n % 26)) + "\xFF\xD9";
}

// The files of a disc image, "folder/name" to their bytes.
std::map<std::wstring, std::string> DiscFiles(const std::wstring& image)
{
    std::map<std::wstring, std::string> files;
    std::optional<iso::JolietTree> tree = iso::ReadJolietTree(image);
    if (!tree)
        return files;
    std::string bytes = ReadFileBytes(image);
    for (const auto& [name, extent] : tree->files)
        files[name] = extent.offset + extent.size <= bytes.size() ? bytes.substr(size_t(extent.offset), size_t(extent.size))
                                                                  : std::string("(beyond the image)");
    return files;
}

// While the first start counts down, a hundred more start at once, each with a page of its own. Every page is
// taken once, and the one disc of the run holds each page once, byte for byte.
TEST_F(PagorinJobFlow, HotKeyBurstPutsEveryPageOnTheDiscExactlyOnce)
{
    Install();
    SetRegDword(L"Next Page Wait", 300);  // the countdown outlasts the burst; Finish ends it
    const int starts = BurstStarts();
    std::vector<std::wstring> pages;
    for (int n = 0; n <= starts; ++n) {
        wchar_t name[32];
        swprintf(name, 32, L"Burst%03d.jpg", n);
        pages.push_back(work_.File(name));
        WriteFileBytes(pages.back(), BurstPageBytes(n));
    }
    first_ = Start(Quoted(pages[0]));
    ASSERT_NE(WaitForTopWindow(L"Attention", 60000, first_.Pid()), nullptr) << "the first page's countdown did not show";

    // Starting a process under Wine takes a good part of a second, so several launchers share the burst.
    std::vector<ChildProcess> later(static_cast<size_t>(starts));
    DWORD began = GetTickCount();
    {
        std::vector<std::thread> launchers;
        for (int launcher = 0; launcher < BurstLaunchers; ++launcher)
            launchers.emplace_back([&, launcher] {
                for (int n = launcher; n < starts; n += BurstLaunchers)
                    later[size_t(n)] = Start(Quoted(pages[size_t(n) + 1]));
            });
        for (std::thread& launcher : launchers)
            launcher.join();
    }
    for (size_t n = 0; n < later.size(); ++n) {
        ASSERT_TRUE(later[n].Started()) << "start " << n + 1 << " failed";
        DWORD left = 180000 - std::min<DWORD>(GetTickCount() - began, 180000);
        EXPECT_EQ(later[n].Wait(left), std::optional<DWORD>(0)) << "start " << n + 1 << " did not hand over and end";
    }
    std::string log = DayLog(), notTakenOnce;
    for (size_t n = 1; n < pages.size(); ++n)
        if (Occurrences(log, "Page handed over: " + ToUtf8(pages[n]) + "\r\n") != 1)
            notTakenOnce += " " + std::to_string(n);
    EXPECT_EQ(notTakenOnce, "") << "pages not taken once";
    EXPECT_EQ(Occurrences(log, "Handed-over page ignored"), 0) << log;

    FinishCountdown();
    std::optional<DWORD> ended = first_.Wait(120000);
    ASSERT_TRUE(ended) << "the hot-key run did not end by itself:\n" << DayLog();
    EXPECT_EQ(*ended, 0u);
    ExpectLogOrder({"A Scan-To-Disc transaction started.",
                    "Total " + std::to_string(starts + 1) + " pages scanned in current transaction.",
                    "Start the Disc Writing Session.", "Total 1 discs written in current session.", "Application closed"});
    EXPECT_EQ(Occurrences(DayLog(), "A Scan-To-Disc transaction started."), 1) << "the pages were split";
    EXPECT_FALSE(Exists(Disc(2))) << "one disc only";

    std::map<std::wstring, std::string> files = DiscFiles(Disc(1));
    ASSERT_FALSE(files.empty()) << "no readable disc was written";
    std::wstring folder = files.begin()->first.substr(0, files.begin()->first.find(L'/'));
    EXPECT_EQ(files.size(), pages.size());
    for (int n = 0; n <= starts; ++n) {
        wchar_t name[32];
        swprintf(name, 32, L"/Burst%03d.jpg", n);
        auto file = files.find(folder + name);
        ASSERT_NE(file, files.end()) << "page " << n << " is not on the disc";
        EXPECT_EQ(file->second, BurstPageBytes(n)) << "page " << n << " differs on the disc";
    }
}

// Pages handed over while the run closes (here: after Terminate, while the close waits for a PDF thread held
// inside the PDF writer) are not taken by the closing instance; their starts wait for that instance to end.
// Then one of them becomes the instance and the others hand their pages to it: they once all found no window,
// each became an instance driving the same robot, and a page went with one that closed without writing it.
TEST_F(PagorinJobFlow, PagesHandedOverWhileTheRunClosesAreWrittenByOneNewInstance)
{
    WriteFileBytes(lab_.File(L"scenario.ini"), "[Robot1]\r\nName = Lab Autoloader 1\r\nWriters = E\r\n[Delays]\r\n"
                                               "PDFLIBRARY.RURARO_AddImageFilePage = 30000\r\n");
    Install();
    SetRegDword(L"Next Page Wait", 5);
    SetRegDword(L"Compiled PDF", 1);
    CopyFileW((BinDir() + L"Fendrix.exe").c_str(), install_.File(L"Fendrix.exe").c_str(), FALSE);
    std::wstring closing = JpegPage(L"Closing.jpg");
    std::vector<std::wstring> late = {JpegPage(L"Late1.jpg"), JpegPage(L"Late2.jpg"), JpegPage(L"Late3.jpg")};
    HWND window = nullptr, confirm = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartHotKeyRunThenClose(closing, window, confirm));
    ClickButton(confirm, L"Terminate");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 20000)) << "the run did not begin to close";
    SetRegDword(L"Compiled PDF", 0);  // the late pages' run writes them at once

    std::vector<ChildProcess> starts;
    for (const std::wstring& page : late)
        starts.push_back(Start(Quoted(page)));
    std::optional<DWORD> firstEnded = first_.Wait(60000);
    ASSERT_TRUE(firstEnded) << "the closing run did not end";
    EXPECT_EQ(*firstEnded, 1u) << "its terminated page was never written";
    size_t instance = 0;
    ASSERT_TRUE(WaitUntil([&] {
        for (instance = 0; instance < starts.size(); ++instance)
            if (WaitForTopWindow(MainCaption, 0, starts[instance].Pid()))
                return true;
        return false;
    }, 60000)) << "no late start became the instance:\n" << DayLog();
    for (size_t i = 0; i < starts.size(); ++i) {
        if (i == instance)
            continue;
        EXPECT_EQ(starts[i].Wait(60000), 0u) << "a late start did not hand its page to the new instance";
    }
    std::optional<DWORD> instanceEnded = starts[instance].Wait(180000);
    ASSERT_TRUE(instanceEnded) << "the new instance did not end by itself:\n" << DayLog();
    EXPECT_EQ(*instanceEnded, 0u) << DayLog();

    EXPECT_EQ(Occurrences(DayLog(), "Application started."), 2) << DayLog();
    ExpectLogOrder({"Handed-over page left to its own start while closing: \"" + ToUtf8(late[0]) + "\"",
                    "Application closed", "Application started.", "Start the Disc Writing Session.", "Application closed"});
    std::map<std::wstring, std::string> written;
    for (int n = 1; Exists(Disc(n)); ++n)
        for (const auto& [name, bytes] : DiscFiles(Disc(n)))
            written[name.substr(name.find(L'/'))] = bytes;
    EXPECT_EQ(written.size(), late.size()) << "the discs hold more or less than the late pages";
    for (const std::wstring& page : late)
        EXPECT_EQ(written[L"/" + page.substr(page.rfind(L'\\') + 1)], ReadFileBytes(page))
            << ToUtf8(page) << " is not on a disc as it was";
}

// Closing while the robot loads a disc waits for it; then closing a hot-key operation asks, and Cancel lets the
// run go on to its disc and its own end.
TEST_F(PagorinJobFlow, CloseWhileTheRobotLoadsWaitsAndCancelLetsTheRunFinish)
{
    WriteFileBytes(lab_.File(L"scenario.ini"), "[Robot1]\r\nName = Lab Autoloader 1\r\nWriters = E\r\n[Delays]\r\n"
                                               "KTROBOTS20.LoadDrive = 3000\r\nKAVO.DriveCheckDisc = 4000\r\n");
    Install();
    SetRegDword(L"Next Page Wait", 5);
    HWND window = nullptr, wait = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartHotKeyRunThenClose(JpegPage(L"Page001.jpg"), window, wait));
    ASSERT_TRUE(WaitUntil([&] { return Count("LoadDrive") == 1; }, 20000));
    ClickButton(wait, L"OK");
    ASSERT_TRUE(WaitUntil([&] { return FindChild(wait, UnicodeClass(L"TWydButton").c_str(), L"Terminate") != nullptr; }, 20000))
        << "closing a hot-key operation did not ask";
    ClickButton(wait, L"Cancel");
    std::optional<DWORD> ended = first_.Wait(120000);
    ASSERT_TRUE(ended) << "the run did not go on to its end:\n" << DayLog();
    EXPECT_EQ(*ended, 0u);
    EXPECT_TRUE(Exists(Disc(1)));
    EXPECT_EQ(Occurrences(DayLog(), "Application closed"), 1);
}

// The input bin runs empty before the second copy: the operator is asked, refills it and OK loads again.
TEST_F(PagorinJobFlow, EmptyInputBinAsksAndOkLoadsAgainOnceRefilled)
{
    WriteFileBytes(lab_.File(L"scenario.ini"),
                   "[Robot1]\r\nName = Lab Autoloader 1\r\nWriters = E\r\n[InputBin]\r\nDiscs = 1*4\r\n");
    Install();
    SetRegDword(L"Next Page Wait", 5);
    SetRegDword(L"Copies", 2);
    std::wstring page = JpegPage(L"Page001.jpg");
    first_ = Start(Quoted(page));
    ASSERT_TRUE(WaitUntil([&] { return Count("LoadDrive") == 2; }, 120000)) << DayLog();
    HWND alert = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        alert = FindWindowW(nullptr, L"Attention");
        HWND cancel = alert ? FindChild(alert, UnicodeClass(L"TWydButton").c_str(), L"Cancel") : nullptr;
        return cancel && IsWindowVisible(alert) && IsWindowVisible(cancel);
    }, 20000)) << "the empty input bin was not shown";
    DeleteFileW(lab_.File(L"devices.ini").c_str());  // the bins as the scenario fills them
    ClickButton(alert, L"OK");
    std::optional<DWORD> ended = first_.Wait(120000);
    ASSERT_TRUE(ended) << "the run did not finish after the refill:\n" << DayLog();
    EXPECT_EQ(*ended, 0u);
    ExpectLogOrder({"Start the Disc Writing Session.", "Total 2 discs written in current session.", "Application closed"});
    EXPECT_EQ(Count("LoadDrive"), 3);
}

// A restored transaction is written once, whatever the copies setting says.
TEST_F(PagorinJobFlow, InteractiveWriteBurnsTheRestoredQueueAndGivesTheControlsBack)
{
    Install();
    SetRegDword(L"Copies", 2);
    std::wstring queue = work_.File(L"Queue");
    std::wstring folder = queue + L"\\20250102-030405";
    CreateDirectoryW(queue.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    testimages::Write(folder + L"\\p001.jpg", GUID_ContainerFormatJpeg, 200, 200, 100);
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    HWND write = FindChild(window, UnicodeClass(L"TWydBitBtn").c_str(), L"Write");
    ASSERT_NE(write, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return DayLog().find("Restored 1 transactions") != std::string::npos &&
                                       IsWindowEnabled(write) != FALSE; }, 30000))
        << "Write never came on for the restored transaction";
    HWND naming = FindChild(window, UnicodeClass(L"TWydComboBox").c_str(), nullptr);
    SendWithTimeout(write, BM_CLICK, 0, 0, 10000);
    ASSERT_TRUE(WaitUntil([&] { return !Exists(folder); }, 120000)) << "the written transaction stayed:\n" << DayLog() << ReadFileBytes(lab_.File(L"trace.log"));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(naming) != FALSE; }, 10000)) << "the controls stay off";
    ExpectLogOrder({"Restored 1 transactions", "Start the Disc Writing Session.", "Total 1 discs written in current session."});
    EXPECT_TRUE(Exists(Disc(1)));
    EXPECT_FALSE(Exists(Disc(2)));
    ExpectRobotOrder({"LoadDrive", "UnloadDrive"});
    CloseFirst(window);
}

TEST_F(PagorinJobFlow, PageHandedToAnInteractiveRunIsWrittenOnTwoCopiesAndTheRunGoesOn)
{
    Install();
    SetRegDword(L"Copies", 2);
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    HWND status = DiscStatusBox(window);
    ASSERT_TRUE(WaitUntil([&] { return status && IsWindowEnabled(status); }, 30000));
    std::wstring page = JpegPage(L"Handed.jpg");
    EXPECT_EQ(RunProgram(Quoted(BinDir() + L"Pagorin.exe") + L" " + Quoted(page), 30000), 0u);
    FinishCountdown();
    ASSERT_TRUE(WaitUntil([&] { return Occurrences(DayLog(), "discs written in current session.") == 1; }, 120000))
        << DayLog();
    ExpectLogOrder({"Page handed over:", "Total 1 pages scanned in current transaction.", "Start the Disc Writing Session.",
                    "Total 2 discs written in current session."});
    EXPECT_TRUE(Exists(Disc(1)) && Exists(Disc(2))) << "two copies";
    EXPECT_FALSE(Exists(Disc(3)));
    ExpectRobotOrder({"LoadDrive", "UnloadDrive", "LoadDrive", "UnloadDrive"});
    HWND naming = FindChild(window, UnicodeClass(L"TWydComboBox").c_str(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(naming) != FALSE; }, 20000)) << "the controls stay off";
    // The hot-key operation is over: closing asks nothing.
    CloseFirst(window);
    EXPECT_EQ(FindWindowW(nullptr, L"Attention"), nullptr);
}

// Without a robot nothing is written: each hand-over only adds its page, or is refused and logged.
class PagorinHandOver : public PagorinRun {
protected:
    void SetUp() override
    {
        PagorinRun::SetUp();
        WriteFileBytes(lab_.File(L"scenario.ini"), "[Robots]\r\nCount = 0\r\n");
    }
    LRESULT Send(HWND window, const void* data, DWORD size)
    {
        COPYDATASTRUCT copy{0, size, const_cast<void*>(data)};
        std::optional<LRESULT> result = SendWithTimeout(window, WM_COPYDATA, 0, LPARAM(&copy), 20000);
        EXPECT_TRUE(result) << "the window did not answer";
        return result.value_or(-1);
    }
    LRESULT Send(HWND window, const std::string& text) { return Send(window, text.data(), DWORD(text.size())); }
};

// A stand-in for a running instance: a window with the main caption that takes every hand-over and keeps
// the last text it was given.
std::string StandInText;
LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA)
        return DefWindowProcW(window, message, wParam, lParam);
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    StandInText.assign(static_cast<const char*>(copy->lpData), copy->cbData);
    return 1;
}

// An instance whose thread looks at no message for longer than the system takes for "hung" (a long restore,
// a loaded machine) still gets the page: the later start waits for the answer instead of giving up at once.
TEST_F(PagorinHandOver, InstanceBusyForSecondsStillGetsTheLaterStartsPage)
{
    WNDCLASSW standInClass{};
    standInClass.lpfnWndProc = StandInProc;
    standInClass.hInstance = GetModuleHandleW(nullptr);
    standInClass.lpszClassName = L"PagorinHandOverStandIn";
    RegisterClassW(&standInClass);
    HWND standIn = CreateWindowW(L"PagorinHandOverStandIn", MainCaption, WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(standIn, nullptr);
    // The instance holds the instance mutex for its whole life; without it the start would become one.
    HANDLE instanceMutex = CreateMutexA(nullptr, TRUE, "Pagorin.Instance");
    ASSERT_NE(instanceMutex, nullptr);
    StandInText.clear();
    const std::wstring page = work_.File(L"Busy.jpg");
    ChildProcess later = Start(Quoted(page));
    // The stand-in's thread is busy (it waits here without pumping) past the system's five seconds.
    EXPECT_FALSE(later.Wait(7000)) << "the later start gave up on a busy instance";
    EXPECT_TRUE(WaitUntil([&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        return !StandInText.empty();
    }, 30000)) << "no page reached the instance";
    EXPECT_EQ(StandInText, ToUtf8(page));
    EXPECT_EQ(later.Wait(30000), std::optional<DWORD>(0));
    DestroyWindow(standIn);
    ReleaseMutex(instanceMutex);
    CloseHandle(instanceMutex);
}

TEST_F(PagorinHandOver, OnlyAnExistingPageOfAPageFormatIsTakenWhateverTheMessageHolds)
{
    Install();
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    std::string folder = ToUtf8(work_.Path());
    for (const char* extension : {"jpg", "bmp", "tif", "png", "JPG", "gif"})
        WriteFileBytes(work_.File(L"page." + FromUtf8(extension)), "x");
    EXPECT_EQ(Send(window, nullptr, 0), 0);
    EXPECT_EQ(Send(window, "x"), 0);
    EXPECT_EQ(Send(window, std::string(1023, 'a')), 0);
    EXPECT_EQ(Send(window, std::string(1024, 'a')), 0);
    EXPECT_EQ(Send(window, std::string(64 * 1024, 'a')), 0);
    EXPECT_EQ(Send(window, folder + "\\missing.jpg"), 0);
    EXPECT_EQ(Send(window, folder + "\\page.gif"), 0) << "a format the queue would not restore";
    for (const char* extension : {"jpg", "bmp", "tif", "png", "JPG"})
        EXPECT_EQ(Send(window, folder + "\\page." + extension), 1) << extension;
    // No terminator, and text after an embedded zero: the path up to the zero is taken.
    std::string unterminated = folder + "\\page.png";
    EXPECT_EQ(Send(window, unterminated.data(), DWORD(unterminated.size())), 1);
    std::string embedded = folder + "\\page.bmp" + std::string(1, '\0') + "trailing";
    EXPECT_EQ(Send(window, embedded), 1);
    // Only the first 1023 bytes are read: a page path followed by a zero within them is taken.
    std::string padded = folder + "\\page.jpg" + std::string(1, '\0') + std::string(64 * 1024, 'z');
    EXPECT_EQ(Send(window, padded), 1);

    std::string log = DayLog();
    EXPECT_NE(log.find("Handed-over page ignored: \"" + folder + "\\page.gif\""), std::string::npos) << log;
    EXPECT_NE(log.find("Handed-over page ignored: \"" + folder + "\\missing.jpg\""), std::string::npos) << log;
    EXPECT_NE(log.find("Page handed over: " + folder + "\\page.tif"), std::string::npos) << log;
    FinishCountdownThenTerminate(window);
    EXPECT_EQ(Occurrences(DayLog(), "Application closed"), 1);
}

}  // namespace
