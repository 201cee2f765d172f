#pragma once

namespace norvane::testing {

/// Whether this process may start a program in a user and mount namespace of its own, where it
/// may mount a small file system without root (`unshare --user --map-root-user --mount`). A
/// chroot, and a system that gives no unprivileged user namespaces, refuse it.
bool mayMountOwnFileSystems();

} // namespace norvane::testing
