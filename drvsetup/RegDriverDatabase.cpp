// The registry store, through the ANSI registry functions (texts are stored as their UTF-8 bytes).
#include "RegDriverDatabase.h"

#include <cstdio>
#include <initializer_list>
#include <vector>

#include "XmlDriverDatabase.h"

namespace drvdb {

namespace {

const char kFallbacksKey[] = "FALLBACKS";

bool IsDeviceClassType(const char* type) { return EqualsNoCase(type, "deviceclass"); }

// Splits "ROOT/path/of/key" into a root key and a backslashed path; false for an unknown root or no path.
bool SplitLocation(const std::string& location, HKEY& root, std::string& path) {
    const size_t slash = location.find('/');
    if (slash == std::string::npos) return false;
    const std::string rootName = location.substr(0, slash);
    if (rootName == "HKEY_LOCAL_MACHINE") {
        root = HKEY_LOCAL_MACHINE;
    } else if (rootName == "HKEY_CURRENT_USER") {
        root = HKEY_CURRENT_USER;
    } else {
        return false;
    }
    path = location.substr(slash + 1);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    // An empty path would name the root itself, which is never ours to replace.
    return !path.empty() && path.find_first_not_of('\\') != std::string::npos;
}

// Deletes a key with everything below it; a missing key counts as deleted. Stops at the first subkey that
// cannot be deleted, which would otherwise stay first forever.
bool DeleteKeyTree(HKEY root, const std::string& path) {
    if (RegDeleteKeyA(root, path.c_str()) == ERROR_SUCCESS) return true;
    RegKey key;
    const LONG status = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive());
    if (status == ERROR_FILE_NOT_FOUND) return true;
    if (status != ERROR_SUCCESS) return false;
    for (;;) {
        char name[261];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key.Get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (!DeleteKeyTree(root, path + "\\" + name)) return false;
    }
    key.Close();
    return RegDeleteKeyA(root, path.c_str()) == ERROR_SUCCESS;
}

bool HasAll(const TiXmlElement& element, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (!element.Attribute(name)) return false;
    }
    return true;
}

// Everything the writer needs from the source, checked before the installed key is touched.
bool IsWritableSource(const TiXmlElement& source) {
    int revision = 0;
    try {
        if (!ReadIntAttribute(source, "revision", revision)) return false;
    } catch (const CError&) {
        return false;
    }
    for (const TiXmlElement* fallbacks = source.FirstChildElement("fallbacks"); fallbacks;
         fallbacks = fallbacks->NextSiblingElement("fallbacks")) {
        for (const TiXmlElement* fallback = fallbacks->FirstChildElement("fallback"); fallback;
             fallback = fallback->NextSiblingElement("fallback")) {
            if (!HasAll(*fallback, {"p-id", "p-value", "fallback"})) return false;
        }
    }
    for (const TiXmlElement* mappings = source.FirstChildElement("mappings"); mappings;
         mappings = mappings->NextSiblingElement("mappings")) {
        if (!mappings->Attribute("type")) return false;
        for (const TiXmlElement* mapping = mappings->FirstChildElement("mapping"); mapping;
             mapping = mapping->NextSiblingElement("mapping")) {
            if (!mapping->Attribute("id")) return false;
            for (const TiXmlElement* child = mapping->FirstChildElement(); child; child = child->NextSiblingElement()) {
                const std::string name = child->Value();
                if (name == "include-mapping" && !child->Attribute("srcid")) return false;
                if (name == "p" && !HasAll(*child, {"id", "value"})) return false;
            }
        }
    }
    return true;
}

bool SetString(HKEY key, const std::string& name, const std::string& data) {
    return RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

bool CreateKey(HKEY parent, const std::string& path, RegKey& key) {
    return RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Receive(), nullptr) ==
           ERROR_SUCCESS;
}

std::string Text(const char* attribute) { return attribute ? attribute : ""; }

bool WriteFallbacks(HKEY databaseKey, const TiXmlElement& source) {
    RegKey key;
    if (!CreateKey(databaseKey, kFallbacksKey, key)) return false;
    for (const TiXmlElement* fallbacks = source.FirstChildElement("fallbacks"); fallbacks;
         fallbacks = fallbacks->NextSiblingElement("fallbacks")) {
        for (const TiXmlElement* fallback = fallbacks->FirstChildElement("fallback"); fallback;
             fallback = fallback->NextSiblingElement("fallback")) {
            const std::string name =
                Text(fallback->Attribute("p-dt")) + fallback->Attribute("p-id") + fallback->Attribute("p-value");
            if (!SetString(key.Get(), name, fallback->Attribute("fallback"))) return false;
        }
    }
    return true;
}

bool WriteMapping(HKEY databaseKey, const std::string& path, const TiXmlElement& mapping) {
    RegKey key;
    if (!CreateKey(databaseKey, path, key)) return false;
    int includes = 0;
    for (const TiXmlElement* child = mapping.FirstChildElement(); child; child = child->NextSiblingElement()) {
        const std::string name = child->Value();
        bool written = true;
        if (name == "include-mapping") {
            written = SetString(key.Get(), "load" + std::to_string(++includes), child->Attribute("srcid"));
        } else if (name == "p") {
            written = SetString(key.Get(), Text(child->Attribute("dt")) + child->Attribute("id"),
                                child->Attribute("value"));
        }
        if (!written) return false;
    }
    return true;
}

bool WriteDatabase(HKEY root, const std::string& path, const TiXmlElement& source) {
    RegKey key;
    if (!CreateKey(root, path, key)) return false;
    int revision = 0;
    ReadIntAttribute(source, "revision", revision);
    const DWORD version = static_cast<DWORD>(revision);
    if (RegSetValueExA(key.Get(), "DriverVersion", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&version),
                       sizeof version) != ERROR_SUCCESS) {
        return false;
    }
    if (const char* patchId = source.Attribute("patch-id")) {
        if (!SetString(key.Get(), "PatchId", patchId)) return false;
    }
    if (const char* date = source.Attribute("modified-date")) {
        if (!SetString(key.Get(), "ModifiedDate", date)) return false;
    }
    if (!WriteFallbacks(key.Get(), source)) return false;
    for (const TiXmlElement* mappings = source.FirstChildElement("mappings"); mappings;
         mappings = mappings->NextSiblingElement("mappings")) {
        const std::string folder = IsDeviceClassType(mappings->Attribute("type")) ? "SETS\\" : "MAPPINGS\\";
        for (const TiXmlElement* mapping = mappings->FirstChildElement("mapping"); mapping;
             mapping = mapping->NextSiblingElement("mapping")) {
            if (!WriteMapping(key.Get(), folder + mapping->Attribute("id"), *mapping)) return false;
        }
    }
    return true;
}

// Reads a REG_SZ value (its text up to the first zero); false when it is missing or of another type.
bool QueryString(HKEY key, const char* name, std::string& text) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return false;
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    text = data.data();
    return true;
}

// Calls `visit(name, text, number of values in the key)` for every REG_SZ value of a key, in enumeration
// order; throws CError 0 on a registry error.
template <class Visit> void ForEachStringValue(HKEY key, Visit visit) {
    DWORD count = 0, maxName = 0, maxData = 0;
    LONG status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName,
                                   &maxData, nullptr, nullptr);
    if (status != ERROR_SUCCESS) throw CError(CError::System, status);
    std::vector<char> name(maxName + 2), data(maxData + 2);
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size() - 1), type = 0;
        status = RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) throw CError(CError::System, status);
        if (type != REG_SZ) continue;
        data[dataSize] = '\0';
        visit(std::string(name.data(), nameSize), std::string(data.data()), count);
    }
}

}  // namespace

CRegDriverDatabase::CRegDriverDatabase(const std::string& location) {
    HKEY root = nullptr;
    std::string path;
    if (!SplitLocation(location, root, path)) throw CError(CError::System, ERROR_BAD_PATHNAME);
    LONG status = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key_.Receive());
    if (status != ERROR_SUCCESS) throw CError(CError::System, status);
    DWORD type = 0, version = 0, size = sizeof version;
    status = RegQueryValueExA(key_.Get(), "DriverVersion", nullptr, &type, reinterpret_cast<BYTE*>(&version), &size);
    if (status == ERROR_MORE_DATA) throw CError(CError::InputOutput);
    if (status != ERROR_SUCCESS) throw CError(CError::System, status);
    if (type != REG_DWORD || size != sizeof version) throw CError(CError::InputOutput);
    revision_ = static_cast<int>(version);
    QueryString(key_.Get(), "PatchID", patchId_);
    std::string date;
    if (QueryString(key_.Get(), "ModifiedDate", date)) {
        modifiedTime_ = ParseModifiedDate(date);
        if (modifiedTime_ != 0) modifiedDate_ = date;
    }
}

CMapping* CRegDriverDatabase::GetMapping(const std::string& id, int kind) const {
    RegKey key;
    const std::string path = (kind == DeviceClassMapping ? "SETS\\" : "MAPPINGS\\") + id;
    const LONG status = RegOpenKeyExA(key_.Get(), path.c_str(), 0, KEY_READ, key.Receive());
    if (status != ERROR_SUCCESS) throw CError(CError::System, status);
    MappingData data;
    data.id = id;
    data.kind = kind;
    ForEachStringValue(key.Get(), [&](const std::string& name, const std::string& text, DWORD valueCount) {
        int number = 0;
        if (std::sscanf(name.c_str(), "load%d", &number) == 1) {
            // A number beyond the key's values cannot be one of ours: it would only grow the list.
            if (number <= 0 || static_cast<DWORD>(number) > valueCount) return;
            if (data.includes.size() < static_cast<size_t>(number)) data.includes.resize(number);
            data.includes[number - 1] = text;
            return;
        }
        for (const auto& [dt, property] : SplitDiscTypePrefix(name)) data.properties[{dt, property}] = text;
    });
    return NewMapping(std::move(data));
}

CFallbackList* CRegDriverDatabase::GetFallbacks() const {
    RegKey key;
    const LONG status = RegOpenKeyExA(key_.Get(), kFallbacksKey, 0, KEY_READ, key.Receive());
    if (status != ERROR_SUCCESS) throw CError(CError::System, status);
    std::vector<FallbackEntry> entries;
    ForEachStringValue(key.Get(), [&](const std::string& name, const std::string& text, DWORD) {
        const size_t last = name.find_last_not_of("0123456789.");
        const size_t split = last == std::string::npos ? 0 : last + 1;
        FallbackEntry entry;
        if (!ParseStrictDouble(name.substr(split), entry.value) || !ParseStrictDouble(text, entry.fallback)) return;
        for (const auto& [dt, property] : SplitDiscTypePrefix(name.substr(0, split))) {
            entry.dt = dt;
            entry.id = property;
            entries.push_back(entry);
        }
    });
    return NewFallbackList(std::move(entries));
}

bool WriteRegistryDatabase(const std::string& url, const TiXmlElement& source) {
    static const std::string scheme = "reg:///";
    HKEY root = nullptr;
    std::string path;
    if (!StartsWithNoCase(url, scheme) || !SplitLocation(url.substr(scheme.size()), root, path)) return false;
    if (!IsWritableSource(source)) return false;
    return DeleteKeyTree(root, path) && WriteDatabase(root, path, source);
}

}  // namespace drvdb
