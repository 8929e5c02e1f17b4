// Pagorin's TWAIN session against the lab's virtual scanner through Wine's source manager: a lab and a registry
// key of the test's own, a hidden parent window, the session with a recording stand-in for the main window,
// and a pump that passes every message through the session's event check as the main window's loop does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RegistryKey.h"
#include "TestSupport.h"
#include "Twain.h"
#include "TwainClient.h"
#include "TwainPump.h"

namespace twaintest {

constexpr const char* ScannerName = "Pagorin Virtual Scanner";

// What the session hands to the main window, kept for the test to look at.
class RecordingEvents : public pagorin::ScanEvents {
public:
    pagorin::ScanSettings Current;
    std::vector<std::string> Pages, Messages;
    std::vector<pagorin::ScanResult> Ends;
    int TransfersStarted = 0;

    pagorin::ScanSettings Settings() override { return Current; }
    void TransferStarting() override { ++TransfersStarted; }
    void PageWritten(const std::string& fileName) override { Pages.push_back(fileName); }
    // As the main window does: the next scan of the transaction numbers on.
    void ScanEnded(const pagorin::ScanResult& result) override
    {
        Ends.push_back(result);
        Current.PageNumber = result.PageNumber;
    }
    void Message(const std::string& text) override { Messages.push_back(text); }
};

class VirtualScannerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(twainclient::InstallVirtualScanner(testsupport::BinDir() + L"PagorinScanner.ds"));
    }
    void SetUp() override
    {
        SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str());
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        product_ = {HKEY_CURRENT_USER, "Software\\PagorinTests\\Twain\\" + name};
        testsupport::DeleteRegTree(HKEY_CURRENT_USER, Wide(product_.Path));
        window_ = CreateWindowExA(0, "STATIC", "Pagorin TWAIN test", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        twain_.LoadManager();
        twain_.OpenTwainManager(window_);
    }
    void TearDown() override
    {
        twain_.CloseTwainManager();
        DestroyWindow(window_);
        testsupport::DeleteRegTree(HKEY_CURRENT_USER, Wide(product_.Path));
        SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr);
    }

    void Scenario(const std::string& text) { testsupport::WriteFileBytes(lab_.File(L"scenario.ini"), text); }
    std::string Trace() const { return testsupport::ReadFileBytes(lab_.File(L"trace.log")); }
    static std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }
    static std::string Narrow(const std::wstring& s) { return testsupport::ToUtf8(s); }

    template <class Done>
    bool Pump(Done done, DWORD timeoutMs)
    {
        return PumpThroughEventCheck(twain_, done, timeoutMs);
    }

    testsupport::TempDir lab_;
    pagorin::KeyLocation product_;
    HWND window_ = nullptr;
    RecordingEvents events_;
    pagorin::TwainSession twain_{events_};
};

}  // namespace twaintest
