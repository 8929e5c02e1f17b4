// The one optional argument of Pagorin's command line: the path of a page file from a scanner's hot-key tool,
// and the same path as a later start hands it over to the running program.
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

constexpr size_t MaxHandedOverLength = 1023;

// The text of a hand-over (WM_COPYDATA, which any process may send): at most 1023 bytes, up to an embedded
// zero; empty without data.
std::string HandedOverText(const void* data, size_t size);

// Whether a handed-over text names a page this program may take: an existing file of a page format, not a
// device.
bool IsAcceptablePage(const std::string& path);

// A handed-over text as the day log shows it: control characters become '?', so that a text another process
// sends cannot add lines of its own to the log.
std::string AsLogged(std::string text);

}  // namespace pagorin
