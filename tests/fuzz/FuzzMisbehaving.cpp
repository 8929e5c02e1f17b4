// Targets that fail on purpose, one way each, for the harness's own tests (which run this program and read
// its report); ctest does not run it by itself. Every corpus member is "fine", every mutated input is not.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "FuzzSupport.h"

using fuzz::Bytes;
using fuzz::Outcome;

namespace {

void RunMisbehaving(const char* name, void (*misbehave)()) {
    fuzz::Run(name, fuzz::Mutator({"fine"}, {}), [misbehave](const Bytes& input) {
        if (input != "fine") misbehave();
        return Outcome::Accepted;
    });
}

int Deeper(int depth);
int (*volatile deeper)(int) = Deeper;  // called through a pointer the compiler cannot follow

int Deeper(int depth) {
    volatile char frame[512] = {};
    frame[depth % 512] = char(depth);
    return deeper(depth + 1) + frame[0];
}

}  // namespace

TEST(Misbehaving, Crash) {
    RunMisbehaving("Crash", [] { *static_cast<volatile int*>(nullptr) = 1; });
}

TEST(Misbehaving, StackOverflow) {
    RunMisbehaving("StackOverflow", [] { Deeper(0); });
}

TEST(Misbehaving, ReadPastABlock) {
    RunMisbehaving("ReadPastABlock", [] {
        std::vector<char> block(1000);
        volatile size_t past = 1010;
        std::printf("%d\n", static_cast<volatile const char*>(block.data())[past]);
    });
}

TEST(Misbehaving, UseAfterFree) {
    RunMisbehaving("UseAfterFree", [] {
        char* block = new char[1000];
        volatile char* volatile kept = block;
        delete[] block;
        kept[10] = 1;
    });
}

TEST(Misbehaving, Hang) {
    RunMisbehaving("Hang", [] {
        for (;;) Sleep(10);
    });
}

std::vector<char>* kept = nullptr;

TEST(Misbehaving, HugeAllocation) {
    RunMisbehaving("HugeAllocation", [] { kept = new std::vector<char>(size_t(1) << 30); });
}

TEST(Misbehaving, UndocumentedException) {
    RunMisbehaving("UndocumentedException", [] { throw std::logic_error("not the parser's own"); });
}

// Prints a hash of every input it is given, so that runs can be compared.
TEST(Misbehaving, RecordInputs) {
    fuzz::Run("Record", fuzz::Mutator({"alpha", "beta gamma"}, {"<", ">"}), [](const Bytes& input) {
        uint32_t hash = 2166136261u;
        for (unsigned char c : input) hash = (hash ^ c) * 16777619u;
        std::printf("recorded %08x\n", static_cast<unsigned>(hash));
        return Outcome::Accepted;
    });
}
