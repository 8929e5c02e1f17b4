// Interface texts from the language file "Pagorin.ini" (UTF-16 INI in the installation folder): section
// "System" maps a language identifier to a language section; every key has a built-in English default.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pagorin {

// Capacity of a text that goes straight to a control.
constexpr size_t ControlTextCapacity = 2047;

// The built-in English text of a key ("" for a key no window uses).
const wchar_t* DefaultText(const char* key);
// Every key with a built-in text, in the order the windows apply them (for writing language files).
std::vector<const char*> AllTextKeys();

class LanguageFile {
public:
    // Chooses the file and the language; without a file (or path) every text is its default.
    void Select(const std::wstring& iniPath, int languageId);
    // The section in use; a single blank when the language is unknown (names no section).
    const std::wstring& Section() const { return section_; }
    const std::wstring& Path() const { return path_; }

    // The text of `key` in the current language, cut to `capacity` characters; the default when the file,
    // the section or the key is missing; empty when the file gives an empty value.
    std::wstring Text(const char* key, size_t capacity = ControlTextCapacity) const;
    // The same in any section with an explicit default.
    std::wstring TextIn(const std::wstring& section, const char* key, const std::wstring& fallback,
                        size_t capacity = ControlTextCapacity) const;

private:
    std::wstring path_;
    std::wstring section_ = L" ";
};

// The language sections of a language file in file order ("System" left out); empty without the file.
std::vector<std::wstring> LanguageSections(const std::wstring& iniPath);
// The same for the file's bytes (UTF-16LE).
std::vector<std::wstring> LanguageSectionsOfText(const std::string& bytes);

// A row of the settings dialog's language list: the section, the language's own name and its identifier as
// the file writes them.
struct LanguageRow {
    std::wstring Section, LocalLanguage, Lcid;
};
// Every language section of the file chosen in `file`; nothing when the file cannot be read.
std::optional<std::vector<LanguageRow>> LanguageRows(const LanguageFile& file);
// The identifier a row's text stands for: a whole decimal number, else 0.
int LcidValue(const std::wstring& text);

}  // namespace pagorin
