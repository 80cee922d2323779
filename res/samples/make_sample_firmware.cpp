// Writes the sample firmware image installed with the other samples: a complete, valid image
// for the receiver's type 2 boot loader, as small as an image can be (16 KB of code ending at
// flash offset 0x8000), with a name and version of its own. Written to the simulated receiver,
// it comes back under the normal-mode identity and Help > About shows its version, so a new
// user can try a whole firmware update without real hardware and without risking a device.
//
// Usage: make_sample_firmware OUTPUT.bin

#include <cstdio>
#include <filesystem>

#include "support/firmware_images.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_firmware OUTPUT.bin\n");
        return 2;
    }
    tessik::test::ImageShape shape;
    shape.fileSize = 0x4000;
    shape.flashSize = 0x8000;
    shape.type = tessik::ImageType::Type2;
    shape.name = "Tessik sample firmware";
    shape.version = {1, 3, 0};
    shape.date = {25, 1, 20};
    shape.hour = 9;
    shape.minute = 15;
    shape.seed = 2025;
    const std::filesystem::path out(argv[1]);
    tessik::test::writeImageFile(out, tessik::test::buildImage(shape));
    std::error_code ec;
    if (std::filesystem::file_size(out, ec) != shape.fileSize || ec) {
        std::fprintf(stderr, "make_sample_firmware: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
