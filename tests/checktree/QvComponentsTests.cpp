// Common components: the frame controller's pushes by property name, the settings store over INI files
// and the prefix's registry, custom colours and the blinking list.
#include <gtest/gtest.h>

#include <vector>

#include "Forms.h"
#include "QvComponents.h"
#include "TestSupport.h"

using namespace vcl;

namespace {

// Sets up Application and Screen for every case of the program.
class VisualLibrary : public ::testing::Environment {
public:
    void SetUp() override { InitForms(); }
    void TearDown() override { DoneForms(); }
};
const auto* visualLibrary = ::testing::AddGlobalTestEnvironment(new VisualLibrary);

// A control that publishes some of the frame properties and counts what it is given.
class TFramedProbe : public TControl {
    VCL_CLASS(TFramedProbe, TControl)
    explicit TFramedProbe(TComponent* AOwner) : TControl(AOwner) {}
    TColor GetFocusColor() const { return focusColor; }
    void SetFocusColor(TColor v) { focusColor = v; ++writes; }
    TFrameStyle GetFrameStyle() const { return frameStyle; }
    void SetFrameStyle(TFrameStyle v) { frameStyle = v; ++writes; ++styleWrites; }
    TSides GetFrameSides() const { return frameSides; }
    void SetFrameSides(TSides v) { frameSides = v; ++writes; }
    bool GetFrameVisible() const { return frameVisible; }
    void SetFrameVisible(bool v) { frameVisible = v; ++writes; }

    TColor focusColor = clNone;
    TFrameStyle frameStyle = fsNone;
    TSides frameSides = 0;
    bool frameVisible = false;
    int writes = 0;
    int styleWrites = 0;
};

VCL_IMPLEMENT_CLASS(TFramedProbe, TControl, {
    m.Publish("FocusColor", &TFramedProbe::GetFocusColor, &TFramedProbe::SetFocusColor);
    m.Publish("FrameStyle", &TFramedProbe::GetFrameStyle, &TFramedProbe::SetFrameStyle)
        .WithNames({"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown", "fsRaised", "fsButtonUp",
                    "fsStatus", "fsPopup", "fsFlatBold"});
    // The probe lists its sides in another order: the controller copies them by name.
    m.Publish("FrameSides", &TFramedProbe::GetFrameSides, &TFramedProbe::SetFrameSides)
        .AsSet({"sdTop", "sdLeft", "sdBottom", "sdRight"});
    m.Publish("FrameVisible", &TFramedProbe::GetFrameVisible, &TFramedProbe::SetFrameVisible);
})

class TCustomFramedProbe : public TControl, public IQvCustomFramingNotification {
public:
    explicit TCustomFramedProbe(TComponent* AOwner) : TControl(AOwner) {}
    void FramingSettingsChanged() override { ++changes; }
    int changes = 0;
};

TEST(QvFrameController, AddingTwicePushesOnce)
{
    TQvFrameController controller(nullptr);
    TFramedProbe probe(nullptr);
    controller.AddControl(&probe);
    controller.AddControl(&probe);
    EXPECT_EQ(probe.styleWrites, 1);
    EXPECT_EQ(probe.frameStyle, fsFlat);
    EXPECT_EQ(probe.focusColor, clWindow);
    EXPECT_EQ(controller.GetControlCount(), 1);
    controller.RemoveControl(&probe);
    EXPECT_EQ(controller.GetControlCount(), 0);
}

TEST(QvFrameController, SidesAreCopiedByName)
{
    TQvFrameController controller(nullptr);
    TFramedProbe probe(nullptr);
    controller.AddControl(&probe);
    controller.SetFrameSides(SideBit(sdLeft) | SideBit(sdBottom));
    EXPECT_EQ(probe.frameSides, (1 << 1) | (1 << 2));  // sdLeft and sdBottom in the probe's own order
}

TEST(QvFrameController, ColourCarriesAnEqualFocusColourAlong)
{
    TQvFrameController controller(nullptr);
    TFramedProbe probe(nullptr);
    controller.SetParentColor(true);
    controller.AddControl(&probe);
    controller.SetColor(clYellow);
    EXPECT_EQ(controller.GetFocusColor(), clYellow);
    EXPECT_FALSE(controller.GetParentColor());
    controller.SetColor(clRed);  // focus colour still equal: follows again
    EXPECT_EQ(controller.GetFocusColor(), clRed);
    controller.SetFocusColor(clBlue);
    controller.SetColor(clLime);
    EXPECT_EQ(controller.GetFocusColor(), clBlue);
    EXPECT_EQ(probe.focusColor, clBlue);
}

TEST(QvFrameController, EndUpdateWithoutBeginPushesEverythingOnce)
{
    TQvFrameController controller(nullptr);
    TFramedProbe probe(nullptr);
    controller.AddControl(&probe);
    controller.EndUpdate();
    EXPECT_EQ(controller.GetUpdateCount(), 0);
    EXPECT_EQ(probe.styleWrites, 2);
    controller.BeginUpdate();
    controller.SetFrameStyle(fsBump);
    controller.SetFrameVisible(true);
    EXPECT_EQ(probe.frameStyle, fsFlat);
    controller.EndUpdate();
    EXPECT_EQ(probe.frameStyle, fsBump);
    EXPECT_TRUE(probe.frameVisible);
}

TEST(QvFrameController, HotTrackShowsTheFrameOnAllSides)
{
    TQvFrameController controller(nullptr);
    controller.SetFrameSides(SideBit(sdTop));
    controller.SetFrameHotTrack(true);
    EXPECT_TRUE(controller.GetFrameVisible());
    EXPECT_EQ(controller.GetFrameSides(), AllSides);
}

TEST(QvFrameController, CustomFramingControlsAreOnlyTold)
{
    TQvFrameController controller(nullptr);
    TCustomFramedProbe probe(nullptr);
    controller.AddControl(&probe);
    controller.SetFrameColor(clRed);
    EXPECT_EQ(probe.changes, 2);
}

TEST(QvFrameController, AssignCopiesInOnePush)
{
    TQvFrameController source(nullptr), target(nullptr);
    source.SetFrameStyle(fsRaised);
    source.SetFrameHotColor(clRed);
    TFramedProbe probe(nullptr);
    target.AddControl(&probe);
    const int before = probe.styleWrites;
    target.Assign(&source);
    EXPECT_EQ(target.GetFrameStyle(), fsRaised);
    EXPECT_EQ(target.GetFrameHotColor(), clRed);
    EXPECT_EQ(probe.styleWrites, before + 1);
}

TEST(QvFrameController, OldStreamsStillLoad)
{
    RegisterQvComponents();
    const AnsiString text =
        "object Frames: TQvFrameController\n"
        "  FrameFlat = True\n"
        "  FrameFocusStyle = fsRaised\n"
        "  FrameFlatStyle = fsBump\n"
        "  FrameColor = 255\n"
        "end\n";
    TStringStream source(text);
    TMemoryStream binary;
    ObjectTextToBinary(&source, &binary);
    binary.Seek(0, soBeginning);
    TQvFrameController controller(nullptr);
    TReader reader(&binary);
    reader.ReadRootComponent(&controller);
    EXPECT_TRUE(controller.GetFrameHotTrack());
    EXPECT_EQ(controller.GetFrameStyle(), fsStatus);
    EXPECT_EQ(controller.GetFrameHotStyle(), fsRaised);  // the focus style wins, read after FrameFlat
    EXPECT_EQ(controller.GetFrameColor(), 255);
}

TEST(QvFrameController, LoadAndSaveNeedAStore)
{
    TQvFrameController controller(nullptr);
    try {
        controller.Load("Frames");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Cannot load Custom Framing settings--No TQvRegIniFile component specified");
    }
    TQvCustomColors colors(nullptr);
    EXPECT_THROW(colors.Save("Colors"), Exception);
}

class QvStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        iniPath = WideToAnsi(temp.File(L"settings.ini"));
        testsupport::DeleteRegTree(HKEY_CURRENT_USER, TitleKey());
    }
    void TearDown() override { testsupport::DeleteRegTree(HKEY_CURRENT_USER, TitleKey()); }

    // Test cases run in parallel processes: each takes a title, and so a default key, of its own.
    std::wstring TitleKey() const { return L"Software\\Temp\\" + AnsiToWide(title); }

    void Use(TQvRegIniFile& store, TQvPathType type)
    {
        store.SetPathType(type);
        store.SetPath(type == ptIniFile ? iniPath : AnsiString());
        Application->SetTitle(title);
    }

    const AnsiString title = "QvStoreTest" + std::to_string(GetCurrentProcessId());
    testsupport::TempDir temp;
    AnsiString iniPath;
};

TEST_F(QvStoreTest, EmptySectionGivesTheDefaults)
{
    for (TQvPathType type : {ptIniFile, ptRegistry}) {
        SCOPED_TRACE(type);
        TQvRegIniFile store(nullptr);
        Use(store, type);
        TQvFrameController controller(nullptr);
        controller.SetFrameStyle(fsBump);
        controller.SetDisabledColor(clRed);
        controller.SetRegIniFile(&store);
        controller.Load("Empty");
        EXPECT_EQ(controller.GetFrameStyle(), fsFlat);
        EXPECT_EQ(controller.GetDisabledColor(), clWindow);
        EXPECT_EQ(controller.GetFrameHotStyle(), fsFlatBold);
        EXPECT_EQ(controller.GetFrameSides(), AllSides);
        EXPECT_EQ(controller.GetFramingPreference(), fpXPThemes);
        EXPECT_TRUE(controller.GetFlatButtons());
    }
}

TEST_F(QvStoreTest, FrameSettingsRoundTrip)
{
    for (TQvPathType type : {ptIniFile, ptRegistry}) {
        SCOPED_TRACE(type);
        TQvRegIniFile store(nullptr);
        Use(store, type);
        TQvFrameController saved(nullptr), loaded(nullptr);
        saved.SetRegIniFile(&store);
        loaded.SetRegIniFile(&store);
        saved.SetColor(clInfoBk);
        saved.SetFrameStyle(fsGroove);
        saved.SetFrameHotStyle(fsPopup);
        saved.SetFrameSides(SideBit(sdRight) | SideBit(sdTop));
        saved.SetFramingPreference(fpCustomFraming);
        saved.SetFrameVisible(true);
        saved.Save("Frames");
        loaded.Load("Frames");
        EXPECT_EQ(loaded.GetColor(), clInfoBk);
        EXPECT_EQ(loaded.GetFrameStyle(), fsGroove);
        EXPECT_EQ(loaded.GetFrameHotStyle(), fsPopup);
        EXPECT_EQ(loaded.GetFrameSides(), SideBit(sdRight) | SideBit(sdTop));
        EXPECT_EQ(loaded.GetFramingPreference(), fpCustomFraming);
        EXPECT_TRUE(loaded.GetFrameVisible());
        // System colours are stored as signed 32-bit values.
        EXPECT_EQ(store.ReadInteger("Frames", "Color", 0), static_cast<int>(clInfoBk));
        EXPECT_LT(store.ReadInteger("Frames", "Color", 0), 0);
    }
}

TEST_F(QvStoreTest, OutOfRangeStylesLoadAsMissing)
{
    TQvRegIniFile store(nullptr);
    Use(store, ptIniFile);
    store.WriteInteger("Frames", "FrameStyle", 11);
    store.WriteInteger("Frames", "FrameHotStyle", -3);
    store.WriteInteger("Frames", "FramingPreference", 7);
    TQvFrameController controller(nullptr);
    controller.SetRegIniFile(&store);
    controller.Load("Frames");
    EXPECT_EQ(controller.GetFrameStyle(), fsFlat);
    EXPECT_EQ(controller.GetFrameHotStyle(), fsFlatBold);
    EXPECT_EQ(controller.GetFramingPreference(), fpXPThemes);
}

TEST_F(QvStoreTest, RegistryStoreWithoutPathUsesTheApplicationTitle)
{
    TQvRegIniFile store(nullptr);
    Use(store, ptRegistry);
    EXPECT_EQ(store.ResolvedPath(), "\\Software\\Temp\\" + title);
    store.WriteInteger("Section", "Value", 42);
    EXPECT_EQ(testsupport::ReadRegDword(HKEY_CURRENT_USER, TitleKey() + L"\\Section", L"Value"), 42u);
    TQvRegIniFile ini(nullptr);
    EXPECT_EQ(ExtractFileExt(ini.ResolvedPath()), ".ini");
}

TEST_F(QvStoreTest, RegistrySectionValuesListEveryKind)
{
    TQvRegIniFile store(nullptr);
    Use(store, ptRegistry);
    store.WriteString("Kinds", "Text", "abc");
    store.WriteInteger("Kinds", "Number", -5);
    const BYTE bytes[] = {0x01, 0xAB, 0xFF};
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (TitleKey() + L"\\Kinds").c_str(), 0, KEY_SET_VALUE, &key), 0);
    RegSetValueExA(key, "Bytes", 0, REG_BINARY, bytes, sizeof(bytes));
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("def"), 4);
    RegCloseKey(key);
    TStringList lines;
    store.ReadSectionValues("Kinds", &lines);
    EXPECT_EQ(lines.GetValues("Text"), "abc");
    EXPECT_EQ(lines.GetValues("Number"), "-5");
    EXPECT_EQ(lines.GetValues("Bytes"), "01 AB FF");
    EXPECT_EQ(lines.GetValues("Default"), "def");
    store.ReadSectionValues("Missing", &lines);
    EXPECT_EQ(lines.GetCount(), 0);
}

TEST_F(QvStoreTest, CustomColoursSurviveARoundTripWithoutPath)
{
    for (TQvPathType type : {ptIniFile, ptRegistry}) {
        SCOPED_TRACE(type);
        TQvRegIniFile store(nullptr);
        Use(store, type);
        TQvCustomColors saved(nullptr), loaded(nullptr);
        saved.SetRegIniFile(&store);
        loaded.SetRegIniFile(&store);
        TStringList lines;
        lines.Add("ColorA=ff");
        lines.Add("ColorB=123456");
        saved.SetColors(&lines);
        EXPECT_EQ(saved.GetColors()->GetStrings(0), "ColorA=0000ff");
        saved.Save("Custom");
        loaded.Load("Custom");
        ASSERT_EQ(loaded.GetColors()->GetCount(), 2);
        EXPECT_EQ(loaded.GetColors()->GetValues("ColorA"), "0000ff");
        EXPECT_EQ(loaded.GetColors()->GetValues("ColorB"), "123456");
    }
}

TEST(QvCustomColors, StartsWithSixteenWhiteColours)
{
    TQvCustomColors colors(nullptr);
    ASSERT_EQ(colors.GetColors()->GetCount(), 16);
    EXPECT_EQ(colors.GetColors()->GetStrings(0), "ColorA=FFFFFF");
    EXPECT_EQ(colors.GetColorName(15), "ColorP");
    TStringList bad;
    bad.Add("ColorA=1");
    bad.Add("ColorB=xyz");
    EXPECT_THROW(colors.SetColors(&bad), EConvertError);
    EXPECT_EQ(colors.GetColors()->GetStrings(0), "ColorA=000001");
}

TEST(QvDialogComponent, CentringFollowsTheParentSwitch)
{
    TQvDialogComponent dialog(nullptr);
    EXPECT_EQ(dialog.GetPosition(), TPosition::poScreenCenter);
    dialog.SetCenterToParent(true);
    EXPECT_EQ(dialog.GetPosition(), TPosition::poOwnerFormCenter);
    dialog.SetCenterToParent(false);
    EXPECT_EQ(dialog.GetPosition(), TPosition::poScreenCenter);
}

// Counts the first two toggles, however late a loaded machine delivers them; the timer restarts at each
// toggle, so none can come sooner than about half a second after the one before.
TEST(QvBlinkingControlsList, TogglesEveryHalfSecondWithoutControls)
{
    DWORD previous = GetTickCount();
    TQvBlinkingControlsList list;
    EXPECT_EQ(list.GetBlinkState(), TBlinkState::bsOff);
    std::vector<TBlinkState> states;
    std::vector<DWORD> gaps;
    for (const DWORD start = GetTickCount(); states.size() < 2 && GetTickCount() - start < 20000;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
        const TBlinkState last = states.empty() ? TBlinkState::bsOff : states.back();
        if (list.GetBlinkState() != last) {
            const DWORD now = GetTickCount();
            states.push_back(list.GetBlinkState());
            gaps.push_back(now - previous);
            previous = now;
        }
    }
    ASSERT_EQ(states, (std::vector<TBlinkState>{TBlinkState::bsOn, TBlinkState::bsOff}));
    for (DWORD gap : gaps) EXPECT_GE(gap, 400u);
}

}  // namespace
