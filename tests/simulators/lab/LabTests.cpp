// The lab core under Wine: scenario lookups, failure injection, trace and lock, within and across processes.
#include "Lab.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>
#include <vector>

using testsupport::TempDir;

namespace {

// Points this process's lab at a fresh folder for the life of the fixture.
class LabTest : public ::testing::Test {
protected:
    void SetUp() override { SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str()); }
    void TearDown() override { SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr); }

    void WriteScenario(const std::string& text) { testsupport::WriteFileBytes(lab_.File(L"scenario.ini"), text); }
    std::vector<std::string> TraceLines() {
        std::istringstream text(testsupport::ReadFileBytes(lab_.File(L"trace.log")));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }

    TempDir lab_;
};

TEST_F(LabTest, FolderFollowsTheVariableAndHasADefault) {
    EXPECT_EQ(lab::Folder(), lab_.Path());
    EXPECT_EQ(lab::PathIn(L"x.bin"), lab_.Path() + L"\\x.bin");
    SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr);
    const std::wstring fallback = lab::Folder();
    EXPECT_EQ(fallback.substr(fallback.size() - 11), L"\\PagorinLab");
    EXPECT_NE(GetFileAttributesW(fallback.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LabTest, ScenarioGivesTypedValuesAndFallbacks) {
    const auto s = lab::Scenario::Parse(
        "\xEF\xBB\xBF; a comment\r\n[Robot]\r\nCount = 2\r\nHex=0x10\r\nDuplex = yes ; why\r\n"
        "Name = Sch\xC3\xB6n\r\nBad = 12abc\r\nSpeed = 2.5\r\nDiscs = 3:blank, , 4:used:700 \r\n[other]\r\n");
    EXPECT_EQ(s.Int(L"robot", L"COUNT", 9), 2);
    EXPECT_EQ(s.Int(L"Robot", L"Hex", 9), 16);
    EXPECT_EQ(s.Int(L"Robot", L"Bad", 9), 9);
    EXPECT_EQ(s.Int(L"Robot", L"Missing", 9), 9);
    EXPECT_EQ(s.Int(L"Nowhere", L"Count", 9), 9);
    EXPECT_TRUE(s.Bool(L"Robot", L"Duplex", false));
    EXPECT_TRUE(s.Bool(L"Robot", L"Name", true));
    EXPECT_DOUBLE_EQ(s.Real(L"Robot", L"Speed", 0), 2.5);
    EXPECT_EQ(s.String(L"Robot", L"Name", L""), L"Sch\u00f6n");
    EXPECT_EQ(s.List(L"Robot", L"Discs"), (std::vector<std::wstring>{L"3:blank", L"4:used:700"}));
    EXPECT_EQ(s.Keys(L"Robot").size(), 7u);
    EXPECT_TRUE(s.Keys(L"other").empty());
}

TEST_F(LabTest, MissingScenarioIsEmpty) {
    EXPECT_EQ(lab::Scenario::Load().Int(L"Robot", L"Count", 1), 1);
}

TEST_F(LabTest, FailureIsInjectedAtTheNamedCallsOnly) {
    WriteScenario("[Failures]\nKAVO.DiscWrite = 2:-1, 4:-7\nKAVO.Verify = *:15\n");
    std::vector<long long> seen;
    for (int i = 0; i < 5; ++i) seen.push_back(lab::InjectedFailure("KAVO", "DiscWrite").value_or(0));
    EXPECT_EQ(seen, (std::vector<long long>{0, -1, 0, -7, 0}));
    EXPECT_EQ(lab::InjectedFailure("kavo", "verify"), 15);
    EXPECT_EQ(lab::InjectedFailure("KAVO", "Verify"), 15);
    EXPECT_FALSE(lab::InjectedFailure("KAVO", "Other"));
}

TEST_F(LabTest, DelayComesFromTheScenario) {
    WriteScenario("[Delays]\nROBOT.Load = 120\nROBOT.Negative = -5\n");
    EXPECT_EQ(lab::DelayMs("ROBOT", "Load"), 120u);
    EXPECT_EQ(lab::DelayMs("ROBOT", "Negative"), 0u);
    EXPECT_EQ(lab::DelayMs("ROBOT", "Unload"), 0u);
    const DWORD start = GetTickCount();
    lab::Delay("ROBOT", "Load");
    EXPECT_GE(GetTickCount() - start, 100u);
}

TEST_F(LabTest, TraceKeepsWholeLinesFromManyThreads) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 50; ++i)
                lab::Trace("T" + std::to_string(t), "Call", "i=" + std::to_string(i), std::string(200, 'x'));
        });
    for (auto& thread : threads) thread.join();
    const auto lines = TraceLines();
    ASSERT_EQ(lines.size(), 400u);
    for (const auto& line : lines) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
        EXPECT_EQ(line.substr(line.size() - 201), std::string(200, 'x') + "\r");
    }
}

TEST_F(LabTest, CallsAreCountedAcrossProcesses) {
    WriteScenario("[Failures]\nHAMMER.Hit = 150:5, 299:5\n");
    std::vector<testsupport::ChildProcess> children;
    for (int i = 0; i < 3; ++i)
        children.push_back(testsupport::StartProgram(L"\"" + testsupport::BinDir() + L"lab_hammer.exe\" 100"));
    DWORD failures = 0;
    for (auto& child : children) {
        ASSERT_TRUE(child.Started());
        const auto code = child.Wait(60000);
        ASSERT_TRUE(code);
        failures += *code;
    }
    // 300 calls in all: exactly the 150th and 299th failed, whichever process made them.
    EXPECT_EQ(failures, 2u);
    EXPECT_EQ(lab::InjectedFailure("HAMMER", "Hit"), std::nullopt);
    EXPECT_NE(testsupport::ReadFileBytes(lab_.File(L"calls.ini")).find("HAMMER.Hit=301"), std::string::npos);
    EXPECT_EQ(TraceLines().size(), 300u);
}

TEST_F(LabTest, StateLockIsReentrantOnOneThreadAndExclusiveAcrossThreads) {
    int shared = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&shared] {
            for (int i = 0; i < 100; ++i) {
                lab::StateLock outer;
                lab::StateLock inner;
                const int seen = shared;
                Sleep(0);
                shared = seen + 1;
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(shared, 400);
}

TEST_F(LabTest, WholeFileWriteReplacesAtomically) {
    const std::wstring path = lab::PathIn(L"state.ini");
    EXPECT_FALSE(lab::ReadWholeFile(path));
    lab::WriteWholeFile(path, "first");
    lab::WriteWholeFile(path, "second");
    EXPECT_EQ(lab::ReadWholeFile(path), "second");
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
