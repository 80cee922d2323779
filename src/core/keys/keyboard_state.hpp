#pragma once
// The keyboard state the send-string editor reads when it captures a key: which keys are down
// at that moment. Built from the key-down and key-up events the window sees, so it needs no
// operating-system call; the snapshot has the layout of the Windows keyboard-state array the
// key tables were written against.

#include "core/keys/key_codes.hpp"

namespace tessik {

class KeyboardState {
  public:
    // Key 0 (a key our platform layer could not name) is ignored. Pressing a left or right
    // Shift, Ctrl or Alt key also marks its generic code down, as the Windows array does.
    void keyDown(VirtualKey key);
    void keyUp(VirtualKey key);
    // When the window loses the keyboard it misses the releases: forget every key.
    void releaseAll();

    bool isDown(VirtualKey key) const { return isKeyDown(snapshot_, key); }
    const KeyboardSnapshot& snapshot() const { return snapshot_; }

  private:
    KeyboardSnapshot snapshot_{};
};

}  // namespace tessik
