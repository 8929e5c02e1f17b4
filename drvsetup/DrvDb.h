// The driver database model: a version, mappings of drive models and drive classes to properties, and
// fallback values. Two stores implement it: an XML document and a registry key.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace drvdb {

// Thrown by value from every store. Kinds: see the constants; the code is the Windows error or registry
// status for kind 0 and -1 for every other kind.
class CError {
public:
    enum Kind { System = 0, InvalidData = 1, NeedsNewerReader = 2, MappingNotFound = 3, InputOutput = 4, Xml = 5 };

    CError(int kind, int code = -1) : kind_(kind), code_(code) {}
    virtual ~CError() = default;
    int Kind() const { return kind_; }
    int Code() const { return code_; }

private:
    int kind_;
    int code_;
};

// A parse error of the XML library: its error id, message and position (row and column counted from 1).
class CXMLError : public CError {
public:
    CXMLError(int id, std::string message, int row, int column)
        : CError(Xml, id), message_(std::move(message)), row_(row), column_(column) {}
    const std::string& Message() const { return message_; }
    int Row() const { return row_; }
    int Column() const { return column_; }

private:
    std::string message_;
    int row_;
    int column_;
};

enum MappingKind { DeviceMapping = 0, DeviceClassMapping = 1 };

// Objects below are made by factories and given back with Release, which deletes them.
class CPropertyIterator {
public:
    virtual void Release() = 0;
    // The first call moves to the first property; false at the end.
    virtual bool Next() = 0;
    virtual std::string Id() const = 0;
    virtual std::string Value() const = 0;
    virtual std::string Dt() const = 0;

protected:
    virtual ~CPropertyIterator() = default;
};

class CMapping {
public:
    virtual void Release() = 0;
    virtual std::string Id() const = 0;
    virtual int Kind() const = 0;
    // dt may be null: the property that applies to every disc type.
    virtual bool GetString(const char* dt, const std::string& id, std::string& value) const = 0;
    virtual bool GetDouble(const char* dt, const std::string& id, double& value) const = 0;
    virtual bool GetInt(const char* dt, const std::string& id, int& value) const = 0;
    virtual CPropertyIterator* NewPropertyIterator() const = 0;  // caller releases
    virtual int IncludeCount() const = 0;
    virtual std::string Include(int index) const = 0;

protected:
    virtual ~CMapping() = default;
};

class CFallbackList {
public:
    virtual void Release() = 0;
    // dt may be null: only entries for every disc type match.
    virtual bool Find(const char* dt, const std::string& id, double value, double& fallback) const = 0;

protected:
    virtual ~CFallbackList() = default;
};

class CDriverDatabase {
public:
    virtual void Release() = 0;
    virtual int Revision() const = 0;
    virtual std::string PatchId() const = 0;
    virtual std::string ModifiedDate() const = 0;
    virtual int64_t ModifiedTime() const = 0;
    virtual CMapping* GetMapping(const std::string& id, int kind) const = 0;  // caller releases
    virtual CFallbackList* GetFallbacks() const = 0;                          // caller releases

protected:
    virtual ~CDriverDatabase() = default;
};

class CTargetList {
public:
    virtual void Release() = 0;
    virtual bool Next() = 0;
    virtual std::string Current() const = 0;

protected:
    virtual ~CTargetList() = default;
};

// Owns one of the objects above and releases it.
struct Releaser {
    template <class T> void operator()(T* object) const { object->Release(); }
};
template <class T> using Ref = std::unique_ptr<T, Releaser>;

// "reg:///ROOT/path" opens the registry store, anything else an XML file URL. Throws CError.
CDriverDatabase* OpenDriverDatabase(const std::string& url);

// a is newer than b: a higher revision, or the same revision and a later modified time.
bool IsNewerDatabase(const CDriverDatabase& a, const CDriverDatabase& b);

// "YYYY-MM-DD hh:mm" as local time, in seconds since 1970 UTC (negative before); 0 when the text does not
// give all five numbers or the date lies before 1601.
int64_t ParseModifiedDate(const std::string& text);

// Every disc type of the table that is a prefix of the name, with the rest; ("", name) when none is.
std::vector<std::pair<std::string, std::string>> SplitDiscTypePrefix(const std::string& name);

// Numbers made of digits, '.' and '-' only (no blanks, signs or exponents), read whole.
bool ParseStrictDouble(const std::string& text, double& value);
bool ParseStrictInt(const std::string& text, int& value);

// What a mapping holds in either store.
struct MappingData {
    std::string id;
    int kind = DeviceMapping;
    std::vector<std::string> includes;
    std::map<std::pair<std::string, std::string>, std::string> properties;  // (disc type, id) -> value
};

struct FallbackEntry {
    std::string dt;
    std::string id;
    double value;
    double fallback;
};

// The stores' common answers: a mapping and a fallback list made from plain data. Caller releases.
CMapping* NewMapping(MappingData data);
CFallbackList* NewFallbackList(std::vector<FallbackEntry> entries);

// ASCII case-insensitive comparisons used for names and URL prefixes.
bool EqualsNoCase(const std::string& a, const std::string& b);
bool StartsWithNoCase(const std::string& text, const std::string& prefix);

}  // namespace drvdb
