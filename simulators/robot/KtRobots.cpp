// KTROBOTS20.DLL stand-in: moves the lab's discs between the input bin, the writers and the output and reject
// bins, and opens, closes and locks the writers' trays. Every call is traced and can be made to fail.
#include "Devices.h"
#include "KTRobots20.h"
#include "Lab.h"

#include <cstring>
#include <mutex>
#include <string>

namespace {

constexpr const char* kComponent = "KTROBOTS20";

// What one call ends with: its result code and the text GetMessage gives afterwards.
struct Outcome {
    int code;
    std::string message;
};

// Library state of this process (the lab's devices are shared across processes).
struct Library {
    std::mutex mutex;
    bool initialised = false;
    int activeRobot = -1;
    std::string workingPath;
    std::string lastMessage = "Ready";
};

Library& TheLibrary() {
    static Library library;
    return library;
}

std::string StandardMessage(int code) {
    switch (code) {
        case KT_ROBOTS_OK: return "Operation completed";
        case KT_ROBOTS_READY: return "Library ready";
        case KT_ROBOTS_DONE: return "Operation completed";
        case KT_ROBOTS_BAD_WRITER: return "Unknown writer or movement";
        case KT_ROBOTS_INVALID_ID: return "Invalid robot identifier";
        case KT_ROBOTS_NO_DISC: return "No disc in the writer";
        case KT_ROBOTS_WRITER_FULL: return "The writer already holds a disc";
        case KT_ROBOTS_TRAY_LOCKED: return "The writer's tray is locked";
        case KT_ROBOTS_INPUT_EMPTY: return "The input bin is empty";
        case KT_ROBOTS_FAILED: return "Operation failed";
        default: return "Robot error";
    }
}

Outcome Fail(int code) {
    return {code, StandardMessage(code)};
}

// Copies a lab text (UTF-8) as ANSI into a caller's buffer of `size` bytes, always terminated, never beyond it.
void CopyOut(char* buffer, size_t size, const std::string& utf8) {
    if (!buffer || size == 0) return;
    const std::string text = lab::Utf8ToAnsi(utf8);
    const size_t length = std::min(text.size(), size - 1);
    memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

std::string Letter(char letter) {
    return letter >= 0x21 && letter < 0x7f ? std::string(1, letter) : "#" + std::to_string(int(letter));
}

// Runs one exported call: injected failure or the delay, then the body; the outcome becomes the last message
// and a trace line. No exception leaves.
template <typename Body>
int Run(const char* function, const std::string& arguments, Body body) {
    Outcome outcome{KT_ROBOTS_ERROR, ""};
    try {
        if (const auto injected = lab::InjectedFailure(kComponent, function)) {
            outcome = Fail(int(*injected));
        } else {
            lab::Delay(kComponent, function);
            outcome = body();
        }
    } catch (const std::exception& error) {
        outcome = {KT_ROBOTS_ERROR, error.what()};
    } catch (...) {
        outcome = Fail(KT_ROBOTS_ERROR);
    }
    {
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        TheLibrary().lastMessage = outcome.message;
    }
    lab::Trace(kComponent, function, arguments, std::to_string(outcome.code));
    return outcome.code;
}

bool Initialised() {
    std::lock_guard<std::mutex> hold(TheLibrary().mutex);
    return TheLibrary().initialised;
}

bool IsActive(int robot) {
    std::lock_guard<std::mutex> hold(TheLibrary().mutex);
    return TheLibrary().initialised && TheLibrary().activeRobot == robot;
}

// The robot that carries a writer, when the library is ready and that robot active.
Outcome CheckRobotFor(const lab::Devices& devices, char letter) {
    if (!Initialised()) return {KT_ROBOTS_ERROR, "Library not initialised"};
    for (const auto& robot : devices.robots)
        for (char writer : robot.writers)
            if (writer == char(toupper(static_cast<unsigned char>(letter))))
                return IsActive(robot.id) ? Outcome{KT_ROBOTS_OK, ""} : Outcome{KT_ROBOTS_ERROR, "Robot not active"};
    return Fail(KT_ROBOTS_BAD_WRITER);
}

std::string DiscName(int id) {
    return "disc " + std::to_string(id);
}

// Changes one writer's tray under the lab lock.
template <typename Change>
Outcome WithWriter(char letter, Change change) {
    lab::StateLock lock;
    lab::Devices devices = lab::Devices::Load();
    lab::Writer* writer = devices.FindWriter(letter);
    if (!writer) return Fail(KT_ROBOTS_BAD_WRITER);
    const Outcome outcome = change(*writer);
    devices.Save();
    return outcome;
}

}  // namespace

extern "C" {

int WINAPI KT_Robots_Init(int reserved) {
    return Run("Init", "reserved=" + std::to_string(reserved), [] {
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        TheLibrary().initialised = true;
        TheLibrary().activeRobot = -1;
        return Outcome{KT_ROBOTS_OK, "Library ready"};
    });
}

int WINAPI KT_Robots_SetProperty(int property, const char* value) {
    const std::string text = lab::AnsiToUtf8(value ? value : "");
    return Run("SetProperty", "property=" + std::to_string(property) + ", value=" + text, [&] {
        if (property != KT_ROBOTS_PROPERTY_WORKING_PATH) return Fail(KT_ROBOTS_ERROR);
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        TheLibrary().workingPath = text;
        return Outcome{KT_ROBOTS_OK, "Working path set"};
    });
}

int WINAPI KT_Robots_Connect(int* count, int ids[KT_ROBOTS_MAX], int words[KT_ROBOTS_MAX],
                             unsigned char usable[KT_ROBOTS_MAX]) {
    return Run("Connect", "", [&] {
        if (!count || !ids || !words || !usable) return Fail(KT_ROBOTS_FAILED);
        if (!Initialised()) return Outcome{KT_ROBOTS_FAILED, "Library not initialised"};
        lab::StateLock lock;
        const lab::Devices devices = lab::Devices::Load();
        *count = int(devices.robots.size());
        for (size_t i = 0; i < devices.robots.size() && i < KT_ROBOTS_MAX; ++i) {
            ids[i] = devices.robots[i].id;
            words[i] = int(devices.robots[i].writers.size());
            usable[i] = devices.robots[i].usable ? 1 : 0;
        }
        return Outcome{KT_ROBOTS_OK, std::to_string(*count) + " robot(s) connected"};
    });
}

int WINAPI KT_Robots_GetRobotInfo(int robot, char* name, char* info, int size) {
    return Run("GetRobotInfo", "robot=" + std::to_string(robot) + ", size=" + std::to_string(size), [&] {
        if (!name || !info || size <= 0) return Fail(KT_ROBOTS_ERROR);
        lab::StateLock lock;
        const lab::Devices devices = lab::Devices::Load();
        const lab::Robot* found = devices.FindRobot(robot);
        if (!found) return Fail(KT_ROBOTS_INVALID_ID);
        CopyOut(name, size_t(size), found->name);
        CopyOut(info, size_t(size), found->info);
        return Outcome{KT_ROBOTS_OK, found->name};
    });
}

int WINAPI KT_Robots_Active(int robot, char* text1, char* text2, int size) {
    return Run("Active", "robot=" + std::to_string(robot) + ", size=" + std::to_string(size), [&] {
        if (!Initialised()) return Outcome{KT_ROBOTS_FAILED, "Library not initialised"};
        lab::StateLock lock;
        const lab::Devices devices = lab::Devices::Load();
        const lab::Robot* found = devices.FindRobot(robot);
        if (!found) return Fail(KT_ROBOTS_INVALID_ID);
        if (!found->usable) return Outcome{KT_ROBOTS_FAILED, "The robot is not usable"};
        if (size > 0) {
            CopyOut(text1, size_t(size), found->name);
            CopyOut(text2, size_t(size), "Active");
        }
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        TheLibrary().activeRobot = robot;
        return Outcome{KT_ROBOTS_DONE, found->name + " active"};
    });
}

int WINAPI KT_Robots_EnumDrives(int robot, int* count, char letters[KT_ROBOTS_MAX_WRITERS]) {
    return Run("EnumDrives", "robot=" + std::to_string(robot), [&] {
        if (!count || !letters) return Fail(KT_ROBOTS_ERROR);
        lab::StateLock lock;
        const lab::Devices devices = lab::Devices::Load();
        const lab::Robot* found = devices.FindRobot(robot);
        if (!found) return Fail(KT_ROBOTS_INVALID_ID);
        if (!IsActive(robot)) return Outcome{KT_ROBOTS_ERROR, "Robot not active"};
        *count = int(std::min<size_t>(found->writers.size(), KT_ROBOTS_MAX_WRITERS));
        for (int i = 0; i < *count; ++i) letters[i] = found->writers[i];
        return Outcome{KT_ROBOTS_OK, std::to_string(*count) + " writer(s)"};
    });
}

int WINAPI KT_Robots_GetDriveName(char letter, char name[KT_ROBOTS_DRIVE_NAME_SIZE]) {
    return Run("GetDriveName", "letter=" + Letter(letter), [&] {
        if (!name) return Fail(KT_ROBOTS_ERROR);
        CopyOut(name, KT_ROBOTS_DRIVE_NAME_SIZE, "");
        lab::StateLock lock;
        lab::Devices devices = lab::Devices::Load();
        const lab::Writer* writer = devices.FindWriter(letter);
        if (!writer) return Fail(KT_ROBOTS_BAD_WRITER);
        CopyOut(name, KT_ROBOTS_DRIVE_NAME_SIZE, writer->name);
        return Outcome{KT_ROBOTS_OK, writer->name};
    });
}

int WINAPI KT_Robots_LoadDrive(char letter, int reserved1, int move, int reserved2) {
    const std::string arguments = "letter=" + Letter(letter) + ", " + std::to_string(reserved1) + ", move=" +
                                  std::to_string(move) + ", " + std::to_string(reserved2);
    return Run("LoadDrive", arguments, [&] {
        if (move != KT_ROBOTS_MOVE_LOAD) return Fail(KT_ROBOTS_BAD_WRITER);
        lab::StateLock lock;
        lab::Devices devices = lab::Devices::Load();
        if (const Outcome ready = CheckRobotFor(devices, letter); ready.code != KT_ROBOTS_OK) return ready;
        lab::Writer* writer = devices.FindWriter(letter);
        if (writer->disc != 0) return Fail(KT_ROBOTS_WRITER_FULL);
        if (devices.input.empty()) return Fail(KT_ROBOTS_INPUT_EMPTY);
        writer->disc = devices.input.front();
        devices.input.pop_front();
        writer->trayOpen = false;
        writer->polls = 0;
        devices.Save();
        return Outcome{KT_ROBOTS_DONE, DiscName(writer->disc) + " loaded into " + Letter(writer->letter) + ":"};
    });
}

int WINAPI KT_Robots_UnloadDrive(char letter, int reserved1, int move, int reserved2) {
    const std::string arguments = "letter=" + Letter(letter) + ", " + std::to_string(reserved1) + ", move=" +
                                  std::to_string(move) + ", " + std::to_string(reserved2);
    return Run("UnloadDrive", arguments, [&] {
        if (move != KT_ROBOTS_MOVE_UNLOAD && move != KT_ROBOTS_MOVE_REJECT) return Fail(KT_ROBOTS_BAD_WRITER);
        lab::StateLock lock;
        lab::Devices devices = lab::Devices::Load();
        if (const Outcome ready = CheckRobotFor(devices, letter); ready.code != KT_ROBOTS_OK) return ready;
        lab::Writer* writer = devices.FindWriter(letter);
        if (writer->disc == 0) return Fail(KT_ROBOTS_NO_DISC);
        const bool rejecting = move == KT_ROBOTS_MOVE_REJECT;
        // The robot takes a rejected disc even from a locked tray; a written disc waits for the unlock.
        if (!rejecting && writer->locked) return Fail(KT_ROBOTS_TRAY_LOCKED);
        const int disc = writer->disc;
        (rejecting ? devices.reject : devices.output).push_back(disc);
        writer->disc = 0;
        writer->polls = 0;
        writer->trayOpen = false;
        devices.Save();
        return rejecting ? Outcome{KT_ROBOTS_DONE, DiscName(disc) + " rejected"}
                         : Outcome{KT_ROBOTS_OK, DiscName(disc) + " unloaded to the output bin"};
    });
}

int WINAPI KT_Robots_GetMessage(int robot, char text[KT_ROBOTS_TEXT_SIZE]) {
    // Reads the last message without replacing it.
    int code = KT_ROBOTS_OK;
    try {
        if (!text) {
            code = KT_ROBOTS_ERROR;
        } else {
            std::lock_guard<std::mutex> hold(TheLibrary().mutex);
            CopyOut(text, KT_ROBOTS_TEXT_SIZE, TheLibrary().lastMessage);
        }
    } catch (...) {
        code = KT_ROBOTS_ERROR;
    }
    lab::Trace(kComponent, "GetMessage", "robot=" + std::to_string(robot), std::to_string(code));
    return code;
}

int WINAPI KT_Robots_Park(int robot) {
    return Run("Park", "robot=" + std::to_string(robot), [&] {
        lab::StateLock lock;
        if (!lab::Devices::Load().FindRobot(robot)) return Fail(KT_ROBOTS_INVALID_ID);
        return Outcome{KT_ROBOTS_OK, "Robot parked"};
    });
}

int WINAPI KT_Robots_Close(void) {
    return Run("Close", "", [] {
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        TheLibrary().initialised = false;
        TheLibrary().activeRobot = -1;
        return Outcome{KT_ROBOTS_OK, "Library closed"};
    });
}

int WINAPI CDRWCTLs_LockDriver(char letter) {
    return Run("LockDriver", "letter=" + Letter(letter), [&] {
        return WithWriter(letter, [](lab::Writer& writer) {
            writer.locked = true;
            return Outcome{KT_ROBOTS_OK, "Tray locked"};
        });
    });
}

int WINAPI CDRWCTLs_UnLockDriver(char letter) {
    return Run("UnLockDriver", "letter=" + Letter(letter), [&] {
        return WithWriter(letter, [](lab::Writer& writer) {
            writer.locked = false;
            return Outcome{KT_ROBOTS_OK, "Tray unlocked"};
        });
    });
}

int WINAPI CDRWCTLs_EJECT(char letter) {
    return Run("EJECT", "letter=" + Letter(letter), [&] {
        return WithWriter(letter, [](lab::Writer& writer) {
            writer.trayOpen = true;
            return Outcome{KT_ROBOTS_OK, "Tray open"};
        });
    });
}

int WINAPI CDRWCTLs_LOAD(char letter) {
    return Run("LOAD", "letter=" + Letter(letter), [&] {
        return WithWriter(letter, [](lab::Writer& writer) {
            writer.trayOpen = false;
            writer.polls = 0;
            return Outcome{KT_ROBOTS_OK, "Tray closed"};
        });
    });
}

}  // extern "C"
