// The driver database model's shared pieces: version comparison, disc-type names, strict numbers, and the
// mapping and fallback objects both stores hand out.
#include "DrvDb.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <windows.h>

#include "RegDriverDatabase.h"
#include "XmlDriverDatabase.h"

namespace drvdb {

namespace {

// "DVD-RW" stands twice, so a name beginning with it gives two pairs; readers of the registry rely on it.
const char* const kDiscTypes[] = {"CD-ROM",   "CD-R",          "CD-RW", "DVD-ROM", "DVD-RAM",  "DVD-R",
                                  "DVD-RW",   "DVD-RW",        "DVD-RW (RO)", "DVD-R DL", "DVD-R DL (LJ)", "DVD+R",
                                  "DVD+RW",   "DVD+R DL",      "BD-ROM", "BD-R",    "BD-R (RR)", "BD-RE"};

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kFileTimeTicksPerSecond = 10000000;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, month 1 to 12.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    const int64_t era = FloorDiv(year, 400);
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Local wall-clock time to seconds since 1970 UTC (negative before), 0 when the system cannot convert it.
// Fields out of range carry over as the C runtime's mktime lets them (month 13 is January of the next
// year, February 30 is March 2); the time zone and its daylight saving rule for that date are the system's.
// Win32's SYSTEMTIME and FILETIME calls keep the result whole on both builds, past 2038 and before 1970.
int64_t LocalToUnixSeconds(int year, int month, int day, int hour, int minute) {
    const int64_t carriedYear = year + FloorDiv(month - 1, 12);
    const int64_t carriedMonth = month - 1 - FloorDiv(month - 1, 12) * 12 + 1;
    const int64_t wallSeconds =
        (DaysFromCivil(carriedYear, carriedMonth, 1) + day - 1) * kSecondsPerDay + hour * 3600 + minute * 60;
    const int64_t wallTicks = (wallSeconds + kSecondsFrom1601To1970) * kFileTimeTicksPerSecond;
    if (wallTicks < 0) return 0;
    const FILETIME wallFile = {static_cast<DWORD>(wallTicks), static_cast<DWORD>(wallTicks >> 32)};
    SYSTEMTIME wall, utc;
    FILETIME utcFile;
    if (!FileTimeToSystemTime(&wallFile, &wall) || !TzSpecificLocalTimeToSystemTime(nullptr, &wall, &utc) ||
        !SystemTimeToFileTime(&utc, &utcFile)) {
        return 0;
    }
    const int64_t utcTicks = static_cast<int64_t>((static_cast<uint64_t>(utcFile.dwHighDateTime) << 32) |
                                                  utcFile.dwLowDateTime);
    return utcTicks / kFileTimeTicksPerSecond - kSecondsFrom1601To1970;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool OnlyCharsOf(const std::string& text, const char* allowed) {
    if (text.empty()) return false;
    bool digit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (!std::strchr(allowed, c) || c == '\0') {
            return false;
        }
    }
    return digit;
}

class CPropertyIteratorImpl : public CPropertyIterator {
public:
    using Table = std::map<std::pair<std::string, std::string>, std::string>;
    explicit CPropertyIteratorImpl(const Table& table) : table_(table), at_(table.end()) {}
    void Release() override { delete this; }
    bool Next() override {
        if (!started_) {
            started_ = true;
            at_ = table_.begin();
        } else if (at_ != table_.end()) {
            ++at_;
        }
        return at_ != table_.end();
    }
    std::string Id() const override { return Valid() ? at_->first.second : std::string(); }
    std::string Value() const override { return Valid() ? at_->second : std::string(); }
    std::string Dt() const override { return Valid() ? at_->first.first : std::string(); }

private:
    bool Valid() const { return started_ && at_ != table_.end(); }
    const Table& table_;
    Table::const_iterator at_;
    bool started_ = false;
};

class CMappingImpl : public CMapping {
public:
    explicit CMappingImpl(MappingData data) : data_(std::move(data)) {}
    void Release() override { delete this; }
    std::string Id() const override { return data_.id; }
    int Kind() const override { return data_.kind; }
    bool GetString(const char* dt, const std::string& id, std::string& value) const override {
        auto found = data_.properties.find({dt ? dt : "", id});
        if (found == data_.properties.end()) return false;
        value = found->second;
        return true;
    }
    bool GetDouble(const char* dt, const std::string& id, double& value) const override {
        std::string text;
        return GetString(dt, id, text) && ParseStrictDouble(text, value);
    }
    bool GetInt(const char* dt, const std::string& id, int& value) const override {
        std::string text;
        return GetString(dt, id, text) && ParseStrictInt(text, value);
    }
    // The iterator reads the mapping's table, so it must be released before the mapping.
    CPropertyIterator* NewPropertyIterator() const override { return new CPropertyIteratorImpl(data_.properties); }
    int IncludeCount() const override { return static_cast<int>(data_.includes.size()); }
    std::string Include(int index) const override {
        if (index < 0 || index >= IncludeCount()) return std::string();
        return data_.includes[index];
    }

private:
    MappingData data_;
};

class CFallbackListImpl : public CFallbackList {
public:
    explicit CFallbackListImpl(std::vector<FallbackEntry> entries) : entries_(std::move(entries)) {}
    void Release() override { delete this; }
    bool Find(const char* dt, const std::string& id, double value, double& fallback) const override {
        const std::string wanted = dt ? dt : "";
        for (const FallbackEntry& entry : entries_) {
            if (entry.dt == wanted && entry.id == id && entry.value == value) {
                fallback = entry.fallback;
                return true;
            }
        }
        return false;
    }

private:
    std::vector<FallbackEntry> entries_;
};

}  // namespace

CDriverDatabase* OpenDriverDatabase(const std::string& url) {
    static const std::string registryScheme = "reg:///";
    if (url.compare(0, registryScheme.size(), registryScheme) == 0) {
        return new CRegDriverDatabase(url.substr(registryScheme.size()));
    }
    return new CXmlDriverDatabase(url);
}

bool IsNewerDatabase(const CDriverDatabase& a, const CDriverDatabase& b) {
    if (a.Revision() != b.Revision()) return a.Revision() > b.Revision();
    return a.ModifiedTime() > b.ModifiedTime();
}

int64_t ParseModifiedDate(const std::string& text) {
    int year, month, day, hour, minute;
    if (std::sscanf(text.c_str(), "%04d-%02d-%02d %02d:%02d", &year, &month, &day, &hour, &minute) != 5) return 0;
    return LocalToUnixSeconds(year, month, day, hour, minute);
}

std::vector<std::pair<std::string, std::string>> SplitDiscTypePrefix(const std::string& name) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const char* type : kDiscTypes) {
        const size_t length = std::strlen(type);
        if (name.compare(0, length, type) == 0) pairs.emplace_back(type, name.substr(length));
    }
    if (pairs.empty()) pairs.emplace_back(std::string(), name);
    return pairs;
}

bool ParseStrictDouble(const std::string& text, double& value) {
    if (!OnlyCharsOf(text, ".-")) return false;
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (*end != '\0') return false;
    value = parsed;
    return true;
}

bool ParseStrictInt(const std::string& text, int& value) {
    if (!OnlyCharsOf(text, "-")) return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}

CMapping* NewMapping(MappingData data) { return new CMappingImpl(std::move(data)); }

CFallbackList* NewFallbackList(std::vector<FallbackEntry> entries) {
    return new CFallbackListImpl(std::move(entries));
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
    }
    return true;
}

}  // namespace drvdb
