#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/datafile/layout.hpp"
#include "core/model/remote_model.hpp"

namespace tessik {

// Which layout the bytes hold, or nothing when they are not a data file this program may read
// (a foreign header, a header differing in case or spaces, a newer writer's version).
std::optional<DataFileLayout> detectLayout(std::span<const std::uint8_t> bytes,
                                           FileVersion ownVersion = kProgramFileVersion);

// Loads the bytes of a data file into `tables`, which the caller has reset. Records an older,
// shorter layout lacks keep their reset values. Returns the layout read, or nothing (tables
// untouched) when the file is refused.
std::optional<DataFileLayout> readDataFile(std::span<const std::uint8_t> bytes,
                                           RemoteTables& tables,
                                           FileVersion ownVersion = kProgramFileVersion);

}  // namespace tessik
