#include "framework/dictionary.h"

#include <functional>
#include <limits>
#include <string>
#include <string_view>

#include "framework/exceptions.h"

size_t Dictionary::KeyHash::operator()(const Variant& key) const noexcept {
  if (key.GetType() != Variant::Type::String) return std::hash<int64_t>()(key.ToInt32()) ^ static_cast<size_t>(key.GetType());
  // By the characters, which equal strings share whatever their form.
  const String text = key.ToString();
  uint64_t scratch;
  if (const char* bytes = text.AsciiBytes(scratch))
    return std::hash<std::string_view>()(std::string_view(bytes, static_cast<size_t>(text.Length())));
  std::u32string characters;
  characters.reserve(static_cast<size_t>(text.Length()));
  for (int32_t i = 0; i < text.Length(); ++i) characters.push_back(text.At(i));
  return std::hash<std::u32string>()(characters);
}

Variant Dictionary::Value(const Variant& key) const {
  const auto found = index_.find(key);
  if (found == index_.end())
    throw KeyNotFoundException("The key " + Quoted(key.ToString().ToUtf8()) + " is not in the dictionary.");
  return entries_[static_cast<size_t>(found->second)].value;
}

void Dictionary::SetValue(const Variant& key, const Variant& value) {
  if (const auto found = index_.find(key); found != index_.end()) {
    entries_[static_cast<size_t>(found->second)].value = value;
    return;
  }
  if (entries_.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    throw OverflowException("A dictionary cannot hold more than 2147483647 keys.");
  entries_.push_back(Entry{key, value});
  try {
    index_.emplace(key, static_cast<int32_t>(entries_.size() - 1));
  } catch (...) {
    entries_.pop_back();  // the table stays as it was
    throw;
  }
}

Variant Dictionary::Key(int32_t index) const {
  if (index < 0 || index >= Count())
    throw OutOfBoundsException("Dictionary key index " + std::to_string(index) + " is outside 0 to " +
                               std::to_string(Count() - 1) + ".");
  return entries_[static_cast<size_t>(index)].key;
}
