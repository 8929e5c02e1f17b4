// The driver database flattened into one registry key: version values, a FALLBACKS key and a key per mapping.
#pragma once

#include <windows.h>

#include <tinyxml.h>

#include "DrvDb.h"

namespace drvdb {

// Closes a registry key when it goes out of scope.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY Get() const { return key_; }
    HKEY* Receive() {
        Close();
        return &key_;
    }
    void Close() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};

class CRegDriverDatabase : public CDriverDatabase {
public:
    // "ROOT/path/of/key" (the URL without "reg:///"); the key stays open for reading until Release.
    // Throws CError 0 with the registry status, or CError 4 for a version that is no number.
    explicit CRegDriverDatabase(const std::string& location);

    void Release() override { delete this; }
    int Revision() const override { return revision_; }
    std::string PatchId() const override { return patchId_; }
    std::string ModifiedDate() const override { return modifiedDate_; }
    int64_t ModifiedTime() const override { return modifiedTime_; }
    CMapping* GetMapping(const std::string& id, int kind) const override;
    CFallbackList* GetFallbacks() const override;

private:
    ~CRegDriverDatabase() override = default;

    RegKey key_;
    int revision_ = 0;
    std::string patchId_;
    std::string modifiedDate_;
    int64_t modifiedTime_ = 0;
};

// Replaces the key of a "reg:///ROOT/path" URL by the source element's database. The whole source is checked
// first: a source the key cannot hold leaves the installed key as it was. A registry error while writing
// leaves the key partly written. False on any failure.
bool WriteRegistryDatabase(const std::string& url, const TiXmlElement& source);

}  // namespace drvdb
