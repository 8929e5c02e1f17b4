// Form streams under damage: the binary "TPF0" reader (with the resource headers in front of a form and the
// wide companions of the Unicode layer) and the text form compiler, each fed mutated forms.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "Classes.h"
#include "ExtCtrls.h"
#include "FormText.h"
#include "Forms.h"
#include "FuzzSupport.h"
#include "ImgList.h"
#include "TestSupport.h"
#include "WydClasses.h"

using namespace vcl;

namespace {

// A component with wide properties and a wide list, streamed through the Unicode layer's companions
// ("TitleW", "Title_UTF7", "Lines.WideStrings_UTF7" ...).
class TFuzzWideHolder : public TComponent {
    VCL_CLASS(TFuzzWideHolder, TComponent)
    explicit TFuzzWideHolder(TComponent* owner) : TComponent(owner) {}
    WideString GetTitle() const { return title_; }
    void SetTitle(const WideString& value) { title_ = value; }
    wchar_t GetMark() const { return mark_; }
    void SetMark(wchar_t value) { mark_ = value; }
    TWydStrings* GetLines() const { return lines_.get(); }
    void SetLines(TWydStrings* value) { lines_->Assign(value); }
    void DefineProperties(TFiler* filer) override {
        TComponent::DefineProperties(filer);
        WydPersistent_AfterInherited_DefineProperties(filer, this);
    }

private:
    WideString title_;
    wchar_t mark_ = 0;
    std::unique_ptr<TWydStringList> lines_ = std::make_unique<TWydStringList>();
};
VCL_IMPLEMENT_CLASS(TFuzzWideHolder, TComponent, {
    m.Publish("Title", &TFuzzWideHolder::GetTitle, &TFuzzWideHolder::SetTitle);
    m.Publish("Mark", &TFuzzWideHolder::GetMark, &TFuzzWideHolder::SetMark).WithDefault(0);
    m.Publish("Lines", &TFuzzWideHolder::GetLines, &TFuzzWideHolder::SetLines);
})

std::string SourceFile(const char* relative) {
    return testsupport::ReadFileBytes(testsupport::FromUtf8(std::string(FUZZ_SOURCE_DIR "/") + relative));
}

const char* const FormFiles[] = {"tests/vcl/forms/frmDemo.dfm", "tests/vcl/forms/frmSample.dfm",
                                 "resources/forms/frmAlert.dfm", "resources/forms/frmAbout.dfm",
                                 "resources/forms/frmSelectScanner.dfm", "resources/forms/frmSettings.dfm",
                                 "resources/forms/frmMain.dfm"};

// A form file made readable without its program: the root is a plain TForm and the event bindings
// (methods of the program's form class) are gone.
std::string PlainForm(const std::string& text) {
    std::string plain = std::regex_replace(text, std::regex("^ *On[A-Za-z]+ = [A-Za-z0-9_]+\r?\n", std::regex::multiline), "");
    return std::regex_replace(plain, std::regex("^object ([A-Za-z0-9_]+): T[A-Za-z0-9_]+"), "object $1: TForm",
                              std::regex_constants::format_first_only);
}

// A small bitmap file in memory.
std::string BitmapBytes(int width, int height) {
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    bitmap.GetCanvas()->GetBrush()->SetColor(clRed);
    bitmap.GetCanvas()->FillRect(RECT{0, 0, width / 2, height});
    TMemoryStream stream;
    bitmap.SaveToStream(&stream);
    return std::string(static_cast<const char*>(stream.GetMemory()), size_t(stream.GetSize()));
}

std::string StreamBytes(TMemoryStream& stream) {
    return std::string(static_cast<const char*>(stream.GetMemory()), size_t(stream.GetSize()));
}

std::string Written(TComponent* root) {
    TMemoryStream stream;
    stream.WriteComponent(root);
    return StreamBytes(stream);
}

std::unique_ptr<TComponent> Read(const std::string& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), int(bytes.size()));
    stream.SetPosition(0);
    return std::unique_ptr<TComponent>(stream.ReadComponentRes(nullptr));
}

// The 16-bit resource header the development tool writes in front of a form.
std::string InResourceHeader(const std::string& form) {
    std::string header = "\xFF\x0A";
    header += '\0';
    header += "TFUZZ";
    header += '\0';
    header += std::string("\x30\x10", 2);
    const uint32_t size = uint32_t(form.size());
    header.append(reinterpret_cast<const char*>(&size), 4);
    return header + form;
}

// Valid streams: form files compiled, and forms written by the form writer (one with pictures and images,
// one with wide texts beyond the system code page). Few timers: each costs a window.
std::vector<std::string> BinaryCorpus() {
    std::vector<std::string> corpus;
    for (const char* file : {FormFiles[3], FormFiles[4]})
        corpus.push_back(formtext::TextToBinary(PlainForm(SourceFile(file))));

    std::unique_ptr<TComponent> demo = Read(formtext::TextToBinary(PlainForm(SourceFile(FormFiles[0]))));
    auto* form = dynamic_cast<TForm*>(demo.get());
    if (auto* image = dynamic_cast<TImage*>(form->FindComponent("imgLogo"))) {
        TMemoryStream bitmap;
        const std::string bytes = BitmapBytes(6, 5);
        bitmap.WriteBuffer(bytes.data(), int(bytes.size()));
        bitmap.SetPosition(0);
        image->GetPicture()->GetBitmap()->LoadFromStream(&bitmap);
    }
    if (auto* images = dynamic_cast<TImageList*>(form->FindComponent("imlTree"))) {
        TBitmap strip;
        strip.SetSize(32, 16);
        images->Add(&strip, nullptr);
    }
    corpus.push_back(Written(form));
    corpus.push_back(InResourceHeader(corpus.front()));

    TForm wide(nullptr, 0);
    wide.SetName("frmWide");
    auto* holder = new TFuzzWideHolder(&wide);
    holder->SetName("Holder");
    holder->SetTitle(L"\x041F\x0440\x0438\x0432\x0435\x0442 \x65E5\x672C");
    holder->SetMark(L'\x0416');
    holder->GetLines()->SetText(L"Plain\r\n\x00DC\x006E\x00EF\r\n\r\n\x041F\x0440\x0438\x0432\x0435\x0442\r\n+-+\r\n");
    corpus.push_back(Written(&wide));
    return corpus;
}

std::vector<std::string> BinaryTokens() {
    std::vector<std::string> tokens = {"TPF0", "\xF0", "\xF1", "\xF2", "\xF4", std::string(1, '\0'),
                                       std::string("\x00\x00", 2)};
    for (int type = 1; type <= 20; ++type) tokens.push_back(std::string(1, char(type)));
    for (const char* name : {"TForm", "TButton", "TLabel", "TTreeView", "TListView", "TImage", "TImageList",
                             "TMenuItem", "TMainMenu", "TFuzzWideHolder", "TPageControl", "TTabSheet", "TToolBar",
                             "Left", "Caption", "Items.Strings", "Items.Data", "Columns", "Panels", "Picture.Data",
                             "Bitmap", "Lines.WideStrings_UTF7", "Lines.WideStringsW", "Lines.Strings", "Title_UTF7",
                             "TitleW", "MarkW", "Mark_UTF7", "Font.Name", "ActivePage", "Menu", "Images"}) {
        tokens.push_back(std::string(1, char(std::strlen(name))) + name);
    }
    return tokens;
}

// Messages that controls posted while they existed; nobody pumps them here.
void DropPostedMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// The reader's target: a stream it takes must go out through the writer and come back.
fuzz::Outcome ReadForm(const fuzz::Bytes& input) {
    std::unique_ptr<TComponent> root;
    try {
        root = Read(input);
    } catch (const EReadError&) {
        DropPostedMessages();
        return fuzz::Outcome::Rejected;
    }
    try {
        Read(Written(root.get()));
    } catch (const EFilerError& e) {
        throw fuzz::Violation("the form read and written again does not read back: " + std::string(e.what()));
    }
    root.reset();
    DropPostedMessages();
    return fuzz::Outcome::Accepted;
}

class FormStreams : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        InitForms();
        RegisterClass(TFuzzWideHolder::StaticClass());
        RuntimeUTFStreaming = true;  // the wide companions are applied, not only read
        // An exception that a control's window code hands to the application shows no box here.
        Application->OnException = TExceptionEvent(std::function<void(TObject*, Exception*)>([](TObject*, Exception*) {}));
    }
    static void TearDownTestSuite() { DoneForms(); }
};

}  // namespace

// A windowed control frees its child controls: when it fails after reading some, none may stay listed.
TEST_F(FormStreams, ChildFailingAfterItsOwnChildrenTakesThemWithIt) {
    const std::string form = formtext::TextToBinary("object frmBad: TForm\n"
                                                    "  object pgcPages: TPageControl\n"
                                                    "    object tsGeneral: TTabSheet\n"
                                                    "      object rgMode: TRadioGroup\n"
                                                    "        Items.Strings = ('CD' 'DVD')\n"
                                                    "      end\n"
                                                    "      object txtStatic: TStaticText\n"
                                                    "        NoSuchProperty = 1\n"
                                                    "      end\n"
                                                    "    end\n"
                                                    "  end\n"
                                                    "end\n");
    EXPECT_EQ(fuzz::RunInput("FormStream", ReadForm, form).Rejected, 1u);
}

TEST_F(FormStreams, ReaderSurvivesMutatedStreamsAndWhatItReadsWritesBack) {
    // Each input makes and frees a form's windows (about ten milliseconds under Wine), so the fixed-seed run takes
    // 20,000 of them; a longer run by hand gives --count=.
    if (!fuzz::TheOptions().CountGiven) fuzz::TheOptions().Count = 20000;
    fuzz::Mutator mutator(BinaryCorpus(), BinaryTokens());
    fuzz::Run("FormStream", mutator, ReadForm);
}

TEST_F(FormStreams, TextCompilerSurvivesMutatedFormFiles) {
    std::vector<std::string> corpus;
    for (const char* file : FormFiles) corpus.push_back(SourceFile(file));
    const std::vector<std::string> tokens = {"object ", "inherited ", "inline ", "end", "item", " = ", "'", "''", "#",
                                             "#13#10", "#$FFFF", "#65536", "#-1", "(", ")", "<", ">", "{", "}", "[",
                                             "]", "+", "-", "$", ".", ":", "\n", "1.5e308", "1e4932", "2.5s", "1.5c",
                                             "9223372036854775808", "18446744073709551615", "True", "nil", "[0]"};
    fuzz::Mutator mutator(corpus, tokens);
    fuzz::Run("FormText", mutator, [](const fuzz::Bytes& input) {
        try {
            const std::string binary = formtext::TextToBinary(input);
            fuzz::Check(binary.compare(0, 4, "TPF0") == 0, "a compiled form begins with TPF0");
            return fuzz::Outcome::Accepted;
        } catch (const formtext::Error&) {
            return fuzz::Outcome::Rejected;
        }
    });
}
