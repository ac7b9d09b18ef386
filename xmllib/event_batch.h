// EventBatch: the reader's callbacks recorded as the events of one batch of
// IXmlEventSource, for a client to take after the reader has read on.
//
// Texts are copied: the reader's views last only until its next token. The
// storage is kept from batch to batch, so it grows to one batch's texts and
// the longest token's, and no further.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <ostrel/com/collection.h>
#include <ostrel/com/text.h>
#include <ostrel/event_source.h>

namespace ostrel {

class EventBatch {
 public:
  // Where the reader is while it reports what one token gave.
  void AtToken(int32_t position, int32_t line) {
    position_ = position;
    line_ = line;
  }

  void ErrElement(int32_t ln, std::u16string_view msg, std::u16string_view content);
  void StartElement(std::u16string_view tagname, Collection* parmList);
  void EndElement(std::u16string_view tagname);
  // With the text that content() was given.
  void contentData(std::u16string_view tagname);
  ostrel::com::Bstr& content() { return content_; }

  bool empty() const { return events_.empty(); }
  // Enough for one batch: a client pays a call per batch, not per event.
  bool Full() const { return events_.size() >= kEvents || texts_.size() >= kTextUnits; }
  // The events recorded since the last Clear, as views into this batch.
  XmlEventBatch Publish();
  void Clear();

 private:
  static constexpr std::size_t kEvents = 1024;
  static constexpr std::size_t kTextUnits = 64 * 1024;

  // A text of the batch, by place: texts_ may move while it grows.
  struct Text {
    std::size_t at = 0;
    std::size_t size = 0;
  };
  struct Recorded {
    XmlEventKind kind;
    int32_t position;
    int32_t line;
    Text name, text, message;
    std::size_t firstAttribute = 0;
    std::size_t attributeCount = 0;
  };
  struct Attribute {
    Text key, value;
  };

  Recorded& Record(XmlEventKind kind, std::u16string_view name);
  Text Keep(std::u16string_view text);
  std::u16string_view ViewOf(Text text) const { return std::u16string_view(texts_).substr(text.at, text.size); }

  int32_t position_ = 0;
  int32_t line_ = 0;
  ostrel::com::Bstr content_;
  std::u16string texts_;
  std::vector<Recorded> events_;
  std::vector<Attribute> attributes_;
  std::span<const ostrel::com::EntryView> entries_;  // one tag's, as the list shows them
  std::vector<XmlEvent> published_;
  std::vector<ostrel::com::EntryView> publishedAttributes_;
};

}  // namespace ostrel
