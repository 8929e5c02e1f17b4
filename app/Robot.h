// The robot library binding: the calls of the robot thread with the library's counts clamped to the arrays
// and every text buffer zeroed before the call and terminated after it.
#pragma once

#include <array>
#include <string>

#include "KTRobots20.h"

namespace pagorin {

struct RobotList {
    int Count = 0;  // within 0..KT_ROBOTS_MAX
    std::array<int, KT_ROBOTS_MAX> Ids{};
    std::array<std::string, KT_ROBOTS_MAX> Names, Infos;
};

struct WriterList {
    int Count = 0;  // within 0..KT_ROBOTS_MAX_WRITERS
    std::array<char, KT_ROBOTS_MAX_WRITERS> Letters{};
    std::array<std::string, KT_ROBOTS_MAX_WRITERS> Names;
};

// Connects the robots and reads each one's name and information; a robot reported unusable answers 498
// and ends the listing.
int ConnectRobots(RobotList& robots);
int ActivateRobot(int robot);
// Lists the robot's writers and, when that succeeded, their names.
int EnumerateWriters(int robot, WriterList& writers);
// The library's text of the last operation.
std::string RobotMessage(int robot);

}  // namespace pagorin
