// image-info: a firmware image's header as the updater reads it.

#include <memory>
#include <ostream>

#include "cli/commands.hpp"
#include "core/firmware/image_file.hpp"
#include "core/text/format.hpp"
#include "core/text/path_text.hpp"

namespace tessik::cli {
namespace {

void printHeader(const UfHeader& h, ImageType type, std::uint32_t size, std::uint16_t computed,
                 Io& io) {
    io.out << "mark:       " << escapeControlBytes(ufMarkText(h)) << '\n'
           << "type:       " << static_cast<int>(type) << '\n'
           << "name:       " << escapeControlBytes(ufNameText(h)) << '\n'
           << formatText("version:    %d.%d.%d\n", {h.versionMajor, h.versionMinor, h.versionThird})
           << formatText("date:       %02d/%02d/%02d\n", {h.date[0], h.date[1], h.date[2]})
           << formatText("time:       %02d:%02d\n", {h.hour, h.minute})
           << formatText("file size:  %d bytes\n", {size})
           << formatText("flash_size: %d (0x%X)\n", {h.flash_size, h.flash_size})
           << formatText("page_size:  %d\n", {h.page_size})
           << formatText(
                  "flags:      0x%02X%s\n",
                  {h.flags, (h.flags & kUfFlagNoReturn) != 0 ? " (no return after start)" : ""})
           << formatText("vid/pid:    0x%04X/0x%04X\n", {h.vid, h.pid});
    if (h.crc16 == 0) {
        io.out << "crc16:      none stored\n";
    } else {
        io.out << formatText("crc16:      0x%04X stored", {h.crc16})
               << (h.crc16 == computed ? " (matches)\n" : " (differs from the image)\n");
    }
    io.out << formatText("computed:   0x%04X\n", {computed});
}

}  // namespace

int cmdImageInfo(const std::string& path, Io& io) {
    auto buffer = std::make_unique<ImageBuffer>();
    CUfImageFile loader(*buffer);
    const std::uint32_t size = loader.Load(pathFromUtf8(path));
    const std::string shown = escapeControlBytes(path);
    if (size == 0) return fail(io, shown + ": " + loader.message());
    const ImageType type = inspectImageHeader(*buffer);
    if (type == ImageType::None) return fail(io, shown + ": " + std::string(kMsgBadHeader));
    const UfHeader h = imageHeader(*buffer);
    printHeader(h, type, size, headerCrc16(*buffer, type, h.flash_size), io);
    return kExitOk;
}

}  // namespace tessik::cli
