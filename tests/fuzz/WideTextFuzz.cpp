// The Unicode layer's text input under damage: text streams with their byte-order marks, in every character
// set and through the code pages; the buffered reader; delimited and comma text; command-line tokens.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "FuzzSupport.h"
#include "TestSupport.h"
#include "WydClasses.h"
#include "WydSysUtils.h"

namespace {

using fuzz::Bytes;
using fuzz::Check;
using fuzz::Outcome;

// How a text stream input is read; the input's first byte chooses.
enum class StreamRoad { WithMark, WithoutMark, CodePage, BufferedReader, File, Count };

const UINT CodePages[] = {CP_UTF8, 65000 /* UTF-7 */, 1252, 1251, 932, 936, 949, 950, 437, 0};

std::unique_ptr<vcl::TMemoryStream> StreamOf(const Bytes& bytes) {
    auto stream = std::make_unique<vcl::TMemoryStream>();
    if (!bytes.empty()) stream->WriteBuffer(bytes.data(), int(bytes.size()));
    stream->SetPosition(0);
    return stream;
}

std::vector<WideString> Items(const TWideStrings& list) {
    std::vector<WideString> items;
    for (int i = 0; i < list.GetCount(); ++i) items.push_back(list.Get(i));
    return items;
}

// A list written with its mark and read again is the same list.
void CheckSavedListReadsBack(TWydStringList& list) {
    vcl::TMemoryStream saved;
    list.SaveToStream(&saved);
    saved.SetPosition(0);
    TWydStringList again;
    again.LoadFromStream(&saved);
    Check(Items(again) == Items(list), "a list saved as UTF-16 with its mark reads back unchanged");
}

// Reads the source through the buffered reader in pieces and seeks the input chooses, beside the source
// itself: both must give the same bytes.
void CheckBufferedReaderMatchesSource(fuzz::InputReader& choices, const Bytes& data) {
    auto source = StreamOf(data), direct = StreamOf(data);
    TBufferedStreamReader reader(source.get(), 1 + choices.Byte() % 64);
    for (int step = 0; step < 24 && !choices.AtEnd(); ++step) {
        const uint8_t what = choices.Byte();
        if (what % 4 == 0) {
            const vcl::Int64 to = vcl::Int64(choices.Word() % (data.size() + 8));
            Check(reader.Seek(to, vcl::soBeginning) == direct->Seek(to, vcl::soBeginning), "seek positions agree");
            continue;
        }
        const int count = int(choices.Byte()) * (what % 4);
        Bytes fromReader(size_t(count), '\0'), fromSource(size_t(count), '\0');
        const int gotReader = reader.Read(fromReader.data(), count);
        const int gotSource = direct->Read(fromSource.data(), count);
        Check(gotReader == gotSource && fromReader == fromSource, "the buffered reader gives the source's bytes");
    }
}

Outcome ReadTextStream(const Bytes& input) {
    fuzz::InputReader choices(input);
    const auto road = StreamRoad(choices.Byte() % uint8_t(StreamRoad::Count));
    const uint8_t detail = choices.Byte();
    const Bytes data = choices.Rest();
    TWydStringList list;
    switch (road) {
    case StreamRoad::WithMark:
        list.LoadFromStream(StreamOf(data).get());
        break;
    case StreamRoad::WithoutMark:
        list.LoadFromStream_BOM(StreamOf(data).get(), false);
        break;
    case StreamRoad::CodePage:
        try {
            list.GetAnsiStrings()->LoadFromStreamEx(StreamOf(data).get(), CodePages[detail % std::size(CodePages)]);
        } catch (const EWydGeneralError&) {
            return Outcome::Rejected;  // not UTF-7
        }
        break;
    case StreamRoad::BufferedReader: {
        fuzz::InputReader steps(data);
        CheckBufferedReaderMatchesSource(steps, data);
        return Outcome::Accepted;
    }
    case StreamRoad::File: {
        static testsupport::TempDir folder;
        const std::wstring path = folder.File(L"text.txt");
        testsupport::WriteFileBytes(path, data);
        list.LoadFromFile(path);
        break;
    }
    default:
        break;
    }
    CheckSavedListReadsBack(list);
    return Outcome::Accepted;
}

// Texts with every mark and line end the readers know.
std::vector<Bytes> TextStreamCorpus() {
    const std::wstring lines = L"First line\r\nZweite Zeile \x00FC\x00DF\nThird \x0441\x0442\x0440\x043E\x043A\x0430\r"
                               L"\x65E5\x672C\x8A9E\x2028last";
    const Bytes utf16 = fuzz::Utf16Bytes(lines);
    Bytes swapped = utf16;
    for (size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
    const Bytes utf8 = testsupport::ToUtf8(lines);
    std::vector<Bytes> corpus;
    auto add = [&](StreamRoad road, uint8_t detail, const Bytes& data) {
        corpus.push_back(std::string(1, char(road)) + char(detail) + data);
    };
    add(StreamRoad::WithMark, 0, "\xFF\xFE" + utf16);
    add(StreamRoad::WithMark, 0, "\xFE\xFF" + swapped);
    add(StreamRoad::WithMark, 0, "\xEF\xBB\xBF" + utf8);
    add(StreamRoad::WithMark, 0, "plain ANSI \xE4\xF6\xFC\r\nline two\r\n");
    add(StreamRoad::WithoutMark, 0, utf16);
    add(StreamRoad::CodePage, 0, "\xEF\xBB\xBF" + utf8);
    add(StreamRoad::CodePage, 1, "Hi Mom -+Jjo--!\r\nA+ImIDkQ.\r\n+ZeVnLIqe-");
    add(StreamRoad::CodePage, 3, "\xCF\xF0\xE8\xE2\xE5\xF2\r\n");
    add(StreamRoad::CodePage, 4, "\x93\xFA\x96\x7B\x8C\xEA\r\n");
    add(StreamRoad::BufferedReader, 7, "\x01\x10\x02\x30\x05\x00\x00\x00\x03\xFF" + utf8);
    add(StreamRoad::File, 0, "\xFF\xFE" + utf16);
    add(StreamRoad::WithMark, 0, "");
    return corpus;
}

// Delimiters and quotes a list may be given; the input's first bytes choose, the rest is UTF-16 text.
const wchar_t Delimiters[] = {L',', L';', L' ', L'\t', L'|', L'"', L'\'', L'=', 0xFF0C, 0x2028};

Outcome ParseDelimitedText(const Bytes& input) {
    fuzz::InputReader choices(input);
    const uint8_t delimiterChoice = choices.Byte(), quoteChoice = choices.Byte();
    const std::wstring text = fuzz::FromUtf16Bytes(choices.Rest());
    const wchar_t delimiter = delimiterChoice < std::size(Delimiters) ? Delimiters[delimiterChoice] : wchar_t(delimiterChoice);
    const wchar_t quote = quoteChoice < std::size(Delimiters) ? Delimiters[quoteChoice] : wchar_t(quoteChoice);

    TWydStringList list;
    list.SetDelimiter(delimiter);
    list.SetQuoteChar(quote);
    list.SetDelimitedText(text);
    // What the list gives as delimited text reads back as the same list, when quote and delimiter differ
    // and neither is a blank (which the parser skips between items).
    if (delimiter > L' ' && quote > L' ' && delimiter != quote) {
        TWydStringList again;
        again.SetDelimiter(delimiter);
        again.SetQuoteChar(quote);
        again.SetDelimitedText(list.GetDelimitedText());
        Check(Items(again) == Items(list), "delimited text reads back as the same list");
    }
    for (int i = 0; i < list.GetCount(); ++i) {
        const WideString name = list.GetNames(i);
        if (!name.empty()) list.GetValues(name);
        list.GetValueFromIndex(i);
    }
    TWydStringList comma;
    comma.SetCommaText(text);
    TWydStringList commaAgain;
    commaAgain.SetCommaText(comma.GetCommaText());
    Check(Items(commaAgain) == Items(comma), "comma text reads back as the same list");

    comma.SetSorted(true);
    for (int i = 1; i < comma.GetCount(); ++i) {
        int found = -1;
        comma.Find(comma.Get(i), found);
        Check(found >= 0 && found <= comma.GetCount(), "a search in a sorted list stays within it");
    }
    WideCommandLineTokens(text.c_str());
    return Outcome::Accepted;
}

std::vector<Bytes> DelimitedCorpus() {
    auto member = [](uint8_t delimiter, uint8_t quote, const std::wstring& text) {
        return std::string(1, char(delimiter)) + char(quote) + fuzz::Utf16Bytes(text);
    };
    return {member(0, 5, L"alpha,\"beta gamma\",\"say \"\"hi\"\"\",,last,"),
            member(1, 6, L"  'a;b' ; c ;; 'unterminated"),
            member(4, 5, L"Name=Value|\"x|y\"=z|=empty|\x041F\x0440\x0438=\x0432\x0435\x0442"),
            member(0, 5, L"\"\""),
            member(2, 5, L"\"C:\\Program Files\\Pagorin\\Pagorin.exe\" \"D:\\scan dir\\page 001.jpg\" -x"),
            member(8, 5, L"\xFF0C\x4E00\xFF0C\"\x4E8C\"\xFF0C")};
}

}  // namespace

TEST(WideTextFuzz, TextStreamsOfEveryCharacterSetReadWithoutFault) {
    const std::vector<Bytes> tokens = {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF", "\r\n", "\r", "\n", "\x28\x20", "+",
                                       "-", "+-", std::string("\xD8\x00", 2), std::string("\x00\xDC", 2), "\xC0\x80",
                                       "\xF4\x90\x80\x80"};
    fuzz::Run("TextStream", fuzz::Mutator(TextStreamCorpus(), tokens), ReadTextStream);
}

TEST(WideTextFuzz, DelimitedAndCommaTextParseWithoutFault) {
    std::vector<Bytes> tokens = fuzz::Utf16Tokens({L"\"", L"\"\"", L",", L"=", L" ", L"'", L"\\"});
    tokens.push_back(std::string(2, '\0'));
    fuzz::Run("DelimitedText", fuzz::Mutator(DelimitedCorpus(), tokens), ParseDelimitedText);
}
