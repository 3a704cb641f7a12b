#pragma once
// The exceptions that the toolkit raises. Each carries a message meant for a person
// and, where the failure came from the system, the errno value behind it.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

class RuntimeException : public std::exception {
 public:
  explicit RuntimeException(std::string message, int32_t errorNumber = 0);
  const char* what() const noexcept override;
  int32_t ErrorNumber() const { return errorNumber_; }

 private:
  std::string message_;
  int32_t errorNumber_;
};

class IOException : public RuntimeException {
 public:
  using RuntimeException::RuntimeException;
};

class OutOfBoundsException : public RuntimeException {
 public:
  using RuntimeException::RuntimeException;
};

// A keyed table was asked for a key it does not hold.
class KeyNotFoundException : public RuntimeException {
 public:
  using RuntimeException::RuntimeException;
};

// A 32-bit count or value would wrap.
class OverflowException : public RuntimeException {
 public:
  using RuntimeException::RuntimeException;
};

// `text` between double quotes, as messages name a file or a name.
inline std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted += text;
  quoted += '"';
  return quoted;
}
