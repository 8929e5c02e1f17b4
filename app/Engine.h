// The burning engine binding: owned engine handles and the opening every disc operation starts with
// (engine, drive list, project, the drive of the writer's letter).
#pragma once

#include <string>

#include "Kavo.h"

namespace pagorin {

// Owns one engine handle and gives it back with KAVO_Release.
class KavoHandle {
public:
    KavoHandle() = default;
    explicit KavoHandle(KAVO_HANDLE handle) : handle_(handle) {}
    KavoHandle(KavoHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    KavoHandle& operator=(KavoHandle&& other) noexcept;
    KavoHandle(const KavoHandle&) = delete;
    KavoHandle& operator=(const KavoHandle&) = delete;
    ~KavoHandle() { Reset(); }

    KAVO_HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(KAVO_HANDLE handle = nullptr);

private:
    KAVO_HANDLE handle_ = nullptr;
};

enum class ProjectKind { None, Data, Erase };

// The handles of one disc operation. Members are released in reverse order: tree, disc, drive, project,
// engine.
struct EngineSession {
    KavoHandle Engine;
    KavoHandle Project;
    KavoHandle Drive;
    KavoHandle Disc;
    KavoHandle Tree;
};

// Creates the engine, builds its drive list, creates the project of `kind` and opens the drive whose path
// begins with `letter`. False when any of that failed (what was obtained is released with `session`).
bool OpenEngineDrive(char letter, ProjectKind kind, EngineSession& session);

// The engine's system text and its last error, "ERROR: %s (%d)"; clears the last error.
std::string EngineDiagnostics(KAVO_HANDLE engine);
// The text of the engine's last error ("" when there is none).
std::string LastEngineError();

}  // namespace pagorin
