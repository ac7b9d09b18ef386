// TagStack: the names of the elements open at a point of the file, innermost
// last.
//
// All names share one buffer, so opening and closing an element allocates
// nothing once the buffer has grown to the deepest nesting met, and a file
// of a million nested tags costs memory for their names only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

class TagStack {
 public:
  bool empty() const { return starts_.empty(); }
  // Only when !empty().
  std::u16string_view innermost() const {
    return {names_.data() + starts_.back(), names_.size() - starts_.back()};
  }
  std::u16string_view outermost() const {
    return std::u16string_view(names_).substr(0, starts_.size() > 1 ? starts_[1] : names_.size());
  }

  void Push(std::u16string_view name) {
    starts_.push_back(names_.size());
    names_.append(name);
  }
  void Pop() {
    names_.resize(starts_.back());
    starts_.pop_back();
  }

 private:
  std::u16string names_;
  std::vector<std::size_t> starts_;  // where each name begins in names_
};

}  // namespace ostrel
