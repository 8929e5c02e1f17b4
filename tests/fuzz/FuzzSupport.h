// The mutation loop that feeds a parser many damaged inputs: a seeded mutator over a corpus of valid inputs,
// and a run in which each input has a time and an allocation bound. A crash, a hang, a huge allocation, an
// exception the parser does not document or a broken invariant stops the run with the seed, the input's
// index and the input written to a file, so the case can be replayed.
//
// Command line of a fuzz program (besides GoogleTest's own): --seed=N --count=N --start=N (the first input's
// index) --replay=FILE (runs only that input) --time-limit=MS (per input).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace fuzz {

using Bytes = std::string;

struct Options {
    uint64_t Seed = 20240601;
    uint64_t Count = 100000;
    bool CountGiven = false;  // --count= on the command line
    uint64_t Start = 0;
    std::string ReplayFile;
    unsigned TimeLimitMs = 20000;
    // One allocation beyond this, or this much live memory more than before the input, is a failure.
    size_t AllocationLimit = size_t(256) << 20;
};
Options& TheOptions();
// Takes the options above out of the command line; false (with a message) on a malformed one.
bool ParseOptions(int argc, char** argv);

// splitmix64: small, fast and the same on every build, so a seed names the same inputs everywhere.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    // 0 .. n-1 (0 when n is 0).
    size_t Below(size_t n) { return n ? size_t(Next() % n) : 0; }
    bool OneIn(size_t n) { return Below(n) == 0; }

private:
    uint64_t state_;
};

// Makes inputs from a corpus of valid ones: each a member changed by a few random edits (bits, bytes,
// little-endian numbers, inserted, deleted, repeated and swapped pieces, tokens of the format, splices).
class Mutator {
public:
    Mutator(std::vector<Bytes> corpus, std::vector<Bytes> tokens, size_t maxSize = 1 << 16);
    Bytes Make(Random& random) const;
    const std::vector<Bytes>& Corpus() const { return corpus_; }

private:
    void MutateOnce(Bytes& data, Random& random) const;

    std::vector<Bytes> corpus_;
    std::vector<Bytes> tokens_;
    size_t maxSize_;
};

// What a parser made of one input.
enum class Outcome { Accepted, Rejected };

// A broken invariant of a parser's result; thrown by Check.
struct Violation : std::runtime_error {
    using std::runtime_error::runtime_error;
};
inline void Check(bool condition, const std::string& what) {
    if (!condition) throw Violation(what);
}

// One input to the parser. It catches the parser's documented failure itself and answers Rejected; anything
// that escapes it is a failure of the run.
using Target = std::function<Outcome(const Bytes& input)>;

struct RunResult {
    uint64_t Inputs = 0, Accepted = 0, Rejected = 0;
    bool Failed = false;
};

// Runs the options' inputs (or the replayed one) through the target and prints a summary line. Every corpus
// member must be accepted first, or the mutations would test nothing. A failure is reported as a GoogleTest
// failure; a crash, hang or huge allocation ends the process after the report.
RunResult Run(const std::string& name, const Mutator& mutator, const Target& target);

// One input under the same guards, such as the input of a fault found earlier.
RunResult RunInput(const std::string& name, const Target& target, const Bytes& input);

// True for about one input in `n`, by a hash of the whole input: a target runs its costly part (files, the
// registry) on a sample of the inputs that mutations cannot skew, and a replayed input takes the same road.
bool Sampled(const Bytes& input, unsigned n);

// The bytes of a text in UTF-16LE, and back (an odd last byte is dropped).
Bytes Utf16Bytes(const std::wstring& text);
// Tokens of a UTF-16 format, as bytes.
std::vector<Bytes> Utf16Tokens(std::initializer_list<const wchar_t*> tokens);
std::wstring FromUtf16Bytes(const Bytes& bytes);

// Reads a small number from the front of an input, so that a target's choices live in the input itself
// and a replayed input repeats them.
class InputReader {
public:
    explicit InputReader(const Bytes& input) : input_(input) {}
    uint8_t Byte() { return at_ < input_.size() ? uint8_t(input_[at_++]) : 0; }
    uint32_t Word() { return Byte() | uint32_t(Byte()) << 8 | uint32_t(Byte()) << 16 | uint32_t(Byte()) << 24; }
    // The next `n` bytes (fewer at the end).
    Bytes Take(size_t n);
    Bytes Rest() { return Take(input_.size()); }
    bool AtEnd() const { return at_ >= input_.size(); }

private:
    const Bytes& input_;
    size_t at_ = 0;
};

}  // namespace fuzz
