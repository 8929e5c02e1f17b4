// The setup flow. Nothing is retried: every failure ends in one exit code and, when enabled, one box.
#include "Setup.h"

#include <windows.h>

#include <cstdio>

#include "AttachedData.h"
#include "RegDriverDatabase.h"
#include "XmlDriverDatabase.h"

namespace drvdb {

const char kSetupCaption[] = "Disc burning driver setup";

namespace {

// Writes the attached text to "attached.xml" in the current folder, in text mode (LF becomes CR LF).
void DumpAttachedText(const std::string& text) {
    FILE* file = std::fopen("attached.xml", "w");
    if (!file) return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

bool IsRegistryKind(const std::string& url) { return StartsWithNoCase(url, "reg:"); }

bool IsEnabled(const std::string& url, const SetupOptions& options) {
    return IsRegistryKind(url) ? options.updateRegistry.value : options.updateXmlDatabase.value;
}

// Needed when any enabled target is older than the source, or cannot be opened or read.
bool UpdateNeeded(const CDriverDatabase& source, const std::vector<std::string>& targets,
                  const SetupOptions& options) {
    if (options.force) return true;
    for (const std::string& url : targets) {
        if (!IsEnabled(url, options)) continue;
        try {
            Ref<CDriverDatabase> installed(OpenDriverDatabase(url));
            if (IsNewerDatabase(source, *installed)) return true;
        } catch (const CError&) {
            return true;
        }
    }
    return false;
}

// Succeeds when at least one target was written; with fail-if-one-update-fails, the first failure fails it.
bool Install(const TiXmlElement& source, const std::vector<std::string>& targets, const SetupOptions& options) {
    bool anyWritten = false;
    for (const std::string& url : targets) {
        if (!IsEnabled(url, options)) continue;
        const bool written = StartsWithNoCase(url, "reg:///") ? WriteRegistryDatabase(url, source)
                                                              : WriteXmlDatabaseFile(url, source);
        if (written) {
            anyWritten = true;
        } else if (options.failIfOneUpdateFails.value) {
            return false;
        }
    }
    return anyWritten;
}

std::string VersionText(const CDriverDatabase& database) {
    std::string text = "Version: " + std::to_string(database.Revision()) + "\n";
    if (!database.ModifiedDate().empty()) text += "Modified Date: " + database.ModifiedDate() + "\n";
    if (!database.PatchId().empty()) text += "Patch ID: " + database.PatchId() + "\n";
    return text;
}

// Steps of the run; `result` holds the code a failure at the current step ends with.
int Run(SetupOptions& options, const std::string& ownFile, const std::vector<std::string>& targets,
        const ShowBox& showBox) {
    int result = kOwnFileCorrupted;
    try {
        std::string text;
        if (!ReadAttachedData(ownFile, text)) return result;
        if (options.dump) DumpAttachedText(text);

        result = kDataNotValid;
        TiXmlDocument document;
        ParseXml(document, text);  // a CError ends the run here
        const TiXmlElement* root = document.RootElement();
        if (!root || std::string(root->Value()) != "driver-database-setup") return result;
        ApplyRootAttributes(*root, options);
        const TiXmlElement* element = root->FirstChildElement("driver-database");
        if (!element) return result;
        Ref<CDriverDatabase> source(new CXmlDriverDatabase(*element));  // a CError ends the run here

        if (options.versionBox) showBox(VersionText(*source), BoxIcon::Information);
        if (!options.update) return kInstalled;
        result = kUpToDate;
        if (UpdateNeeded(*source, targets, options)) {
            result = Install(*element, targets, options) ? kInstalled : kInstallFailed;
        }
        return result;
    } catch (...) {
        // A CError of the source, out of memory and the like: the step's own failure, and an install failure
        // once past the checks.
        return result < 0 ? result : kInstallFailed;
    }
}

}  // namespace

const char* ResultText(int result) {
    switch (result) {
    case kInstalled: return "Disc burning driver information successfully updated.";
    case kUpToDate: return "Disc burning driver information is already up-to-date.";
    case kOwnFileCorrupted: return "Error: the disc burning driver setup file is corrupted.";
    case kDataNotValid: return "Error: the disc burning driver setup data is not valid.";
    case kInstallFailed: return "Error installing disc burning driver data.";
    default: return "Unknown error during disc burning driver setup.";
    }
}

int RunSetup(SetupOptions options, const std::string& ownFile, const std::vector<std::string>& targets,
             const ShowBox& showBox) {
    const int result = Run(options, ownFile, targets, showBox);
    if (result < 0 && options.errorBox) showBox(ResultText(result), BoxIcon::Error);
    if (result >= 0 && options.successBox) showBox(ResultText(result), BoxIcon::Information);
    return result;
}

}  // namespace drvdb
