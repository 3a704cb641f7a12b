#include "framework/exceptions.h"

#include <utility>

RuntimeException::RuntimeException(std::string message, int32_t errorNumber)
    : message_(std::move(message)), errorNumber_(errorNumber) {}

const char* RuntimeException::what() const noexcept { return message_.c_str(); }
