#pragma once
// Reading a HID report descriptor far enough to know how long a feature report is.
//
// hidraw does not tell the length of a feature report; the kernel works it out from the
// report descriptor, and so do we: every Feature main item adds Report Size × Report Count
// bits to the report whose Report ID is current. The report on the wire is those bits rounded
// up to whole bytes, plus the report ID byte.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tessik::hid {

// The length of feature report `reportId` (1..255), report ID byte included:
// ceil(bits / 8) + 1. Nothing when the descriptor declares no feature bits for that ID, uses no
// report IDs at all, or is malformed (an item running past the end, Pop without Push, a Push
// stack deeper than the kernel allows, a report beyond 64 KiB).
std::optional<std::size_t> featureReportLength(std::span<const std::uint8_t> descriptor,
                                               std::uint8_t reportId = 1);

}  // namespace tessik::hid
