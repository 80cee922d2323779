#include "core/procedures/startup.hpp"

#include <string>

#include "core/bytes/byte_io.hpp"
#include "core/firmware/uf_header.hpp"
#include "core/text/strings.hpp"

namespace tessik {

StartupFinding searchDevice(CUsbhidioc& link, VersionArea& versionArea) {
    link.productId = kProductIdNormal;
    if (link.Open()) return StartupFinding::Normal;
    bool denied = link.accessDenied();
    link.productId = kProductIdAlternate;
    if (link.Open()) return StartupFinding::Alternate;
    denied = denied || link.accessDenied();
    link.productId = kProductIdUpdater;
    if (link.Open()) {
        ByteWriter w(versionArea);
        w.u16(kUfVidOffset, kVendorId);
        w.u16(kUfPidOffset, kProductIdUpdater);
        return StartupFinding::UpdateWaiting;
    }
    denied = denied || link.accessDenied();
    return denied ? StartupFinding::AccessDenied : StartupFinding::NotFound;
}

namespace {

StartupFinding search(CUsbhidioc& link, VersionArea& versionArea) {
    link.vendorId = kVendorId;
    versionArea.fill(0);
    const StartupFinding found = searchDevice(link, versionArea);
    // The boot loader does not speak the normal protocol; the update dialog opens its own
    // connection.
    if (found == StartupFinding::UpdateWaiting) link.Disconnect();
    return found;
}

// The link looks for the normal identity from now on (this also replaces an identity that a
// firmware update run at start-up has set). A device this user may not open is not asked.
StartupResult askVersion(StartupFinding found, CUsbhidioc& link, DeviceCommands& commands,
                         VersionArea& versionArea) {
    link.productId = kProductIdNormal;
    if (found == StartupFinding::AccessDenied) return {found, {}};
    commands.GetVersion(versionArea);
    return {found, commands.outcome()};
}

}  // namespace

StartupResult runStartup(CUsbhidioc& link, DeviceCommands& commands, VersionArea& versionArea,
                         const std::function<void(StartupFinding)>& found) {
    const StartupFinding finding = search(link, versionArea);
    if (found) found(finding);
    return askVersion(finding, link, commands, versionArea);
}

// Nothing is there to ask for a version when nothing was found, or only a boot loader: the
// area stays as the search left it.
StartupResult searchAgain(CUsbhidioc& link, DeviceCommands& commands, VersionArea& versionArea) {
    const StartupFinding finding = search(link, versionArea);
    if (finding != StartupFinding::Normal && finding != StartupFinding::Alternate) {
        link.productId = kProductIdNormal;
        return {finding, {}};
    }
    return askVersion(finding, link, commands, versionArea);
}

std::optional<Message> startupNotice(StartupFinding finding, Language language) {
    switch (finding) {
        case StartupFinding::Normal:
        case StartupFinding::Alternate:
            return std::nullopt;
        case StartupFinding::UpdateWaiting:
            return Message{std::string(kInformationCaption),
                           std::string(text(StringId::UpdateWaiting, language)),
                           MessageKind::Notice};
        case StartupFinding::AccessDenied:
            return Message{std::string(kErrorCaption),
                           std::string(text(StringId::DeviceAccessDenied, language)),
                           MessageKind::Warning};
        case StartupFinding::NotFound:
            break;
    }
    // The boxes captioned "Error" are failures: the warning icon, not the information one.
    return Message{std::string(kErrorCaption),
                   std::string(text(StringId::DeviceNotConnected, language)), MessageKind::Warning};
}

}  // namespace tessik
