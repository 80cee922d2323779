#include "core/keys/keyboard_state.hpp"

namespace tessik {
namespace {

constexpr std::uint8_t kDown = 0x80;

// The generic code a left or right modifier key also holds down; 0 for every other key.
VirtualKey genericOf(VirtualKey key) {
    switch (key) {
        case vk::LeftShift:
        case vk::RightShift:
            return vk::Shift;
        case vk::LeftControl:
        case vk::RightControl:
            return vk::Control;
        case vk::LeftMenu:
        case vk::RightMenu:
            return vk::Menu;
        default:
            return 0;
    }
}

// The other key of a left/right pair (left and right codes are adjacent, left even).
VirtualKey otherSide(VirtualKey key) {
    return static_cast<VirtualKey>(key ^ 1);
}

}  // namespace

void KeyboardState::keyDown(VirtualKey key) {
    if (key == 0) return;
    snapshot_[key] |= kDown;
    if (const VirtualKey generic = genericOf(key)) snapshot_[generic] |= kDown;
}

void KeyboardState::keyUp(VirtualKey key) {
    if (key == 0) return;
    snapshot_[key] &= static_cast<std::uint8_t>(~kDown);
    const VirtualKey generic = genericOf(key);
    if (generic != 0 && !isDown(otherSide(key))) {
        snapshot_[generic] &= static_cast<std::uint8_t>(~kDown);
    }
}

void KeyboardState::releaseAll() {
    snapshot_.fill(0);
}

}  // namespace tessik
