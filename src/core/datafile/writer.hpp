#pragma once

#include <cstdint>
#include <vector>

#include "core/datafile/layout.hpp"
#include "core/model/remote_model.hpp"

namespace tessik {

// The current layout, 120178 bytes: header text, version, jitter, remote header, 128 slots
// (code record then button text), 10 macros.
std::vector<std::uint8_t> encodeDataFile(const RemoteTables& tables,
                                         FileVersion version = kProgramFileVersion);

}  // namespace tessik
