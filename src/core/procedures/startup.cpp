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

StartupFinding runStartup(CUsbhidioc& link, DeviceCommands& commands, Notifier& notifier,
                          VersionArea& versionArea, Language language,
                          const std::function<void()>& runFirmwareUpdate) {
    link.vendorId = kVendorId;
    versionArea.fill(0);
    const StartupFinding found = searchDevice(link, versionArea);
    if (found == StartupFinding::UpdateWaiting) {
        // The boot loader does not speak the normal protocol; the update dialog opens its own
        // connection.
        link.Disconnect();
        notifier.show(Message{std::string(kInformationCaption),
                              std::string(text(StringId::UpdateWaiting, language)),
                              MessageKind::Notice});
        if (runFirmwareUpdate) runFirmwareUpdate();
    } else if (found == StartupFinding::NotFound || found == StartupFinding::AccessDenied) {
        const StringId why = found == StartupFinding::AccessDenied ? StringId::DeviceAccessDenied
                                                                   : StringId::DeviceNotConnected;
        notifier.show(Message{std::string(kErrorCaption), std::string(text(why, language)),
                              MessageKind::Notice});
    }
    link.productId = kProductIdNormal;
    if (found != StartupFinding::AccessDenied) commands.GetVersion(versionArea);
    return found;
}

}  // namespace tessik
