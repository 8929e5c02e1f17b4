// Form streaming: text forms compiled to "TPF0", read into registered components, written back byte for byte;
// properties defined through DefineProperties; damaged streams; the form compiled by the build as a resource.
#include <gtest/gtest.h>

#include "Classes.h"
#include "TestSupport.h"
#include "TypInfo.h"

using namespace vcl;

namespace {

std::vector<std::string> loadedOrder;

enum TAlign { alNone, alTop, alBottom, alClient };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

const std::vector<std::pair<AnsiString, Int64>> colorIdents = {{"clBlack", 0}, {"clBtnFace", 0x8000000F}, {"clWindow", 0x80000005}};

class TTestFont : public TPersistent {
    VCL_CLASS(TTestFont, TPersistent)
    AnsiString GetName() const { return name_; }
    void SetName(const AnsiString& v) { name_ = v; }
    int GetSize() const { return size_; }
    void SetSize(int v) { size_ = v; }
    bool IsNameStored() const { return name_ != "MS Sans Serif"; }
    void Assign(TPersistent* source) override {
        auto* f = dynamic_cast<TTestFont*>(source);
        if (!f) return TPersistent::Assign(source);
        name_ = f->name_;
        size_ = f->size_;
    }

private:
    AnsiString name_ = "MS Sans Serif";
    int size_ = 8;
};
VCL_IMPLEMENT_CLASS(TTestFont, TPersistent, {
    m.Publish("Name", &TTestFont::GetName, &TTestFont::SetName).Stored(&TTestFont::IsNameStored);
    m.Publish("Size", &TTestFont::GetSize, &TTestFont::SetSize).WithDefault(8);
})

class TTestItem : public TCollectionItem {
    VCL_CLASS(TTestItem, TCollectionItem)
    explicit TTestItem(TCollection* c = nullptr) : TCollectionItem(c) {}
    AnsiString GetCaption() const { return caption_; }
    void SetCaption(const AnsiString& v) { caption_ = v; }
    int GetWidth() const { return width_; }
    void SetWidth(int v) { width_ = v; }

private:
    AnsiString caption_;
    int width_ = 50;
};
VCL_IMPLEMENT_CLASS(TTestItem, TCollectionItem, {
    m.Publish("Caption", &TTestItem::GetCaption, &TTestItem::SetCaption);
    m.Publish("Width", &TTestItem::GetWidth, &TTestItem::SetWidth).WithDefault(50);
})

class TTestHolder : public TComponent {
    VCL_CLASS(TTestHolder, TComponent)
    explicit TTestHolder(TComponent* owner) : TComponent(owner) {}
    AnsiString GetData() const { return data_; }
    void SetData(const AnsiString& v) { data_ = v; }

private:
    AnsiString data_;
};
VCL_IMPLEMENT_CLASS(TTestHolder, TComponent, { m.Publish("Data", &TTestHolder::GetData, &TTestHolder::SetData); })

// A control-like component: a parent, children in order, and one property of every kind.
class TTestControl : public TComponent {
    VCL_CLASS(TTestControl, TComponent)
    explicit TTestControl(TComponent* owner) : TComponent(owner), items_(TTestItem::StaticClass()) {}
    ~TTestControl() override {
        for (TTestControl* c : children_) c->parent_ = nullptr;
        SetParent(nullptr);
    }

    int GetLeft() const { return left_; }
    void SetLeft(int v) { left_ = v; }
    int GetWidth() const { return width_; }
    void SetWidth(int v) { width_ = v; }
    AnsiString GetCaption() const { return caption_; }
    void SetCaption(const AnsiString& v) { caption_ = v; }
    WideString GetHint() const { return hint_; }
    void SetHint(const WideString& v) { hint_ = v; }
    bool GetVisible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    TAlign GetAlign() const { return align_; }
    void SetAlign(TAlign v) { align_ = v; }
    TAnchors GetAnchors() const { return anchors_; }
    void SetAnchors(TAnchors v) { anchors_ = v; }
    double GetRatio() const { return ratio_; }
    void SetRatio(double v) { ratio_ = v; }
    Int64 GetBig() const { return big_; }
    void SetBig(Int64 v) { big_ = v; }
    char GetAccel() const { return accel_; }
    void SetAccel(char v) { accel_ = v; }
    wchar_t GetWideAccel() const { return wideAccel_; }
    void SetWideAccel(wchar_t v) { wideAccel_ = v; }
    int GetColor() const { return color_; }
    void SetColor(int v) { color_ = v; }
    TTestFont* GetFont() const { return &font_; }
    void SetFont(TTestFont* v) { font_.Assign(v); }
    TStrings* GetLines() const { return &lines_; }
    void SetLines(TStrings* v) { lines_.Assign(v); }
    TCollection* GetItems() const { return &items_; }
    TTestControl* GetBuddy() const { return buddy_; }
    void SetBuddy(TTestControl* v) { buddy_ = v; }
    TTestHolder* GetImages() const { return images_; }
    void SetImages(TTestHolder* v) { images_ = v; }
    TNotifyEvent GetOnClick() const { return onClick_; }
    void SetOnClick(TNotifyEvent e) { onClick_ = std::move(e); }
    void Click() { onClick_(this); }

    TTestControl* GetParent() const { return parent_; }
    void SetParent(TTestControl* parent) {
        if (parent_) parent_->children_.erase(std::find(parent_->children_.begin(), parent_->children_.end(), this));
        parent_ = parent;
        if (parent_) parent_->children_.push_back(this);
    }
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return parent_; }
    void SetParentComponent(TComponent* parent) override { SetParent(dynamic_cast<TTestControl*>(parent)); }
    void GetChildren(const TGetChildProc& proc, TComponent*) override {
        for (TTestControl* c : children_) proc(c);
    }
    void Loaded() override {
        TComponent::Loaded();
        loadedOrder.push_back(GetName() + (GetComponentState().Contains(csReading) ? " reading" : ""));
    }

    std::string blob;
    AnsiString oldCaption;

    void DefineProperties(TFiler* filer) override {
        TComponent::DefineProperties(filer);
        // A renamed property still read from old streams, never written.
        filer->DefineProperty("OldCaption", [this](TReader* r) { oldCaption = r->ReadString(); }, nullptr, false);
        // A retired property: read and thrown away, whatever its value.
        filer->DefineProperty("Legacy", nullptr, nullptr, false);
        filer->DefineBinaryProperty(
            "Blob",
            [this](TStream* s) {
                blob.resize(static_cast<size_t>(s->GetSize()));
                s->ReadBuffer(blob.data(), static_cast<int>(blob.size()));
            },
            [this](TStream* s) { s->WriteBuffer(blob.data(), static_cast<int>(blob.size())); }, !blob.empty());
    }

private:
    TTestControl* parent_ = nullptr;
    std::vector<TTestControl*> children_;
    int left_ = 0, width_ = 75, color_ = 0x80000005;
    AnsiString caption_;
    WideString hint_;
    bool visible_ = true;
    TAlign align_ = alNone;
    TAnchors anchors_{akLeft, akTop};
    double ratio_ = 0;
    Int64 big_ = 0;
    char accel_ = 0;
    wchar_t wideAccel_ = 0;
    mutable TTestFont font_;
    mutable TStringList lines_;
    mutable TCollection items_;
    TTestControl* buddy_ = nullptr;
    TTestHolder* images_ = nullptr;
    TNotifyEvent onClick_;
};
VCL_IMPLEMENT_CLASS(TTestControl, TComponent, {
    m.Publish("Left", &TTestControl::GetLeft, &TTestControl::SetLeft).WithDefault(0);
    m.Publish("Width", &TTestControl::GetWidth, &TTestControl::SetWidth).WithDefault(75);
    m.Publish("Caption", &TTestControl::GetCaption, &TTestControl::SetCaption);
    m.Publish("Hint", &TTestControl::GetHint, &TTestControl::SetHint);
    m.Publish("Visible", &TTestControl::GetVisible, &TTestControl::SetVisible).WithDefault(1);
    m.Publish("Align", &TTestControl::GetAlign, &TTestControl::SetAlign)
        .WithNames({"alNone", "alTop", "alBottom", "alClient"}).WithDefault(alNone);
    m.Publish("Anchors", &TTestControl::GetAnchors, &TTestControl::SetAnchors)
        .AsSet({"akLeft", "akTop", "akRight", "akBottom"}).WithDefault(3);
    m.Publish("Ratio", &TTestControl::GetRatio, &TTestControl::SetRatio);
    m.Publish("Big", &TTestControl::GetBig, &TTestControl::SetBig).WithDefault(0);
    m.Publish("Accel", &TTestControl::GetAccel, &TTestControl::SetAccel).WithDefault(0);
    m.Publish("WideAccel", &TTestControl::GetWideAccel, &TTestControl::SetWideAccel).WithDefault(0);
    m.Publish("Color", &TTestControl::GetColor, &TTestControl::SetColor).WithDefault(0x80000005).WithIdents(&colorIdents);
    m.Publish("Font", &TTestControl::GetFont, &TTestControl::SetFont);
    m.Publish("Lines", &TTestControl::GetLines, &TTestControl::SetLines);
    m.PublishReadOnly("Items", &TTestControl::GetItems);
    m.Publish("Buddy", &TTestControl::GetBuddy, &TTestControl::SetBuddy);
    m.Publish("Images", &TTestControl::GetImages, &TTestControl::SetImages);
    m.Publish("OnClick", &TTestControl::GetOnClick, &TTestControl::SetOnClick);
})

// Owns a sub-component that forms reach as "pnlMain.Images".
class TTestPanel : public TTestControl {
    VCL_CLASS(TTestPanel, TTestControl)
    explicit TTestPanel(TComponent* owner) : TTestControl(owner) { (new TTestHolder(this))->SetName("Images"); }
};
VCL_IMPLEMENT_CLASS(TTestPanel, TTestControl)

class TTestForm : public TTestControl {
    VCL_CLASS(TTestForm, TTestControl)
    explicit TTestForm(TComponent* owner) : TTestControl(owner) {}
    TTestControl* btnOk = nullptr;
    int clicks = 0;
    void btnOkClick(TObject*) { ++clicks; }
    void GetChildren(const TGetChildProc& proc, TComponent* root) override {
        TTestControl::GetChildren(proc, root);
        for (int i = 0; i < GetComponentCount(); ++i)
            if (!GetComponents(i)->HasParent()) proc(GetComponents(i));
    }
};
VCL_IMPLEMENT_CLASS(TTestForm, TTestControl, {
    m.PublishField("btnOk", &TTestForm::btnOk);
    m.PublishMethod("btnOkClick", &TTestForm::btnOkClick);
})

class TfrmSample : public TTestForm {
    VCL_CLASS(TfrmSample, TTestForm)
    explicit TfrmSample(TComponent* owner) : TTestForm(owner) {}
};
VCL_IMPLEMENT_CLASS(TfrmSample, TTestForm)

class FormStream : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterClasses({TTestPanel::StaticClass(), TTestHolder::StaticClass(), TfrmSample::StaticClass()});
    }

    static std::string Compile(const std::string& text) {
        TStringStream in(text), out;
        ObjectTextToBinary(&in, &out);
        return out.GetDataString();
    }

    static std::string SampleText() { return testsupport::ReadFileBytes(testsupport::FromUtf8(VCL_TEST_FORM)); }

    static void Read(const std::string& binary, TComponent* root) {
        TStringStream in(binary);
        in.ReadComponent(root);
    }

    static std::string Write(TComponent* root) {
        TStringStream out;
        out.WriteComponent(root);
        return out.GetDataString();
    }
};

TEST_F(FormStream, TinyFormHasTheToolsByteLayout) {
    std::string binary = Compile("object Form1: TTestForm\r\n  Left = 10\r\n  Caption = 'Hi'\r\n  Visible = False\r\nend\r\n");
    using namespace std::string_literals;
    const std::string expected = "TPF0\x09TTestForm\x05" "Form1"  // signature, class, name
                                 "\x04Left\x02\x0a"              // vaInt8 10
                                 "\x07" "Caption\x06\x02Hi"      // vaString "Hi"
                                 "\x07Visible\x08"                // vaFalse
                                 "\x00\x00"s;                     // end of properties, end of children
    EXPECT_EQ(binary, expected);
}

TEST_F(FormStream, TextFormReadsIntoComponentsAndWritesBackByteForByte) {
    std::string binary = Compile(SampleText());
    TfrmSample form(nullptr);
    loadedOrder.clear();
    Read(binary, &form);

    EXPECT_EQ(form.GetName(), "frmSample");
    EXPECT_EQ(form.GetTag(), 7);
    EXPECT_EQ(form.GetLeft(), -20);
    EXPECT_EQ(form.GetCaption(), "Sample 'form'");
    EXPECT_EQ(form.GetHint(), L"Gr\x00fcn \x0416\x0436");
    EXPECT_FALSE(form.GetVisible());
    EXPECT_EQ(form.GetAlign(), alClient);
    EXPECT_EQ(form.GetAnchors(), (TAnchors{akLeft, akRight}));
    EXPECT_EQ(form.GetRatio(), 1.5);
    EXPECT_EQ(form.GetBig(), 12345678901LL);
    EXPECT_EQ(form.GetAccel(), 'S');
    EXPECT_EQ(form.GetWideAccel(), L'\x0416');
    EXPECT_EQ(form.GetColor(), static_cast<int>(0x8000000F));
    EXPECT_EQ(form.GetFont()->GetName(), "Arial");
    EXPECT_EQ(form.GetFont()->GetSize(), 9);
    EXPECT_EQ(form.GetLines()->GetCommaText(), "first,\"second line\"");
    ASSERT_EQ(form.GetItems()->GetCount(), 2);
    EXPECT_EQ(static_cast<TTestItem*>(form.GetItems()->GetItems(1))->GetWidth(), 120);
    EXPECT_EQ(form.blob, std::string("\x01\x02\xff"));

    ASSERT_NE(form.btnOk, nullptr);  // the published field is set
    EXPECT_EQ(form.btnOk->GetParent()->GetName(), "pnlMain");
    EXPECT_EQ(form.btnOk->Owner(), &form);
    EXPECT_EQ(form.GetBuddy(), form.btnOk);
    EXPECT_EQ(form.GetImages(), form.FindComponent("pnlMain")->FindComponent("Images"));
    EXPECT_EQ(static_cast<TTestControl*>(form.FindComponent("lblLong"))->GetCaption(),
              std::string(200, 'a') + std::string(100, 'b'));
    form.btnOk->Click();
    form.Click();
    EXPECT_EQ(form.clicks, 2);
    // Loaded comes after the whole stream, in reading order, with csReading already cleared.
    EXPECT_EQ(loadedOrder, (std::vector<std::string>{"frmSample", "pnlMain", "btnOk", "lblLong"}));
    EXPECT_FALSE(form.GetComponentState().Contains(csLoading));

    EXPECT_EQ(Write(&form), binary);
}

TEST_F(FormStream, UnknownPropertiesGoThroughDefineProperties) {
    std::string binary = Compile(
        "object Form1: TTestForm\n"
        "  OldCaption = 'legacy'\n"
        "  Legacy = (1 'two' [a, b] {00FF} <item Width = 3 end> 2.5 $7FFFFFFFFF)\n"
        "  Caption = 'after'\n"
        "end\n");
    TTestForm form(nullptr);
    Read(binary, &form);
    EXPECT_EQ(form.oldCaption, "legacy");
    EXPECT_EQ(form.GetCaption(), "after");  // the discarded value was consumed completely

    TTestForm other(nullptr);
    try {
        Read(Compile("object Form1: TTestForm\n  Bogus = 1\nend\n"), &other);
        ADD_FAILURE() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message.find("Property Bogus does not exist"), AnsiString::npos) << e.Message;
    }
}

TEST_F(FormStream, WrongValueTypesAndClassesAreReadErrors) {
    const char* const texts[] = {
        "object F: TTestForm\n  Left = 'text'\nend\n",
        "object F: TTestForm\n  Align = alSideways\nend\n",
        "object F: TTestForm\n  Anchors = [akNowhere]\nend\n",
        "object F: TTestForm\n  OnClick = noSuchMethod\nend\n",
        "object F: TTestForm\n  object X: TNoSuchClass\n  end\nend\n",
        "object F: TTestForm\n  object X: TTestHolder\n  end\n  object x: TTestHolder\n  end\nend\n",
    };
    for (const char* text : texts) {
        TTestForm form(nullptr);
        EXPECT_THROW(Read(Compile(text), &form), EReadError) << text;
        EXPECT_EQ(form.GetComponentCount(), text == texts[5] ? 1 : 0) << text;  // what failed is gone again
    }
}

TEST_F(FormStream, DamagedStreamsRaiseReadErrorsWithoutCrashing) {
    const std::string binary = Compile(SampleText());
    for (size_t length = 0; length < binary.size(); ++length) {
        TfrmSample form(nullptr);
        EXPECT_THROW(Read(binary.substr(0, length), &form), EReadError) << "cut at " << length;
    }
    int failures = 0;
    for (size_t i = 4; i < binary.size(); ++i) {
        for (unsigned char flip : {0xFF, 0x01, 0x7F, 0x80}) {
            std::string damaged = binary;
            damaged[i] = static_cast<char>(flip);
            TfrmSample form(nullptr);
            try {
                Read(damaged, &form);
            } catch (const EReadError&) {
                ++failures;
            }
        }
    }
    EXPECT_GT(failures, 0);
}

TEST_F(FormStream, TextErrorsNameTheLine) {
    try {
        Compile("object F: TTestForm\n  Left = ;\nend\n");
        ADD_FAILURE();
    } catch (const EParserError& e) {
        EXPECT_EQ(e.Message, "Invalid property value on line 2");
    }
    EXPECT_THROW(Compile("object F: TTestForm\n  Caption = 'open\nend\n"), EParserError);
    EXPECT_THROW(Compile("object F: TTestForm\n"), EParserError);
}

TEST_F(FormStream, BuildCompiledFormIsAResourceOfTheProgram) {
    TResourceStream resource(HInstance, "TFRMSAMPLE", MAKEINTRESOURCEA(10));
    std::string bytes(static_cast<const char*>(resource.GetMemory()), static_cast<size_t>(resource.GetSize()));
    EXPECT_EQ(bytes, Compile(SampleText()));  // the build's compiler and the library agree

    TfrmSample form(nullptr);
    ASSERT_TRUE(InitInheritedComponent(&form, TTestForm::StaticClass()));
    EXPECT_EQ(form.GetCaption(), "Sample 'form'");
    EXPECT_EQ(Write(&form), bytes);

    TfrmSample again(nullptr);
    ReadComponentRes("TFRMSAMPLE", &again);
    EXPECT_NE(again.btnOk, nullptr);
    try {
        ReadComponentRes("TFRMNONE", &again);
        ADD_FAILURE();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message, "Resource TFRMNONE not found");
    }
    TTestForm plain(nullptr);
    EXPECT_FALSE(InitInheritedComponent(&plain, TTestControl::StaticClass()));
}

TEST_F(FormStream, DescendantStreamHoldsOnlyWhatDiffersFromTheAncestor) {
    const std::string base = Compile(SampleText());
    TfrmSample ancestor(nullptr), descendant(nullptr);
    Read(base, &ancestor);
    Read(base, &descendant);
    descendant.SetCaption("Changed");
    descendant.btnOk->SetWidth(99);
    descendant.GetFont()->SetSize(12);
    TStringStream out;
    TWriter writer(&out);
    writer.WriteDescendent(&descendant, &ancestor);
    const std::string delta = out.GetDataString();
    EXPECT_LT(delta.size(), base.size() / 2);
    EXPECT_EQ(delta.find("Arial"), std::string::npos);  // the unchanged font name is inherited
    // Read over a form that already has the ancestor's state, as an inherited form loads.
    TfrmSample loaded(nullptr);
    Read(base, &loaded);
    Read(delta, &loaded);
    EXPECT_EQ(loaded.GetCaption(), "Changed");
    EXPECT_EQ(loaded.btnOk->GetWidth(), 99);
    EXPECT_EQ(loaded.GetFont()->GetSize(), 12);
    EXPECT_EQ(loaded.GetFont()->GetName(), "Arial");
    EXPECT_EQ(loaded.GetComponentCount(), ancestor.GetComponentCount());  // no component was added twice
}

TEST_F(FormStream, ResourceFileHeadersAreSkipped) {
    const std::string form = Compile("object F: TTestForm\n  Caption = 'in a res file'\nend\n");
    // 32-bit .res: an empty first entry, then an entry with RCDATA type and the name as an ordinal.
    std::string res(32, '\0');
    res[4] = 32;
    DWORD header[8] = {static_cast<DWORD>(form.size()), 32, 0x000AFFFF, 0x0001FFFF, 0, 0x1030, 0, 0};
    res.append(reinterpret_cast<const char*>(header), sizeof header);
    res += form;
    // The 16-bit header of the development tool's own resource streams.
    std::string old("\xFF\x0A\x00" "F\0\x30\x10", 7);
    DWORD size = static_cast<DWORD>(form.size());
    old.append(reinterpret_cast<const char*>(&size), 4);
    old += form;
    for (const std::string& stream : {res, old, form}) {
        TTestForm f(nullptr);
        TStringStream in(stream);
        in.ReadComponentRes(&f);
        EXPECT_EQ(f.GetCaption(), "in a res file");
    }
}

TEST_F(FormStream, PropertiesCanBeSetByName) {
    TTestControl c(nullptr);
    const TPropInfo* caption = c.ClassType()->FindProp("caption");
    ASSERT_NE(caption, nullptr);
    caption->Set(&c, AnsiString("by name"));
    EXPECT_EQ(c.GetCaption(), "by name");
    const TPropInfo* hint = c.ClassType()->FindProp("Hint");
    hint->Set(&c, AnsiString("\xe4"));  // an ANSI value through a wide property is converted
    EXPECT_EQ(c.GetHint(), L"\x00e4");
    EXPECT_EQ(std::get<Int64>(c.ClassType()->FindProp("Width")->Get(&c)), 75);
    EXPECT_EQ(c.ClassType()->FindProp("Tag")->Kind, TTypeKind::Integer);  // inherited entry
    EXPECT_EQ(c.ClassType()->FindProp("Nothing"), nullptr);

    // The run-time access a frame controller uses: sets and enumerations as text.
    EXPECT_TRUE(IsPublishedProp(&c, "Anchors"));
    EXPECT_EQ(GetSetProp(&c, "Anchors", true), "[akLeft,akTop]");
    SetSetProp(&c, "Anchors", "[akRight, akBottom]");
    EXPECT_EQ(c.GetAnchors(), (TAnchors{akRight, akBottom}));
    EXPECT_THROW(SetSetProp(&c, "Anchors", "[akNowhere]"), EPropertyError);
    SetEnumProp(&c, "Align", "alTop");
    EXPECT_EQ(GetEnumProp(&c, "Align"), "alTop");
    SetOrdProp(&c, "Visible", 0);
    EXPECT_FALSE(c.GetVisible());
    EXPECT_EQ(GetObjectProp(&c, "Font"), c.GetFont());
    EXPECT_THROW(GetOrdProp(&c, "Missing"), EPropertyError);
    EXPECT_THROW(SetObjectProp(&c, "Items", nullptr), EPropertyError);  // read-only
}

}  // namespace
