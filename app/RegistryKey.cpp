// Registry access of the settings store.
#include "RegistryKey.h"

#include <vector>

namespace pagorin {

RegistryKey::RegistryKey(const KeyLocation& location, bool create)
{
    LONG rc = create ? RegCreateKeyExA(location.Root, location.Path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       KEY_ALL_ACCESS, nullptr, &key_, nullptr)
                     : RegOpenKeyExA(location.Root, location.Path.c_str(), 0, KEY_ALL_ACCESS, &key_);
    if (rc != ERROR_SUCCESS)
        key_ = nullptr;
}

RegistryKey::~RegistryKey()
{
    if (key_)
        RegCloseKey(key_);
}

std::optional<DWORD> RegistryKey::ReadDword(const char* name) const
{
    DWORD type = 0, value = 0, size = sizeof(value);
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return std::nullopt;
    return value;
}

std::optional<std::string> RegistryKey::ReadString(const char* name, size_t maxChars) const
{
    std::vector<char> buffer(maxChars + 2, '\0');
    DWORD type = 0, size = DWORD(maxChars + 1);
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::string value(buffer.data());
    if (value.size() > maxChars)
        return std::nullopt;
    return value;
}

bool RegistryKey::WriteDword(const char* name, DWORD value) const
{
    return key_ && RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

bool RegistryKey::WriteString(const char* name, const std::string& value) const
{
    return key_ && RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  DWORD(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace pagorin
