// Language file lookups and the built-in English texts.
#include "LanguageTexts.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace pagorin {
namespace {

struct KeyText {
    const char* Key;
    const wchar_t* Text;
};

const KeyText BuiltInTexts[] = {
    {"Main.Menu.File", L"File"},
    {"Main.Menu.Options", L"Options"},
    {"Main.Menu.Help", L"Help"},
    {"Main.Menu.StartTransaction", L"Start Transaction"},
    {"Main.Menu.LoadDefaultSettings", L"Load Default Settings"},
    {"Main.Menu.SaveSettingsToDefault", L"Save Settings To Default"},
    {"Main.Menu.SelectScanner", L"Select Scanner"},
    {"Main.Menu.Exit", L"Exit"},
    {"Main.Menu.Settings", L"Settings"},
    {"Main.Menu.TestTray", L"Test Tray"},
    {"Main.Menu.HelpManual", L"Pagorin Help Manual"},
    {"Main.Menu.WebPage", L"Tessaro Systems Web Page"},
    {"Main.Menu.About", L"About Pagorin"},
    {"Main.GroupBoxScanSettings", L" Scan Settings "},
    {"Main.GroupBoxScanSettings.Scanner", L"Scanner :"},
    {"Main.GroupBoxScanSettings.ColorMode", L"Color Mode :"},
    {"Main.GroupBoxScanSettings.Resolution", L"Resolution :"},
    {"Main.GroupBoxScanSettings.FileNaming", L"File Naming :"},
    {"Main.GroupBoxScanSettings.PageSize", L"Page Size :"},
    {"Main.GroupBoxScanSettings.FileFormat", L"File Format :"},
    {"Main.GroupBoxScanSettings.DuplexMode", L"Duplex Mode"},
    {"Main.FileWritten", L" Files to be Written "},
    {"Main.FileWritten.ScannedFiles", L"Scanned Files :"},
    {"Main.FileWritten.CompiledPDF", L"Compiled PDF :"},
    {"Main.TargetDisc", L" Target Disc "},
    {"Main.TargetDisc.DiscType", L"Disc Type :"},
    {"Main.TargetDisc.Capacity", L"Capacity :"},
    {"Main.TargetDisc.DiscLabel", L"Disc Label :"},
    {"Main.TargetDisc.WritePerTransaction", L"Write to Disc for Each Transaction"},
    {"Main.TargetDisc.TransactionSize", L"Transaction SSSS :"},
    {"Main.TargetDisc.DiscsRequired", L"Discs Required :"},
    {"Main.TargetDisc.Copies", L"Copies :"},
    {"Main.DiscWritingStatus", L" Disc Writing Status "},
    {"Main.DiscWritingStatus.Erase", L" [Erase]"},
    {"Main.DiscWritingStatus.Idle", L" [Idle] "},
    {"Main.DiscWritingStatus.Writing", L" [Writing] "},
    {"Main.DiscWritingStatus.Verify", L" [Verify] "},
    {"Main.DiscWritingStatus.Autoloader", L"Autoloader :"},
    {"Main.DiscWritingStatus.CurrentDisc", L"Current Disc :"},
    {"Main.ScanTransactions", L" Scan Transactions "},
    {"Main.ScanTransactions.NextScannedPageWaiting", L"Next Scanned Page Waiting"},
    {"Main.ScanTransactions.Write", L"Write"},
    {"Main.ScanTransactions.Append", L" Append"},
    {"Main.ScanTransactions.Abort", L" Abort"},
    {"Main.RobotOperating", L"Robot is operating, try later"},
    {"Main.Status.RobotNotOnline", L"Autoloader is not online ..."},
    {"Main.Status.ConnectintRobot", L"Connecting Autoloader ..."},
    {"Main.Status.PDFGenerating", L"PDF file generating ..."},
    {"Main.Status.LoadDisc", L"Loading Disc ..."},
    {"Main.Status.UnloadDisc", L"Unloading Disc ..."},
    {"Settings.ScanSettings", L"Scan Settings"},
    {"Settings.ScanSettings.Scanners", L"Scanners :"},
    {"Settings.ScanSettings.NextPageWait", L"Next Page Wait (Sec) :"},
    {"Settings.ScanSettings.PaperWidth", L"Width in Centimeters :"},
    {"Settings.ScanSettings.SaveToDefault", L" Save Settings to Default"},
    {"Settings.WriteSettings", L"Write Settings"},
    {"Settings.WriteSettings.AutoDetect", L"Auto Detect"},
    {"Settings.WriteSettings.None", L"None"},
    {"Settings.WriteSettings.AddPDF", L"With PDF File"},
    {"Settings.WriteSettings.PDFOnly", L"Write PDF File Only"},
    {"Settings.WriteSettings.RWDiscPolicy", L"RW Disc Policy :"},
    {"Settings.WriteSettings.AutoErase", L"Auto Erase"},
    {"Settings.WriteSettings.RejectDisc", L"Reject Disc"},
    {"Settings.WriteSettings.WriteSpeed", L"Write Speed :"},
    {"Settings.WriteSettings.DeleteHotKeyFiles", L"Delete HotKey Files"},
    {"Settings.PathSetting", L"Path"},
    {"Generic.OK", L"OK"},
    {"Generic.Apply", L"Apply"},
    {"Generic.Cancel", L"Cancel"},
    {"Settings.PopupMenu.GetProperties", L"Get Properties"},
    {"Settings.PopupMenu.RemoveFromList", L"Remove from List"},
    {"Settings.PopupMenu.ShowAllDevices", L"Show All TWAIN Devices"},
    {"Settings.ScanSettings.Notice", L"Click the right button on the device that you want to use"},
    {"Attention.WaitNextPage", L"Countdown seconds to wait for next scanned page input"},
    {"Attention.Button.Finish", L"Finish"},
    {"Attention.WaitConfirm.Finish", L"Wait until Finish button clicked"},
    {"Attention.WaitRobotIdle", L"The autoloader is in action, please wait until it is idle"},
    {"Attention.InputBinEmpty", L"There is no disc loaded into the writer, please check the input bin and try again"},
    {"Attention.ConfirmClose", L"The application is under a HOT-KEY operation, are you sure to terminate it?"},
    {"Attention.Button.Terminate", L"Terminate"},
    {"Attention.Seconds", L"Seconds"},
};

std::wstring Widen(const char* text)
{
    return std::wstring(text, text + std::strlen(text));  // keys are plain ASCII
}

}  // namespace

const wchar_t* DefaultText(const char* key)
{
    for (const KeyText& entry : BuiltInTexts)
        if (std::strcmp(entry.Key, key) == 0)
            return entry.Text;
    return L"";
}

std::vector<const char*> AllTextKeys()
{
    std::vector<const char*> keys;
    for (const KeyText& entry : BuiltInTexts)
        keys.push_back(entry.Key);
    return keys;
}

void LanguageFile::Select(const std::wstring& iniPath, int languageId)
{
    path_ = iniPath;
    section_ = TextIn(L"System", std::to_string(languageId).c_str(), L" ", 255);
    if (section_.empty())
        section_ = L" ";
}

std::wstring LanguageFile::Text(const char* key, size_t capacity) const
{
    return TextIn(section_, key, DefaultText(key), capacity);
}

std::wstring LanguageFile::TextIn(const std::wstring& section, const char* key, const std::wstring& fallback,
                                  size_t capacity) const
{
    // Without a file name the profile functions would read a file of that name in the Windows folder.
    if (path_.empty())
        return fallback.substr(0, capacity);
    std::wstring buffer(capacity + 1, L'\0');
    DWORD length = GetPrivateProfileStringW(section.c_str(), Widen(key).c_str(), fallback.c_str(), buffer.data(),
                                            DWORD(buffer.size()), path_.c_str());
    buffer.resize(length < capacity ? length : capacity);
    return buffer;
}

std::optional<std::vector<LanguageRow>> LanguageRows(const LanguageFile& file)
{
    if (file.Path().empty() || GetFileAttributesW(file.Path().c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    std::vector<LanguageRow> rows;
    for (const std::wstring& section : LanguageSections(file.Path()))
        rows.push_back({section, file.TextIn(section, "LocalLanguage", L" "), file.TextIn(section, "LCID", L"0000")});
    return rows;
}

int LcidValue(const std::wstring& text)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return 0;
    return std::stoi(text);
}

std::vector<std::wstring> LanguageSections(const std::wstring& iniPath)
{
    std::ifstream file(iniPath.c_str(), std::ios::binary);
    if (!file)
        return {};
    return LanguageSectionsOfText(std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
}

std::vector<std::wstring> LanguageSectionsOfText(const std::string& bytes)
{
    std::vector<std::wstring> sections;
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(wchar_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8)));
    // The byte-order mark is no part of the first line, so a section on that line is listed as well.
    if (!text.empty() && text[0] == 0xFEFF)
        text.erase(0, 1);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        std::wstring line = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        start = end == std::wstring::npos ? text.size() : end + 1;
        if (line.empty() || line[0] != L'[')
            continue;
        size_t open = line.rfind(L'[');
        size_t close = line.find(L']', open);
        if (close == std::wstring::npos)
            continue;
        std::wstring name = line.substr(open + 1, close - open - 1);
        if (name != L"System")
            sections.push_back(name);
    }
    return sections;
}

}  // namespace pagorin
