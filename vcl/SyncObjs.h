// Synchronisation objects: a critical section with the library's names.
#pragma once

#include "System.h"

namespace vcl {

class TCriticalSection : public TObject {
    VCL_CLASS(TCriticalSection, TObject)
    TCriticalSection() { InitializeCriticalSection(&section_); }
    ~TCriticalSection() override { DeleteCriticalSection(&section_); }
    TCriticalSection(const TCriticalSection&) = delete;
    TCriticalSection& operator=(const TCriticalSection&) = delete;

    void Acquire() { EnterCriticalSection(&section_); }
    void Release() { LeaveCriticalSection(&section_); }
    void Enter() { Acquire(); }
    void Leave() { Release(); }
    bool TryEnter() { return TryEnterCriticalSection(&section_) != 0; }

private:
    CRITICAL_SECTION section_;
};

// Holds the lock for a scope.
class TCriticalSectionLock {
public:
    explicit TCriticalSectionLock(TCriticalSection& section) : section_(section) { section_.Acquire(); }
    ~TCriticalSectionLock() { section_.Release(); }
    TCriticalSectionLock(const TCriticalSectionLock&) = delete;
    TCriticalSectionLock& operator=(const TCriticalSectionLock&) = delete;

private:
    TCriticalSection& section_;
};

}  // namespace vcl
