// The mutation loop's harness: options, the mutator, and the guards of each input. A watchdog thread of its
// own reports every fatal failure (the input's time ran out, a crash, a huge allocation), so a report also
// comes out of a thread whose stack has overflowed or which hangs inside the parser.
#include "FuzzSupport.h"

#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <new>
#include <sstream>
#include <typeinfo>

namespace {
// Freed guarded blocks become reusable address space again (after each input).
void ReleaseFreedGuardedBlocks();
}  // namespace

namespace fuzz {

// ---------------------------------------------------------------------------------------------------------
// Options

Options& TheOptions() {
    static Options options;
    return options;
}

namespace {

bool TakeNumber(const char* arg, const char* name, uint64_t& value) {
    const size_t length = std::strlen(name);
    if (std::strncmp(arg, name, length) != 0) return false;
    char* end = nullptr;
    value = std::strtoull(arg + length, &end, 10);
    if (end == arg + length || *end != '\0') {
        std::fprintf(stderr, "malformed option %s\n", arg);
        std::exit(2);
    }
    return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv) {
    Options& options = TheOptions();
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        uint64_t limit = 0;
        if (TakeNumber(arg, "--count=", options.Count)) {
            options.CountGiven = true;
            continue;
        }
        if (TakeNumber(arg, "--seed=", options.Seed) || TakeNumber(arg, "--start=", options.Start))
            continue;
        if (TakeNumber(arg, "--time-limit=", limit)) {
            options.TimeLimitMs = unsigned(limit);
        } else if (std::strncmp(arg, "--replay=", 9) == 0) {
            options.ReplayFile = arg + 9;
        } else {
            std::fprintf(stderr, "unknown option %s (known: --seed= --count= --start= --replay= --time-limit=)\n", arg);
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Random inputs

uint64_t Random::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

Mutator::Mutator(std::vector<Bytes> corpus, std::vector<Bytes> tokens, size_t maxSize)
    : corpus_(std::move(corpus)), tokens_(std::move(tokens)), maxSize_(maxSize) {
    if (corpus_.empty()) corpus_.emplace_back();
}

Bytes Mutator::Make(Random& random) const {
    Bytes data = corpus_[random.Below(corpus_.size())];
    size_t edits = 1 + random.Below(4);
    if (random.OneIn(4)) edits += random.Below(12);
    for (size_t i = 0; i < edits; ++i) MutateOnce(data, random);
    if (data.size() > maxSize_) data.resize(maxSize_);
    return data;
}

namespace {

const uint8_t InterestingBytes[] = {0, 1, 0x7F, 0x80, 0xFF, ' ', '\n', '\r', '"', '\'', '\\', '|', '=', '[', ']',
                                    '<', '>', '/', ',', '.', '-', '+', '#', '%', ':', 0xC0, 0xEF, 0xFE};
const uint32_t InterestingWords[] = {0,          1,          0x7F,       0x80,       0xFF,       0x100,
                                     0x7FFF,     0x8000,     0xFFFF,     0x10000,    0xFEFF,     0xFFFE,
                                     0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 0x40000000, 0x01000000,
                                     0x00100000, 0x7FFFFFFE};

// A piece of the data: a start and a length of at most `most` (both 0 for empty data).
std::pair<size_t, size_t> Piece(const Bytes& data, Random& random, size_t most) {
    if (data.empty()) return {0, 0};
    const size_t start = random.Below(data.size());
    const size_t length = 1 + random.Below(std::min(most, data.size() - start));
    return {start, length};
}

}  // namespace

void Mutator::MutateOnce(Bytes& data, Random& random) const {
    const size_t at = random.Below(data.size() + 1);  // an insertion point
    switch (random.Below(14)) {
    case 0:  // a bit
        if (!data.empty()) data[random.Below(data.size())] ^= char(1 << random.Below(8));
        break;
    case 1:  // a byte
        if (!data.empty()) data[random.Below(data.size())] = char(random.Next());
        break;
    case 2:
        if (!data.empty()) data[random.Below(data.size())] = char(InterestingBytes[random.Below(sizeof InterestingBytes)]);
        break;
    case 3: {  // a little-endian number of 1, 2 or 4 bytes, often a length field's
        uint32_t value = random.OneIn(3) ? uint32_t(random.Next()) : InterestingWords[random.Below(std::size(InterestingWords))];
        const size_t width = size_t(1) << random.Below(3);
        if (data.size() < width) break;
        const size_t pos = random.Below(data.size() - width + 1);
        for (size_t i = 0; i < width; ++i) data[pos + i] = char(value >> (8 * i));
        break;
    }
    case 4: {  // random bytes
        Bytes extra(1 + random.Below(16), '\0');
        for (char& c : extra) c = char(random.Next());
        data.insert(at, extra);
        break;
    }
    case 5: {
        auto [start, length] = Piece(data, random, 64);
        data.erase(start, length);
        break;
    }
    case 6: {  // a piece copied elsewhere
        auto [start, length] = Piece(data, random, 256);
        data.insert(at, data.substr(start, length));
        break;
    }
    case 7: {  // a short piece repeated, often many times: deep nesting, long lines, long names
        auto [start, length] = Piece(data, random, 8);
        const size_t times = random.OneIn(2) ? 1 + random.Below(20) : 1 + random.Below(4000);
        const Bytes piece = data.substr(start, length);
        Bytes run;
        run.reserve(piece.size() * times);
        for (size_t i = 0; i < times && run.size() < maxSize_; ++i) run += piece;
        data.insert(at, run);
        break;
    }
    case 8:
    case 9: {  // a token of the format, inserted or in place of a piece
        if (tokens_.empty()) break;
        const Bytes& token = tokens_[random.Below(tokens_.size())];
        if (random.OneIn(2) && !data.empty()) {
            auto [start, length] = Piece(data, random, token.size() + 1);
            data.replace(start, length, token);
        } else {
            data.insert(at, token);
        }
        break;
    }
    case 10: {  // the front of this and the back of another member
        const Bytes& other = corpus_[random.Below(corpus_.size())];
        data = data.substr(0, at) + other.substr(random.Below(other.size() + 1));
        break;
    }
    case 11:
        data.resize(at);
        break;
    case 12:
        if (!data.empty()) data[random.Below(data.size())] += char(int(random.Below(71)) - 35);
        break;
    case 13: {  // two pieces swapped
        auto [a, aLength] = Piece(data, random, 32);
        auto [b, bLength] = Piece(data, random, 32);
        if (a > b) {
            std::swap(a, b);
            std::swap(aLength, bLength);
        }
        if (a + aLength > b) break;
        const Bytes first = data.substr(a, aLength), second = data.substr(b, bLength);
        data.replace(b, bLength, first);
        data.replace(a, aLength, second);
        break;
    }
    }
}

Bytes InputReader::Take(size_t n) {
    const size_t count = std::min(n, input_.size() - at_);
    Bytes piece = input_.substr(at_, count);
    at_ += count;
    return piece;
}

bool Sampled(const Bytes& input, unsigned n) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (unsigned char c : input) hash = (hash ^ c) * 16777619u;
    return n <= 1 || hash % n == 0;
}

Bytes Utf16Bytes(const std::wstring& text) {
    Bytes bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t c : text) {
        bytes += char(c & 0xFF);
        bytes += char((c >> 8) & 0xFF);
    }
    return bytes;
}

std::vector<Bytes> Utf16Tokens(std::initializer_list<const wchar_t*> tokens) {
    std::vector<Bytes> bytes;
    for (const wchar_t* token : tokens) bytes.push_back(Utf16Bytes(token));
    return bytes;
}

std::wstring FromUtf16Bytes(const Bytes& bytes) {
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) text += wchar_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
    return text;
}

// ---------------------------------------------------------------------------------------------------------
// Guards: allocations are counted by this program's operator new (below); the watchdog reports.

namespace {

std::atomic<size_t> liveBytes{0};
std::atomic<bool> allocationGuard{false};
std::atomic<size_t> guardBaseline{0};

enum class Fatal { None, Hang, Crash, Allocation, Terminate };

struct CurrentInput {
    std::string Name;
    std::string Test;  // the GoogleTest case running, for the command that repeats a failure
    const Bytes* Input = nullptr;
    uint64_t Index = 0;
    std::atomic<bool> Running{false};
    std::atomic<ULONGLONG> StartTick{0};
    std::atomic<Fatal> Failure{Fatal::None};
    char Detail[256] = {};  // written by the failing thread before it signals; no allocation in a crash
    HANDLE FailureEvent = nullptr;
    HANDLE ReportedEvent = nullptr;
};
CurrentInput current;

// The input's file in the build tree's folder for fuzz inputs (never the folder a run by hand starts in, which
// may be the repository), as a full path; empty when it could not be written.
std::string WriteInputFile(const std::string& name, uint64_t seed, uint64_t index, const Bytes& input) {
    CreateDirectoryA(FUZZ_INPUT_DIR, nullptr);
    const std::string file = std::string(FUZZ_INPUT_DIR "/fuzz-") + name + "-" + std::to_string(seed) + "-" +
                             std::to_string(index) + ".bin";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(input.data(), std::streamsize(input.size()));
    out.close();
    if (!out) return {};
    char full[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameA(file.c_str(), sizeof full, full, nullptr);
    return length && length < sizeof full ? std::string(full) : file;
}

// The report of a failure: what, where in the run, and how to repeat it.
std::string FailureReport(const std::string& what) {
    const Options& options = TheOptions();
    std::ostringstream report;
    report << "[fuzz] " << current.Name << ": FAILED at input " << current.Index;
    if (options.ReplayFile.empty()) report << " of seed " << options.Seed;
    report << ": " << what << "\n";
    if (current.Input) {
        const std::string file = WriteInputFile(current.Name, options.Seed, current.Index, *current.Input);
        report << "[fuzz]   input (" << current.Input->size() << " bytes) written to "
               << (file.empty() ? "(could not be written)" : file) << "\n";
        report << "[fuzz]   again: --gtest_filter=" << current.Test << " --seed=" << options.Seed
               << " --start=" << current.Index << " --count=1";
        if (!file.empty()) report << "   or   --gtest_filter=" << current.Test << " --replay=" << file;
        report << "\n";
    }
    return report.str();
}

const char* FatalName(Fatal fatal) {
    switch (fatal) {
    case Fatal::Hang: return "no answer within the time limit (hang)";
    case Fatal::Crash: return "crash";
    case Fatal::Allocation: return "huge allocation";
    case Fatal::Terminate: return "terminated (an exception left a noexcept function, or abort)";
    default: return "failure";
    }
}

// Runs on the watchdog thread: reports and ends the process, whatever state the failing thread is in.
[[noreturn]] void ReportFatalAndExit() {
    allocationGuard = false;
    const Fatal fatal = current.Failure.load();
    std::string what = FatalName(fatal);
    if (current.Detail[0]) what += std::string(", ") + current.Detail;
    const std::string report = FailureReport(what);
    std::fputs(report.c_str(), stdout);
    std::fflush(stdout);
    SetEvent(current.ReportedEvent);
    TerminateProcess(GetCurrentProcess(), 3);
    std::abort();
}

DWORD WINAPI WatchdogMain(void*) {
    for (;;) {
        if (WaitForSingleObject(current.FailureEvent, 100) == WAIT_OBJECT_0) ReportFatalAndExit();
        const Options& options = TheOptions();
        if (current.Running && GetTickCount64() - current.StartTick > options.TimeLimitMs) {
            Fatal none = Fatal::None;
            if (current.Failure.compare_exchange_strong(none, Fatal::Hang)) {
                std::snprintf(current.Detail, sizeof current.Detail, "%u ms", options.TimeLimitMs);
                ReportFatalAndExit();
            }
        }
    }
}

// Called on the failing thread: hands the report to the watchdog and waits for the end.
[[noreturn]] void SignalFatal(Fatal fatal, const char* detail) {
    allocationGuard = false;
    Fatal none = Fatal::None;
    if (current.Failure.compare_exchange_strong(none, fatal)) {
        std::snprintf(current.Detail, sizeof current.Detail, "%s", detail);
        SetEvent(current.FailureEvent);
    }
    WaitForSingleObject(current.ReportedEvent, 30000);
    TerminateProcess(GetCurrentProcess(), 3);
    std::abort();
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers) {
    // Little stack and no allocation here: the stack may be nearly gone. The watchdog writes the report.
    allocationGuard = false;
    Fatal none = Fatal::None;
    if (current.Failure.compare_exchange_strong(none, Fatal::Crash)) {
        const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
        const auto address = reinterpret_cast<unsigned long long>(record->ExceptionAddress);
        wsprintfA(current.Detail, "exception %08lX at %08lX%08lX", static_cast<unsigned long>(record->ExceptionCode),
                  static_cast<unsigned long>(address >> 32), static_cast<unsigned long>(address));
        SetEvent(current.FailureEvent);
    }
    WaitForSingleObject(current.ReportedEvent, 30000);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

void OnTerminate() { SignalFatal(Fatal::Terminate, "std::terminate"); }
void OnAbortSignal(int) { SignalFatal(Fatal::Terminate, "abort"); }

void InstallGuards() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    current.FailureEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    current.ReportedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetUnhandledExceptionFilter(CrashFilter);
    std::set_terminate(OnTerminate);
    std::signal(SIGABRT, OnAbortSignal);
    // A thread with a stack of its own, so that it can report a stack overflow of the parser's thread.
    HANDLE watchdog = CreateThread(nullptr, 256 * 1024, WatchdogMain, nullptr, 0, nullptr);
    if (watchdog) CloseHandle(watchdog);
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.PagefileUsage : 0;
}

DWORD HandleCount() {
    DWORD count = 0;
    return GetProcessHandleCount(GetCurrentProcess(), &count) ? count : 0;
}

std::string DescribeEscaped() {
    try {
        throw;
    } catch (const Violation& violation) {
        return std::string("broken invariant: ") + violation.what();
    } catch (const std::exception& e) {
        return std::string("undocumented exception escaped the parser: ") + typeid(e).name() + ": " + e.what();
    } catch (...) {
        return "an exception of unknown type escaped the parser";
    }
}

// One input under the guards; a non-empty text describes a failure that the run survived.
std::string RunOne(const Target& target, const Bytes& input, uint64_t index, RunResult& result) {
    current.Input = &input;
    current.Index = index;
    guardBaseline = liveBytes.load();
    current.StartTick = GetTickCount64();
    current.Running = true;
    allocationGuard = true;
    std::string failure;
    try {
        (target(input) == Outcome::Accepted ? result.Accepted : result.Rejected)++;
    } catch (...) {
        allocationGuard = false;
        failure = DescribeEscaped();
    }
    allocationGuard = false;
    current.Running = false;
    ReleaseFreedGuardedBlocks();
    ++result.Inputs;
    return failure;
}

Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

namespace {

void BeginRun(const std::string& name) {
    InstallGuards();
    current.Name = name;
    if (const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info())
        current.Test = std::string(test->test_suite_name()) + "." + test->name();
}

}  // namespace

RunResult RunInput(const std::string& name, const Target& target, const Bytes& input) {
    BeginRun(name);
    RunResult result;
    const std::string failure = RunOne(target, input, 0, result);
    if (!failure.empty()) {
        result.Failed = true;
        ADD_FAILURE() << FailureReport(failure);
    }
    current.Input = nullptr;
    return result;
}

RunResult Run(const std::string& name, const Mutator& mutator, const Target& target) {
    const Options& options = TheOptions();
    if (!options.ReplayFile.empty()) {
        RunResult result = RunInput(name, target, ReadWholeFile(options.ReplayFile));
        std::printf("[fuzz] %s: replayed %s: %s\n", name.c_str(), options.ReplayFile.c_str(),
                    result.Failed ? "FAILED" : result.Accepted ? "accepted" : "rejected");
        return result;
    }
    BeginRun(name);
    RunResult result;
    auto fail = [&](const std::string& what) {
        result.Failed = true;
        ADD_FAILURE() << FailureReport(what);
    };

    RunResult corpusResult;
    for (size_t k = 0; k < mutator.Corpus().size() && !result.Failed; ++k) {
        const std::string failure = RunOne(target, mutator.Corpus()[k], k, corpusResult);
        if (!failure.empty()) fail("corpus member " + std::to_string(k) + ": " + failure);
    }
    if (!result.Failed && corpusResult.Accepted == 0) fail("no corpus member is accepted: the mutations would test nothing");
    if (result.Failed) return result;

    const ULONGLONG started = GetTickCount64();
    const size_t runBaseline = liveBytes.load(), privateBaseline = PrivateBytes();
    const DWORD handleBaseline = HandleCount();
    std::printf("[fuzz] %s: %llu inputs from seed %llu, starting at input %llu\n", name.c_str(),
                static_cast<unsigned long long>(options.Count), static_cast<unsigned long long>(options.Seed),
                static_cast<unsigned long long>(options.Start));
    std::fflush(stdout);
    for (uint64_t i = 0; i < options.Count && !result.Failed; ++i) {
        const uint64_t index = options.Start + i;
        Random random(options.Seed ^ (index * 0xD1B54A32D192ED03ull));
        const Bytes input = mutator.Make(random);
        const std::string failure = RunOne(target, input, index, result);
        if (!failure.empty()) {
            fail(failure);
            break;
        }
        // What stays behind after the inputs: memory of the parser, of the system, handles.
        if (liveBytes.load() > runBaseline + options.AllocationLimit / 4) {
            fail("memory kept across inputs grows beyond " + std::to_string(options.AllocationLimit / 4) + " bytes");
        } else if (i % 1000 == 999) {
            const size_t privateBytes = PrivateBytes();
            const DWORD handles = HandleCount();
            if (privateBytes > privateBaseline + options.AllocationLimit * 2)
                fail("the process's memory grew by " + std::to_string(privateBytes - privateBaseline) + " bytes");
            else if (handleBaseline && handles > handleBaseline + 1000)
                fail("the process holds " + std::to_string(handles - handleBaseline) + " handles more than before");
        }
    }
    current.Input = nullptr;
    std::printf("[fuzz] %s: %llu inputs from seed %llu: %llu accepted, %llu rejected, %.1f s%s\n", name.c_str(),
                static_cast<unsigned long long>(result.Inputs), static_cast<unsigned long long>(options.Seed),
                static_cast<unsigned long long>(result.Accepted), static_cast<unsigned long long>(result.Rejected),
                double(GetTickCount64() - started) / 1000, result.Failed ? " (FAILED)" : "");
    std::fflush(stdout);
    return result;
}

}  // namespace fuzz

// ---------------------------------------------------------------------------------------------------------
// Counted allocations of the whole fuzz program: a header in front of each block holds its size. While a
// parser runs, larger blocks end right at a page the program may not touch, so reading or writing past
// their end crashes at once instead of passing unseen; freed, their pages stay reserved and inaccessible
// until the input is done, so a use after the free crashes too.

namespace {

constexpr size_t PageSize = 4096, GuardedFrom = 512;
constexpr uint32_t PlainBlock = 0x504C4E31, GuardedBlock = 0x47524431;

// Blocks stay as aligned as malloc gives them: the header's size is a multiple of 16 on both builds.
struct BlockHeader {
    size_t Size;
    void* Base;  // of a guarded block's pages
    uint32_t Kind;
    uint32_t Padding[sizeof(void*) == 8 ? 3 : 1];
};
static_assert(sizeof(BlockHeader) % 16 == 0, "blocks keep their alignment");

size_t GuardedSpan(size_t size) {
    const size_t rounded = (size + 15) & ~size_t(15);
    return (rounded + sizeof(BlockHeader) + PageSize - 1) / PageSize * PageSize + PageSize;
}

void* Guarded(size_t size) {
    const size_t rounded = (size + 15) & ~size_t(15);
    const size_t dataPages = GuardedSpan(size) - PageSize;
    auto* base = static_cast<unsigned char*>(VirtualAlloc(nullptr, dataPages + PageSize, MEM_RESERVE | MEM_COMMIT,
                                                          PAGE_READWRITE));
    DWORD old = 0;
    if (!base) return nullptr;
    if (!VirtualProtect(base + dataPages, PageSize, PAGE_NOACCESS, &old)) {
        VirtualFree(base, 0, MEM_RELEASE);
        return nullptr;
    }
    auto* user = base + dataPages - rounded;
    auto* header = reinterpret_cast<BlockHeader*>(user) - 1;
    *header = BlockHeader{size, base, GuardedBlock, {}};
    return user;
}

void* CountedAllocate(size_t size) {
    using fuzz::Fatal;
    void* user = nullptr;
    if (fuzz::allocationGuard) {
        const size_t limit = fuzz::TheOptions().AllocationLimit;
        if (size > limit || fuzz::liveBytes.load() + size > fuzz::guardBaseline.load() + limit) {
            char detail[64];
            std::snprintf(detail, sizeof detail, "%llu bytes asked for", static_cast<unsigned long long>(size));
            fuzz::SignalFatal(Fatal::Allocation, detail);
        }
        if (size >= GuardedFrom) user = Guarded(size);
    }
    if (!user) {
        auto* header = static_cast<BlockHeader*>(std::malloc(size + sizeof(BlockHeader)));
        if (!header) throw std::bad_alloc();
        *header = BlockHeader{size, nullptr, PlainBlock, {}};
        user = header + 1;
    }
    fuzz::liveBytes += size;
    return user;
}

// Freed guarded blocks, their address space kept until the input ends (the oldest goes when it is full).
class Quarantine {
public:
    void Add(void* base, size_t bytes) {
        VirtualFree(base, bytes, MEM_DECOMMIT);
        Lock();
        if (count_ == std::size(bases_)) {
            VirtualFree(bases_[oldest_], 0, MEM_RELEASE);
            bases_[oldest_] = base;
            oldest_ = (oldest_ + 1) % std::size(bases_);
        } else {
            bases_[(oldest_ + count_++) % std::size(bases_)] = base;
        }
        Unlock();
    }
    void ReleaseAll() {
        Lock();
        for (size_t i = 0; i < count_; ++i) VirtualFree(bases_[(oldest_ + i) % std::size(bases_)], 0, MEM_RELEASE);
        count_ = oldest_ = 0;
        Unlock();
    }

private:
    void Lock() {
        while (busy_.test_and_set(std::memory_order_acquire)) SwitchToThread();
    }
    void Unlock() { busy_.clear(std::memory_order_release); }

    void* bases_[4096] = {};
    size_t count_ = 0, oldest_ = 0;
    std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
};
Quarantine quarantine;

void ReleaseFreedGuardedBlocks() { quarantine.ReleaseAll(); }

void CountedFree(void* pointer) {
    if (!pointer) return;
    auto* header = static_cast<BlockHeader*>(pointer) - 1;
    fuzz::liveBytes -= header->Size;
    if (header->Kind == GuardedBlock)
        quarantine.Add(header->Base, GuardedSpan(header->Size));
    else
        std::free(header);
}

}  // namespace

void* operator new(size_t size) { return CountedAllocate(size); }
void* operator new[](size_t size) { return CountedAllocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAllocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* pointer) noexcept { CountedFree(pointer); }
void operator delete[](void* pointer) noexcept { CountedFree(pointer); }
void operator delete(void* pointer, size_t) noexcept { CountedFree(pointer); }
void operator delete[](void* pointer, size_t) noexcept { CountedFree(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { CountedFree(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { CountedFree(pointer); }
