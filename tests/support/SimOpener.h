#pragma once
// Installs the in-process simulator as the program's port opener: OpenPort(number) opens a
// TSimPort on `device`, every other number fails. The destructor restores the tty opener.
#include "link/SerialLink.h"
#include "sim/SimDevice.h"
#include "sim/SimPort.h"

#include <cstdint>

class TSimOpener {
  public:
    TSimOpener(TSimDevice& device, uint8_t portNumber);
    ~TSimOpener();
    TSimOpener(const TSimOpener&) = delete;
    TSimOpener& operator=(const TSimOpener&) = delete;
    // The port most recently opened by the program (nullptr before the first open). It belongs
    // to the program's PortHandle; do not use it after ClosePort.
    TSimPort* LastPort() const { return Last; }
    int Opens() const { return OpenCount; }
    // Opens of the number tried, whether they worked or not.
    int Attempts() const { return AttemptCount; }
    // Every open of the number fails from now on (a device that went away) or works again.
    void SetAvailable(bool available) { Available = available; }

  private:
    TSimPort* Last = nullptr;
    int OpenCount = 0;
    int AttemptCount = 0;
    bool Available = true;
};
