// The lab's disc machine: robots and writers from the scenario, discs and bins in devices.ini.
#include "Devices.h"

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <sstream>

namespace lab {
namespace {

constexpr const wchar_t* kStateFile = L"devices.ini";

long long DefaultCapacityMB(int medium) {
    return medium >= 4 && medium <= 9 ? 4482 : 700;
}

std::wstring WriterSection(char letter) {
    return std::wstring(L"Writer.") + wchar_t(letter);
}

std::vector<int> ParseIds(const Scenario& state, const wchar_t* key) {
    std::vector<int> ids;
    for (const auto& item : state.List(L"Bins", key)) ids.push_back(_wtoi(item.c_str()));
    return ids;
}

template <typename Container>
std::string JoinIds(const Container& ids) {
    std::string text;
    for (int id : ids) text += (text.empty() ? "" : ",") + std::to_string(id);
    return text;
}

}  // namespace

bool IsRewritable(int medium) {
    return medium == 3 || medium == 7 || medium == 9;
}

Disc ParseDisc(const std::wstring& descriptor) {
    Disc disc;
    std::wistringstream parts(descriptor);
    std::wstring part;
    bool first = true, capacityGiven = false;
    while (std::getline(parts, part, L':')) {
        if (first) {
            disc.medium = _wtoi(part.c_str());
            first = false;
        } else if (part == L"blank") {
            disc.blank = true;
        } else if (part == L"used") {
            disc.blank = false;
        } else if (part.rfind(L"error=", 0) == 0) {
            disc.errorPolls = _wtoi(part.c_str() + 6);
        } else if (part.rfind(L"notready=", 0) == 0) {
            disc.notReadyPolls = _wtoi(part.c_str() + 9);
        } else if (!part.empty()) {
            disc.capacityMB = _wtoi64(part.c_str());
            capacityGiven = true;
        }
    }
    if (!capacityGiven) disc.capacityMB = DefaultCapacityMB(disc.medium);
    return disc;
}

std::wstring FormatDisc(const Disc& disc) {
    std::wstring text = std::to_wstring(disc.medium) + (disc.blank ? L":blank:" : L":used:") +
                        std::to_wstring(disc.capacityMB);
    if (disc.errorPolls) text += L":error=" + std::to_wstring(disc.errorPolls);
    if (disc.notReadyPolls) text += L":notready=" + std::to_wstring(disc.notReadyPolls);
    return text;
}

void Devices::ReadScenario(const Scenario& scenario) {
    const int count = int(std::clamp<long long>(scenario.Int(L"Robots", L"Count", 1), 0, 26));
    for (int i = 1; i <= count; ++i) {
        const std::wstring section = L"Robot" + std::to_wstring(i);
        Robot robot;
        robot.id = int(scenario.Int(section, L"Id", i));
        robot.name = ToUtf8(scenario.String(section, L"Name", L"Lab Autoloader " + std::to_wstring(i)));
        robot.usable = scenario.Bool(section, L"Usable", true);
        auto letters = scenario.List(section, L"Writers");
        if (!scenario.Find(section, L"Writers") && i <= 22) letters = {std::wstring(1, wchar_t(L'D' + i))};
        for (const auto& item : letters) {
            const char letter = char(std::towupper(item[0]));
            if (letter < 'A' || letter > 'Z' || writers.count(letter)) continue;
            robot.writers.push_back(letter);
            Writer writer;
            writer.letter = letter;
            writer.name = ToUtf8(scenario.String(WriterSection(letter), L"Name",
                                                 std::wstring(1, wchar_t(letter)) + L": Lab DVD Writer"));
            writers[letter] = writer;
        }
        robot.info = ToUtf8(scenario.String(section, L"Info", L"Simulated disc robot with " +
                                                                   std::to_wstring(robot.writers.size()) +
                                                                   L" writer(s)"));
        robots.push_back(robot);
    }
}

Devices Devices::Load() {
    Devices devices;
    const Scenario scenario = Scenario::Load();
    devices.ReadScenario(scenario);
    const auto saved = ReadWholeFile(PathIn(kStateFile));
    if (!saved) {
        // A new lab: the input bin and any disc already in a writer come from the scenario.
        int next = 1;
        for (const auto& item : scenario.List(L"InputBin", L"Discs").empty()
                                    ? std::vector<std::wstring>{L"20*4"}
                                    : scenario.List(L"InputBin", L"Discs")) {
            const auto star = item.find(L'*');
            const int copies = star == std::wstring::npos ? 1 : _wtoi(item.c_str());
            const Disc model = ParseDisc(star == std::wstring::npos ? item : item.substr(star + 1));
            for (int i = 0; i < copies; ++i) {
                Disc disc = model;
                disc.id = next++;
                devices.discs[disc.id] = disc;
                devices.input.push_back(disc.id);
            }
        }
        for (auto& [letter, writer] : devices.writers) {
            if (const auto loaded = scenario.Find(WriterSection(letter), L"Disc")) {
                Disc disc = ParseDisc(*loaded);
                disc.id = next++;
                devices.discs[disc.id] = disc;
                writer.disc = disc.id;
            }
        }
        return devices;
    }
    const Scenario state = Scenario::Parse(*saved);
    for (const auto& key : state.Keys(L"Discs")) {
        Disc disc = ParseDisc(state.String(L"Discs", key, L"4"));
        disc.id = _wtoi(key.c_str());
        devices.discs[disc.id] = disc;
    }
    for (int id : ParseIds(state, L"Input")) devices.input.push_back(id);
    devices.output = ParseIds(state, L"Output");
    devices.reject = ParseIds(state, L"Reject");
    for (auto& [letter, writer] : devices.writers) {
        const std::wstring section = WriterSection(letter);
        writer.disc = int(state.Int(section, L"Disc", 0));
        writer.trayOpen = state.Bool(section, L"TrayOpen", false);
        writer.locked = state.Bool(section, L"Locked", false);
        writer.polls = int(state.Int(section, L"Polls", 0));
    }
    return devices;
}

void Devices::Save() const {
    std::string text = "; The lab's disc machine; delete this file to start again from the scenario.\r\n[Discs]\r\n";
    for (const auto& [id, disc] : discs) text += std::to_string(id) + "=" + ToUtf8(FormatDisc(disc)) + "\r\n";
    text += "[Bins]\r\nInput=" + JoinIds(input) + "\r\nOutput=" + JoinIds(output) + "\r\nReject=" + JoinIds(reject) +
            "\r\n";
    for (const auto& [letter, writer] : writers) {
        text += "[Writer." + std::string(1, letter) + "]\r\nDisc=" + std::to_string(writer.disc) +
                "\r\nTrayOpen=" + (writer.trayOpen ? "yes" : "no") + "\r\nLocked=" + (writer.locked ? "yes" : "no") +
                "\r\nPolls=" + std::to_string(writer.polls) + "\r\n";
    }
    WriteWholeFile(PathIn(kStateFile), text);
}

const Robot* Devices::FindRobot(int id) const {
    for (const auto& robot : robots)
        if (robot.id == id) return &robot;
    return nullptr;
}

Writer* Devices::FindWriter(char letter) {
    const auto found = writers.find(char(std::toupper(static_cast<unsigned char>(letter))));
    return found == writers.end() ? nullptr : &found->second;
}

Disc* Devices::DiscIn(char letter) {
    Writer* writer = FindWriter(letter);
    if (!writer || writer->disc == 0) return nullptr;
    const auto found = discs.find(writer->disc);
    return found == discs.end() ? nullptr : &found->second;
}

std::wstring Devices::ImagePath(int discId) {
    const std::wstring folder = PathIn(L"discs");
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\disc-" + std::to_wstring(discId) + L".iso";
}

}  // namespace lab
