#pragma once
// Reading the whole device archive into ArchiveBuffer and erasing it on the device: the link
// side of the archive commands, shared by the window and any other front end.
#include <functional>
#include <vector>

// More failed reads than this in one archive read abandon it.
constexpr int ArchiveFailureLimit = 100;

struct TArchiveReadResult {
    bool Completed = false;   // all 902 slots filled
    int Failures = 0;         // failed reads, damaged answers included
    std::vector<int> Damaged; // slot numbers (1..902) filled from a damaged answer
};

struct TArchiveReadHooks {
    // After the discarded first read, with the buffer zeroed, before the first kept read.
    std::function<void()> Started;
    // After every exchange of the fetch loop: `position` is the slot just filled (or the one
    // still waiting after a failure), `stored` how many slots hold a record so far.
    std::function<void(int position, int stored, int failures)> Progress;
};

// Slot numbers filled from a damaged answer during the last read (empty after a clean one).
extern std::vector<int> ArchiveDamagedSlots;
bool IsDamagedSlot(int slotNumber);

// The whole read: one discarded read, then ArchiveEntry reads until 902 slots are filled or the
// failures pass the limit. Sets CurrentPage and PageCount to 1 at the start and ArchiveLoaded
// at the end; does not scan.
//
// The requests carry no record number: the device moves on with every answer it gives. An answer
// that arrives damaged therefore still takes its slot (holding the record before it, the only
// thing there is) so that the following slots stay where the device has them, and is counted as
// a failure and remembered; only a read with no answer at all is tried again for the same slot.
TArchiveReadResult ReadArchive(const TArchiveReadHooks& hooks = {});

// Sends the erase command. True when the device acknowledged it; then CurrentPage is 0 and
// PageCount 1. The buffer and ArchiveLoaded stay as they are.
bool EraseArchive();
