#include "SleepInhibitor.h"

namespace platform {
namespace {
SleepInhibitor* sleepInhibitor = nullptr;
}

void InstallSleepInhibitor(SleepInhibitor* inhibitor) { sleepInhibitor = inhibitor; }
SleepInhibitor* InstalledSleepInhibitor() { return sleepInhibitor; }

}  // namespace platform
