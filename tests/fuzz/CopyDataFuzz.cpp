// The single-instance hand-over under damage: a running Pagorin.exe is sent WM_COPYDATA of any length and
// content, as any process on the desktop may send it, and must answer every one, stay small and keep one
// day-log line per hand-over.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "FuzzSupport.h"
#include "TestSupport.h"

using namespace testsupport;
using fuzz::Bytes;
using fuzz::Check;
using fuzz::Outcome;

namespace {

const wchar_t* const ProductKey = L"Software\\Tessaro Systems\\Pagorin";
const char* const IgnoredLine = "Handed-over page ignored: \"";

void SetRegString(const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD((value.size() + 1) * 2));
    RegCloseKey(key);
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    for (ULONGLONG start = GetTickCount64(); GetTickCount64() - start < timeoutMs; Sleep(50))
        if (done()) return true;
    return done();
}

size_t Count(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) ++n;
    return n;
}

// Pagorin installed into folders of the test (no robot in its lab), started and shown.
class PagorinCopyData : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
        SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str());
        WriteFileBytes(lab_.File(L"scenario.ini"), "[Robots]\r\nCount = 0\r\n");
        SetRegString(L"InstallDir", install_.Path());
        SetRegString(L"Working Path", work_.Path());
        pagorin_ = StartProgram(L"\"" + BinDir() + L"Pagorin.exe\"", BinDir());
        window_ = WaitForTopWindow(L"Pagorin 1.2", 60000, pagorin_.Pid());
        ASSERT_NE(window_, nullptr) << "the main window did not open";
    }
    void TearDown() override {
        if (window_) SendWithTimeout(window_, WM_CLOSE, 0, 0, 30000);
        EXPECT_EQ(pagorin_.Wait(60000), 0u) << "Pagorin did not end cleanly";
        if (pagorin_.Started() && !pagorin_.Wait(0)) pagorin_.Kill();
        DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
        SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr);
    }

    // Hands the bytes over as a later start would; nothing when Pagorin did not answer.
    std::optional<LRESULT> HandOver(const Bytes& data, DWORD timeoutMs = 10000) const {
        COPYDATASTRUCT copy{};
        copy.dwData = data.size();
        copy.cbData = DWORD(data.size());
        copy.lpData = data.empty() ? nullptr : const_cast<char*>(data.data());
        return SendWithTimeout(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), timeoutMs);
    }
    std::string DayLog() const {
        SYSTEMTIME now;
        GetLocalTime(&now);
        wchar_t name[16];
        swprintf(name, 16, L"PGRN_%02d.log", now.wDay);
        return ReadFileBytes(work_.File(name));
    }
    size_t MemoryOfPagorin() const {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pagorin_.Pid());
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        const bool read = process && GetProcessMemoryInfo(process, &counters, sizeof counters);
        if (process) CloseHandle(process);
        return read ? counters.WorkingSetSize : 0;
    }

    TempDir install_, work_, lab_;
    ChildProcess pagorin_;
    HWND window_ = nullptr;
};

}  // namespace

// A text sent by another process names no page here: it must not add lines of its own to the day log.
TEST_F(PagorinCopyData, HandedOverTextCannotForgeDayLogLines) {
    ASSERT_TRUE(HandOver("x\r\n2026-01-01 00:00:00 Page handed over: C:\\forged.jpg\n"));
    ASSERT_TRUE(WaitUntil([&] { return DayLog().find(IgnoredLine) != std::string::npos; }, 10000));
    EXPECT_EQ(DayLog().find("\n2026-01-01 00:00:00"), std::string::npos) << DayLog();
}

// A device exists for the file functions under a page's name ("CON.JPG"): it is no page.
TEST_F(PagorinCopyData, DeviceNamesAreNotTakenAsPages) {
    for (const char* device : {"CON.JPG", "nul.jpg", "COM1.bmp", "AUX .png", "\\\\.\\pipe\\scan.tif"}) {
        EXPECT_EQ(HandOver(device), 0) << device;
    }
}

// Texts of every length, also with no data at all behind a length. Wine does not deliver WM_COPYDATA of
// 2 MB or more between processes: the sender waits in vain, the receiver sees nothing and goes on.
TEST_F(PagorinCopyData, HandOverOfAnyLengthIsAnswered) {
    size_t answered = 0;
    for (size_t length : {size_t(0), size_t(1), size_t(1023), size_t(1024), size_t(1025), size_t(65536), size_t(1) << 20,
                          (size_t(2) << 20) - 65536, size_t(2) << 20, size_t(16) << 20}) {
        const bool delivered = length < (size_t(2) << 20) || !RunningUnderWine();
        EXPECT_EQ(HandOver(Bytes(length, 'p'), delivered ? 60000 : 5000).has_value(), delivered) << length << " bytes";
        EXPECT_TRUE(SendWithTimeout(window_, WM_NULL, 0, 0, 10000)) << "no answer after " << length << " bytes";
        answered += delivered;
    }
    COPYDATASTRUCT noData{0, 100, nullptr};
    EXPECT_TRUE(SendWithTimeout(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&noData), 10000));
    EXPECT_TRUE(WaitUntil([&] { return Count(DayLog(), IgnoredLine) == answered + 1; }, 10000)) << DayLog();
}

TEST_F(PagorinCopyData, HandOverSurvivesMutatedTexts) {
    // Each input is a round trip to another process with a day-log line (about two milliseconds under Wine), and
    // the case holds the product key that Pagorin's other cases wait for: the fixed-seed run sends 10,000 of
    // them, while the text's reading and judging take their 100,000 in process (PagorinFuzz.HandedOverText...);
    // a longer run by hand gives --count=.
    if (!fuzz::TheOptions().CountGiven) fuzz::TheOptions().Count = 10000;
    const std::string work = ToUtf8(work_.Path());
    const std::vector<Bytes> corpus = {work + "\\Page 001.jpg", "C:\\nowhere\\x.jpg", "\"" + work + "\\Scan 7.TIF\"",
                                       "\\\\server\\share\\page.png", "CON", work + std::string(300, 'a') + ".bmp",
                                       std::string("D:\\Scans\\Page\0002.jpg", 20)};
    size_t sent = 0;
    auto target = [&](const Bytes& input) {
        const std::optional<LRESULT> answer = HandOver(input);
        if (!answer) {
            const std::optional<DWORD> ended = pagorin_.Wait(0);
            throw fuzz::Violation(ended ? "Pagorin.exe ended with code " + std::to_string(*ended)
                                        : std::string("Pagorin.exe did not answer within 10 s"));
        }
        ++sent;
        Check(*answer == 0, "no page is taken: none of them exists");
        if (sent % 1000 == 0) Check(MemoryOfPagorin() < (size_t(256) << 20), "Pagorin.exe stays below 256 MB");
        return Outcome::Accepted;
    };
    fuzz::Run("CopyData", fuzz::Mutator(corpus, {"\\", ".jpg", ".JPG", "\"", "\r\n", std::string(1, '\0'), "%s%n"}), target);
    // No page of the corpus exists: every hand-over is ignored, with one line each.
    EXPECT_TRUE(WaitUntil([&] { return Count(DayLog(), IgnoredLine) == sent; }, 10000))
        << Count(DayLog(), IgnoredLine) << " lines for " << sent << " hand-overs";
}
