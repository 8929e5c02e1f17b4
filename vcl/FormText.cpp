// The text form format turned into the binary form stream: a small recursive-descent converter.
#include "FormText.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace formtext {

static_assert(LDBL_MANT_DIG == 64, "the form format stores floats as 80-bit extended values");

namespace {

enum ValueType : unsigned char {
    vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6, vaIdent = 7,
    vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11, vaLString = 12, vaNil = 13, vaCollection = 14,
    vaSingle = 15, vaCurrency = 16, vaDate = 17, vaWString = 18, vaInt64 = 19
};

bool SameText(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class Converter {
public:
    Converter(const std::string& text, const AnsiToUtf16& widen) : text_(text), widen_(widen) {}

    std::string Run() {
        out_ = "TPF0";
        ConvertObject();
        SkipBlanks();
        if (pos_ < text_.size()) Fail("Text after the final 'end'");
        return out_;
    }

private:
    // --- output

    void Byte(unsigned char b) { out_ += static_cast<char>(b); }
    void Bytes(const void* p, size_t n) { out_.append(static_cast<const char*>(p), n); }
    void Str(const std::string& s) {
        if (s.size() > 255) Fail("Name too long");
        Byte(static_cast<unsigned char>(s.size()));
        out_ += s;
    }
    void Integer(int64_t v) {
        if (v >= -128 && v <= 127) {
            Byte(vaInt8);
            Byte(static_cast<unsigned char>(static_cast<int8_t>(v)));
        } else if (v >= -32768 && v <= 32767) {
            Byte(vaInt16);
            int16_t x = static_cast<int16_t>(v);
            Bytes(&x, 2);
        } else if (v >= INT32_MIN && v <= INT32_MAX) {
            Byte(vaInt32);
            int32_t x = static_cast<int32_t>(v);
            Bytes(&x, 4);
        } else {
            Byte(vaInt64);
            Bytes(&v, 8);
        }
    }
    void Ident(const std::string& s) {
        if (SameText(s, "False")) Byte(vaFalse);
        else if (SameText(s, "True")) Byte(vaTrue);
        else if (SameText(s, "nil")) Byte(vaNil);
        else if (SameText(s, "Null")) Byte(vaNull);
        else {
            Byte(vaIdent);
            Str(s);
        }
    }

    // --- input

    [[noreturn]] void Fail(const std::string& message) const { throw Error(line_, message); }

    void SkipBlanks() {
        while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= ' ') {
            if (text_[pos_] == '\n') ++line_;
            ++pos_;
        }
    }
    char Peek() {
        SkipBlanks();
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void Expect(char c) {
        if (Peek() != c) Fail(std::string("'") + c + "' expected");
        ++pos_;
    }
    std::string ReadIdent() {
        SkipBlanks();
        if (pos_ >= text_.size() || !IsIdentStart(text_[pos_])) Fail("Identifier expected");
        size_t start = pos_;
        while (pos_ < text_.size() && IsIdentChar(text_[pos_])) ++pos_;
        return text_.substr(start, pos_ - start);
    }
    std::string ReadDottedIdent() {
        std::string s = ReadIdent();
        while (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            s += '.' + ReadIdent();
        }
        return s;
    }
    bool PeekKeyword(const char* word) {
        SkipBlanks();
        size_t n = std::strlen(word);
        if (pos_ + n > text_.size() || !SameText(text_.substr(pos_, n), word)) return false;
        return pos_ + n == text_.size() || !IsIdentChar(text_[pos_ + n]);
    }
    int64_t ReadIntegerText() {
        SkipBlanks();
        bool negative = false;
        if (pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) negative = text_[pos_++] == '-';
        bool hex = pos_ < text_.size() && text_[pos_] == '$';
        if (hex) ++pos_;
        size_t start = pos_;
        while (pos_ < text_.size() && (IsDigit(text_[pos_]) || (hex && std::isxdigit(static_cast<unsigned char>(text_[pos_]))))) ++pos_;
        if (start == pos_) Fail("Number expected");
        errno = 0;
        uint64_t v = std::strtoull(text_.substr(start, pos_ - start).c_str(), nullptr, hex ? 16 : 10);
        if (errno) Fail("Number out of range");
        return negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    }

    // --- grammar

    void ConvertObject() {
        int flags = 0;
        if (PeekKeyword("inherited")) flags = 1;
        else if (PeekKeyword("inline")) flags = 4;
        else if (!PeekKeyword("object")) Fail("'object' expected");
        ReadIdent();
        std::string name, className = ReadIdent();
        if (Peek() == ':') {
            ++pos_;
            name = className;
            className = ReadIdent();
        }
        int64_t childPos = -1;
        if (Peek() == '[') {
            ++pos_;
            childPos = ReadIntegerText();
            Expect(']');
            flags |= 2;
        }
        if (flags) {
            Byte(static_cast<unsigned char>(0xF0 | flags));
            if (flags & 2) Integer(childPos);
        }
        Str(className);
        Str(name);
        while (!PeekKeyword("end") && !PeekKeyword("object") && !PeekKeyword("inherited") && !PeekKeyword("inline")) {
            if (pos_ >= text_.size()) Fail("'end' expected");
            ConvertProperty();
        }
        Byte(vaNull);
        while (!PeekKeyword("end")) {
            if (pos_ >= text_.size()) Fail("'end' expected");
            ConvertObject();
        }
        ReadIdent();
        Byte(vaNull);
    }

    void ConvertProperty() {
        std::string name = ReadDottedIdent();
        Str(name);
        Expect('=');
        ConvertValue();
    }

    void ConvertValue() {
        char c = Peek();
        if (c == '\'' || c == '#') return ConvertString();
        if (c == '-' || c == '+' || c == '$' || IsDigit(c)) return ConvertNumber();
        if (IsIdentStart(c)) return Ident(ReadDottedIdent());
        switch (c) {
        case '[': return ConvertSet();
        case '(': return ConvertList();
        case '{': return ConvertBinary();
        case '<': return ConvertCollection();
        default: Fail("Invalid property value");
        }
    }

    void ConvertNumber() {
        SkipBlanks();
        size_t start = pos_;
        size_t p = pos_;
        if (p < text_.size() && (text_[p] == '-' || text_[p] == '+')) ++p;
        if (p < text_.size() && text_[p] == '$') {
            Integer(ReadIntegerText());
            return;
        }
        while (p < text_.size() && IsDigit(text_[p])) ++p;
        bool isFloat = false;
        if (p < text_.size() && text_[p] == '.') {
            isFloat = true;
            ++p;
            while (p < text_.size() && IsDigit(text_[p])) ++p;
        }
        if (p < text_.size() && (text_[p] == 'e' || text_[p] == 'E')) {
            isFloat = true;
            ++p;
            if (p < text_.size() && (text_[p] == '-' || text_[p] == '+')) ++p;
            while (p < text_.size() && IsDigit(text_[p])) ++p;
        }
        char suffix = p < text_.size() ? static_cast<char>(text_[p] | 0x20) : '\0';
        bool typed = suffix == 's' || suffix == 'c' || suffix == 'd';
        if (!isFloat && !typed) {
            Integer(ReadIntegerText());
            return;
        }
        long double v = std::strtold(text_.substr(start, p - start).c_str(), nullptr);
        pos_ = p + (typed ? 1 : 0);
        if (suffix == 's') {
            Byte(vaSingle);
            float f = static_cast<float>(v);
            Bytes(&f, 4);
        } else if (suffix == 'c') {
            Byte(vaCurrency);
            int64_t units = static_cast<int64_t>(std::llround(static_cast<double>(v * 10000)));
            Bytes(&units, 8);
        } else if (suffix == 'd') {
            Byte(vaDate);
            double d = static_cast<double>(v);
            Bytes(&d, 8);
        } else {
            Byte(vaExtended);
            unsigned char bytes[sizeof(long double)] = {};
            std::memcpy(bytes, &v, sizeof v);
            Bytes(bytes, 10);
        }
    }

    // 'text'#13#10'more' + 'next line': 8-bit pieces and numbered characters.
    void ConvertString() {
        struct Piece {
            std::string Ansi;
            uint32_t Code;
            bool Numbered;
        };
        std::vector<Piece> pieces;
        bool wide = false;
        while (true) {
            char c = pos_ < text_.size() ? text_[pos_] : '\0';
            if (c == '\'') {
                ++pos_;
                std::string s;
                while (true) {
                    if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("Unterminated string");
                    if (text_[pos_] == '\'') {
                        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                            s += '\'';
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    s += text_[pos_++];
                }
                pieces.push_back({s, 0, false});
                continue;
            }
            if (c == '#') {
                ++pos_;
                int64_t code = ReadIntegerText();
                if (code < 0 || code > 0xFFFF) Fail("Invalid character code");
                if (code > 255) wide = true;
                pieces.push_back({{}, static_cast<uint32_t>(code), true});
                continue;
            }
            // A '+' joins the string with the next one, usually on the next line.
            size_t savedPos = pos_;
            int savedLine = line_;
            if (Peek() == '+') {
                ++pos_;
                char next = Peek();
                if (next != '\'' && next != '#') Fail("String expected");
                continue;
            }
            pos_ = savedPos;
            line_ = savedLine;
            break;
        }
        if (!wide) {
            std::string s;
            for (const Piece& p : pieces) s += p.Numbered ? std::string(1, static_cast<char>(p.Code)) : p.Ansi;
            if (s.size() <= 255) {
                Byte(vaString);
                Str(s);
            } else {
                Byte(vaLString);
                int32_t n = static_cast<int32_t>(s.size());
                Bytes(&n, 4);
                out_ += s;
            }
            return;
        }
        std::u16string w;
        for (const Piece& p : pieces) {
            if (p.Numbered) {
                w += static_cast<char16_t>(p.Code);
            } else if (widen_) {
                for (wchar_t ch : widen_(p.Ansi)) w += static_cast<char16_t>(ch);
            } else {
                for (char ch : p.Ansi) w += static_cast<char16_t>(static_cast<unsigned char>(ch));
            }
        }
        Byte(vaWString);
        int32_t n = static_cast<int32_t>(w.size());
        Bytes(&n, 4);
        Bytes(w.data(), w.size() * 2);
    }

    void ConvertSet() {
        Expect('[');
        Byte(vaSet);
        if (Peek() != ']') {
            while (true) {
                Str(ReadIdent());
                if (Peek() != ',') break;
                ++pos_;
            }
        }
        Expect(']');
        Byte(0);
    }

    void ConvertList() {
        Expect('(');
        Byte(vaList);
        while (Peek() != ')') {
            if (pos_ >= text_.size()) Fail("')' expected");
            ConvertValue();
        }
        ++pos_;
        Byte(vaNull);
    }

    void ConvertBinary() {
        Expect('{');
        std::string bytes;
        int high = -1;
        while (true) {
            char c = Peek();
            if (c == '}') break;
            if (!std::isxdigit(static_cast<unsigned char>(c))) Fail("Invalid binary value");
            int digit = IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
            ++pos_;
            if (high < 0) {
                high = digit;
            } else {
                bytes += static_cast<char>(high * 16 + digit);
                high = -1;
            }
        }
        if (high >= 0) Fail("Invalid binary value");
        ++pos_;
        Byte(vaBinary);
        int32_t n = static_cast<int32_t>(bytes.size());
        Bytes(&n, 4);
        out_ += bytes;
    }

    void ConvertCollection() {
        Expect('<');
        Byte(vaCollection);
        while (Peek() != '>') {
            if (!PeekKeyword("item")) Fail("'item' expected");
            ReadIdent();
            if (Peek() == '[') {
                ++pos_;
                Integer(ReadIntegerText());
                Expect(']');
            }
            Byte(vaList);
            while (!PeekKeyword("end")) {
                if (pos_ >= text_.size()) Fail("'end' expected");
                ConvertProperty();
            }
            ReadIdent();
            Byte(vaNull);
        }
        ++pos_;
        Byte(vaNull);
    }

    const std::string& text_;
    const AnsiToUtf16& widen_;
    std::string out_;
    size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

std::string TextToBinary(const std::string& text, const AnsiToUtf16& widen) {
    return Converter(text, widen).Run();
}

}  // namespace formtext
