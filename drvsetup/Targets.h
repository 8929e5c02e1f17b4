// The fixed list of install targets: XML files under the application-data folders, then the registry key.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "DrvDb.h"

namespace drvdb {

extern const char kRegistryTarget[];      // "reg:///HKEY_LOCAL_MACHINE/SOFTWARE/Corvell/DRIVER2"
extern const char kDatabaseFilePart[];    // "Corvell\drivers\driverdatabase.xml"

// The install targets of this system. Caller releases.
CTargetList* EnumerateTargets();

// The same list for a given system: `folder` answers a CSIDL with a UTF-8 path (empty when there is none).
std::vector<std::string> TargetUrls(bool win2000OrLater, const std::function<std::string(int csidl)>& folder,
                                    const std::string& windowsFolder);

// A special folder's UTF-8 path, empty on failure.
std::string GetSpecialFolderUtf8(int csidl);

}  // namespace drvdb
