#pragma once
// Telling whether a machine's inventory changed since a server accepted it.

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::fleet {

// A digest of the inventory document `documentText` (JSON text) that changes when anything in
// it changes but the fields that change without the machine changing: the boot time and the
// access dates. "fnv1a64:" and sixteen hex digits; equal documents but for the layout of their
// text give equal digests. For telling changes apart, not for security: FNV-1a (64 bits) needs
// no library, and an accidental collision among one machine's documents is not to be expected.
// Text that is not JSON is digested as it stands.
std::string DocumentDigest(const std::string& documentText);

// The 64-bit FNV-1a hash of `bytes`.
std::uint64_t Fnv1a64(std::string_view bytes);

}  // namespace velmora::fleet
