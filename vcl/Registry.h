// TRegistry over the ANSI registry functions, and TRegistryIniFile (sections = subkeys, values = values).
#pragma once

#include "Classes.h"
#include "IniFiles.h"

namespace vcl {

VCL_EXCEPTION(ERegistryException, Exception)

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int DataSize = 0;
};

class TRegistry : public TObject {
    VCL_CLASS(TRegistry, TObject)
    TRegistry() : TRegistry(KEY_ALL_ACCESS) {}
    explicit TRegistry(REGSAM access) : access_(access) {}
    ~TRegistry() override;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY GetRootKey() const { return rootKey_; }
    void SetRootKey(HKEY root);
    HKEY GetCurrentKey() const { return currentKey_; }
    const AnsiString& GetCurrentPath() const { return currentPath_; }
    REGSAM GetAccess() const { return access_; }
    void SetAccess(REGSAM access) { access_ = access; }
    bool GetLazyWrite() const { return lazyWrite_; }
    void SetLazyWrite(bool lazy) { lazyWrite_ = lazy; }

    // A key with a leading "\" is taken from the root, any other from the open key (or the root).
    bool OpenKey(const AnsiString& key, bool canCreate);
    bool OpenKeyReadOnly(const AnsiString& key);
    void CloseKey();
    bool CreateKey(const AnsiString& key);
    bool DeleteKey(const AnsiString& key);  // with its subkeys
    bool KeyExists(const AnsiString& key);
    bool HasSubKeys();
    void GetKeyNames(TStrings* strings);
    void GetValueNames(TStrings* strings);

    bool ValueExists(const AnsiString& name);
    bool DeleteValue(const AnsiString& name);
    bool GetDataInfo(const AnsiString& name, TRegDataInfo& info);
    TRegDataType GetDataType(const AnsiString& name);
    int GetDataSize(const AnsiString& name);  // -1 when missing

    // Raise ERegistryException for a value of another type; ReadString gives "" for a missing value.
    AnsiString ReadString(const AnsiString& name);
    int ReadInteger(const AnsiString& name);
    bool ReadBool(const AnsiString& name);
    double ReadFloat(const AnsiString& name);
    TDateTime ReadDateTime(const AnsiString& name);
    TDateTime ReadDate(const AnsiString& name) { return ReadDateTime(name); }
    TDateTime ReadTime(const AnsiString& name) { return ReadDateTime(name); }
    // Copies the binary value into `buffer`; raises when it is larger than `size`. Gives the bytes copied.
    int ReadBinaryData(const AnsiString& name, void* buffer, int size);

    void WriteString(const AnsiString& name, const AnsiString& value);
    void WriteExpandString(const AnsiString& name, const AnsiString& value);
    void WriteInteger(const AnsiString& name, int value);
    void WriteBool(const AnsiString& name, bool value);
    void WriteFloat(const AnsiString& name, double value);
    void WriteDateTime(const AnsiString& name, TDateTime value);
    void WriteDate(const AnsiString& name, TDateTime value) { WriteDateTime(name, value); }
    void WriteTime(const AnsiString& name, TDateTime value) { WriteDateTime(name, value); }
    void WriteBinaryData(const AnsiString& name, const void* buffer, int size);

private:
    HKEY BaseKey(bool relative) const;
    bool OpenKeyWith(const AnsiString& key, bool canCreate, REGSAM access);
    void ChangeKey(HKEY key, const AnsiString& path);
    void PutData(const AnsiString& name, const void* data, DWORD size, DWORD type);
    // Reads a value of one of `types` into `buffer`; raises for a missing value or another type.
    DWORD GetData(const AnsiString& name, void* buffer, DWORD size, std::initializer_list<TRegDataType> types);

    HKEY rootKey_ = HKEY_CURRENT_USER;
    HKEY currentKey_ = nullptr;
    AnsiString currentPath_;
    REGSAM access_;
    bool lazyWrite_ = true;
};

class TRegistryIniFile : public TCustomIniFile {
    VCL_CLASS(TRegistryIniFile, TCustomIniFile)
    // `fileName` is a key path under HKEY_CURRENT_USER (or the given root).
    explicit TRegistryIniFile(const AnsiString& fileName, REGSAM access = KEY_ALL_ACCESS,
                              HKEY root = HKEY_CURRENT_USER);
    ~TRegistryIniFile() override;

    TRegistry* GetRegIniFile() const { return registry_; }

    bool SectionExists(const AnsiString& section) override;
    bool ValueExists(const AnsiString& section, const AnsiString& ident) override;
    AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) override;
    void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) override;
    int ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback) override;
    void WriteInteger(const AnsiString& section, const AnsiString& ident, int value) override;
    void ReadSection(const AnsiString& section, TStrings* strings) override;
    void ReadSections(TStrings* strings) override;
    void ReadSectionValues(const AnsiString& section, TStrings* strings) override;
    void EraseSection(const AnsiString& section) override;
    void DeleteKey(const AnsiString& section, const AnsiString& ident) override;
    void UpdateFile() override {}

private:
    // Runs `fn` with the section's key open (created when asked); false when it could not be opened.
    bool WithSection(const AnsiString& section, bool create, const std::function<void(TRegistry&)>& fn);
    TRegistry* registry_;
};

}  // namespace vcl
