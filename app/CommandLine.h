// The one optional argument of Pagorin's command line: the path of a page file from a scanner's hot-key tool.
#pragma once

#include <string>

namespace pagorin {

constexpr size_t MaxArgumentLength = 259;

// The argument of `commandLine` without the program's own path and without double quotes, at most 259
// characters; empty when there is none. The program's path is recognised by `moduleFileName` (the
// running module's full path), quoted or not, so an argument that itself names Pagorin's folder survives.
std::string GetCommandLineArgument(const std::string& commandLine, const std::string& moduleFileName);

// The same for this process (GetCommandLineA and the module's own file name).
std::string GetCommandLineArgument();

}  // namespace pagorin
