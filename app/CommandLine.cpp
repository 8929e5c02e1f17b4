// Taking the page path from the command line, or from a later start that hands it over.
#include "CommandLine.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace pagorin {
namespace {

bool StartsWithNoCase(const std::string& text, size_t pos, const std::string& prefix)
{
    if (prefix.empty() || text.size() - pos < prefix.size())
        return false;
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, text.data() + pos, int(prefix.size()),
                          prefix.data(), int(prefix.size())) == CSTR_EQUAL;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool IsFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether a name stands for a device, not a file: "CON.JPG", "nul.jpg" or "\\.\pipe\x.png" exist for the
// file functions, but their full names lie in the device namespace.
bool NamesDevice(const std::string& path)
{
    DWORD length = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::string full(length, '\0');
    if (length == 0 || GetFullPathNameA(path.c_str(), length, full.data(), nullptr) >= length)
        return true;
    return full.compare(0, 4, "\\\\.\\") == 0;
}

// Where the program's own path ends: the module's name as written (quoted or not), else the first
// token by the usual rules (a quoted token runs to its closing quote, a bare one to the first blank).
size_t SkipProgramPath(const std::string& line, const std::string& moduleFileName)
{
    if (StartsWithNoCase(line, 0, "\"" + moduleFileName + "\""))
        return moduleFileName.size() + 2;
    if (StartsWithNoCase(line, 0, moduleFileName)) {
        size_t end = moduleFileName.size();
        if (end == line.size() || IsBlank(line[end]))
            return end;
    }
    if (!line.empty() && line[0] == '"') {
        size_t close = line.find('"', 1);
        return close == std::string::npos ? line.size() : close + 1;
    }
    size_t blank = line.find_first_of(" \t");
    return blank == std::string::npos ? line.size() : blank;
}

}  // namespace

std::string GetCommandLineArgument(const std::string& commandLine, const std::string& moduleFileName)
{
    std::string line = commandLine.substr(0, commandLine.find('\n'));
    std::string rest = line.substr(SkipProgramPath(line, moduleFileName));
    rest.erase(std::remove(rest.begin(), rest.end(), '"'), rest.end());
    size_t first = 0;
    while (first < rest.size() && IsBlank(rest[first]))
        ++first;
    size_t last = rest.size();
    while (last > first && IsBlank(rest[last - 1]))
        --last;
    return rest.substr(first, std::min(last - first, MaxArgumentLength));
}

std::string GetCommandLineArgument()
{
    char module[MAX_PATH * 2] = {};
    DWORD length = GetModuleFileNameA(nullptr, module, DWORD(sizeof(module)));
    const char* line = GetCommandLineA();
    return GetCommandLineArgument(line ? line : "", std::string(module, length < sizeof(module) ? length : 0));
}

std::string HandedOverText(const void* data, size_t size)
{
    if (!data)
        return {};
    std::string text(static_cast<const char*>(data), std::min(size, MaxHandedOverLength));
    return text.substr(0, text.find('\0'));
}

bool IsAcceptablePage(const std::string& path)
{
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || !IsFile(path) || NamesDevice(path))
        return false;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return extension == "JPG" || extension == "BMP" || extension == "TIF" || extension == "PNG";
}

std::string AsLogged(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](unsigned char c) { return c < ' ' || c == 0x7F; }, '?');
    return text;
}

}  // namespace pagorin
