// One run of Quenfold: read the attached database, decide whether an installed copy is older, install it,
// and report the outcome in one box and the exit code.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "CommandLine.h"

namespace drvdb {

enum SetupResult {
    kInstalled = 0,
    kUpToDate = 1,
    kOwnFileCorrupted = -1,
    kDataNotValid = -2,
    kInstallFailed = -3,
};

extern const char kSetupCaption[];  // "Disc burning driver setup"

enum class BoxIcon { Information, Error };
using ShowBox = std::function<void(const std::string& text, BoxIcon icon)>;

// The box text of a result.
const char* ResultText(int result);

// The whole run, on the given program file and install targets; gives the exit code.
int RunSetup(SetupOptions options, const std::string& ownFile, const std::vector<std::string>& targets,
             const ShowBox& showBox);

}  // namespace drvdb
