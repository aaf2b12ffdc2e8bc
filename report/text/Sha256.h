#pragma once
// SHA-256 and Base64, for the hash by which the HTML report's
// Content-Security-Policy lets its own script run and no other.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quibex::report {

std::array<std::uint8_t, 32> Sha256(std::string_view bytes);

// Standard Base64 with padding.
std::string Base64(std::string_view bytes);

// "'sha256-...'", the source expression that admits a script of exactly
// these bytes.
std::string ScriptHashSource(std::string_view script);

}  // namespace quibex::report
