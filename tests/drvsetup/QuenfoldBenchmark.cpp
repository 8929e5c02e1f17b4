// Installs a generated database of 10,000 mappings into an XML file and a registry key and prints the times.
// Usage: quenfold_benchmark [mappings]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

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
    std::printf("install into the XML file: %.3f s (%s)\n", Seconds(start), xmlWritten ? "ok" : "FAILED");
    start = Clock::now();
    Ref<CDriverDatabase> reread(OpenDriverDatabase(url));
    std::printf("read it back and compare versions: %.3f s (newer: %d)\n", Seconds(start),
                IsNewerDatabase(*source, *reread));

    const std::string key = "Software\\Corvell\\Benchmark-" + std::to_string(GetCurrentProcessId());
    const std::string regUrl = "reg:///HKEY_CURRENT_USER/Software/Corvell/Benchmark-" +
                               std::to_string(GetCurrentProcessId());
    start = Clock::now();
    const bool regWritten = WriteRegistryDatabase(regUrl, *document.RootElement());
    std::printf("install into the registry key: %.3f s (%s)\n", Seconds(start), regWritten ? "ok" : "FAILED");
    start = Clock::now();
    const bool replaced = WriteRegistryDatabase(regUrl, *document.RootElement());
    std::printf("replace the registry key (delete and write): %.3f s (%s)\n", Seconds(start),
                replaced ? "ok" : "FAILED");

    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    DeleteFileA((folder + "\\Corvell\\drivers\\driverdatabase.xml").c_str());
    RemoveDirectoryA((folder + "\\Corvell\\drivers").c_str());
    RemoveDirectoryA((folder + "\\Corvell").c_str());
    RemoveDirectoryA(folder.c_str());
    return xmlWritten && regWritten && replaced ? 0 : 1;
}
