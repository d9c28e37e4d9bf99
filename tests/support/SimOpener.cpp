#include "tests/support/SimOpener.h"

TSimOpener::TSimOpener(TSimDevice& device, uint8_t portNumber) {
    SetPortOpener([this, &device, portNumber](uint8_t n) -> std::unique_ptr<TSerialPort> {
        if (n != portNumber) return nullptr;
        ++AttemptCount;
        if (!Available) return nullptr;
        auto port = std::make_unique<TSimPort>(device);
        Last = port.get();
        ++OpenCount;
        return port;
    });
}

TSimOpener::~TSimOpener() {
    ClosePort();
    SetPortOpener(nullptr);
}
