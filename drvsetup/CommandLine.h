// The settings of one run of Quenfold, from its command line and its attached document's root element.
#pragma once

#include <string>

class TiXmlElement;

namespace drvdb {

// A setting that the attached document's root may also give, unless the command line gave it.
struct RootSetting {
    bool value;
    bool fromCommandLine = false;
};

struct SetupOptions {
    bool update = true;
    bool errorBox = true;
    bool successBox = true;
    bool versionBox = false;
    bool force = false;  // skip the up-to-date check
    RootSetting failIfOneUpdateFails{false};
    RootSetting updateRegistry{false};
    RootSetting updateXmlDatabase{true};
    bool dump = false;
};

// Tokens between blanks, tabs, CRs and LFs, each compared whole and case-sensitively, also in double quotes;
// unknown tokens are ignored and later ones win.
SetupOptions ParseCommandLine(const std::string& commandLine);

// Takes "true" or "false" (any case) from the root's attributes for settings the command line left alone.
void ApplyRootAttributes(const TiXmlElement& root, SetupOptions& options);

}  // namespace drvdb
