#include "xmllib/event_batch.h"

#include <ostrel/com/runtime_error.h>

namespace ostrel {

void EventBatch::ErrElement(int32_t, std::u16string_view msg, std::u16string_view content) {
  Recorded& event = Record(XmlEventKind::Fault, {});
  event.text = Keep(content);
  event.message = Keep(msg);
}

// The reader's own list always shows its entries; one that did not would be
// a fault of the reader, reported as such.
void EventBatch::StartElement(std::u16string_view tagname, Collection* parmList) {
  if (!parmList || !ostrel::com::ViewEntries(*parmList, &entries_)) ostrel::com::Raise(ostrel::com::errnum::kInternal);
  Recorded& event = Record(XmlEventKind::Start, tagname);
  event.firstAttribute = attributes_.size();
  event.attributeCount = entries_.size();
  for (const ostrel::com::EntryView& entry : entries_) attributes_.push_back({Keep(entry.key), Keep(entry.value)});
}

void EventBatch::EndElement(std::u16string_view tagname) { Record(XmlEventKind::End, tagname); }

void EventBatch::contentData(std::u16string_view tagname) {
  Recorded& event = Record(XmlEventKind::Content, tagname);
  event.text = Keep(content_.view());
}

EventBatch::Recorded& EventBatch::Record(XmlEventKind kind, std::u16string_view name) {
  return events_.emplace_back(Recorded{kind, position_, line_, Keep(name), {}, {}});
}

EventBatch::Text EventBatch::Keep(std::u16string_view text) {
  const Text kept{texts_.size(), text.size()};
  texts_.append(text);
  return kept;
}

XmlEventBatch EventBatch::Publish() {
  publishedAttributes_.clear();
  for (const Attribute& attribute : attributes_) publishedAttributes_.push_back({ViewOf(attribute.key), ViewOf(attribute.value)});
  published_.clear();
  for (const Recorded& event : events_) {
    published_.push_back({event.kind, event.position, event.line, ViewOf(event.name), ViewOf(event.text),
                          ViewOf(event.message), publishedAttributes_.data() + event.firstAttribute,
                          static_cast<uint32_t>(event.attributeCount)});
  }
  return {published_.data(), static_cast<uint32_t>(published_.size())};
}

void EventBatch::Clear() {
  texts_.clear();
  events_.clear();
  attributes_.clear();
}

}  // namespace ostrel
