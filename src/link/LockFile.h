#pragma once
// Serial-port lock files as terminal programs and other serial tools keep them: /run/lock (else
// /var/lock), LCK.. + the device's path below /dev/ with "/" as "_", holding the holder's process
// id as ten characters right-aligned and a line feed. Unlike the exclusive flag and flock, they
// keep out a program that runs as root.
#include <string>

// The lock name for the device a port path resolves to (links followed): /dev/ttyUSB0 gives
// "LCK..ttyUSB0", /dev/pts/3 "LCK..pts_3".
std::string LockFileName(const std::string& portPath);
// /run/lock, else /var/lock; empty when neither is a directory.
std::string LockFolder();

// The process id of a live program, other than this one, whose lock file names the device; 0
// when there is none. A lock left by a process that is gone is removed on the way.
long LockHolder(const std::string& portPath);

// The lock file this process holds on one device; released when it goes.
class TPortLock {
  public:
    TPortLock() = default;
    ~TPortLock() { Release(); }
    TPortLock(const TPortLock&) = delete;
    TPortLock& operator=(const TPortLock&) = delete;

    // Writes the lock for the device. Returns the process id of a live holder (nothing taken),
    // or 0: taken, or no lock folder can be written, in which case the port goes without one
    // (flock still keeps out a second copy of this program).
    long Take(const std::string& portPath);
    // Removes the file, if it still names this process.
    void Release();

  private:
    std::string Path_;
};
