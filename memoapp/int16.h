// Int16: the window layout's 16-bit signed integer.
//
// Every sum, difference and product must fit in 16 bits, as must a rounded
// quotient; a result that does not fit raises run-time error 6 (overflow)
// instead of wrapping round to a wrong position.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include <ostrel/com/runtime_error.h>

namespace memoapp {

class Int16 {
 public:
  constexpr Int16(int16_t value) : value_(value) {}  // NOLINT: literals read as Int16

  // VALUE rounded to the nearest integer, an exact half to the even neighbour.
  static Int16 Rounded(double value) { return Fitted(std::nearbyint(value)); }

  constexpr int16_t value() const { return value_; }

  friend Int16 operator+(Int16 a, Int16 b) { return Fitted(int32_t{a.value_} + b.value_); }
  friend Int16 operator-(Int16 a, Int16 b) { return Fitted(int32_t{a.value_} - b.value_); }
  friend Int16 operator*(Int16 a, Int16 b) { return Fitted(int32_t{a.value_} * b.value_); }

 private:
  static Int16 Fitted(double value) {
    if (!(value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max())) {
      ostrel::com::Raise(ostrel::com::errnum::kOverflow);
    }
    return Int16(static_cast<int16_t>(value));
  }

  int16_t value_;
};

}  // namespace memoapp
