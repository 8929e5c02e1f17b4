// The robot library binding. The library writes into fixed arrays and buffers whose sizes it is never told,
// so counts are clamped and every text is read only up to its buffer's end.
#include "Robot.h"

#include <algorithm>
#include <cstring>

namespace pagorin {

namespace {

template <size_t N>
std::string TextOf(const char (&buffer)[N])
{
    return std::string(buffer, strnlen(buffer, N));
}

int Clamp(int count, int capacity)
{
    return std::clamp(count, 0, capacity);
}

}  // namespace

int ConnectRobots(RobotList& robots)
{
    robots = RobotList{};
    int count = 0;
    int words[KT_ROBOTS_MAX] = {};
    unsigned char usable[KT_ROBOTS_MAX] = {};
    int rc = KT_Robots_Connect(&count, robots.Ids.data(), words, usable);
    robots.Count = Clamp(count, KT_ROBOTS_MAX);
    for (int i = 0; i < robots.Count; ++i) {
        if (!usable[i])
            return KT_ROBOTS_FAILED;
        char name[KT_ROBOTS_TEXT_SIZE] = {};
        char info[KT_ROBOTS_TEXT_SIZE] = {};
        KT_Robots_GetRobotInfo(robots.Ids[i], name, info, KT_ROBOTS_TEXT_SIZE);
        robots.Names[i] = TextOf(name);
        robots.Infos[i] = TextOf(info);
    }
    return rc;
}

int ActivateRobot(int robot)
{
    char first[KT_ROBOTS_TEXT_SIZE] = {};
    char second[KT_ROBOTS_TEXT_SIZE] = {};
    return KT_Robots_Active(robot, first, second, KT_ROBOTS_TEXT_SIZE);
}

int EnumerateWriters(int robot, WriterList& writers)
{
    writers = WriterList{};
    int count = 0;
    int rc = KT_Robots_EnumDrives(robot, &count, writers.Letters.data());
    writers.Count = Clamp(count, KT_ROBOTS_MAX_WRITERS);
    if (rc != KT_ROBOTS_OK)
        return rc;
    for (int i = 0; i < writers.Count; ++i) {
        char name[KT_ROBOTS_DRIVE_NAME_SIZE] = {};
        KT_Robots_GetDriveName(writers.Letters[i], name);
        writers.Names[i] = TextOf(name);
    }
    return rc;
}

std::string RobotMessage(int robot)
{
    char text[KT_ROBOTS_TEXT_SIZE] = {};
    KT_Robots_GetMessage(robot, text);
    return TextOf(text);
}

}  // namespace pagorin
