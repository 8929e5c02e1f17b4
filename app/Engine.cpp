// The burning engine binding. The engine's texts belong to it and are copied at once.
#include "Engine.h"

#include <cctype>
#include <cstdio>

namespace pagorin {

KavoHandle& KavoHandle::operator=(KavoHandle&& other) noexcept
{
    if (this != &other) {
        Reset(other.handle_);
        other.handle_ = nullptr;
    }
    return *this;
}

void KavoHandle::Reset(KAVO_HANDLE handle)
{
    if (handle_)
        KAVO_Release(handle_);
    handle_ = handle;
}

namespace {

std::string Copy(const char* text)
{
    return text ? std::string(text) : std::string();
}

// Drive paths and robot letters may differ in case ("e:\" for writer E).
bool PathIsOnLetter(const char* path, char letter)
{
    return path && path[0] && std::toupper(static_cast<unsigned char>(path[0])) ==
                                  std::toupper(static_cast<unsigned char>(letter));
}

}  // namespace

bool OpenEngineDrive(char letter, ProjectKind kind, EngineSession& session)
{
    session.Engine.Reset(KAVO_Create(KAVO_VERSION));
    if (!session.Engine || !KAVO_EnumerateDrives(session.Engine.Get()))
        return false;
    if (kind == ProjectKind::Data)
        session.Project.Reset(KAVO_CreateDataProject(session.Engine.Get()));
    else if (kind == ProjectKind::Erase)
        session.Project.Reset(KAVO_CreateEraseProject(session.Engine.Get()));
    if (kind != ProjectKind::None && !session.Project)
        return false;
    int count = KAVO_GetDriveCount(session.Engine.Get());
    for (int i = 0; i < count; ++i) {
        KavoHandle drive(KAVO_OpenDrive(session.Engine.Get(), i));
        if (drive && PathIsOnLetter(KAVO_DriveGetPathA(drive.Get()), letter)) {
            session.Drive = std::move(drive);
            return true;
        }
    }
    return false;
}

std::string LastEngineError()
{
    int code = KAVO_GetLastError();
    if (code == KAVO_ERROR_NONE)
        return {};
    char line[64];
    std::snprintf(line, sizeof line, " (%d)", code);
    return Copy(KAVO_GetErrorMessageA(code)) + line;
}

std::string EngineDiagnostics(KAVO_HANDLE engine)
{
    int code = KAVO_GetLastError();
    std::string text = Copy(engine ? KAVO_GetSystemInfoTextA(engine) : nullptr) + "\n";
    char number[32];
    std::snprintf(number, sizeof number, " (%d)", code);
    text += "ERROR: " + Copy(KAVO_GetErrorMessageA(code)) + number + "\n";
    KAVO_ClearLastError();
    return text;
}

}  // namespace pagorin
