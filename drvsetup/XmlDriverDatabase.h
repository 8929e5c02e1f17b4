// The driver database held in an XML document: the attached setup document's element or an installed file.
#pragma once

#include <tinyxml.h>

#include "DrvDb.h"

namespace drvdb {

class CXmlDriverDatabase : public CDriverDatabase {
public:
    // Both throw CError (CXMLError for a file that does not parse).
    explicit CXmlDriverDatabase(const TiXmlElement& element);
    explicit CXmlDriverDatabase(const std::string& fileUrl);

    void Release() override { delete this; }
    int Revision() const override { return revision_; }
    std::string PatchId() const override { return patchId_; }
    std::string ModifiedDate() const override { return modifiedDate_; }
    int64_t ModifiedTime() const override { return modifiedTime_; }
    CMapping* GetMapping(const std::string& id, int kind) const override;
    CFallbackList* GetFallbacks() const override;

private:
    ~CXmlDriverDatabase() override = default;
    void Load();

    TiXmlDocument document_;
    int revision_ = 0;
    std::string patchId_;
    std::string modifiedDate_;
    int64_t modifiedTime_ = 0;
};

// Installed files are read whole, up to this size.
constexpr unsigned long kMaxDatabaseFileSize = 0x1000000;

// Elements nested deeper than this are refused before parsing: the parser recurses once per level.
constexpr int kMaxElementNesting = 1000;

// Parses UTF-8 XML text; a parse error, or elements nested beyond kMaxElementNesting, throws CXMLError.
void ParseXml(TiXmlDocument& document, const std::string& text);

// A present integer attribute must be a whole number (CError 1 otherwise); false when it is absent.
bool ReadIntAttribute(const TiXmlElement& element, const char* name, int& value);

// Writes the element as an installed database file, creating its folders for a "file:/" URL. False on any failure.
bool WriteXmlDatabaseFile(const std::string& url, const TiXmlElement& source);

}  // namespace drvdb
