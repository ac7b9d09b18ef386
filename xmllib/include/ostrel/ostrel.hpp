// Ostrel in plain C++ types: a writer that closes at scope end, reading as a
// range of events or into a handler, one exception type. Header-only over the
// component runtime (libostrel-com): the reader and the writer are created
// through the registry, exactly as a client of <ostrel/ostrel.h> creates them.
//
//   ostrel::Writer w("memo.xml");
//   w.element(1, "<sentence Title=\"todo\">", "milk > bread", "</sentence>");
//   w.close();
//   for (const ostrel::Event& e : ostrel::read("memo.xml")) { ... }
//
// Texts go in as UTF-8 (std::string_view) or UTF-16 (std::u16string_view) and
// come out as UTF-16 views; ostrel::utf8 converts. File names are
// std::filesystem::path, their bytes kept exactly, UTF-8 or not.
//
// Every failure throws ostrel::Error: a run-time error of the component, or
// what the component would have shown in a message box (no file to read,
// a file that cannot be written, a write after close). No message box is
// shown on this layer's behalf.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include <ostrel/com/collection.h>
#include <ostrel/com/com_ptr.h>
#include <ostrel/com/com_runtime.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/keys.h>
#include <ostrel/com/message_box.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/text.h>
#include <ostrel/com/unicode.h>
#include <ostrel/event_source.h>
#include <ostrel/ostrel.h>

namespace ostrel {

// number() is the run-time error number, description() its text (UTF-16),
// what() "NUMBER: description" in UTF-8.
using Error = ostrel::com::RuntimeError;

inline std::string utf8(std::u16string_view text) { return ostrel::com::ToUtf8(text); }
// Bytes that are not UTF-8 become U+FFFD.
inline std::u16string utf16(std::string_view text) { return ostrel::com::FromUtf8(text); }

// A text argument in either encoding.
class Text {
 public:
  Text(std::u16string_view text) : value_(text) {}
  Text(const char16_t* text) : value_(std::u16string_view(text)) {}
  Text(const std::u16string& text) : value_(std::u16string_view(text)) {}
  Text(std::string_view text) : value_(utf16(text)) {}
  Text(const char* text) : value_(utf16(text)) {}
  Text(const std::string& text) : value_(utf16(text)) {}

  BSTR* get() { return value_.Address(); }

 private:
  ostrel::com::Bstr value_;
};

namespace detail {

// The sink through which a handler installed by set_message_handler is
// called; its context is the handler, owned by the sink while installed.
inline void ShowThroughHandler(void* handler, std::u16string_view text, std::u16string_view caption);

// A sink that was in place before set_message_handler, handed back as a
// handler; installing it again puts that sink back as it was.
struct EarlierSink {
  ostrel::com::MessageBoxSink sink;
  void operator()(std::u16string_view text, std::u16string_view caption) const {
    sink.show(sink.context, text, caption);
  }
};

}  // namespace detail

// Where message boxes go, for the whole process: HANDLER is called with the
// text and the caption and returns when the user has seen it. Returns the
// handler in place, to be installed again to put it back; an empty handler
// stands for the one in place at start, which prints "CAPTION: TEXT" on
// standard error.
using MessageHandler = std::function<void(std::u16string_view text, std::u16string_view caption)>;
inline MessageHandler set_message_handler(MessageHandler handler) {
  ostrel::com::MessageBoxSink sink{nullptr, nullptr};
  if (const auto* earlier = handler.target<detail::EarlierSink>()) {
    sink = earlier->sink;
  } else if (handler) {
    sink = {&detail::ShowThroughHandler, new MessageHandler(std::move(handler))};
  }
  const ostrel::com::MessageBoxSink previous = ostrel::com::SetMessageBoxSink(sink);
  if (previous.show == &detail::ShowThroughHandler) {
    const std::unique_ptr<MessageHandler> owned(static_cast<MessageHandler*>(previous.context));
    return std::move(*owned);
  }
  return detail::EarlierSink{previous};
}

inline void detail::ShowThroughHandler(void* handler, std::u16string_view text, std::u16string_view caption) {
  (*static_cast<MessageHandler*>(handler))(text, caption);
}

namespace detail {

inline ostrel::com::Bstr FileName(const std::filesystem::path& path) {
  return ostrel::com::Bstr(ostrel::com::FromFileName(path.native()));
}

// While it lives, message boxes are kept here instead of shown.
class CaughtMessages {
 public:
  CaughtMessages() : host_(ostrel::com::SetMessageBoxSink({&Catch, this})) {}
  CaughtMessages(const CaughtMessages&) = delete;
  CaughtMessages& operator=(const CaughtMessages&) = delete;
  ~CaughtMessages() { ostrel::com::SetMessageBoxSink(host_); }

  // The latest box's text.
  const std::u16string& text() const { return text_; }

 private:
  static void Catch(void* self, std::u16string_view text, std::u16string_view) {
    static_cast<CaughtMessages*>(self)->text_ = text;
  }

  ostrel::com::MessageBoxSink host_;
  std::u16string text_;
};

// Runs CALL, which answers True or False, with message boxes caught; False
// throws ostrel::Error NUMBER with the text the box had.
template <class Call>
void Answered(int32_t number, Call call) {
  VARIANT_BOOL done = VARIANT_FALSE;
  std::u16string shown;
  HRESULT status;
  {
    const CaughtMessages messages;
    status = call(&done);
    shown = messages.text();
  }
  ostrel::com::Check(status);
  if (!done) throw Error(number, shown.empty() ? ostrel::com::StandardDescription(number) : std::u16string_view(shown));
}

}  // namespace detail

// Writes one memo file through CXmlWriter: the header on construction, then
// a line per call, indented by INDENT tabs. Only element's CONTENT is
// escaped. The file is closed by close() or at the end of the object;
// close() reports a failure, the destructor cannot.
class Writer {
 public:
  explicit Writer(const std::filesystem::path& path)
      : writer_(ostrel::com::CreateObject<_CXmlWriter>(kCXmlWriterId)) {
    ostrel::com::Bstr name = detail::FileName(path);
    detail::Answered(ostrel::com::errnum::kPathFileAccess,
                     [&](VARIANT_BOOL* done) { return writer_->XmlOpen(name.Address(), done); });
  }

  void comment(Text comment) {
    Write([&](VARIANT_BOOL* done) { return writer_->WriteComment(comment.get(), done); });
  }
  void element(int16_t indent, Text start, Text content, Text end) {
    Write([&](VARIANT_BOOL* done) {
      return writer_->WriteSetEllement(&indent, start.get(), content.get(), end.get(), done);
    });
  }
  void line(int16_t indent, Text text) {
    Write([&](VARIANT_BOOL* done) { return writer_->WriteOneEllement(&indent, text.get(), done); });
  }
  void close() {
    Write([&](VARIANT_BOOL* done) { return writer_->XmlClose(done); });
  }

 private:
  // A write or close after close is refused as the file slot refuses a file
  // that is not open.
  template <class Call>
  void Write(Call call) {
    detail::Answered(ostrel::com::errnum::kBadFileName, call);
  }

  ostrel::com::ComPtr<_CXmlWriter> writer_;
};

// A start tag's attributes in tag order; each is {key, value}.
class Attributes {
 public:
  using Attribute = ostrel::com::EntryView;

  Attributes(const Attribute* first, uint32_t count) : first_(first), count_(count) {}

  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const Attribute* begin() const { return first_; }
  const Attribute* end() const { return first_ + count_; }

  // The value filed under NAME, compared as the reader compares keys:
  // without regard to the case of Latin letters.
  std::optional<std::u16string_view> find(std::u16string_view name) const {
    for (const Attribute& attribute : *this) {
      if (ostrel::com::KeysEqual(attribute.key, name)) return attribute.value;
    }
    return std::nullopt;
  }
  std::optional<std::u16string_view> find(std::string_view name) const { return find(utf16(name)); }
  std::optional<std::u16string_view> find(const char* name) const { return find(std::string_view(name)); }

 private:
  const Attribute* first_;
  uint32_t count_;
};

using EventKind = XmlEventKind;

// One thing the reader reported, as its handler's callback would have had
// it. An event and its views last until the reading moves on.
class Event {
 public:
  explicit Event(const XmlEvent& event) : event_(&event) {}

  EventKind kind() const { return event_->kind; }
  // The element's name: Start, End; for Content the innermost open element
  // (empty outside every element).
  std::u16string_view name() const { return event_->name; }
  // Content: the text, references decoded. Fault: the text of the token the
  // reader stopped at.
  std::u16string_view text() const { return event_->text; }
  // Fault: what went wrong, in Japanese, as the reader words it.
  std::u16string_view message() const { return event_->message; }
  // Start: the tag's attributes.
  Attributes attributes() const { return {event_->attributes, event_->attributeCount}; }
  // How many tokens (tags, content runs, comments, processing instructions,
  // and the end of the input) the reader had read: a Fault's position as
  // ErrElement's ln gives it. Not a line number.
  int32_t token_count() const { return event_->position; }
  // The line the reader had reached (1 for the first), where it knows one.
  std::optional<int32_t> line() const { return event_->line > 0 ? std::optional(event_->line) : std::nullopt; }

 private:
  const XmlEvent* event_;
};

// The events of one file, read a batch at a time as the iteration moves on,
// so memory stays bounded by the longest tag. The file slot is held from
// read() until the file has been read to its end (a small file at once),
// close(), or the end of the object; no other file of the library can be
// opened meanwhile. An error in the file throws once the events before it
// have been passed, as SetData's handler would have had them.
class Events {
 public:
  class iterator {
   public:
    using value_type = Event;
    using difference_type = std::ptrdiff_t;

    iterator() = default;
    explicit iterator(Events* events) : events_(events) {}
    const Event& operator*() const { return events_->current_; }
    const Event* operator->() const { return &events_->current_; }
    iterator& operator++() {
      events_->Advance();
      return *this;
    }
    void operator++(int) { ++*this; }
    bool operator==(std::default_sentinel_t) const { return !events_ || events_->done_; }

   private:
    Events* events_ = nullptr;
  };

  // Throws Error 53 when PATH is no file, 52 when it is empty.
  explicit Events(const std::filesystem::path& path)
      : source_(ostrel::com::CreateObject<_CXmlReader>(kCXmlReaderId).As<IXmlEventSource>()) {
    if (!source_) throw Error(ostrel::com::errnum::kNoSuchInterface);
    ostrel::com::Bstr name = detail::FileName(path);
    ostrel::com::Check(source_->Open(name.Address()));
    Advance();
  }
  Events(const Events&) = delete;
  Events& operator=(const Events&) = delete;

  // Once: the events are read as they are passed.
  iterator begin() { return iterator(this); }
  std::default_sentinel_t end() const { return {}; }

  // Frees the file slot; the iteration is over.
  void close() {
    source_->Close();
    done_ = true;
  }

 private:
  void Advance() {
    if (++at_ >= batch_.count) Fetch();
    if (!done_) current_ = Event(batch_.events[at_]);
  }
  void Fetch() {
    at_ = 0;
    batch_ = {};
    while (batch_.count == 0 && more_) ostrel::com::Check(source_->Next(&batch_, &more_));
    done_ = batch_.count == 0;
  }

  ostrel::com::ComPtr<IXmlEventSource> source_;
  XmlEventBatch batch_;
  uint32_t at_ = 0;
  VARIANT_BOOL more_ = VARIANT_TRUE;
  bool done_ = false;
  XmlEvent none_{};  // what current_ shows before the first event
  Event current_{none_};
};

inline Events read(const std::filesystem::path& path) { return Events(path); }

namespace detail {

template <class Handler>
void Start(Handler& handler, const Event& e) {
  if constexpr (requires { handler.start(e.name(), e.attributes()); }) {
    handler.start(e.name(), e.attributes());
  } else if constexpr (requires { handler.start(std::string_view(), e.attributes()); }) {
    handler.start(std::string_view(utf8(e.name())), e.attributes());
  }
}

template <class Handler>
void Content(Handler& handler, const Event& e) {
  if constexpr (requires { handler.content(e.name(), e.text()); }) {
    handler.content(e.name(), e.text());
  } else if constexpr (requires { handler.content(std::string_view(), std::string_view()); }) {
    handler.content(std::string_view(utf8(e.name())), std::string_view(utf8(e.text())));
  }
}

template <class Handler>
void End(Handler& handler, const Event& e) {
  if constexpr (requires { handler.end(e.name()); }) {
    handler.end(e.name());
  } else if constexpr (requires { handler.end(std::string_view()); }) {
    handler.end(std::string_view(utf8(e.name())));
  }
}

template <class Handler>
void Fault(Handler& handler, const Event& e) {
  if constexpr (requires { handler.fault(e); }) handler.fault(e);
}

}  // namespace detail

// Reads PATH into HANDLER, in file order, on this thread. HANDLER is either
// callable with each const Event&, or has any of these members, with UTF-16
// or UTF-8 views (std::string_view) as it prefers:
//   start(name, const ostrel::Attributes&)   content(name, text)
//   end(name)                                fault(const ostrel::Event&)
// What HANDLER throws ends the reading and passes on.
template <class Handler>
void read(const std::filesystem::path& path, Handler&& handler) {
  for (const Event& e : Events(path)) {
    if constexpr (std::is_invocable_v<Handler&, const Event&>) {
      handler(e);
    } else {
      switch (e.kind()) {
        case EventKind::Start: detail::Start(handler, e); break;
        case EventKind::Content: detail::Content(handler, e); break;
        case EventKind::End: detail::End(handler, e); break;
        case EventKind::Fault: detail::Fault(handler, e); break;
      }
    }
  }
}

}  // namespace ostrel
