#pragma once
// Texts whose form both systems' readers share, so that a record reads the same whichever
// system it was taken on.

#include <cstdint>
#include <string>

namespace harnel::decode {

// "3 days 04:05:06": days, then hours, minutes and seconds.
std::string FormatUptime(std::int64_t seconds);

// The processor ID as Windows shows it: CPUID leaf 1, EDX (feature flags) then EAX
// (signature), 16 hex digits: "BFEBFBFF000806EA".
std::string FormatProcessorId(std::uint32_t edx, std::uint32_t eax);

// "1920 * 1080".
std::string FormatResolution(int width, int height);

// The storage media type the templates recognise: "CD-ROM" for optical drives, else
// "Removable media" or "Fixed\thard disk media" (one TAB, as Windows spells it).
std::string MediaTypeText(bool optical, bool removable);

}  // namespace harnel::decode
