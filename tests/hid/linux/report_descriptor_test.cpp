// The feature report length worked out from report descriptors.

#include <gtest/gtest.h>

#include "hid/descriptor_files.hpp"
#include "hid/linux/report_descriptor.hpp"
#include "hid/linux/uhid_device.hpp"

namespace tessik::test {
namespace {

using hid::featureReportLength;
using Bytes = std::vector<std::uint8_t>;

TEST(ReportDescriptor, realDescriptorsGiveTheirFeatureReportLengths) {
    const Bytes receiver = descriptorFile("receiver_512.hex");
    EXPECT_EQ(featureReportLength(receiver), 512u);
    EXPECT_EQ(featureReportLength(descriptorFile("bootloader_273.hex")), 273u);
    // The keyboard's report 2 has input and output bits, but no feature report.
    EXPECT_EQ(featureReportLength(receiver, 2), std::nullopt);
    // tessik-sim gives the kernel these very descriptors.
    EXPECT_EQ(hid::receiverReportDescriptor(512), receiver);
    EXPECT_EQ(hid::bootLoaderReportDescriptor(273), descriptorFile("bootloader_273.hex"));

    // Several report IDs, Push/Pop and a long item.
    const Bytes several = descriptorFile("several_ids.hex");
    EXPECT_EQ(featureReportLength(several, 1), 512u);
    EXPECT_EQ(featureReportLength(several, 4), 5u);
    for (const std::uint8_t id : {0, 2, 3})
        EXPECT_EQ(featureReportLength(several, id), std::nullopt) << int(id);
}

TEST(ReportDescriptor, bitsRoundUpToBytesPlusTheIdByteAndMalformedDescriptorsAreRefused) {
    const struct {
        const char* name;
        Bytes descriptor;
        std::uint8_t id;
        std::optional<std::size_t> length;
    } cases[] = {
        // clang-format off
        {"12 bits", {0x85, 0x01, 0x75, 0x01, 0x95, 0x0C, 0xB1, 0x02}, 1, 3},
        {"no report IDs", {0x75, 0x08, 0x95, 0x40, 0xB1, 0x02}, 1, std::nullopt},
        {"four pushes, pop restores the ID", {0x85, 0x01, 0x75, 0x08, 0x95, 0x03, 0xA4, 0xA4,
            0xA4, 0xA4, 0x85, 0x07, 0xB4, 0xB4, 0xB4, 0xB4, 0xB1, 0x02}, 1, 4},
        {"nothing left for the pushed ID", {0x85, 0x01, 0x75, 0x08, 0x95, 0x03, 0xA4, 0xA4,
            0xA4, 0xA4, 0x85, 0x07, 0xB4, 0xB4, 0xB4, 0xB4, 0xB1, 0x02}, 7, std::nullopt},
        {"report ID 0 is reserved", {0x85, 0x00, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02}, 1,
            std::nullopt},
        {"0xFFFFFFFF × 0xFFFFFFFF bits", {0x85, 0x01, 0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF,
            0xFF, 0xFF, 0xFF, 0xB1, 0x02}, 1, std::nullopt},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(featureReportLength(c.descriptor, c.id), c.length) << c.name;
}

}  // namespace
}  // namespace tessik::test
