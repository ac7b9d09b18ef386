#include "tools/json_parse.h"

#include <charconv>
#include <cstdint>

#include "platform/unicode.h"

namespace tools {
namespace {

JsonValue OfKind(JsonValue::Kind kind) {
  JsonValue value;
  value.kind = kind;
  return value;
}

JsonValue Boolean(bool flag) {
  JsonValue value = OfKind(JsonValue::Kind::kBoolean);
  value.boolean = flag;
  return value;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  JsonValue Document() {
    JsonValue value = Value(0);
    SkipSpace();
    if (pos_ != text_.size()) Fail("unexpected text after the value");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw JsonSyntaxError("bad JSON at column " + std::to_string(pos_ + 1) + ": " + what);
  }

  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' ||
                                   text_[pos_] == '\n')) {
      ++pos_;
    }
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  // Consumes C after white space when it is next.
  bool Take(char c) {
    SkipSpace();
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }

  void Expect(char c, const char* what) {
    if (!Take(c)) Fail(std::string("expected ") + what);
  }

  JsonValue Value(int depth) {
    if (depth >= kMaxJsonDepth) Fail("nested deeper than " + std::to_string(kMaxJsonDepth) + " levels");
    SkipSpace();
    switch (Peek()) {
      case '[': return Array(depth);
      case '{': return Object(depth);
      case '"': return StringValue();
      case 't': return Word("true", Boolean(true));
      case 'f': return Word("false", Boolean(false));
      case 'n': return Word("null", JsonValue{});
      default: break;
    }
    if (Peek() == '-' || IsDigit(Peek())) return Number();
    Fail(AtEnd() ? "expected a value, found the end of the line" : "expected a value");
  }

  JsonValue Word(std::string_view word, JsonValue value) {
    if (text_.substr(pos_, word.size()) != word) Fail("expected a value");
    pos_ += word.size();
    return value;
  }

  // The items of an array or object, after its opening bracket, through
  // CLOSE.
  template <class ReadItem>
  void Items(char close, const char* expected, ReadItem readItem) {
    ++pos_;
    if (Take(close)) return;
    do {
      readItem();
    } while (Take(','));
    Expect(close, expected);
  }

  JsonValue Array(int depth) {
    JsonValue array = OfKind(JsonValue::Kind::kArray);
    Items(']', "',' or ']'", [&] { array.array.push_back(Value(depth + 1)); });
    return array;
  }

  JsonValue Object(int depth) {
    JsonValue object = OfKind(JsonValue::Kind::kObject);
    Items('}', "',' or '}'", [&] {
      SkipSpace();
      if (Peek() != '"') Fail("expected a member name in quotes");
      std::u16string name = String();
      Expect(':', "':' after the member name");
      object.object.push_back({std::move(name), Value(depth + 1)});
    });
    return object;
  }

  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  void Digits() {
    if (!IsDigit(Peek())) Fail("expected a digit");
    while (IsDigit(Peek())) ++pos_;
  }

  // The grammar is checked here because from_chars accepts forms JSON does
  // not, such as a leading zero followed by digits.
  JsonValue Number() {
    const size_t start = pos_;
    if (Peek() == '-') ++pos_;
    if (Peek() == '0') ++pos_;
    else Digits();
    if (Peek() == '.') {
      ++pos_;
      Digits();
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++pos_;
      if (Peek() == '+' || Peek() == '-') ++pos_;
      Digits();
    }
    JsonValue value = OfKind(JsonValue::Kind::kNumber);
    const auto [end, error] = std::from_chars(text_.data() + start, text_.data() + pos_, value.number);
    if (error != std::errc() || end != text_.data() + pos_) Fail("number out of range");
    return value;
  }

  JsonValue StringValue() {
    JsonValue value = OfKind(JsonValue::Kind::kString);
    value.string = String();
    return value;
  }

  // Runs of plain characters are converted from UTF-8 whole, so multi-byte
  // sequences are never cut.
  std::u16string String() {
    ++pos_;
    std::u16string result;
    size_t plain = pos_;
    for (;;) {
      if (AtEnd()) Fail("unterminated string");
      const char c = text_[pos_];
      if (c == '"' || c == '\\') {
        result += ostrel::com::FromUtf8(text_.substr(plain, pos_ - plain));
        ++pos_;
        if (c == '"') return result;
        result += Escape();
        plain = pos_;
      } else if (static_cast<unsigned char>(c) < 0x20) {
        Fail("control character in a string: write it as an escape");
      } else {
        ++pos_;
      }
    }
  }

  char16_t Escape() {
    const char c = Peek();
    ++pos_;
    switch (c) {
      case '"': return u'"';
      case '\\': return u'\\';
      case '/': return u'/';
      case 'b': return u'\b';
      case 'f': return u'\f';
      case 'n': return u'\n';
      case 'r': return u'\r';
      case 't': return u'\t';
      case 'u': return HexUnit();
      default: break;
    }
    --pos_;
    Fail("unknown escape in a string");
  }

  char16_t HexUnit() {
    uint16_t unit = 0;
    const char* first = text_.data() + pos_;
    if (text_.size() - pos_ < 4) Fail("\\u needs four hex digits");
    const auto [end, error] = std::from_chars(first, first + 4, unit, 16);
    if (error != std::errc() || end != first + 4) Fail("\\u needs four hex digits");
    pos_ += 4;
    return static_cast<char16_t>(unit);
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

JsonValue ParseJson(std::string_view text) { return Parser(text).Document(); }

}  // namespace tools
