// Writing a whole file so that a failure never costs the old one: the bytes go to
// a temporary file in the same folder, which is flushed, closed and renamed over the
// target only when every step succeeded.
#pragma once

#include <string>

namespace kovrex {

// False when any step failed; the target is then as it was and errorText says why.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* errorText = nullptr);

}  // namespace kovrex
