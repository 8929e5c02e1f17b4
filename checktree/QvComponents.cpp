// Common components of the layer.
#include "QvComponents.h"

#include <algorithm>

#include "ExtCtrls.h"
#include "IniFiles.h"
#include "QvTreeVw.h"
#include "Registry.h"
#include "SysUtils.h"

using namespace vcl;

// ---------------------------------------------------------------------------------------------------------
// TQvFrameController

namespace {

// A value read from the store, kept only when it is one of the enumeration's values.
int InRange(int value, int last, int fallback) { return value >= 0 && value <= last ? value : fallback; }

// The control's published property of exactly that name, when it can be written.
const TPropInfo* WritableProp(TControl* control, const char* name)
{
    const TPropInfo* prop = control->ClassType()->FindProp(name);
    return prop && prop->Set ? prop : nullptr;
}

// A set copied by its element names, so the control's own set type decides the bits.
Int64 TranslateSet(TSides sides, const TPropInfo& target)
{
    Int64 mask = 0;
    for (size_t i = 0; i < FrameSideNames().size(); ++i) {
        if (!(sides & (1u << i))) continue;
        const auto found = std::find(target.Names.begin(), target.Names.end(), FrameSideNames()[i]);
        if (found != target.Names.end()) mask |= Int64(1) << (found - target.Names.begin());
    }
    return mask;
}

}  // namespace

const std::vector<AnsiString>& FrameStyleNames()
{
    static const std::vector<AnsiString> names = {"fsNone",   "fsFlat",       "fsGroove", "fsBump",
                                                  "fsLowered", "fsButtonDown", "fsRaised", "fsButtonUp",
                                                  "fsStatus", "fsPopup",      "fsFlatBold"};
    return names;
}

const std::vector<AnsiString>& FrameSideNames()
{
    static const std::vector<AnsiString> names = {"sdLeft", "sdTop", "sdRight", "sdBottom"};
    return names;
}

void DefineOldFrameProperties(TFiler* Filer, const TOldFrameProperties& Target)
{
    Filer->DefineProperty(
        "FrameFlat",
        [Target](TReader* reader) {
            const bool flat = reader->ReadBoolean();
            Target.SetHotTrack(flat);
            if (flat) {
                Target.SetStyle(fsStatus);
                Target.SetHotStyle(fsLowered);
            }
        },
        nullptr, false);
    Filer->DefineProperty(
        "FrameFocusStyle",
        [Target](TReader* reader) {
            const AnsiString name = reader->ReadIdent();
            const auto& names = FrameStyleNames();
            const auto found = std::find(names.begin(), names.end(), name);
            if (found != names.end()) Target.SetHotStyle(static_cast<TFrameStyle>(found - names.begin()));
        },
        nullptr, false);
    Filer->DefineProperty("FrameFlatStyle", &TQvOldPropReader::ReadOldIdentProp, nullptr, false);
}

VCL_IMPLEMENT_CLASS(TQvFrameController, TComponent, {
    m.Publish("About", &TQvFrameController::GetAbout, &TQvFrameController::SetAbout)
        .WithNames({"aiQuvaneComponents"})
        .Stored(false);
    m.Publish("Color", &TQvFrameController::GetColor, &TQvFrameController::SetColor)
        .WithDefault(clWindow)
        .Stored(&TQvFrameController::IsColorStored);
    m.Publish("DisabledColor", &TQvFrameController::GetDisabledColor, &TQvFrameController::SetDisabledColor)
        .WithDefault(clBtnFace);
    m.Publish("FlatButtonColor", &TQvFrameController::GetFlatButtonColor, &TQvFrameController::SetFlatButtonColor)
        .WithDefault(clBtnFace);
    m.Publish("FlatButtons", &TQvFrameController::GetFlatButtons, &TQvFrameController::SetFlatButtons)
        .WithDefault(true);
    m.Publish("FocusColor", &TQvFrameController::GetFocusColor, &TQvFrameController::SetFocusColor)
        .WithDefault(clWindow);
    m.Publish("FrameColor", &TQvFrameController::GetFrameColor, &TQvFrameController::SetFrameColor)
        .WithDefault(clBtnShadow);
    m.Publish("FrameHotColor", &TQvFrameController::GetFrameHotColor, &TQvFrameController::SetFrameHotColor)
        .WithDefault(clBtnShadow);
    m.Publish("FrameHotStyle", &TQvFrameController::GetFrameHotStyle, &TQvFrameController::SetFrameHotStyle)
        .WithNames(FrameStyleNames())
        .WithDefault(fsFlatBold);
    m.Publish("FrameHotTrack", &TQvFrameController::GetFrameHotTrack, &TQvFrameController::SetFrameHotTrack)
        .WithDefault(false);
    m.Publish("FrameSides", &TQvFrameController::GetFrameSides, &TQvFrameController::SetFrameSides)
        .AsSet(FrameSideNames())
        .WithDefault(AllSides);
    m.Publish("FrameStyle", &TQvFrameController::GetFrameStyle, &TQvFrameController::SetFrameStyle)
        .WithNames(FrameStyleNames())
        .WithDefault(fsFlat);
    m.Publish("FrameVisible", &TQvFrameController::GetFrameVisible, &TQvFrameController::SetFrameVisible)
        .WithDefault(false);
    m.Publish("FramingPreference", &TQvFrameController::GetFramingPreference,
              &TQvFrameController::SetFramingPreference)
        .WithNames({"fpCustomFraming", "fpXPThemes"})
        .WithDefault(fpXPThemes);
    m.Publish("ParentColor", &TQvFrameController::GetParentColor, &TQvFrameController::SetParentColor)
        .WithDefault(false);
    m.Publish("RegIniFile", &TQvFrameController::GetRegIniFile, &TQvFrameController::SetRegIniFile);
})

TQvFrameController::TQvFrameController(TComponent* AOwner) : TComponent(AOwner) {}

TQvFrameController::~TQvFrameController() { FControls.reset(); }

void TQvFrameController::AddControl(TControl* Control)
{
    if (!FControls) FControls = std::make_unique<std::vector<TControl*>>();
    if (std::find(FControls->begin(), FControls->end(), Control) != FControls->end()) return;
    FControls->push_back(Control);
    UpdateControlFrame(Control, fpAll);
}

void TQvFrameController::RemoveControl(TControl* Control)
{
    if (!FControls) return;
    FControls->erase(std::remove(FControls->begin(), FControls->end(), Control), FControls->end());
    if (FControls->empty()) FControls.reset();
}

void TQvFrameController::EndUpdate()
{
    if (--FUpdateCount < 1) {
        FUpdateCount = 0;
        UpdateFrames(fpAll);
    }
}

void TQvFrameController::UpdateFrames(TQvFrameProperty Property)
{
    if (FUpdateCount >= 1 || !FControls) return;
    // A control may unregister itself while being updated: walk a copy.
    const std::vector<TControl*> controls = *FControls;
    for (TControl* control : controls) UpdateControlFrame(control, Property);
}

void TQvFrameController::UpdateControlFrame(TControl* Control, TQvFrameProperty Property)
{
    if (!Control) return;
    if (auto* custom = dynamic_cast<IQvCustomFramingNotification*>(Control)) {
        custom->FramingSettingsChanged();
        return;
    }
    auto write = [Control](const char* name, Int64 value) {
        if (const TPropInfo* prop = WritableProp(Control, name)) prop->Set(Control, TPropValue(value));
    };
    auto writeSides = [&] {
        if (const TPropInfo* prop = WritableProp(Control, "FrameSides"))
            prop->Set(Control, TPropValue(TranslateSet(FFrameSides, *prop)));
    };
    const bool all = Property == fpAll;
    if (all || Property == fpParentColor) write("ParentColor", FParentColor);
    if ((all && !FParentColor) || Property == fpColor) write("Color", FColor);
    if (all || Property == fpDisabledColor) write("DisabledColor", FDisabledColor);
    if (all || Property == fpFocusColor) write("FocusColor", FFocusColor);
    if (all || Property == fpFlatButtonColor) write("FlatButtonColor", FFlatButtonColor);
    if (all || Property == fpFlatButtons) write("FlatButtons", FFlatButtons);
    if (all || Property == fpFrameColor) write("FrameColor", FFrameColor);
    if (all || Property == fpHotColor) write("FrameHotColor", FFrameHotColor);
    if (all || Property == fpHotTrack) write("FrameHotTrack", FFrameHotTrack);
    if (all || Property == fpHotStyle) write("FrameHotStyle", FFrameHotStyle);
    if (all || Property == fpSides) writeSides();
    if (all || Property == fpStyle) write("FrameStyle", FFrameStyle);
    if (all || Property == fpVisible) write("FrameVisible", FFrameVisible);
    if (all || Property == fpPreference) write("FramingPreference", FFramingPreference);
}

template <class T>
void TQvFrameController::Change(T& field, T value, TQvFrameProperty property)
{
    if (field == value) return;
    field = value;
    UpdateFrames(property);
}

void TQvFrameController::SetColor(TColor Value)
{
    if (Value == FColor) return;
    if (FColor == FFocusColor) FFocusColor = Value;
    FColor = Value;
    FParentColor = false;
    UpdateFrames(fpColor);
}

void TQvFrameController::SetDisabledColor(TColor Value) { Change(FDisabledColor, Value, fpDisabledColor); }
void TQvFrameController::SetFlatButtonColor(TColor Value) { Change(FFlatButtonColor, Value, fpFlatButtonColor); }
void TQvFrameController::SetFlatButtons(bool Value) { Change(FFlatButtons, Value, fpFlatButtons); }
void TQvFrameController::SetFocusColor(TColor Value) { Change(FFocusColor, Value, fpFocusColor); }
void TQvFrameController::SetFrameColor(TColor Value) { Change(FFrameColor, Value, fpFrameColor); }
void TQvFrameController::SetFrameHotColor(TColor Value) { Change(FFrameHotColor, Value, fpHotColor); }
void TQvFrameController::SetFrameHotStyle(TFrameStyle Value) { Change(FFrameHotStyle, Value, fpHotStyle); }
void TQvFrameController::SetFrameSides(TSides Value) { Change(FFrameSides, Value, fpSides); }
void TQvFrameController::SetFrameStyle(TFrameStyle Value) { Change(FFrameStyle, Value, fpStyle); }
void TQvFrameController::SetFrameVisible(bool Value) { Change(FFrameVisible, Value, fpVisible); }

void TQvFrameController::SetFramingPreference(TFramingPreference Value)
{
    Change(FFramingPreference, Value, fpPreference);
}

void TQvFrameController::SetFrameHotTrack(bool Value)
{
    if (Value == FFrameHotTrack) return;
    FFrameHotTrack = Value;
    if (Value) {
        SetFrameVisible(true);
        if (!GetComponentState().Contains(csLoading)) FFrameSides = AllSides;
    }
    UpdateFrames(fpHotTrack);
}

void TQvFrameController::SetParentColor(bool Value)
{
    if (Value == FParentColor) return;
    FParentColor = Value;
    UpdateFrames(fpParentColor);
    if (!Value) UpdateFrames(fpColor);
}

void TQvFrameController::SetRegIniFile(TQvRegIniFile* Value)
{
    if (Value == FRegIniFile) return;
    if (FRegIniFile) FRegIniFile->RemoveFreeNotification(this);
    FRegIniFile = Value;
    if (Value) Value->FreeNotification(this);
}

void TQvFrameController::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FRegIniFile) FRegIniFile = nullptr;
}

void TQvFrameController::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TQvFrameController*>(Source);
    if (!source) {
        TComponent::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        SetColor(source->FColor);
        SetDisabledColor(source->FDisabledColor);
        SetFlatButtonColor(source->FFlatButtonColor);
        SetFlatButtons(source->FFlatButtons);
        SetFocusColor(source->FFocusColor);
        SetFrameColor(source->FFrameColor);
        SetFrameHotColor(source->FFrameHotColor);
        SetFrameHotTrack(source->FFrameHotTrack);
        SetFrameHotStyle(source->FFrameHotStyle);
        SetFrameSides(source->FFrameSides);
        SetFrameStyle(source->FFrameStyle);
        SetFrameVisible(source->FFrameVisible);
        SetFramingPreference(source->FFramingPreference);
        SetParentColor(source->FParentColor);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TQvFrameController::Loaded()
{
    TComponent::Loaded();
    UpdateControls();
}

void TQvFrameController::DefineProperties(TFiler* Filer)
{
    TComponent::DefineProperties(Filer);
    DefineOldFrameProperties(Filer, {[this](bool on) { FFrameHotTrack = on; },
                                     [this](TFrameStyle style) { FFrameStyle = style; },
                                     [this](TFrameStyle style) { FFrameHotStyle = style; }});
}

void TQvFrameController::Load(const AnsiString& Section)
{
    if (!FRegIniFile) throw Exception("Cannot load Custom Framing settings--No TQvRegIniFile component specified");
    TQvRegIniFile* ini = FRegIniFile;
    BeginUpdate();
    try {
        FColor = ini->ReadInteger(Section, "Color", clWindow);
        FFlatButtonColor = ini->ReadInteger(Section, "FlatButtonColor", clBtnFace);
        FFlatButtons = ini->ReadBool(Section, "FlatButtons", true);
        FDisabledColor = ini->ReadInteger(Section, "DisabledColor", clWindow);
        FFocusColor = ini->ReadInteger(Section, "FocusColor", clWindow);
        FFrameColor = ini->ReadInteger(Section, "FrameColor", clBtnShadow);
        FFrameHotColor = ini->ReadInteger(Section, "FrameHotColor", clBtnShadow);
        // Styles and the preference index tables later: a value outside them counts as missing.
        FFrameHotStyle =
            static_cast<TFrameStyle>(InRange(ini->ReadInteger(Section, "FrameHotStyle", fsFlatBold), LastFrameStyle,
                                             fsFlatBold));
        FFrameHotTrack = ini->ReadBool(Section, "FrameHotTrack", false);
        TSides sides = 0;
        if (ini->ReadBool(Section, "FrameSides_Left", true)) sides |= SideBit(sdLeft);
        if (ini->ReadBool(Section, "FrameSides_Top", true)) sides |= SideBit(sdTop);
        if (ini->ReadBool(Section, "FrameSides_Right", true)) sides |= SideBit(sdRight);
        if (ini->ReadBool(Section, "FrameSides_Bottom", true)) sides |= SideBit(sdBottom);
        FFrameSides = sides;
        FFrameStyle = static_cast<TFrameStyle>(
            InRange(ini->ReadInteger(Section, "FrameStyle", fsFlat), LastFrameStyle, fsFlat));
        FFrameVisible = ini->ReadBool(Section, "FrameVisible", false);
        FFramingPreference = static_cast<TFramingPreference>(
            InRange(ini->ReadInteger(Section, "FramingPreference", fpXPThemes), fpXPThemes, fpXPThemes));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TQvFrameController::Save(const AnsiString& Section)
{
    if (!FRegIniFile) throw Exception("Cannot save Custom Framing settings--No TQvRegIniFile component specified");
    TQvRegIniFile* ini = FRegIniFile;
    ini->WriteInteger(Section, "Color", FColor);
    ini->WriteInteger(Section, "FlatButtonColor", FFlatButtonColor);
    ini->WriteBool(Section, "FlatButtons", FFlatButtons);
    ini->WriteInteger(Section, "DisabledColor", FDisabledColor);
    ini->WriteInteger(Section, "FocusColor", FFocusColor);
    ini->WriteInteger(Section, "FrameColor", FFrameColor);
    ini->WriteInteger(Section, "FrameHotColor", FFrameHotColor);
    ini->WriteInteger(Section, "FrameHotStyle", FFrameHotStyle);
    ini->WriteBool(Section, "FrameHotTrack", FFrameHotTrack);
    ini->WriteBool(Section, "FrameSides_Left", HasSide(FFrameSides, sdLeft));
    ini->WriteBool(Section, "FrameSides_Top", HasSide(FFrameSides, sdTop));
    ini->WriteBool(Section, "FrameSides_Right", HasSide(FFrameSides, sdRight));
    ini->WriteBool(Section, "FrameSides_Bottom", HasSide(FFrameSides, sdBottom));
    ini->WriteInteger(Section, "FrameStyle", FFrameStyle);
    ini->WriteBool(Section, "FrameVisible", FFrameVisible);
    ini->WriteInteger(Section, "FramingPreference", FFramingPreference);
}

// ---------------------------------------------------------------------------------------------------------
// TQvRegIniFile

namespace {

const std::vector<AnsiString> regAccessNames = {"keyQueryValue", "keySetValue", "keyCreateSubKey",
                                                "keyEnumerateSubKeys", "keyNotify", "keyCreateLink", "keyRead",
                                                "keyWrite", "keyExecute", "keyAllAccess"};
constexpr DWORD regAccessRights[] = {0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x20019, 0x20006, 0x20019, 0xF003F};

class RegKey {
public:
    RegKey(HKEY root, const AnsiString& path, DWORD access)
    {
        if (RegOpenKeyExA(root, path.c_str(), 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~RegKey()
    {
        if (key_) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

AnsiString HexBytes(const std::vector<BYTE>& bytes)
{
    AnsiString text;
    for (size_t i = 0; i < bytes.size(); ++i) text += Format(i ? " %.2x" : "%.2x", {int(bytes[i])});
    return text;
}

}  // namespace

VCL_IMPLEMENT_CLASS(TQvRegIniFile, TComponent, {
    m.Publish("About", &TQvRegIniFile::GetAbout, &TQvRegIniFile::SetAbout).WithNames({"aiQuvaneComponents"}).Stored(false);
    m.Publish("Path", &TQvRegIniFile::GetPath, &TQvRegIniFile::SetPath);
    m.Publish("PathType", &TQvRegIniFile::GetPathType, &TQvRegIniFile::SetPathType)
        .WithNames({"ptIniFile", "ptRegistry"})
        .WithDefault(ptIniFile);
    m.Publish("RegKey", &TQvRegIniFile::GetRegKey, &TQvRegIniFile::SetRegKey)
        .WithNames({"hkeyClassesRoot", "hkeyCurrentUser", "hkeyLocalMachine", "hkeyUsers", "hkeyPerformanceData",
                    "hkeyCurrentConfig", "hkeyDynData"})
        .WithDefault(hkeyCurrentUser);
    m.Publish("RegAccess", &TQvRegIniFile::GetRegAccess, &TQvRegIniFile::SetRegAccess)
        .AsSet(regAccessNames)
        .WithDefault(RegAccessBit(keyAllAccess));
})

TQvRegIniFile::TQvRegIniFile(TComponent* AOwner) : TComponent(AOwner) {}
TQvRegIniFile::~TQvRegIniFile() = default;

void TQvRegIniFile::MarkStale() { FStale = true; }

void TQvRegIniFile::SetPath(const AnsiString& Value)
{
    FPath = Value;
    MarkStale();
}

void TQvRegIniFile::SetPathType(TQvPathType Value)
{
    FPathType = Value;
    MarkStale();
}

void TQvRegIniFile::SetRegKey(TQvRegKey Value)
{
    FRegKey = Value;
    MarkStale();
}

void TQvRegIniFile::SetRegAccess(TQvRegAccess Value)
{
    FRegAccess = Value;
    MarkStale();
}

HKEY TQvRegIniFile::RootKey() const { return reinterpret_cast<HKEY>(ULONG_PTR(0x80000000u + FRegKey)); }

DWORD TQvRegIniFile::AccessMask() const
{
    DWORD mask = 0;
    for (int key = keyQueryValue; key <= keyAllAccess; ++key)
        if (FRegAccess & (1u << key)) mask |= regAccessRights[key];
    return mask;
}

AnsiString TQvRegIniFile::ResolvedPath() const
{
    if (!FPath.empty()) return FPath;
    if (FPathType == ptIniFile) return ChangeFileExt(ParamStr(0), ".ini");
    const AnsiString title = Application ? Application->GetTitle() : AnsiString();
    return "\\Software\\Temp\\" + (title.empty() ? ChangeFileExt(ExtractFileName(ParamStr(0)), "") : title);
}

TCustomIniFile* TQvRegIniFile::Store()
{
    if (FStale) {
        FStore.reset();
        if (FPathType == ptIniFile) {
            FStore = std::make_unique<TIniFile>(ResolvedPath());
        } else {
            FStore = std::make_unique<TRegistryIniFile>(ResolvedPath(), AccessMask(), RootKey());
        }
        FStale = false;
    }
    return FStore.get();
}

bool TQvRegIniFile::SectionExists(const AnsiString& Section) { return Store()->SectionExists(Section); }
bool TQvRegIniFile::ValueExists(const AnsiString& Section, const AnsiString& Name)
{
    return Store()->ValueExists(Section, Name);
}
bool TQvRegIniFile::ReadBool(const AnsiString& Section, const AnsiString& Name, bool Default)
{
    return Store()->ReadBool(Section, Name, Default);
}
void TQvRegIniFile::WriteBool(const AnsiString& Section, const AnsiString& Name, bool Value)
{
    Store()->WriteBool(Section, Name, Value);
}
int TQvRegIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Name, int Default)
{
    return Store()->ReadInteger(Section, Name, Default);
}
void TQvRegIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Name, int Value)
{
    Store()->WriteInteger(Section, Name, Value);
}
AnsiString TQvRegIniFile::ReadString(const AnsiString& Section, const AnsiString& Name, const AnsiString& Default)
{
    return Store()->ReadString(Section, Name, Default);
}
void TQvRegIniFile::WriteString(const AnsiString& Section, const AnsiString& Name, const AnsiString& Value)
{
    Store()->WriteString(Section, Name, Value);
}
double TQvRegIniFile::ReadFloat(const AnsiString& Section, const AnsiString& Name, double Default)
{
    return Store()->ReadFloat(Section, Name, Default);
}
void TQvRegIniFile::WriteFloat(const AnsiString& Section, const AnsiString& Name, double Value)
{
    Store()->WriteFloat(Section, Name, Value);
}
TDateTime TQvRegIniFile::ReadDate(const AnsiString& Section, const AnsiString& Name, TDateTime Default)
{
    return Store()->ReadDate(Section, Name, Default);
}
TDateTime TQvRegIniFile::ReadDateTime(const AnsiString& Section, const AnsiString& Name, TDateTime Default)
{
    return Store()->ReadDateTime(Section, Name, Default);
}
TDateTime TQvRegIniFile::ReadTime(const AnsiString& Section, const AnsiString& Name, TDateTime Default)
{
    return Store()->ReadTime(Section, Name, Default);
}
void TQvRegIniFile::WriteDate(const AnsiString& Section, const AnsiString& Name, TDateTime Value)
{
    Store()->WriteDate(Section, Name, Value);
}
void TQvRegIniFile::WriteDateTime(const AnsiString& Section, const AnsiString& Name, TDateTime Value)
{
    Store()->WriteDateTime(Section, Name, Value);
}
void TQvRegIniFile::WriteTime(const AnsiString& Section, const AnsiString& Name, TDateTime Value)
{
    Store()->WriteTime(Section, Name, Value);
}
int TQvRegIniFile::ReadBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value)
{
    return Store()->ReadBinaryStream(Section, Name, Value);
}
void TQvRegIniFile::WriteBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value)
{
    Store()->WriteBinaryStream(Section, Name, Value);
}
void TQvRegIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) { Store()->ReadSection(Section, Strings); }
void TQvRegIniFile::ReadSections(TStrings* Strings) { Store()->ReadSections(Strings); }
void TQvRegIniFile::EraseSection(const AnsiString& Section) { Store()->EraseSection(Section); }
void TQvRegIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Name) { Store()->DeleteKey(Section, Name); }

void TQvRegIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings)
{
    TCustomIniFile* store = Store();
    if (FPathType == ptIniFile) {
        store->ReadSectionValues(Section, Strings);
        return;
    }
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        // The same key path the store itself writes to, also when Path is empty.
        AnsiString path = ResolvedPath();
        if (path.empty() || path.back() != '\\') path += '\\';
        path += Section;
        if (!path.empty() && path.front() == '\\') path.erase(0, 1);
        RegKey key(RootKey(), path, KEY_READ);
        for (DWORD index = 0; key.Get(); ++index) {
            char name[16384];
            DWORD nameLength = sizeof(name), type = 0, size = 0;
            if (RegEnumValueA(key.Get(), index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                break;
            std::vector<BYTE> data(size + 2, 0);
            nameLength = sizeof(name);
            if (RegEnumValueA(key.Get(), index, name, &nameLength, nullptr, &type, data.data(), &size) !=
                ERROR_SUCCESS)
                break;
            data.resize(size);
            const AnsiString valueName = nameLength ? AnsiString(name, nameLength) : AnsiString("Default");
            auto text = [&data] { return AnsiString(reinterpret_cast<const char*>(data.data()), strnlen(reinterpret_cast<const char*>(data.data()), data.size())); };
            if (nameLength == 0 || type == REG_SZ || type == REG_EXPAND_SZ) {
                Strings->Add(Format("%s=%s", {valueName, text()}));
            } else if (type == REG_DWORD && data.size() >= 4) {
                int value;
                std::memcpy(&value, data.data(), 4);
                Strings->Add(Format("%s=%d", {valueName, value}));
            } else if (type == REG_BINARY) {
                Strings->Add(valueName + "=" + HexBytes(data));
            } else {
                Strings->Add(Format("%s=%s", {valueName, AnsiString("Unknown Data Type")}));
            }
        }
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

// ---------------------------------------------------------------------------------------------------------
// TQvCustomColors

VCL_IMPLEMENT_CLASS(TQvCustomColors, TComponent, {
    m.Publish("About", &TQvCustomColors::GetAbout, &TQvCustomColors::SetAbout).WithNames({"aiQuvaneComponents"}).Stored(false);
    m.Publish("Colors", &TQvCustomColors::GetColors, &TQvCustomColors::SetColors);
    m.Publish("RegIniFile", &TQvCustomColors::GetRegIniFile, &TQvCustomColors::SetRegIniFile);
})

TQvCustomColors::TQvCustomColors(TComponent* AOwner) : TComponent(AOwner), FColors(new TStringList())
{
    InitColors();
}

TQvCustomColors::~TQvCustomColors() { delete FColors; }

void TQvCustomColors::InitColors()
{
    for (char letter = 'A'; letter <= 'P'; ++letter) FColors->Add(AnsiString("Color") + letter + "=FFFFFF");
}

AnsiString TQvCustomColors::GetColorName(int Index) const { return FColors->GetNames(Index); }

void TQvCustomColors::SetColors(TStrings* Value)
{
    FColors->Assign(Value);
    Normalize();
}

void TQvCustomColors::Normalize()
{
    for (int i = 0; i < FColors->GetCount(); ++i) {
        const AnsiString name = FColors->GetNames(i);
        const int value = StrToInt("$" + FColors->GetValueFromIndex(i)) & 0xFFFFFF;
        FColors->Put(i, name + "=" + LowerCase(Format("%.6x", {value})));
    }
}

void TQvCustomColors::Load(const AnsiString& Section)
{
    if (!FRegIniFile) throw Exception("Cannot load Custom Colors--No TQvRegIniFile component specified");
    FRegIniFile->ReadSectionValues(Section, FColors);
    Normalize();
}

void TQvCustomColors::Save(const AnsiString& Section)
{
    if (!FRegIniFile) throw Exception("Cannot save Custom Colors--No TQvRegIniFile component specified");
    for (int i = 0; i < FColors->GetCount(); ++i)
        FRegIniFile->WriteString(Section, FColors->GetNames(i), FColors->GetValueFromIndex(i));
}

void TQvCustomColors::SetRegIniFile(TQvRegIniFile* Value)
{
    if (Value == FRegIniFile) return;
    if (FRegIniFile) FRegIniFile->RemoveFreeNotification(this);
    FRegIniFile = Value;
    if (Value) Value->FreeNotification(this);
}

void TQvCustomColors::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FRegIniFile) FRegIniFile = nullptr;
}

// ---------------------------------------------------------------------------------------------------------
// TQvDialogComponent

VCL_IMPLEMENT_CLASS(TQvDialogComponent, TComponent, {
    m.Publish("CenterToParent", &TQvDialogComponent::GetCenterToParent, &TQvDialogComponent::SetCenterToParent)
        .WithDefault(false);
    m.Publish("OriginLeft", &TQvDialogComponent::GetOriginLeft, &TQvDialogComponent::SetOriginLeft).WithDefault(100);
    m.Publish("OriginTop", &TQvDialogComponent::GetOriginTop, &TQvDialogComponent::SetOriginTop).WithDefault(100);
    m.Publish("Position", &TQvDialogComponent::GetPosition, &TQvDialogComponent::SetPosition)
        .WithNames({"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                    "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"})
        .WithDefault(static_cast<Int64>(TPosition::poScreenCenter));
})

TQvDialogComponent::TQvDialogComponent(TComponent* AOwner)
    : TComponent(AOwner), FCaptionOK("OK"), FCaptionCancel("Cancel"), FCaptionHelp("&Help"), FFont(new TFont())
{
}

TQvDialogComponent::~TQvDialogComponent() { delete FFont; }

void TQvDialogComponent::SetFont(TFont* Value) { FFont->Assign(Value); }

void TQvDialogComponent::SetCenterToParent(bool Value)
{
    if (Value == FCenterToParent) return;
    FCenterToParent = Value;
    FPosition = Value ? TPosition::poOwnerFormCenter : TPosition::poScreenCenter;
}

void TQvDialogComponent::CenterForm(TCustomForm* Form) { Form->SetPosition(FPosition); }

// ---------------------------------------------------------------------------------------------------------
// TQvBlinkingControlsList

TQvBlinkingControlsList* BlinkingControls = nullptr;

TQvBlinkingControlsList::TQvBlinkingControlsList() : FTimer(new TTimer(nullptr))
{
    FTimer->SetInterval(FOffInterval);
    FTimer->SetOnTimer(TNotifyEvent(this, &TQvBlinkingControlsList::TimerExpired));
    FTimer->SetEnabled(true);
}

TQvBlinkingControlsList::~TQvBlinkingControlsList() { delete FTimer; }

void TQvBlinkingControlsList::Add(TWinControl* Control)
{
    if (std::find(FControls.begin(), FControls.end(), Control) == FControls.end()) FControls.push_back(Control);
}

void TQvBlinkingControlsList::Remove(TWinControl* Control)
{
    FControls.erase(std::remove(FControls.begin(), FControls.end(), Control), FControls.end());
}

void TQvBlinkingControlsList::TimerExpired(TObject*) { Blink(); }

void TQvBlinkingControlsList::Blink()
{
    if (FState != TBlinkState::bsOn) {
        FState = TBlinkState::bsOn;
        FTimer->SetInterval(FOnInterval);
    } else {
        FState = TBlinkState::bsOff;
        FTimer->SetInterval(FOffInterval);
    }
    const std::vector<TWinControl*> controls = FControls;
    for (TWinControl* control : controls)
        if (control->Perform(BlinkQueryMessage, 0, 0) == 1)
            control->Perform(BlinkStateMessage, static_cast<WPARAM>(FState), 0);
}

void FreeBlinkingControlsListIfEmpty()
{
    if (BlinkingControls && BlinkingControls->GetCount() == 0) {
        delete BlinkingControls;
        BlinkingControls = nullptr;
    }
}

void RegisterQvComponents()
{
    RegisterClasses({TQvFrameController::StaticClass(), TQvRegIniFile::StaticClass(), TQvCustomColors::StaticClass(),
                     TQvDialogComponent::StaticClass(), TQvTreeView::StaticClass(), TQvCheckTree::StaticClass()});
}

// ---------------------------------------------------------------------------------------------------------
// TQvOldPropReader

void TQvOldPropReader::ReadOldBooleanProp(TReader* Reader) { Reader->ReadBoolean(); }
void TQvOldPropReader::ReadOldEnumProp(TReader* Reader) { Reader->ReadIdent(); }
void TQvOldPropReader::ReadOldIdentProp(TReader* Reader) { Reader->ReadIdent(); }
void TQvOldPropReader::ReadOldIntegerProp(TReader* Reader) { Reader->ReadInteger(); }
void TQvOldPropReader::ReadOldStringProp(TReader* Reader) { Reader->ReadString(); }

void TQvOldPropReader::ReadOldSetProp(TReader* Reader)
{
    Reader->ReadValue();
    while (!Reader->ReadStr().empty()) {
    }
}

void TQvOldPropReader::WriteOldProp(TWriter*) {}
