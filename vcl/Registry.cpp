// TRegistry over the ANSI registry functions, and TRegistryIniFile (sections = subkeys, values = values).
#include "Registry.h"

#include <algorithm>

namespace vcl {

VCL_IMPLEMENT_CLASS(TRegistry, TObject)
VCL_IMPLEMENT_CLASS(TRegistryIniFile, TCustomIniFile)

namespace {
TRegDataType DataTypeOf(DWORD type) {
    switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

bool IsRelative(const AnsiString& key) { return key.empty() || key[0] != '\\'; }

AnsiString StripLeadingBackslash(const AnsiString& key) { return IsRelative(key) ? key : key.substr(1); }
}  // namespace

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
    if (root == rootKey_) return;
    CloseKey();
    rootKey_ = root;
}

HKEY TRegistry::BaseKey(bool relative) const { return relative && currentKey_ ? currentKey_ : rootKey_; }

void TRegistry::ChangeKey(HKEY key, const AnsiString& path) {
    CloseKey();
    currentKey_ = key;
    currentPath_ = path;
}

void TRegistry::CloseKey() {
    if (!currentKey_) return;
    if (!lazyWrite_) RegFlushKey(currentKey_);
    RegCloseKey(currentKey_);
    currentKey_ = nullptr;
    currentPath_.clear();
}

bool TRegistry::OpenKeyWith(const AnsiString& key, bool canCreate, REGSAM access) {
    bool relative = IsRelative(key);
    AnsiString sub = StripLeadingBackslash(key);
    HKEY result = nullptr;
    LONG status;
    if (canCreate && !sub.empty())
        status = RegCreateKeyExA(BaseKey(relative), sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                 &result, nullptr);
    else
        status = RegOpenKeyExA(BaseKey(relative), sub.c_str(), 0, access, &result);
    if (status != ERROR_SUCCESS) return false;
    AnsiString path = relative && currentKey_ && !sub.empty() ? currentPath_ + "\\" + sub
                    : relative && currentKey_             ? currentPath_
                                                          : sub;
    ChangeKey(result, path);
    return true;
}

bool TRegistry::OpenKey(const AnsiString& key, bool canCreate) { return OpenKeyWith(key, canCreate, access_); }

bool TRegistry::OpenKeyReadOnly(const AnsiString& key) { return OpenKeyWith(key, false, KEY_READ); }

bool TRegistry::CreateKey(const AnsiString& key) {
    HKEY result = nullptr;
    AnsiString sub = StripLeadingBackslash(key);
    if (RegCreateKeyExA(BaseKey(IsRelative(key)), sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr,
                        &result, nullptr) != ERROR_SUCCESS)
        throw ERegistryException("Failed to create key %s", {key});
    RegCloseKey(result);
    return true;
}

bool TRegistry::DeleteKey(const AnsiString& key) {
    AnsiString sub = StripLeadingBackslash(key);
    if (sub.empty()) return false;
    HKEY base = BaseKey(IsRelative(key));
    RegDeleteTreeA(base, sub.c_str());
    RegDeleteKeyA(base, sub.c_str());
    return !KeyExists(key);
}

bool TRegistry::KeyExists(const AnsiString& key) {
    HKEY result = nullptr;
    if (RegOpenKeyExA(BaseKey(IsRelative(key)), StripLeadingBackslash(key).c_str(), 0, KEY_QUERY_VALUE, &result) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(result);
    return true;
}

bool TRegistry::HasSubKeys() {
    DWORD subKeys = 0;
    return RegQueryInfoKeyA(currentKey_, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS && subKeys > 0;
}

void TRegistry::GetKeyNames(TStrings* strings) {
    strings->Clear();
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(currentKey_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        strings->Add(AnsiString(name, length));
    }
}

void TRegistry::GetValueNames(TStrings* strings) {
    strings->Clear();
    char name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumValueA(currentKey_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        strings->Add(AnsiString(name, length));
    }
}

bool TRegistry::GetDataInfo(const AnsiString& name, TRegDataInfo& info) {
    DWORD type = 0, size = 0;
    info = TRegDataInfo();
    if (RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    info.RegData = DataTypeOf(type);
    info.DataSize = static_cast<int>(size);
    return true;
}

bool TRegistry::ValueExists(const AnsiString& name) {
    TRegDataInfo info;
    return GetDataInfo(name, info);
}

bool TRegistry::DeleteValue(const AnsiString& name) {
    return RegDeleteValueA(currentKey_, name.c_str()) == ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(const AnsiString& name) {
    TRegDataInfo info;
    return GetDataInfo(name, info) ? info.RegData : rdUnknown;
}

int TRegistry::GetDataSize(const AnsiString& name) {
    TRegDataInfo info;
    return GetDataInfo(name, info) ? info.DataSize : -1;
}

DWORD TRegistry::GetData(const AnsiString& name, void* buffer, DWORD size, std::initializer_list<TRegDataType> types) {
    DWORD type = 0;
    LONG status = RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type, static_cast<BYTE*>(buffer), &size);
    if (status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && std::find(types.begin(), types.end(), DataTypeOf(type)) == types.end()))
        throw ERegistryException("Invalid data type for '%s'", {name});
    if (status != ERROR_SUCCESS) throw ERegistryException("Failed to get data for '%s'", {name});
    return size;
}

void TRegistry::PutData(const AnsiString& name, const void* data, DWORD size, DWORD type) {
    if (RegSetValueExA(currentKey_, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '%s'", {name});
}

AnsiString TRegistry::ReadString(const AnsiString& name) {
    TRegDataInfo info;
    if (!GetDataInfo(name, info) || info.DataSize <= 0) return {};
    if (info.RegData != rdString && info.RegData != rdExpandString)
        throw ERegistryException("Invalid data type for '%s'", {name});
    AnsiString s(static_cast<size_t>(info.DataSize), '\0');
    DWORD n = GetData(name, s.data(), static_cast<DWORD>(s.size()), {rdString, rdExpandString});
    s.resize(n);
    while (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

int TRegistry::ReadInteger(const AnsiString& name) {
    DWORD v = 0;
    GetData(name, &v, sizeof v, {rdInteger});
    return static_cast<int>(v);
}

bool TRegistry::ReadBool(const AnsiString& name) { return ReadInteger(name) != 0; }

double TRegistry::ReadFloat(const AnsiString& name) {
    double v = 0;
    if (GetData(name, &v, sizeof v, {rdBinary, rdUnknown}) != sizeof v)
        throw ERegistryException("Invalid data type for '%s'", {name});
    return v;
}

TDateTime TRegistry::ReadDateTime(const AnsiString& name) { return ReadFloat(name); }

int TRegistry::ReadBinaryData(const AnsiString& name, void* buffer, int size) {
    TRegDataInfo info;
    if (!GetDataInfo(name, info)) throw ERegistryException("Failed to get data for '%s'", {name});
    if ((info.RegData != rdBinary && info.RegData != rdUnknown) || info.DataSize > size)
        throw ERegistryException("Invalid data type for '%s'", {name});
    return static_cast<int>(GetData(name, buffer, static_cast<DWORD>(size), {rdBinary, rdUnknown}));
}

void TRegistry::WriteString(const AnsiString& name, const AnsiString& value) {
    PutData(name, value.c_str(), static_cast<DWORD>(value.size() + 1), REG_SZ);
}

void TRegistry::WriteExpandString(const AnsiString& name, const AnsiString& value) {
    PutData(name, value.c_str(), static_cast<DWORD>(value.size() + 1), REG_EXPAND_SZ);
}

void TRegistry::WriteInteger(const AnsiString& name, int value) {
    DWORD v = static_cast<DWORD>(value);
    PutData(name, &v, sizeof v, REG_DWORD);
}

void TRegistry::WriteBool(const AnsiString& name, bool value) { WriteInteger(name, value ? 1 : 0); }

void TRegistry::WriteFloat(const AnsiString& name, double value) { PutData(name, &value, sizeof value, REG_BINARY); }

void TRegistry::WriteDateTime(const AnsiString& name, TDateTime value) { WriteFloat(name, value); }

void TRegistry::WriteBinaryData(const AnsiString& name, const void* buffer, int size) {
    PutData(name, buffer, static_cast<DWORD>(size), REG_BINARY);
}

// ---------------------------------------------------------------------------------------------------------
// TRegistryIniFile

TRegistryIniFile::TRegistryIniFile(const AnsiString& fileName, REGSAM access, HKEY root)
    : TCustomIniFile(fileName), registry_(new TRegistry(access)) {
    registry_->SetRootKey(root);
    registry_->OpenKey(fileName, true);
}

TRegistryIniFile::~TRegistryIniFile() { delete registry_; }

bool TRegistryIniFile::WithSection(const AnsiString& section, bool create, const std::function<void(TRegistry&)>& fn) {
    TRegistry key(registry_->GetAccess());
    key.SetRootKey(registry_->GetRootKey());
    AnsiString path = "\\" + StripLeadingBackslash(GetFileName());
    if (!section.empty()) path += "\\" + section;
    if (!key.OpenKey(path, create)) return false;
    fn(key);
    return true;
}

bool TRegistryIniFile::SectionExists(const AnsiString& section) {
    return WithSection(section, false, [](TRegistry&) {});
}

bool TRegistryIniFile::ValueExists(const AnsiString& section, const AnsiString& ident) {
    bool exists = false;
    WithSection(section, false, [&](TRegistry& key) { exists = key.ValueExists(ident); });
    return exists;
}

AnsiString TRegistryIniFile::ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) {
    AnsiString result = fallback;
    WithSection(section, false, [&](TRegistry& key) {
        TRegDataInfo info;
        if (!key.GetDataInfo(ident, info)) return;
        if (info.RegData == rdInteger) result = IntToStr(key.ReadInteger(ident));
        else if (info.RegData == rdString || info.RegData == rdExpandString) result = key.ReadString(ident);
    });
    return result;
}

void TRegistryIniFile::WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
    if (!WithSection(section, true, [&](TRegistry& key) { key.WriteString(ident, value); }))
        throw ERegistryException("Failed to create key %s", {section});
}

int TRegistryIniFile::ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback) {
    int result = fallback;
    WithSection(section, false, [&](TRegistry& key) {
        TRegDataInfo info;
        if (!key.GetDataInfo(ident, info)) return;
        if (info.RegData == rdInteger) result = key.ReadInteger(ident);
        else if (info.RegData == rdString) result = StrToIntDef(key.ReadString(ident), fallback);
    });
    return result;
}

void TRegistryIniFile::WriteInteger(const AnsiString& section, const AnsiString& ident, int value) {
    if (!WithSection(section, true, [&](TRegistry& key) { key.WriteInteger(ident, value); }))
        throw ERegistryException("Failed to create key %s", {section});
}

void TRegistryIniFile::ReadSection(const AnsiString& section, TStrings* strings) {
    strings->Clear();
    WithSection(section, false, [&](TRegistry& key) { key.GetValueNames(strings); });
}

void TRegistryIniFile::ReadSections(TStrings* strings) {
    strings->Clear();
    WithSection(AnsiString(), false, [&](TRegistry& key) { key.GetKeyNames(strings); });
}

void TRegistryIniFile::ReadSectionValues(const AnsiString& section, TStrings* strings) {
    TStringList names;
    ReadSection(section, &names);
    strings->BeginUpdate();
    strings->Clear();
    for (int i = 0; i < names.GetCount(); ++i) {
        const AnsiString& name = names.GetStrings(i);
        strings->Add(name + "=" + ReadString(section, name, AnsiString()));
    }
    strings->EndUpdate();
}

void TRegistryIniFile::EraseSection(const AnsiString& section) {
    WithSection(AnsiString(), false, [&](TRegistry& key) { key.DeleteKey(section); });
}

void TRegistryIniFile::DeleteKey(const AnsiString& section, const AnsiString& ident) {
    WithSection(section, false, [&](TRegistry& key) { key.DeleteValue(ident); });
}

}  // namespace vcl
