// Non-visual components shared by the layer's controls: the frame controller that pushes frame and colour
// settings into registered controls by published-property name, a settings store over an INI file or a
// registry key, sixteen named custom colours, the base of the dialog components, the blinking-controls
// timer and a reader that skips obsolete properties of old form streams.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"
#include "QvFrames.h"

namespace vcl {
class TCustomIniFile;
class TTimer;
}  // namespace vcl

enum TQvAboutInfo : unsigned char { aiQuvaneComponents };

enum TQvFrameProperty : unsigned char {
    fpAll, fpColor, fpFocusColor, fpDisabledColor, fpParentColor, fpFlatButtonColor, fpFlatButtons, fpFrameColor,
    fpHotColor, fpHotTrack, fpHotStyle, fpSides, fpStyle, fpVisible, fpPreference
};

// A control that implements this is told that the controller's settings changed instead of being set
// property by property. Identity {64B1C9EA-C954-428A-95C4-4EA2EB0F1E16}.
class IQvCustomFramingNotification {
public:
    virtual void FramingSettingsChanged() = 0;

protected:
    ~IQvCustomFramingNotification() = default;
};

class TQvRegIniFile;

// Frame styles and sides as form streams name them.
const std::vector<vcl::AnsiString>& FrameStyleNames();
const std::vector<vcl::AnsiString>& FrameSideNames();

// Where the frame properties of old form streams go: "FrameFlat" True turns hot tracking on with the status
// style and a lowered hot style (False turns it off), "FrameFocusStyle" names the hot style and
// "FrameFlatStyle" is read and ignored. They are never written.
struct TOldFrameProperties {
    std::function<void(bool)> SetHotTrack;
    std::function<void(TFrameStyle)> SetStyle;
    std::function<void(TFrameStyle)> SetHotStyle;
};
void DefineOldFrameProperties(vcl::TFiler* Filer, const TOldFrameProperties& Target);

class TQvFrameController : public vcl::TComponent {
    VCL_CLASS(TQvFrameController, vcl::TComponent)
    explicit TQvFrameController(vcl::TComponent* AOwner);
    ~TQvFrameController() override;

    void AddControl(vcl::TControl* Control);
    void RemoveControl(vcl::TControl* Control);
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void UpdateControls() { UpdateFrames(fpAll); }
    virtual void UpdateFrames(TQvFrameProperty Property);
    virtual void UpdateControlFrame(vcl::TControl* Control, TQvFrameProperty Property);
    void Assign(vcl::TPersistent* Source) override;
    void Loaded() override;
    void Load(const vcl::AnsiString& Section);
    void Save(const vcl::AnsiString& Section);
    int GetControlCount() const { return static_cast<int>(FControls ? FControls->size() : 0); }
    int GetUpdateCount() const { return FUpdateCount; }

    TQvAboutInfo GetAbout() const { return aiQuvaneComponents; }
    void SetAbout(TQvAboutInfo) {}
    vcl::TColor GetColor() const { return FColor; }
    void SetColor(vcl::TColor Value);
    vcl::TColor GetDisabledColor() const { return FDisabledColor; }
    void SetDisabledColor(vcl::TColor Value);
    vcl::TColor GetFlatButtonColor() const { return FFlatButtonColor; }
    void SetFlatButtonColor(vcl::TColor Value);
    bool GetFlatButtons() const { return FFlatButtons; }
    void SetFlatButtons(bool Value);
    vcl::TColor GetFocusColor() const { return FFocusColor; }
    void SetFocusColor(vcl::TColor Value);
    vcl::TColor GetFrameColor() const { return FFrameColor; }
    void SetFrameColor(vcl::TColor Value);
    vcl::TColor GetFrameHotColor() const { return FFrameHotColor; }
    void SetFrameHotColor(vcl::TColor Value);
    TFrameStyle GetFrameHotStyle() const { return FFrameHotStyle; }
    void SetFrameHotStyle(TFrameStyle Value);
    bool GetFrameHotTrack() const { return FFrameHotTrack; }
    void SetFrameHotTrack(bool Value);
    TSides GetFrameSides() const { return FFrameSides; }
    void SetFrameSides(TSides Value);
    TFrameStyle GetFrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TFrameStyle Value);
    bool GetFrameVisible() const { return FFrameVisible; }
    void SetFrameVisible(bool Value);
    TFramingPreference GetFramingPreference() const { return FFramingPreference; }
    void SetFramingPreference(TFramingPreference Value);
    bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TQvRegIniFile* GetRegIniFile() const { return FRegIniFile; }
    void SetRegIniFile(TQvRegIniFile* Value);

protected:
    void Notification(vcl::TComponent* AComponent, vcl::TOperation Operation) override;
    void DefineProperties(vcl::TFiler* Filer) override;

private:
    bool IsColorStored() const { return !FParentColor; }
    template <class T>
    void Change(T& field, T value, TQvFrameProperty property);

    vcl::TColor FColor = vcl::clWindow;
    vcl::TColor FDisabledColor = vcl::clBtnFace;
    vcl::TColor FFlatButtonColor = vcl::clBtnFace;
    bool FFlatButtons = true;
    vcl::TColor FFocusColor = vcl::clWindow;
    vcl::TColor FFrameColor = vcl::clBtnShadow;
    vcl::TColor FFrameHotColor = vcl::clBtnShadow;
    TFrameStyle FFrameHotStyle = fsFlatBold;
    bool FFrameHotTrack = false;
    TSides FFrameSides = AllSides;
    TFrameStyle FFrameStyle = fsFlat;
    bool FFrameVisible = false;
    TFramingPreference FFramingPreference = fpXPThemes;
    bool FParentColor = false;
    TQvRegIniFile* FRegIniFile = nullptr;
    std::unique_ptr<std::vector<vcl::TControl*>> FControls;
    int FUpdateCount = 0;
};

enum TQvPathType : unsigned char { ptIniFile, ptRegistry };
enum TQvRegKey : unsigned char {
    hkeyClassesRoot, hkeyCurrentUser, hkeyLocalMachine, hkeyUsers, hkeyPerformanceData, hkeyCurrentConfig,
    hkeyDynData
};
enum TQvRegAccessKey : unsigned char {
    keyQueryValue, keySetValue, keyCreateSubKey, keyEnumerateSubKeys, keyNotify, keyCreateLink, keyRead, keyWrite,
    keyExecute, keyAllAccess
};
using TQvRegAccess = WORD;  // bit 1 << TQvRegAccessKey
constexpr TQvRegAccess RegAccessBit(TQvRegAccessKey key) { return static_cast<TQvRegAccess>(1u << key); }

// Either an INI file or a registry key behind the INI-file interface; the store is made on the first
// operation after a change of Path, PathType, RegKey or RegAccess.
class TQvRegIniFile : public vcl::TComponent {
    VCL_CLASS(TQvRegIniFile, vcl::TComponent)
    explicit TQvRegIniFile(vcl::TComponent* AOwner);
    ~TQvRegIniFile() override;

    bool SectionExists(const vcl::AnsiString& Section);
    bool ValueExists(const vcl::AnsiString& Section, const vcl::AnsiString& Name);
    bool ReadBool(const vcl::AnsiString& Section, const vcl::AnsiString& Name, bool Default);
    void WriteBool(const vcl::AnsiString& Section, const vcl::AnsiString& Name, bool Value);
    int ReadInteger(const vcl::AnsiString& Section, const vcl::AnsiString& Name, int Default);
    void WriteInteger(const vcl::AnsiString& Section, const vcl::AnsiString& Name, int Value);
    vcl::AnsiString ReadString(const vcl::AnsiString& Section, const vcl::AnsiString& Name,
                               const vcl::AnsiString& Default);
    void WriteString(const vcl::AnsiString& Section, const vcl::AnsiString& Name, const vcl::AnsiString& Value);
    double ReadFloat(const vcl::AnsiString& Section, const vcl::AnsiString& Name, double Default);
    void WriteFloat(const vcl::AnsiString& Section, const vcl::AnsiString& Name, double Value);
    vcl::TDateTime ReadDate(const vcl::AnsiString& Section, const vcl::AnsiString& Name, vcl::TDateTime Default);
    vcl::TDateTime ReadDateTime(const vcl::AnsiString& Section, const vcl::AnsiString& Name, vcl::TDateTime Default);
    vcl::TDateTime ReadTime(const vcl::AnsiString& Section, const vcl::AnsiString& Name, vcl::TDateTime Default);
    void WriteDate(const vcl::AnsiString& Section, const vcl::AnsiString& Name, vcl::TDateTime Value);
    void WriteDateTime(const vcl::AnsiString& Section, const vcl::AnsiString& Name, vcl::TDateTime Value);
    void WriteTime(const vcl::AnsiString& Section, const vcl::AnsiString& Name, vcl::TDateTime Value);
    int ReadBinaryStream(const vcl::AnsiString& Section, const vcl::AnsiString& Name, vcl::TStream* Value);
    void WriteBinaryStream(const vcl::AnsiString& Section, const vcl::AnsiString& Name, vcl::TStream* Value);
    void ReadSection(const vcl::AnsiString& Section, vcl::TStrings* Strings);
    void ReadSections(vcl::TStrings* Strings);
    void ReadSectionValues(const vcl::AnsiString& Section, vcl::TStrings* Strings);
    void EraseSection(const vcl::AnsiString& Section);
    void DeleteKey(const vcl::AnsiString& Section, const vcl::AnsiString& Name);

    TQvAboutInfo GetAbout() const { return aiQuvaneComponents; }
    void SetAbout(TQvAboutInfo) {}
    vcl::AnsiString GetPath() const { return FPath; }
    void SetPath(const vcl::AnsiString& Value);
    TQvPathType GetPathType() const { return FPathType; }
    void SetPathType(TQvPathType Value);
    TQvRegKey GetRegKey() const { return FRegKey; }
    void SetRegKey(TQvRegKey Value);
    TQvRegAccess GetRegAccess() const { return FRegAccess; }
    void SetRegAccess(TQvRegAccess Value);

    // Where the store lives: the INI file's name, or the registry key path under the root key.
    vcl::AnsiString ResolvedPath() const;
    HKEY RootKey() const;
    DWORD AccessMask() const;

private:
    vcl::TCustomIniFile* Store();
    void MarkStale();

    vcl::AnsiString FPath;
    TQvPathType FPathType = ptIniFile;
    TQvRegKey FRegKey = hkeyCurrentUser;
    TQvRegAccess FRegAccess = RegAccessBit(keyAllAccess);
    std::unique_ptr<vcl::TCustomIniFile> FStore;
    bool FStale = true;
};

class TQvCustomColors : public vcl::TComponent {
    VCL_CLASS(TQvCustomColors, vcl::TComponent)
    explicit TQvCustomColors(vcl::TComponent* AOwner);
    ~TQvCustomColors() override;

    vcl::AnsiString GetColorName(int Index) const;
    void Load(const vcl::AnsiString& Section);
    void Save(const vcl::AnsiString& Section);

    TQvAboutInfo GetAbout() const { return aiQuvaneComponents; }
    void SetAbout(TQvAboutInfo) {}
    vcl::TStrings* GetColors() const { return FColors; }
    void SetColors(vcl::TStrings* Value);
    TQvRegIniFile* GetRegIniFile() const { return FRegIniFile; }
    void SetRegIniFile(TQvRegIniFile* Value);

protected:
    virtual void InitColors();
    void Notification(vcl::TComponent* AComponent, vcl::TOperation Operation) override;

private:
    void Normalize();
    vcl::TStringList* FColors;
    TQvRegIniFile* FRegIniFile = nullptr;
};

class TQvDialogComponent : public vcl::TComponent {
    VCL_CLASS(TQvDialogComponent, vcl::TComponent)
    explicit TQvDialogComponent(vcl::TComponent* AOwner);
    ~TQvDialogComponent() override;

    void CenterForm(vcl::TCustomForm* Form);
    vcl::TFont* GetFont() const { return FFont; }
    void SetFont(vcl::TFont* Value);
    bool GetCenterToParent() const { return FCenterToParent; }
    void SetCenterToParent(bool Value);
    int GetOriginLeft() const { return FOriginLeft; }
    void SetOriginLeft(int Value) { FOriginLeft = Value; }
    int GetOriginTop() const { return FOriginTop; }
    void SetOriginTop(int Value) { FOriginTop = Value; }
    vcl::TPosition GetPosition() const { return FPosition; }
    void SetPosition(vcl::TPosition Value) { FPosition = Value; }

protected:
    // Captions for descendants' buttons.
    vcl::AnsiString FCaptionOK, FCaptionCancel, FCaptionHelp;

private:
    bool FCenterToParent = false;
    int FOriginLeft = 100;
    int FOriginTop = 100;
    vcl::TPosition FPosition = vcl::TPosition::poScreenCenter;
    vcl::TFont* FFont;
};

enum class TBlinkState : unsigned char { bsOn, bsOff };
constexpr UINT BlinkQueryMessage = 0xB3E8;
constexpr UINT BlinkStateMessage = 0xB3E9;

// Tells registered controls, every 500 ms, to show or hide their blinking element.
class TQvBlinkingControlsList : public vcl::TObject {
public:
    TQvBlinkingControlsList();
    ~TQvBlinkingControlsList() override;
    TQvBlinkingControlsList(const TQvBlinkingControlsList&) = delete;
    TQvBlinkingControlsList& operator=(const TQvBlinkingControlsList&) = delete;

    void Add(vcl::TWinControl* Control);
    void Remove(vcl::TWinControl* Control);
    virtual int GetCount() const { return static_cast<int>(FControls.size()); }
    TBlinkState GetBlinkState() const { return FState; }
    // What the timer does at each tick (public for tests).
    void Blink();

private:
    void TimerExpired(vcl::TObject* Sender);
    std::vector<vcl::TWinControl*> FControls;
    vcl::TTimer* FTimer;
    TBlinkState FState = TBlinkState::bsOff;
    UINT FOnInterval = 500;
    UINT FOffInterval = 500;
};

// The list shared by the layer's blinking controls, when one was made.
extern TQvBlinkingControlsList* BlinkingControls;
void FreeBlinkingControlsListIfEmpty();

// Registers the layer's components with the class registry, for form streaming; once, from the program's
// start-up.
void RegisterQvComponents();

// Reads one obsolete property value of an old form stream and discards it.
class TQvOldPropReader {
public:
    static void ReadOldBooleanProp(vcl::TReader* Reader);
    static void ReadOldEnumProp(vcl::TReader* Reader);
    static void ReadOldIdentProp(vcl::TReader* Reader);
    static void ReadOldIntegerProp(vcl::TReader* Reader);
    static void ReadOldSetProp(vcl::TReader* Reader);
    static void ReadOldStringProp(vcl::TReader* Reader);
    static void WriteOldProp(vcl::TWriter* Writer);
};
