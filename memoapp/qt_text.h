// Our UTF-16 texts as Qt strings.
#pragma once

#include <QString>
#include <string_view>

namespace memoapp {

inline QString ToQString(std::u16string_view text) { return QString::fromUtf16(text.data(), text.size()); }

}  // namespace memoapp
