// The product key and its scanner subkeys, through the ANSI registry functions with full access.
// A value that is missing, of another type or too long for its buffer counts as missing.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace pagorin {

constexpr const char* ProductKeyPath = "Software\\Tessaro Systems\\Pagorin";

// Where the product key lives; tests point it at a key of their own.
struct KeyLocation {
    HKEY Root = HKEY_LOCAL_MACHINE;
    std::string Path = ProductKeyPath;
    KeyLocation Sub(const std::string& name) const { return {Root, Path + "\\" + name}; }
};

// An open registry key (owns the handle; closed on destruction).
class RegistryKey {
public:
    // Opens the key, creating it when `create`; Valid() tells whether it opened.
    RegistryKey(const KeyLocation& location, bool create);
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool Valid() const { return key_ != nullptr; }
    HKEY Handle() const { return key_; }

    std::optional<DWORD> ReadDword(const char* name) const;
    // A REG_SZ value of at most `maxChars` characters.
    std::optional<std::string> ReadString(const char* name, size_t maxChars) const;
    bool WriteDword(const char* name, DWORD value) const;
    bool WriteString(const char* name, const std::string& value) const;

private:
    HKEY key_ = nullptr;
};

}  // namespace pagorin
