#pragma once
// Reading a machine profile file.

#include <cstddef>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "harnel/disposable_json.h"
#include "harnel/file_identity.h"

namespace harnel {

// The largest profile that is read. A captured machine takes a few kilobytes; the bound keeps a
// wrong file (a disk image, a log) from being read whole into the host's memory.
constexpr std::size_t kProfileLimit = std::size_t{64} << 20;

// The deepest nesting of containers that a profile may have, the top-level object counted. The
// records take three levels, the Machine key four, capture's "Reasons" of the Machine key's
// lists five, and the Windows readers' captures of raw readings, which replay as profiles
// without records, seven; one more is left to spare. A profile nested deeper is refused
// whatever key holds it, so that no reader, here or in a host, walks more levels than this.
constexpr std::size_t kProfileDepth = 8;

struct LoadedProfile {
  DisposableJson records;  // the top-level object with the records' keys only; null when unusable
  // The profile's Machine key as the file gives it, its members in the file's order; null
  // when there is none or it was not asked for.
  DisposableOrderedJson machine;
  std::string problem;    // why the file is unusable; empty when it is fine
  FileIdentity identity;  // the file that was read or refused; all zero when none was opened
};

// Reads, parses and checks the profile at `path`: a top-level object whose known keys each
// hold a record in the form the record schema gives, nested no deeper than kProfileDepth. Never
// throws for a bad file (and never waits on one); memory exhaustion passes to the caller with
// nothing kept.
// `machineKey` also keeps the Machine key, which replay does not need: kept in its members'
// order, it is built in a form that cannot be taken apart without allocating, so the provider's
// replay, which must survive memory running out at any allocation, never asks for it.
LoadedProfile LoadProfile(const std::filesystem::path& path, bool machineKey = false);

}  // namespace harnel
