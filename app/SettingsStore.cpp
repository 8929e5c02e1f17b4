// Loading and saving Pagorin's settings.
#include "SettingsStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace pagorin {
namespace {

const CodeName ColorModes[] = {{"Black and White", 0}, {"Grayscale", 1}, {"24-bit Color", 2}};
const CodeName FileFormats[] = {{"TIFF", 0}, {"BMP", 2}, {"JPG", 4}, {"PNG", 7}};
const CodeName PageSizes[] = {{"None", 0}, {"A4", 1},    {"Legal", 4}, {"A5", 5},
                              {"Letter", 3}, {"B4", 6}, {"B5", 2},    {"B6", 7}};

template <class F>
auto WithTable(CodeTable table, F f)
{
    switch (table) {
    case CodeTable::ColorModes: return f(std::begin(ColorModes), std::end(ColorModes));
    case CodeTable::FileFormats: return f(std::begin(FileFormats), std::end(FileFormats));
    default: return f(std::begin(PageSizes), std::end(PageSizes));
    }
}

// A whole decimal number, or nothing ("", "12a", "x", one past the range of long).
std::optional<int> ParseInt(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || value < -2147483647L || value > 2147483647L)
        return std::nullopt;
    return int(value);
}

std::pair<std::string, std::optional<std::string>> SplitFirstToken(const std::string& text)
{
    size_t bar = text.find('|');
    if (bar == std::string::npos)
        return {text, std::nullopt};
    return {text.substr(0, bar), text.substr(bar + 1)};
}

// A stored number in its range, else the default (written back when `writeDefault`).
int ReadRanged(const RegistryKey& key, const char* name, int fallback, int low, int high, bool writeDefault)
{
    std::optional<DWORD> value = key.ReadDword(name);
    if (value && int(*value) >= low && int(*value) <= high)
        return int(*value);
    if (writeDefault)
        key.WriteDword(name, DWORD(fallback));
    return fallback;
}

std::vector<std::string> LoadRecentList(const RegistryKey& key, const char* base, const char* first)
{
    std::vector<std::string> items;
    for (int i = 0; i < 5; ++i) {
        std::string name = std::string(base) + " " + std::to_string(i);
        std::optional<std::string> entry = key.ReadString(name.c_str(), MaxSettingText);
        if (!entry) {
            key.WriteString(name.c_str(), i == 0 ? first : "");
            if (i == 0)
                items.push_back(first);
        } else if (!entry->empty()) {
            items.push_back(*entry);
        }
    }
    return items;
}

std::vector<std::string> SplitFields(const std::string& text)
{
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
        size_t bar = text.find('|', start);
        fields.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            return fields;
        start = bar + 1;
    }
}

std::string Truncated(const std::string& text, size_t max) { return text.size() > max ? text.substr(0, max) : text; }

}  // namespace

std::optional<std::string> NameOfCode(CodeTable table, int code)
{
    return WithTable(table, [code](const CodeName* first, const CodeName* last) -> std::optional<std::string> {
        for (; first != last; ++first)
            if (first->Code == code)
                return std::string(first->Name);
        return std::nullopt;
    });
}

std::optional<int> CodeOfName(CodeTable table, const std::string& name)
{
    return WithTable(table, [&name](const CodeName* first, const CodeName* last) -> std::optional<int> {
        for (; first != last; ++first)
            if (name == first->Name)
                return first->Code;
        return std::nullopt;
    });
}

std::pair<std::string, std::string> CompiledPdfLabels(int option)
{
    switch (option) {
    case 1: return {"Yes", "Yes"};
    case 2: return {"No", "Yes"};
    default: return {"Yes", "No"};
    }
}

std::string CapacityText(int discType)
{
    switch (discType) {
    case 1: return "650 MB";
    case 2: return "4,200 MB";
    default: return "";
    }
}

void ReadScannerLabels(const KeyLocation& product, const std::string& scanner, SettingsView& view)
{
    RegistryKey sub(product.Sub(scanner), true);
    if (!sub.Valid())
        return;
    auto firstToken = [&sub](const char* name) {
        return SplitFirstToken(sub.ReadString(name, MaxSettingText).value_or("")).first;
    };
    // An empty value empties its label; a code that no table holds leaves the label as it is.
    auto codeLabel = [&](const char* name, CodeTable table, std::optional<std::string>& label) {
        std::string token = firstToken(name);
        if (token.empty()) {
            label = std::string();
            return;
        }
        if (std::optional<int> code = ParseInt(token))
            if (std::optional<std::string> text = NameOfCode(table, *code))
                label = *text;
    };
    codeLabel("Color Modes", CodeTable::ColorModes, view.ColorMode);
    codeLabel("File Formats", CodeTable::FileFormats, view.FileFormat);
    view.Resolution = firstToken("Resolution");
    codeLabel("Page Size", CodeTable::PageSizes, view.PageSize);
}

bool LoadDefaultSettings(const KeyLocation& product, Settings& settings, SettingsView& view)
{
    RegistryKey key(product, true);
    if (!key.Valid())
        return false;
    if (std::optional<DWORD> language = key.ReadDword("Language")) {
        settings.LanguageId = int(*language);
    } else {
        settings.LanguageId = 1033;
        key.WriteDword("Language", 1033);
    }
    settings.CurrentScannerName = key.ReadString("Default Scanner", MaxSettingText).value_or("");
    view.Scanner = settings.CurrentScannerName;
    if (!settings.CurrentScannerName.empty())
        ReadScannerLabels(product, settings.CurrentScannerName, view);

    settings.CompiledPdf = ReadRanged(key, "Compiled PDF", 0, 0, 2, true);
    settings.Copies = ReadRanged(key, "Copies", 1, 1, 999, true);
    settings.DiscType = ReadRanged(key, "Disc Type", 0, 0, 2, true);
    settings.MaxPdfSize = ReadRanged(key, "Max PDF File Size", 100, 1, 0x7fffffff, true);
    settings.RwDiscPolicy = ReadRanged(key, "RW Disc Policy", 0, 0, 1, true);
    settings.SpeedCd = ReadRanged(key, "Writing Speed CD", 0, 0, 8, true);
    settings.SpeedDvd = ReadRanged(key, "Writing Speed DVD", 0, 0, 7, true);
    settings.NextPageWait = ReadRanged(key, "Next Page Wait", 30, 5, 300, true);
    return true;
}

void LoadMainSettings(const KeyLocation& product, Settings& settings, SettingsView& view, DayLog& log)
{
    settings.LanguageId = 1033;
    settings.DeleteHotkeyFiles = false;
    RegistryKey key(product, true);
    if (!key.Valid()) {
        settings.WorkingPath = settings.InstallFolder;
        log.Prepare(settings.WorkingPath, key);
        return;
    }
    // An empty stored path counts as missing: it would put the queue and the logs at the drive's root.
    std::optional<std::string> working = key.ReadString("Working Path", MaxPathText);
    if (working && !working->empty()) {
        settings.WorkingPath = *working;
    } else {
        settings.WorkingPath = Truncated(settings.InstallFolder, MaxPathText);
        key.WriteString("Working Path", settings.WorkingPath);
    }
    if (std::optional<DWORD> remove = key.ReadDword("Delete Hotkey Files"))
        settings.DeleteHotkeyFiles = *remove != 0;
    else
        key.WriteDword("Delete Hotkey Files", 0);

    log.Prepare(settings.WorkingPath, key);

    if (std::optional<DWORD> language = key.ReadDword("Language"))
        settings.LanguageId = int(*language);
    std::string scanner = key.ReadString("Default Scanner", MaxSettingText).value_or("");
    if (!scanner.empty())
        view.Scanner = scanner;
    settings.CompiledPdf = ReadRanged(key, "Compiled PDF", 0, 0, 2, false);
    settings.Copies = ReadRanged(key, "Copies", 1, 1, 999, false);
    settings.DiscType = ReadRanged(key, "Disc Type", 0, 0, 2, false);
    settings.NextPageWait = ReadRanged(key, "Next Page Wait", settings.NextPageWait, 5, 300, false);
    view.DiscLabels = LoadRecentList(key, "Disc Label", "Scanned Doc");
    view.FileNamings = LoadRecentList(key, "File Naming", "Page");

    std::string shown = view.Scanner.value_or(settings.CurrentScannerName);
    if (shown.empty())
        return;
    RegistryKey sub(product.Sub(shown), true);
    if (sub.ReadDword("Duplex Mode").value_or(0) != 0) {
        view.DuplexVisible = true;
        if (sub.ReadDword("Duplex Enable").value_or(0) != 0)
            view.DuplexChecked = true;
    }
}

void SaveLanguageSetting(const RegistryKey& key, const Settings& settings)
{
    key.WriteDword("Language", DWORD(settings.LanguageId));
}

void SaveWriteSettings(const RegistryKey& key, Settings& settings, const WriteSettingsInput& input)
{
    key.WriteDword("Compiled PDF", DWORD(settings.CompiledPdf));
    key.WriteDword("Copies", DWORD(settings.Copies));
    key.WriteDword("Disc Type", DWORD(settings.DiscType));
    // A size that is no positive number keeps the current one rather than stopping the save half-way.
    std::optional<int> size = ParseInt(input.PdfSizeText);
    if (size && *size >= 1)
        settings.MaxPdfSize = *size;
    key.WriteDword("Max PDF File Size", DWORD(settings.MaxPdfSize));
    settings.RwDiscPolicy = input.RwPolicyIndex < 0 ? 0 : input.RwPolicyIndex;
    key.WriteDword("RW Disc Policy", DWORD(settings.RwDiscPolicy));
    key.WriteDword("Writing Speed CD", DWORD(settings.SpeedCd));
    key.WriteDword("Writing Speed DVD", DWORD(settings.SpeedDvd));
    settings.DeleteHotkeyFiles = input.DeleteHotkeyFiles;
    key.WriteDword("Delete Hotkey Files", input.DeleteHotkeyFiles ? 1 : 0);
}

std::string RewriteCodeList(const std::string& stored, CodeTable table, const std::string& chosenName)
{
    std::optional<int> code = CodeOfName(table, chosenName);
    if (!code)
        return stored;
    auto [current, rest] = SplitFirstToken(stored);
    return rest ? std::to_string(*code) + "|" + *rest : std::to_string(*code);
}

std::string RewriteResolution(const std::string& stored, const std::string& caption)
{
    auto [current, rest] = SplitFirstToken(stored);
    std::string result = caption.empty() ? current : caption;
    if (rest)
        result += "|" + *rest;
    return result;
}

std::string RewritePageSize(const std::string& stored, const std::string& caption)
{
    std::optional<int> code = CodeOfName(CodeTable::PageSizes, caption);
    if (!code)
        return stored;
    return std::to_string(*code) + "|" + SplitFirstToken(stored).second.value_or("");
}

void SaveScanSettings(const RegistryKey& key, const KeyLocation& keyLocation, Settings& settings,
                      const ScanSettingsInput& input)
{
    if (input.SelectedScanner)
        key.WriteString("Default Scanner", Truncated(*input.SelectedScanner, MaxSettingText));
    // A wait that is no number keeps the current one; the stored value stays in its range.
    if (std::optional<int> wait = PageWaitOf(input.PageWaitText))
        settings.NextPageWait = *wait;
    key.WriteDword("Next Page Wait", DWORD(settings.NextPageWait));
    if (!input.SelectedScanner)
        return;
    RegistryKey sub(keyLocation.Sub(*input.SelectedScanner), true);
    if (!sub.Valid())
        return;
    auto stored = [&sub](const char* name) { return sub.ReadString(name, MaxSettingText).value_or(""); };
    sub.WriteString("Color Modes", RewriteCodeList(stored("Color Modes"), CodeTable::ColorModes, input.ColorModeText));
    sub.WriteString("File Formats", RewriteCodeList(stored("File Formats"), CodeTable::FileFormats, input.FileFormatText));
    std::string resolution = RewriteResolution(stored("Resolution"), input.ResolutionCaption);
    if (!resolution.empty())
        sub.WriteString("Resolution", resolution);
    sub.WriteString("Page Size", RewritePageSize(stored("Page Size"), input.PageSizeCaption));
    if (input.DuplexVisible)
        sub.WriteDword("Duplex Enable", input.DuplexChecked ? 1 : 0);
}

ChoiceList StoredCodeChoices(CodeTable table, const std::string& stored)
{
    ChoiceList list;
    if (stored.empty())
        return list;
    std::vector<std::string> fields = SplitFields(stored);
    std::optional<int> current = ParseInt(fields[0]);
    for (size_t i = 1; i < fields.size(); ++i) {
        std::optional<int> code = ParseInt(fields[i]);
        std::optional<std::string> name = code ? NameOfCode(table, *code) : std::nullopt;
        if (!name)
            continue;
        list.Items.push_back(*name);
        if (code == current)
            list.Text = *name;
    }
    return list;
}

std::vector<long> ResolutionList(long lowest, long highest)
{
    std::vector<long> list{lowest};
    for (long step : {200L, 300L})
        if (lowest < step && step <= highest)
            list.push_back(step);
    // Doubling needs a positive start; 2v <= highest is asked without overflowing (highest may be negative).
    for (long v = list.back(); v > 0 && v <= highest / 2;)
        list.push_back(v *= 2);
    return list;
}

ChoiceList StoredResolutionChoices(const std::string& stored)
{
    ChoiceList list;
    std::vector<std::string> fields = SplitFields(stored);
    list.Text = fields[0];
    std::optional<int> current = ParseInt(fields[0]);
    std::optional<int> lowest = fields.size() == 3 ? ParseInt(fields[1]) : std::nullopt;
    std::optional<int> highest = fields.size() == 3 ? ParseInt(fields[2]) : std::nullopt;
    if (!current || !lowest || !highest)
        return list;
    std::vector<long> values = ResolutionList(*lowest, *highest);
    if (std::find(values.begin(), values.end(), *current) == values.end())
        values.insert(std::upper_bound(values.begin(), values.end(), long(*current)), *current);
    for (long value : values)
        list.Items.push_back(std::to_string(value));
    return list;
}

std::vector<std::string> WriteSpeedItems(int discType)
{
    switch (discType) {
    case 1: return {"Max", "48x", "40x", "32x", "24x", "16x", "12x", "8x", "4x"};
    case 2: return {"Max", "16x", "12x", "8x", "6x", "4x", "2x", "1x"};
    default: return {"Max"};
    }
}

std::optional<int> PageWaitOf(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    // Leading zeros aside, more than three digits is above the limit whatever they are.
    size_t first = std::min(text.find_first_not_of('0'), text.size());
    int value = text.size() - first > 3 ? MaxPageWait : std::atoi(text.c_str() + first);
    return std::clamp(value, MinPageWait, MaxPageWait);
}

void SaveRecentList(const KeyLocation& product, const char* base, const std::vector<std::string>& items)
{
    RegistryKey key(product, false);
    if (!key.Valid())
        return;
    // Longer entries would read back as missing and be lost at the next start.
    for (size_t i = 0; i < items.size(); ++i)
        key.WriteString((std::string(base) + " " + std::to_string(i)).c_str(), Truncated(items[i], MaxSettingText));
}

}  // namespace pagorin
