#pragma once
// The name one Hauntwatch goes by on the broker: stable across restarts,
// different for two home folders on one machine and for two machines.
#include <string>

namespace remote {

// The first 12 hexadecimal digits of the SHA-256 of the machine id's bytes
// followed by the home folder's absolute path.
std::string DeviceId(const std::string& machineId, const std::string& homeFolder);

// /etc/machine-id's bytes as they are (its line break included), else
// /var/lib/dbus/machine-id's; empty where neither can be read, which leaves
// the home folder alone to tell two programs apart.
std::string ReadMachineId();

// platform::HomeFolder() made absolute, without a trailing slash.
std::string AbsoluteHomeFolder();

// This program's: ReadMachineId() and AbsoluteHomeFolder().
std::string ThisDeviceId();

}  // namespace remote
