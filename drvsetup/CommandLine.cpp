// Quenfold's options: -v, -ns, -ne, -f, -fuf, -nfuf, -regu, -nregu, -xmlu, -nxmlu, -d.
#include "CommandLine.h"

#include <tinyxml.h>

#include "DrvDb.h"

namespace drvdb {

namespace {

void Set(RootSetting& setting, bool value) {
    setting.value = value;
    setting.fromCommandLine = true;
}

void ApplyToken(std::string token, SetupOptions& options, bool& versionOnly) {
    if (token.size() >= 2 && token.front() == '"' && token.back() == '"') token = token.substr(1, token.size() - 2);
    if (token == "-v") {
        versionOnly = true;
        options.versionBox = true;
    } else if (token == "-ns") {
        options.successBox = false;
    } else if (token == "-ne") {
        options.errorBox = false;
    } else if (token == "-f") {
        options.force = true;
    } else if (token == "-fuf") {
        Set(options.failIfOneUpdateFails, true);
    } else if (token == "-nfuf") {
        Set(options.failIfOneUpdateFails, false);
    } else if (token == "-regu") {
        Set(options.updateRegistry, true);
    } else if (token == "-nregu") {
        Set(options.updateRegistry, false);
    } else if (token == "-xmlu") {
        Set(options.updateXmlDatabase, true);
    } else if (token == "-nxmlu") {
        Set(options.updateXmlDatabase, false);
    } else if (token == "-d") {
        options.dump = true;
    }
}

void ApplyAttribute(const TiXmlElement& root, const char* name, RootSetting& setting) {
    const char* text = root.Attribute(name);
    if (setting.fromCommandLine || !text) return;
    if (EqualsNoCase(text, "true")) {
        setting.value = true;
    } else if (EqualsNoCase(text, "false")) {
        setting.value = false;
    }
}

}  // namespace

SetupOptions ParseCommandLine(const std::string& commandLine) {
    static const char kSeparators[] = " \t\r\n";
    SetupOptions options;
    bool versionOnly = false;
    size_t start = commandLine.find_first_not_of(kSeparators);
    while (start != std::string::npos) {
        const size_t end = commandLine.find_first_of(kSeparators, start);
        ApplyToken(commandLine.substr(start, end == std::string::npos ? std::string::npos : end - start), options,
                   versionOnly);
        start = end == std::string::npos ? end : commandLine.find_first_not_of(kSeparators, end);
    }
    if (versionOnly) {
        options.update = false;
        options.errorBox = false;
        options.successBox = false;
    }
    return options;
}

void ApplyRootAttributes(const TiXmlElement& root, SetupOptions& options) {
    ApplyAttribute(root, "fail-if-one-update-fails", options.failIfOneUpdateFails);
    ApplyAttribute(root, "update-registry", options.updateRegistry);
    ApplyAttribute(root, "update-xml-database", options.updateXmlDatabase);
}

}  // namespace drvdb
