#pragma once
// The state of the three lock keys, asked of the display server when asked
// for: nothing polls it.

struct LockKeyState {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// All off where the display server cannot be asked (offscreen, Wayland).
// FIXME: Wayland has no client query for the lock keys; the panes stay blank there.
LockKeyState ReadLockKeys();
