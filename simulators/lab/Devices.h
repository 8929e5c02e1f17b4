// The lab's disc machine shared by the robot and burner stand-ins: robots and writers as the scenario sets them
// up, and the mutable part (discs, bins, which disc sits in which writer, trays) kept in devices.ini.
#pragma once

#include "Lab.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace lab {

struct Disc {
    int id = 0;
    int medium = 4;                 // 0..9 as the burning engine reports it; above 9 unusable
    bool blank = true;
    long long capacityMB = 4482;
    int errorPolls = 0;             // the first checks after a load that answer "error"
    int notReadyPolls = 0;          // then the checks that answer "not ready yet"
};

struct Robot {
    int id = 0;
    std::string name;
    std::string info;
    bool usable = true;
    std::vector<char> writers;      // upper-case drive letters
};

struct Writer {
    char letter = 'E';
    std::string name;               // its first character is the letter callers use
    int disc = 0;                   // id of the disc in the writer, 0 = empty
    bool trayOpen = false;
    bool locked = false;
    int polls = 0;                  // disc checks since the disc was loaded
};

// Parses "medium[:blank|used][:capacityMB][:error=N][:notready=N]"; a leading "count*" is handled by the bin.
Disc ParseDisc(const std::wstring& descriptor);
std::wstring FormatDisc(const Disc& disc);
bool IsRewritable(int medium);

// The whole machine. Load and Save only while holding a StateLock.
class Devices {
public:
    // From devices.ini in the lab, or made from the scenario when the lab has none yet.
    static Devices Load();
    void Save() const;

    std::vector<Robot> robots;
    std::map<char, Writer> writers;
    std::map<int, Disc> discs;
    std::deque<int> input;
    std::vector<int> output;
    std::vector<int> reject;

    const Robot* FindRobot(int id) const;
    Writer* FindWriter(char letter);
    Disc* DiscIn(char letter);
    // Where the disc's written content lives: discs\disc-<id>.iso in the lab.
    static std::wstring ImagePath(int discId);

private:
    void ReadScenario(const Scenario& scenario);
};

}  // namespace lab
