#include "settings/AddressChange.h"

#include <algorithm>
#include <cstring>

#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectRequests.h"

uint8_t ChangeConsoleAddress(const uint8_t current[3], const uint8_t next[3]) {
    uint8_t target[3];
    std::copy(next, next + 3, target); // `next` may be a variable the write itself changes
    std::memmove(Link.DeviceAddress, current, 3);
    std::copy(target, target + 3, DeviceSettings.ConsoleAddress);
    const uint8_t result = WriteObject(Obj::ConsoleAddress);
    if (result == 1) std::copy(target, target + 3, Link.DeviceAddress);
    return result;
}
