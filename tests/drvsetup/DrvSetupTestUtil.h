// Test documents, attached programs and unique registry keys for the driver database setup tests.
#pragma once

#include <windows.h>

#include <tinyxml.h>

#include <cstdint>
#include <string>

#include "TestSupport.h"

namespace drvsetuptest {

// A driver-database element: revision, optional modified date, extra attributes and children.
inline std::string DatabaseXml(int revision, const std::string& date = "", const std::string& body = "",
                               const std::string& attributes = "") {
    std::string xml = "<driver-database min-read-version=\"1\" revision=\"" + std::to_string(revision) + "\"";
    if (!date.empty()) xml += " modified-date=\"" + date + "\"";
    if (!attributes.empty()) xml += " " + attributes;
    return xml + ">" + body + "</driver-database>";
}

// The setup document around a database element.
inline std::string SetupXml(const std::string& database, const std::string& rootAttributes = "") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<driver-database-setup" +
           (rootAttributes.empty() ? std::string() : " " + rootAttributes) + ">\n" + database +
           "\n</driver-database-setup>\n";
}

inline std::string LengthWord(uint32_t length) {
    std::string word(4, '\0');
    for (int i = 0; i < 4; ++i) word[i] = static_cast<char>((length >> (8 * i)) & 0xFF);
    return word;
}

// The bare program with a document and its length attached.
inline std::string BareProgram() {
    static const std::string bytes = testsupport::ReadFileBytes(testsupport::BinDir() + L"Quenfold-bare.exe");
    return bytes;
}
inline std::string AttachedProgram(const std::string& document) {
    return BareProgram() + document + LengthWord(static_cast<uint32_t>(document.size()));
}

inline std::string Utf8(const std::wstring& text) { return testsupport::ToUtf8(text); }
inline std::string FileUrl(const std::wstring& path) {
    std::string url = "file:///" + Utf8(path);
    for (char& c : url) {
        if (c == '\\') c = '/';
    }
    return url;
}

// A registry key of this test process under HKEY_CURRENT_USER, removed on destruction.
class TestRegKey {
public:
    explicit TestRegKey(const std::string& name)
        : path_("Software\\Corvell\\Tests\\" + name + "-" + std::to_string(GetCurrentProcessId())) {
        testsupport::DeleteRegTree(HKEY_CURRENT_USER, Wide());
    }
    ~TestRegKey() { testsupport::DeleteRegTree(HKEY_CURRENT_USER, Wide()); }
    const std::string& Path() const { return path_; }
    std::wstring Wide(const std::string& below = "") const {
        return testsupport::FromUtf8(below.empty() ? path_ : path_ + "\\" + below);
    }
    std::string Url() const {
        std::string url = "reg:///HKEY_CURRENT_USER/" + path_;
        for (char& c : url) {
            if (c == '\\') c = '/';
        }
        return url;
    }
    bool Exists(const std::string& below = "") const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(below).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

private:
    std::string path_;
};

// A parsed XML text whose root element a test hands to the stores.
class ParsedXml {
public:
    explicit ParsedXml(const std::string& text) { document_.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8); }
    const TiXmlElement& Root() const { return *document_.RootElement(); }
    bool Ok() const { return !document_.Error() && document_.RootElement(); }

private:
    TiXmlDocument document_;
};

}  // namespace drvsetuptest
