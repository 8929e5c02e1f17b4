// Installs a generated database of 10,000 mappings into an XML file and a registry key and prints the times,
// each beside a reference measured in the same run: the same bytes written to a file with one call, and the
// same keys and values written with the raw registry calls (the aim: within 1.5x of them).
// Usage: quenfold_benchmark [mappings]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "BenchFigure.h"

#include "DrvDb.h"
#include "RegDriverDatabase.h"
#include "XmlDriverDatabase.h"

using namespace drvdb;
using Clock = std::chrono::steady_clock;

namespace {

std::string GeneratedDatabase(int mappings) {
    std::string xml = "<driver-database min-read-version=\"1\" revision=\"100\" modified-date=\"2026-12-01 08:00\">"
                      "<mappings type=\"deviceclass\"><mapping id=\"class\"><p id=\"buffer-kb\" value=\"2048\"/>"
                      "</mapping></mappings><mappings type=\"device\">";
    for (int i = 0; i < mappings; ++i) {
        const std::string n = std::to_string(i);
        xml += "<mapping id=\"VENDOR DRIVE-" + n + "\"><include-mapping srcid=\"class\"/>"
               "<p id=\"max-write-speed\" dt=\"DVD+R\" value=\"" + std::to_string(8 + i % 16) + "\"/>"
               "<p id=\"firmware-min\" value=\"1." + n + "\"/></mapping>";
    }
    xml += "</mappings><fallbacks>";
    for (int i = 0; i < 100; ++i) {
        xml += "<fallback p-id=\"max-write-speed\" p-value=\"" + std::to_string(i) + "\" fallback=\"" +
               std::to_string(i / 2) + "\"/>";
    }
    return xml + "</fallbacks></driver-database>";
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// A registry key below the database's key (its path relative to it) with its values: name, type, data.
struct RawKey {
    std::string path;
    std::vector<std::pair<std::string, std::pair<DWORD, std::string>>> values;
};

// Every key of a tree with its values, as the store left them.
void ReadTree(HKEY root, const std::string& base, const std::string& path, std::vector<RawKey>& keys) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, (path.empty() ? base : base + "\\" + path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    RawKey raw{path, {}};
    char name[16384];
    std::string data(1 << 16, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof name, dataSize = DWORD(data.size()), type = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &dataSize) !=
            ERROR_SUCCESS)
            break;
        raw.values.push_back({std::string(name, nameSize), {type, data.substr(0, dataSize)}});
    }
    keys.push_back(raw);
    std::vector<std::string> subkeys;
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.emplace_back(name, nameSize);
    }
    RegCloseKey(key);
    for (const std::string& sub : subkeys) ReadTree(root, base, path.empty() ? sub : path + "\\" + sub, keys);
}

// The same keys and values written by the raw calls: the database's key created, each key below it created
// once from there, its values set, closed.
bool RawWrite(HKEY root, const std::string& base, const std::vector<RawKey>& keys) {
    HKEY top = nullptr;
    if (RegCreateKeyExA(root, base.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &top, nullptr) != ERROR_SUCCESS) return false;
    bool written = true;
    for (const RawKey& raw : keys) {
        HKEY key = top;
        if (!raw.path.empty() &&
            RegCreateKeyExA(top, raw.path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
            written = false;
            break;
        }
        for (const auto& [name, value] : raw.values)
            RegSetValueExA(key, name.c_str(), 0, value.first, reinterpret_cast<const BYTE*>(value.second.data()),
                           DWORD(value.second.size()));
        if (key != top) RegCloseKey(key);
    }
    RegCloseKey(top);
    return written;
}

// Writes the bytes to a new file with one call; the seconds it took.
double RawFileWrite(const std::string& path, const std::string& bytes) {
    const auto start = Clock::now();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return Seconds(start);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string FileBytes(const std::string& path) {
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, n);
        std::fclose(file);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    const int mappings = argc > 1 ? std::atoi(argv[1]) : 10000;
    const std::string text = GeneratedDatabase(mappings);

    auto start = Clock::now();
    TiXmlDocument document;
    ParseXml(document, text);
    Ref<CDriverDatabase> source(new CXmlDriverDatabase(*document.RootElement()));
    std::printf("parse %d mappings (%zu bytes): %.3f s\n", mappings, text.size(), Seconds(start));

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "quenfold-benchmark-" + std::to_string(GetCurrentProcessId());
    std::string url = "file:///" + folder + "\\Corvell\\drivers\\driverdatabase.xml";
    for (char& c : url) {
        if (c == '\\') c = '/';
    }
    start = Clock::now();
    const bool xmlWritten = WriteXmlDatabaseFile(url, *document.RootElement());
    const double xmlSeconds = Seconds(start);
    std::printf("install into the XML file: %.3f s (%s)\n", xmlSeconds, xmlWritten ? "ok" : "FAILED");
    const std::string file = folder + "\\Corvell\\drivers\\driverdatabase.xml", rawFile = file + ".raw";
    const double rawFileSeconds = RawFileWrite(rawFile, FileBytes(file));
    DeleteFileA(rawFile.c_str());
    start = Clock::now();
    Ref<CDriverDatabase> reread(OpenDriverDatabase(url));
    std::printf("read it back and compare versions: %.3f s (newer: %d)\n", Seconds(start),
                IsNewerDatabase(*source, *reread));

    // Store and raw calls take turns, three rounds: the median of each is less the machine's mood.
    const std::string id = std::to_string(GetCurrentProcessId());
    const std::string key = "Software\\Corvell\\Benchmark-" + id, rawKey = "Software\\Corvell\\BenchmarkRaw-" + id;
    const std::string regUrl = "reg:///HKEY_CURRENT_USER/Software/Corvell/Benchmark-" + id;
    std::vector<double> installs, rawInstalls, replaces, rawReplaces;
    std::vector<RawKey> keys;
    bool regWritten = true, rawWritten = true, replaced = true, rawReplaced = true;
    for (int round = 0; round < 3; ++round) {
        RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, rawKey.c_str());
        start = Clock::now();
        regWritten = WriteRegistryDatabase(regUrl, *document.RootElement()) && regWritten;
        installs.push_back(Seconds(start));
        if (keys.empty()) ReadTree(HKEY_CURRENT_USER, key, "", keys);
        start = Clock::now();
        rawWritten = RawWrite(HKEY_CURRENT_USER, rawKey, keys) && rawWritten;
        rawInstalls.push_back(Seconds(start));

        start = Clock::now();
        replaced = WriteRegistryDatabase(regUrl, *document.RootElement()) && replaced;
        replaces.push_back(Seconds(start));
        start = Clock::now();
        RegDeleteTreeA(HKEY_CURRENT_USER, rawKey.c_str());
        rawReplaced = RawWrite(HKEY_CURRENT_USER, rawKey, keys) && rawReplaced;
        rawReplaces.push_back(Seconds(start));
    }
    const double installSeconds = Median(installs), rawInstallSeconds = Median(rawInstalls);
    const double replaceSeconds = Median(replaces), rawReplaceSeconds = Median(rawReplaces);
    std::printf("install into the registry key: %.3f s (%s); the same %zu keys with the raw calls: %.3f s (%s)\n",
                installSeconds, regWritten ? "ok" : "FAILED", keys.size(), rawInstallSeconds, rawWritten ? "ok" : "FAILED");
    std::printf("replace the registry key (delete and write): %.3f s (%s); the same with the raw calls: %.3f s (%s)\n",
                replaceSeconds, replaced ? "ok" : "FAILED", rawReplaceSeconds, rawReplaced ? "ok" : "FAILED");

    const std::string what = std::to_string(mappings) + " mappings";
    bench::PrintFigure(("Quenfold's install of " + what + " into the XML file").c_str(), xmlSeconds, "s",
                       "the same bytes written with one call", rawFileSeconds, "none (measured 0.1 s)");
    bench::PrintFigure(("Quenfold's install of " + what + " into the registry").c_str(), installSeconds, "s",
                       "raw registry calls writing the same keys and values", rawInstallSeconds, "within 1.5x");
    bench::PrintFigure(("Quenfold's replacement of " + what + " in the registry").c_str(), replaceSeconds, "s",
                       "raw registry calls deleting the tree and writing it", rawReplaceSeconds, "within 1.5x");

    RegDeleteTreeA(HKEY_CURRENT_USER, rawKey.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    DeleteFileA((folder + "\\Corvell\\drivers\\driverdatabase.xml").c_str());
    RemoveDirectoryA((folder + "\\Corvell\\drivers").c_str());
    RemoveDirectoryA((folder + "\\Corvell").c_str());
    RemoveDirectoryA(folder.c_str());
    return xmlWritten && regWritten && replaced && rawWritten && rawReplaced ? 0 : 1;
}
