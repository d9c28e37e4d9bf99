#pragma once
// A text record of what the link does, for connection diagnostics: one line per port opened and
// per direction of each exchange, with a local time stamp and the bytes in hex.
#include "link/SerialLink.h"

#include <QFile>
#include <QString>

// The line for one event of the link (see TWireEvent); empty for a port number that has no
// port at all, which every search meets by the hundred. `ms`: milliseconds since 1970. A port
// that did not open is explained in English when `english` is set, else in Russian.
QString WireLogLine(TWireEvent event, const uint8_t* data, int n, qint64 ms, bool english);

class TWireLog {
  public:
    // Appends to `path`; false with the reason when it cannot be opened.
    bool Open(const QString& path, QString& error);
    // Writes the event's line at once, so that the file is complete whenever the program ends.
    void Record(TWireEvent event, const uint8_t* data, int n, bool english);
    bool IsOpen() const { return File.isOpen(); }

  private:
    QFile File;
};
