#pragma once
// The texts the QSO buttons send on the air, built exactly, byte for byte.

#include <string>

namespace tavrel {

inline constexpr const char* kCrLf = "\r\n";

// "BTU" S H S "de" S M S M S "kkk" CRLF: the closing line of the BTU button.
std::string btuLine(const std::string& myCall, const std::string& hisCall, const std::string& sep3);

} // namespace tavrel
