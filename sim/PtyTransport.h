#pragma once
// The simulated console unit on a pseudo-terminal: the program opens the slave side like any
// serial port; the simulator reads requests from the master side and paces its replies at the
// line rate so that timings are those of a real cable.
#include "sim/SimDevice.h"

#include <QString>
#include <chrono>
#include <csignal>

class TPtyTransport {
  public:
    TPtyTransport(TSimDevice& device, bool pacing);
    ~TPtyTransport(); // closes the pseudo-terminal and removes the link
    TPtyTransport(const TPtyTransport&) = delete;
    TPtyTransport& operator=(const TPtyTransport&) = delete;

    bool Open(QString& error);
    QString SlavePath() const { return Slave; }
    // Links `path` to the slave side. A stale symbolic link there is replaced; any other file
    // is left alone and refused.
    bool Link(const QString& path, QString& error);
    void Unlink();

    enum TEnd { Stopped, HungUp, Failed };
    // Serves requests until `stop` becomes non-zero or a hang-up fault closes the master.
    TEnd Run(volatile std::sig_atomic_t& stop);

  private:
    void Send(const TOutgoing& reply, std::chrono::steady_clock::time_point notBefore,
              volatile std::sig_atomic_t& stop);
    void Close();

    TSimDevice& Device;
    bool Pacing;
    int Master = -1;
    int OwnSlave = -1; // kept open so that the master never sees a hang-up between programs
    QString Slave;
    QString LinkPath;
    // The request being received: when its first byte came and how many bytes it has so far.
    std::chrono::steady_clock::time_point RequestStart{};
    size_t RequestBytes = 0;
};

constexpr double LineByteMicroseconds = 10.0 * 1e6 / 115200.0; // 10 bits a byte
