// The fuzz harness proves itself: a program whose targets fail on purpose is run, and each way of failing
// must end the run with its report (seed, input index, the input in a file) and an exit code other than 0.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

using namespace testsupport;

namespace {

struct Finished {
    std::optional<DWORD> ExitCode;
    std::string Output;
};

// Runs the misbehaving program with a test filter and options, its output captured, in `folder`.
Finished RunMisbehaving(const std::wstring& test, const std::wstring& options, const TempDir& folder,
                        DWORD timeoutMs = 90000) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const std::wstring outputPath = folder.File(L"output.txt");
    HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + BinDir() + L"fuzz_misbehaving.exe\" --gtest_filter=Misbehaving." + test + L" " + options;
    Finished finished;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.Path().c_str(), &startup, &process)) {
        CloseHandle(process.hThread);
        ChildProcess child(process.hProcess, process.dwProcessId);
        finished.ExitCode = child.Wait(timeoutMs);
        if (!finished.ExitCode) child.Kill();
    }
    CloseHandle(output);
    finished.Output = ReadFileBytes(outputPath);
    return finished;
}

// The input that a report says it wrote, read and then removed; empty unless it lies in the build tree's folder
// for fuzz inputs (not in the folder the run started in) under the name of the test, seed 77 and input 0.
std::string ReportedInput(const Finished& run, const wchar_t* test) {
    const std::string said = "written to ";
    const size_t at = run.Output.find(said);
    if (at == std::string::npos) return {};
    const size_t start = at + said.size();
    const std::wstring path = FromUtf8(run.Output.substr(start, run.Output.find_first_of("\r\n", start) - start));
    const std::wstring expected = std::wstring(L"\\fuzz-inputs\\fuzz-") + test + L"-77-0.bin";
    if (path.size() < expected.size() || path.compare(path.size() - expected.size(), expected.size(), expected) != 0)
        return {};
    const std::string input = ReadFileBytes(path);
    DeleteFileW(path.c_str());
    return input;
}

// The report of a fatal failure: what, the seed and index, the input's file, and an exit code of 3.
void ExpectFatalReport(const wchar_t* test, const char* what, const std::wstring& options = L"--seed=77") {
    TempDir folder;
    const Finished run = RunMisbehaving(test, options, folder);
    EXPECT_EQ(run.ExitCode, 3u) << run.Output;
    EXPECT_NE(run.Output.find(std::string("FAILED at input 0 of seed 77: ") + what), std::string::npos) << run.Output;
    EXPECT_NE(run.Output.find("--seed=77 --start=0 --count=1"), std::string::npos) << run.Output;
    EXPECT_FALSE(ReportedInput(run, test).empty()) << "the input was not written under the build tree\n" << run.Output;
}

std::string RecordedInputs(const std::wstring& options) {
    TempDir folder;
    const Finished run = RunMisbehaving(L"RecordInputs", options, folder);
    EXPECT_EQ(run.ExitCode, 0u) << run.Output;
    std::string inputs;
    for (size_t at = run.Output.find("recorded "); at != std::string::npos; at = run.Output.find("recorded ", at + 1))
        inputs += run.Output.substr(at + 9, 8);
    return inputs;
}

}  // namespace

TEST(FuzzHarness, CrashIsReportedWithSeedIndexAndInput) { ExpectFatalReport(L"Crash", "crash, exception C0000005"); }

TEST(FuzzHarness, StackOverflowIsReported) {
    // wine64 ends a thread whose stack overflowed without running its handlers: the watchdog reports a hang.
    const bool wine64 = sizeof(void*) == 8 && RunningUnderWine();
    ExpectFatalReport(L"StackOverflow", wine64 ? "no answer within the time limit (hang)" : "crash, exception C00000FD");
}

TEST(FuzzHarness, ReadingPastABlockCrashesAtOnce) { ExpectFatalReport(L"ReadPastABlock", "crash, exception C0000005"); }

TEST(FuzzHarness, UseOfAFreedBlockCrashesAtOnce) { ExpectFatalReport(L"UseAfterFree", "crash, exception C0000005"); }

TEST(FuzzHarness, HangIsReportedAfterTheTimeLimit) {
    ExpectFatalReport(L"Hang", "no answer within the time limit (hang), 1500 ms", L"--seed=77 --time-limit=1500");
}

TEST(FuzzHarness, HugeAllocationIsReportedBeforeItIsMade) {
    ExpectFatalReport(L"HugeAllocation", "huge allocation, 1073741824 bytes asked for");
}

TEST(FuzzHarness, UndocumentedExceptionFailsTheTestAndWritesTheInput) {
    TempDir folder;
    const Finished run = RunMisbehaving(L"UndocumentedException", L"--seed=77", folder);
    EXPECT_EQ(run.ExitCode, 1u) << run.Output;
    EXPECT_NE(run.Output.find("undocumented exception escaped the parser"), std::string::npos) << run.Output;
    EXPECT_NE(run.Output.find("not the parser's own"), std::string::npos) << run.Output;
    const std::string input = ReportedInput(run, L"UndocumentedException");
    ASSERT_FALSE(input.empty()) << run.Output;

    TempDir again;
    WriteFileBytes(again.File(L"input.bin"), input);
    const Finished replay = RunMisbehaving(L"UndocumentedException", L"--replay=input.bin", again);
    EXPECT_EQ(replay.ExitCode, 1u) << replay.Output;
    EXPECT_NE(replay.Output.find("replayed input.bin: FAILED"), std::string::npos) << replay.Output;
}

TEST(FuzzHarness, SeedAndIndexNameTheSameInputsEveryTime) {
    const std::string first = RecordedInputs(L"--seed=5 --count=40");
    EXPECT_EQ(first.size(), 42u * 8) << "two corpus members and forty inputs";
    EXPECT_EQ(RecordedInputs(L"--seed=5 --count=40"), first);
    EXPECT_NE(RecordedInputs(L"--seed=6 --count=40"), first);
    // Input 30 alone, as a report asks for it, is the 31st input of the whole run.
    EXPECT_EQ(RecordedInputs(L"--seed=5 --start=30 --count=1"), first.substr(0, 2 * 8) + first.substr(32 * 8, 8));
}
