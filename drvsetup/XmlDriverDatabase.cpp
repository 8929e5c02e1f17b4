// The XML store: reads and checks a driver-database element, answers mappings and fallbacks from it, and
// writes it out as an installed file.
#include "XmlDriverDatabase.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "FileUrl.h"

namespace drvdb {

namespace {

std::string ReadWholeFile(const std::string& url) {
    FileHandle file(OpenFileUrl(url, true));
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size)) throw CError(CError::System, static_cast<int>(GetLastError()));
    if (size.QuadPart > static_cast<LONGLONG>(kMaxDatabaseFileSize)) throw CError(CError::InputOutput);
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!text.empty() && !ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) {
        throw CError(CError::System, static_cast<int>(GetLastError()));
    }
    if (read != text.size()) throw CError(CError::InputOutput);
    return text;
}

const char* MappingsType(int kind) { return kind == DeviceClassMapping ? "deviceclass" : "device"; }

MappingData ReadMapping(const TiXmlElement& element, int kind) {
    MappingData data;
    data.id = element.Attribute("id");
    data.kind = kind;
    for (const TiXmlElement* p = element.FirstChildElement("p"); p; p = p->NextSiblingElement("p")) {
        const char* id = p->Attribute("id");
        const char* value = p->Attribute("value");
        if (!id || !value) continue;
        const char* dt = p->Attribute("dt");
        data.properties[{dt ? dt : "", id}] = value;
    }
    for (const TiXmlElement* include = element.FirstChildElement("include-mapping"); include;
         include = include->NextSiblingElement("include-mapping")) {
        if (const char* source = include->Attribute("srcid")) data.includes.push_back(source);
    }
    return data;
}

// Throws CXMLError at the first start tag that opens more than kMaxElementNesting levels. Comments, CDATA,
// declarations and quoted attribute values are stepped over; a stray end tag never makes room below zero.
void CheckNesting(const std::string& text) {
    int depth = 0;
    auto skipPast = [&text](size_t from, const char* end) {
        const size_t found = text.find(end, from);
        return found == std::string::npos ? text.size() : found + std::strlen(end);
    };
    for (size_t i = 0; i < text.size();) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        if (text.compare(i, 4, "<!--") == 0) {
            i = skipPast(i, "-->");
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            i = skipPast(i, "]]>");
        } else if (i + 1 < text.size() && (text[i + 1] == '!' || text[i + 1] == '?')) {
            i = skipPast(i, ">");
        } else if (i + 1 < text.size() && text[i + 1] == '/') {
            depth = depth > 0 ? depth - 1 : 0;
            i = skipPast(i, ">");
        } else {
            const size_t tag = i;
            char quote = 0, last = 0;
            for (++i; i < text.size() && (quote || text[i] != '>'); ++i) {
                if (quote ? text[i] == quote : (text[i] == '"' || text[i] == '\'')) quote = quote ? 0 : text[i];
                if (!quote && text[i] > ' ') last = text[i];
            }
            ++i;
            if (last != '/' && ++depth > kMaxElementNesting) {
                const size_t lineStart = text.rfind('\n', tag) == std::string::npos ? 0 : text.rfind('\n', tag) + 1;
                const int row = 1 + static_cast<int>(std::count(text.begin(), text.begin() + tag, '\n'));
                throw CXMLError(TiXmlBase::TIXML_ERROR_PARSING_ELEMENT, "Elements nested too deeply", row,
                                static_cast<int>(tag - lineStart) + 1);
            }
        }
    }
}

}  // namespace

void ParseXml(TiXmlDocument& document, const std::string& text) {
    CheckNesting(text);
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error()) {
        throw CXMLError(document.ErrorId(), document.ErrorDesc(), document.ErrorRow(), document.ErrorCol());
    }
}

bool ReadIntAttribute(const TiXmlElement& element, const char* name, int& value) {
    const char* text = element.Attribute(name);
    if (!text) return false;
    if (!ParseStrictInt(text, value)) throw CError(CError::InvalidData);
    return true;
}

CXmlDriverDatabase::CXmlDriverDatabase(const TiXmlElement& element) {
    document_.InsertEndChild(element);
    Load();
}

CXmlDriverDatabase::CXmlDriverDatabase(const std::string& fileUrl) {
    ParseXml(document_, ReadWholeFile(fileUrl));
    Load();
}

void CXmlDriverDatabase::Load() {
    const TiXmlElement* root = document_.RootElement();
    if (!root || !EqualsNoCase(root->Value(), "driver-database")) throw CError(CError::InvalidData);
    int minReadVersion = 0;
    if (!ReadIntAttribute(*root, "min-read-version", minReadVersion)) throw CError(CError::InvalidData);
    if (minReadVersion >= 2) throw CError(CError::NeedsNewerReader);
    if (!ReadIntAttribute(*root, "revision", revision_)) throw CError(CError::InvalidData);
    if (const char* patchId = root->Attribute("patch-id")) patchId_ = patchId;
    if (const char* date = root->Attribute("modified-date")) {
        modifiedTime_ = ParseModifiedDate(date);
        if (modifiedTime_ != 0) modifiedDate_ = date;
    }
}

CMapping* CXmlDriverDatabase::GetMapping(const std::string& id, int kind) const {
    const TiXmlElement* root = document_.RootElement();
    for (const TiXmlElement* mappings = root->FirstChildElement("mappings"); mappings;
         mappings = mappings->NextSiblingElement("mappings")) {
        const char* type = mappings->Attribute("type");
        if (!type || !EqualsNoCase(type, MappingsType(kind))) continue;
        for (const TiXmlElement* mapping = mappings->FirstChildElement("mapping"); mapping;
             mapping = mapping->NextSiblingElement("mapping")) {
            const char* mappingId = mapping->Attribute("id");
            if (mappingId && EqualsNoCase(mappingId, id)) return NewMapping(ReadMapping(*mapping, kind));
        }
    }
    throw CError(CError::MappingNotFound);
}

CFallbackList* CXmlDriverDatabase::GetFallbacks() const {
    std::vector<FallbackEntry> entries;
    const TiXmlElement* fallbacks = document_.RootElement()->FirstChildElement("fallbacks");
    for (const TiXmlElement* fallback = fallbacks ? fallbacks->FirstChildElement("fallback") : nullptr; fallback;
         fallback = fallback->NextSiblingElement("fallback")) {
        const char* id = fallback->Attribute("p-id");
        const char* value = fallback->Attribute("p-value");
        const char* target = fallback->Attribute("fallback");
        FallbackEntry entry;
        if (!id || !value || !target || !ParseStrictDouble(value, entry.value) ||
            !ParseStrictDouble(target, entry.fallback)) {
            continue;
        }
        const char* dt = fallback->Attribute("p-dt");
        entry.dt = dt ? dt : "";
        entry.id = id;
        entries.push_back(entry);
    }
    return NewFallbackList(std::move(entries));
}

bool WriteXmlDatabaseFile(const std::string& url, const TiXmlElement& source) {
    if (StartsWithNoCase(url, "file:/")) {
        if (!CreateUrlFolders(url)) return false;
    } else if (!StartsWithNoCase(url, "file:")) {
        return false;
    }
    try {
        FileHandle file(OpenFileUrl(url, false));
        const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file.Get()), _O_BINARY);
        if (descriptor == -1) return false;
        file.Detach();  // the descriptor owns the handle now
        FILE* stream = _fdopen(descriptor, "wb");
        if (!stream) {
            _close(descriptor);
            return false;
        }
        std::fputs("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n", stream);
        source.Print(stream, -2);
        const bool written = !std::ferror(stream);
        return std::fclose(stream) == 0 && written;
    } catch (const CError&) {
        return false;
    }
}

}  // namespace drvdb
