// The feature report length worked out from report descriptors.

#include <gtest/gtest.h>

#include "hid/descriptor_files.hpp"
#include "hid/linux/report_descriptor.hpp"

namespace tessik::test {
namespace {

using hid::featureReportLength;
using Bytes = std::vector<std::uint8_t>;

TEST(ReportDescriptor, realDescriptorsGiveTheirFeatureReportLengths) {
    EXPECT_EQ(featureReportLength(descriptorFile("receiver_512.hex")), 512u);
    EXPECT_EQ(featureReportLength(descriptorFile("bootloader_273.hex")), 273u);
    // The keyboard's report 2 has input and output bits, but no feature report.
    EXPECT_EQ(featureReportLength(descriptorFile("receiver_512.hex"), 2), std::nullopt);
}

TEST(ReportDescriptor, severalReportIdsPushPopAndLongItems) {
    const Bytes d = descriptorFile("several_ids.hex");
    EXPECT_EQ(featureReportLength(d, 1), 512u);
    EXPECT_EQ(featureReportLength(d, 4), 5u);
    EXPECT_EQ(featureReportLength(d, 2), std::nullopt);
    EXPECT_EQ(featureReportLength(d, 3), std::nullopt);
    EXPECT_EQ(featureReportLength(d, 0), std::nullopt);
}

TEST(ReportDescriptor, bitsAreRoundedUpToWholeBytesPlusTheIdByte) {
    // Report ID 1, size 1, count 12, Feature: 12 bits → 2 bytes → 3.
    EXPECT_EQ(featureReportLength(Bytes{0x85, 0x01, 0x75, 0x01, 0x95, 0x0C, 0xB1, 0x02}), 3u);
    // Size 8, count 1: 2.
    EXPECT_EQ(featureReportLength(Bytes{0x85, 0x01, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02}), 2u);
}

TEST(ReportDescriptor, descriptorsWithoutReportIdsDoNotHaveReportOne) {
    EXPECT_EQ(featureReportLength(Bytes{0x75, 0x08, 0x95, 0x40, 0xB1, 0x02}), std::nullopt);
    EXPECT_EQ(featureReportLength(Bytes{}), std::nullopt);
}

TEST(ReportDescriptor, malformedDescriptorsAreRefused) {
    // An item whose data runs past the end.
    EXPECT_EQ(featureReportLength(Bytes{0x85, 0x01, 0x75, 0x08, 0x96, 0xFF}), std::nullopt);
    // A long item whose data runs past the end, and one cut inside its header.
    EXPECT_EQ(featureReportLength(
                  Bytes{0x85, 0x01, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02, 0xFE, 0x05, 0x10, 0x00}),
              std::nullopt);
    EXPECT_EQ(
        featureReportLength(Bytes{0x85, 0x01, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02, 0xFE, 0x05}),
        std::nullopt);
    // Pop without Push; five Pushes (the kernel keeps four).
    EXPECT_EQ(featureReportLength(Bytes{0x85, 0x01, 0xB4, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02}),
              std::nullopt);
    EXPECT_EQ(featureReportLength(Bytes{0x85, 0x01, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02, 0xA4, 0xA4,
                                        0xA4, 0xA4, 0xA4}),
              std::nullopt);
    // Report ID 0 is reserved.
    EXPECT_EQ(featureReportLength(Bytes{0x85, 0x00, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02}),
              std::nullopt);
    // A report far beyond anything real: 0xFFFFFFFF × 0xFFFFFFFF bits.
    EXPECT_EQ(featureReportLength(Bytes{0x85, 0x01, 0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF,
                                        0xFF, 0xFF, 0xB1, 0x02}),
              std::nullopt);
}

TEST(ReportDescriptor, fourPushesAreAllowedAndPopRestoresTheReportId) {
    const Bytes d{0x85, 0x01, 0x75, 0x08, 0x95, 0x03, 0xA4, 0xA4, 0xA4,
                  0xA4, 0x85, 0x07, 0xB4, 0xB4, 0xB4, 0xB4, 0xB1, 0x02};
    EXPECT_EQ(featureReportLength(d, 1), 4u);
    EXPECT_EQ(featureReportLength(d, 7), std::nullopt);
}

}  // namespace
}  // namespace tessik::test
