#include "framework/variant.h"

#include <limits>
#include <string>

#include "framework/exceptions.h"

int32_t Variant::ToInt32Slow() const {
  switch (GetType()) {
    case Type::Nil:
      return 0;
    case Type::Int32:
      return static_cast<int32_t>(static_cast<uint32_t>(bits_ >> 32));
    case Type::Boolean:
      return static_cast<int32_t>((bits_ >> 32) & 1u);
    case Type::String:
      break;
  }
  // Leading and trailing blanks are allowed around an optional sign and the digits.
  const String& text = AsStringRef();
  const int32_t length = text.Length();
  int32_t i = 0;
  while (i < length && (text.At(i) == ' ' || text.At(i) == '\t')) ++i;
  bool negative = false;
  if (i < length && (text.At(i) == '-' || text.At(i) == '+')) negative = text.At(i++) == '-';
  const int32_t firstDigit = i;
  int64_t magnitude = 0;
  for (; i < length && text.At(i) >= '0' && text.At(i) <= '9'; ++i) {
    magnitude = magnitude * 10 + (text.At(i) - '0');
    if (magnitude > int64_t{1} << 31)
      throw OverflowException("The number \"" + text.ToUtf8() + "\" does not fit in a 32-bit integer.");
  }
  while (i < length && (text.At(i) == ' ' || text.At(i) == '\t')) ++i;
  if (i == firstDigit || i != length) return 0;
  const int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int32_t>::max())
    throw OverflowException("The number \"" + text.ToUtf8() + "\" does not fit in a 32-bit integer.");
  return static_cast<int32_t>(value);
}

String Variant::ToString() const {
  switch (GetType()) {
    case Type::Nil:
      return String();
    case Type::Int32:
      return Str(ToInt32());
    case Type::Boolean:
      return ((bits_ >> 32) & 1u) != 0 ? String("True") : String("False");
    case Type::String:
      break;
  }
  return AsStringRef();
}

Variant VariantSubtract(const Variant& a, const Variant& b) {
  const int64_t result = static_cast<int64_t>(a.ToInt32()) - static_cast<int64_t>(b.ToInt32());
  if (result < std::numeric_limits<int32_t>::min() || result > std::numeric_limits<int32_t>::max())
    throw OverflowException(std::to_string(a.ToInt32()) + " - " + std::to_string(b.ToInt32()) +
                            " does not fit in a 32-bit integer.");
  return Variant(static_cast<int32_t>(result));
}
