// The exported functions of PDFLIBRARY.DLL: handle checks, failure injection and the trace around PdfDocument.
// No exception leaves an export.
#include "PdfLibrary.h"

#include "Lab.h"
#include "PdfDocument.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

struct RuraroDocument {
    std::mutex mutex;  // one call at a time per document
    pdf::PdfDocument document;
    lab::Scenario scenario;  // as it was when the document was created: its failures
    RuraroDocument(std::wstring title, std::wstring author, lab::Scenario scenario)
        : document(std::move(title), std::move(author)), scenario(std::move(scenario)) {}
};

struct RuraroSection {
    std::shared_ptr<RuraroDocument> owner;
    size_t index;
};

namespace {

const char kComponent[] = "PDFLIBRARY";

// Live handles. A document stays alive while a call on it runs, even if another thread frees it meanwhile.
std::mutex handlesMutex;
std::map<RuraroDocument*, std::shared_ptr<RuraroDocument>> documents;
std::map<RuraroSection*, std::unique_ptr<RuraroSection>> sections;

std::shared_ptr<RuraroDocument> FindDocument(RURARO_DOCUMENT handle) {
    std::lock_guard lock(handlesMutex);
    const auto found = documents.find(handle);
    return found == documents.end() ? nullptr : found->second;
}

std::shared_ptr<RuraroDocument> FindSectionOwner(RURARO_SECTION handle, size_t& index) {
    std::lock_guard lock(handlesMutex);
    const auto found = sections.find(handle);
    if (found == sections.end()) return nullptr;
    index = found->second->index;
    return found->second->owner;
}

std::wstring FromAnsi(const char* text) {
    if (!text || !*text) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::string Utf8Of(const char* text) { return lab::ToUtf8(FromAnsi(text)); }

std::string HandleText(const void* handle) {
    char text[32];
    snprintf(text, sizeof text, "%p", handle);
    return text;
}

// Counting a call costs a rewrite of the lab's call counts, too slow for hundreds of pages: only calls that
// the scenario names under [Failures] are counted. A document's calls look at the scenario it was created
// under, which spares reading it for every page.
bool Injected(const lab::Scenario& scenario, const char* function) {
    const std::wstring key = lab::FromUtf8(std::string(kComponent) + "." + function);
    if (!scenario.Find(L"Failures", key)) return false;
    const auto code = lab::InjectedFailure(kComponent, function);
    if (code) SetLastError(static_cast<DWORD>(*code));
    return code.has_value();
}

// The scenario's [Delays] for a call, as every device of the lab honours them; a document's calls take them
// from the scenario it was created under.
void Delayed(const lab::Scenario& scenario, const char* function) {
    const long long ms = scenario.Int(L"Delays", lab::FromUtf8(std::string(kComponent) + "." + function), 0);
    if (ms > 0) Sleep(static_cast<DWORD>(std::min<long long>(ms, 600000)));
}

}  // namespace

extern "C" RURARO_DOCUMENT WINAPI RURARO_Create(const char* title, const char* author) {
    try {
        RURARO_DOCUMENT result = nullptr;
        lab::Scenario scenario = lab::Scenario::Load();
        Delayed(scenario, "RURARO_Create");
        if (!Injected(scenario, "RURARO_Create")) {
            auto document = std::make_shared<RuraroDocument>(FromAnsi(title), FromAnsi(author), std::move(scenario));
            std::lock_guard lock(handlesMutex);
            result = document.get();
            documents.emplace(result, std::move(document));
        }
        lab::Trace(kComponent, "RURARO_Create", Utf8Of(title) + "|" + Utf8Of(author), HandleText(result));
        return result;
    } catch (const std::exception& error) {
        lab::Trace(kComponent, "RURARO_Create", error.what(), HandleText(nullptr));
        return nullptr;
    }
}

extern "C" RURARO_SECTION WINAPI RURARO_AddSection(RURARO_DOCUMENT handle, const char* title) {
    try {
        RURARO_SECTION result = nullptr;
        auto document = FindDocument(handle);
        if (document) Delayed(document->scenario, "RURARO_AddSection");
        if (document && !Injected(document->scenario, "RURARO_AddSection")) {
            size_t index;
            {
                std::lock_guard lock(document->mutex);
                index = document->document.AddSection(FromAnsi(title));
            }
            auto section = std::make_unique<RuraroSection>(RuraroSection{document, index});
            std::lock_guard lock(handlesMutex);
            result = section.get();
            sections.emplace(result, std::move(section));
        }
        lab::Trace(kComponent, "RURARO_AddSection", HandleText(handle) + "|" + Utf8Of(title), HandleText(result));
        return result;
    } catch (const std::exception& error) {
        lab::Trace(kComponent, "RURARO_AddSection", error.what(), HandleText(nullptr));
        return nullptr;
    }
}

extern "C" BOOL WINAPI RURARO_AddImageFilePage(RURARO_SECTION handle, int imageKind, const char* imagePath) {
    const std::string arguments = HandleText(handle) + "|" + std::to_string(imageKind) + "|" + Utf8Of(imagePath);
    try {
        size_t index = 0;
        auto document = FindSectionOwner(handle, index);
        if (document) Delayed(document->scenario, "RURARO_AddImageFilePage");
        std::string outcome = "0";
        if (!document) {
            outcome = "0 unknown section";
        } else if (imageKind != RURARO_IMAGE_JPEG || !imagePath) {
            outcome = "0 unsupported image kind";
        } else if (!Injected(document->scenario, "RURARO_AddImageFilePage")) {
            std::lock_guard lock(document->mutex);
            document->document.AddJpegPage(index, FromAnsi(imagePath));
            outcome = "1";
        }
        lab::Trace(kComponent, "RURARO_AddImageFilePage", arguments, outcome);
        return outcome == "1";
    } catch (const std::exception& error) {
        lab::Trace(kComponent, "RURARO_AddImageFilePage", arguments, std::string("0 ") + error.what());
        return FALSE;
    }
}

extern "C" BOOL WINAPI RURARO_SaveToFileName(RURARO_DOCUMENT handle, const char* path) {
    const std::string arguments = HandleText(handle) + "|" + Utf8Of(path);
    try {
        auto document = FindDocument(handle);
        if (document) Delayed(document->scenario, "RURARO_SaveToFileName");
        std::string outcome = "0";
        if (!document || !path || !*path) {
            outcome = "0 unknown document or no path";
        } else if (!Injected(document->scenario, "RURARO_SaveToFileName")) {
            std::lock_guard lock(document->mutex);
            document->document.Save(FromAnsi(path));
            outcome = "1";
        }
        lab::Trace(kComponent, "RURARO_SaveToFileName", arguments, outcome);
        return outcome == "1";
    } catch (const std::exception& error) {
        lab::Trace(kComponent, "RURARO_SaveToFileName", arguments, std::string("0 ") + error.what());
        return FALSE;
    }
}

extern "C" void WINAPI RURARO_Free(RURARO_DOCUMENT handle) {
    try {
        std::shared_ptr<RuraroDocument> released;  // destroyed after the lock is left
        {
            std::lock_guard lock(handlesMutex);
            const auto found = documents.find(handle);
            if (found != documents.end()) {
                released = std::move(found->second);
                documents.erase(found);
                std::erase_if(sections, [&](const auto& entry) { return entry.second->owner == released; });
            }
        }
        lab::Trace(kComponent, "RURARO_Free", HandleText(handle), released ? "1" : "0 unknown document");
    } catch (...) {
    }
}
