#include "archive/ArchiveTransfer.h"

#include "archive/ArchiveRecords.h"
#include "link/Catalogue.h"
#include "link/ObjectRequests.h"

#include <algorithm>
#include <cstring>

std::vector<int> ArchiveDamagedSlots;

bool IsDamagedSlot(int slotNumber) {
    return std::binary_search(ArchiveDamagedSlots.begin(), ArchiveDamagedSlots.end(), slotNumber);
}

TArchiveReadResult ReadArchive(const TArchiveReadHooks& hooks) {
    TArchiveReadResult result;
    ReadObject(Obj::ArchiveEntry); // the device's lead-in; what it brings is not kept
    CurrentPage = 1;
    PageCount = 1;
    std::memset(ArchiveBuffer, 0, sizeof ArchiveBuffer);
    ArchiveDamagedSlots.clear();
    if (hooks.Started) hooks.Started();

    int stored = 0;
    while (result.Failures <= ArchiveFailureLimit) {
        const int position = stored;
        ReadObject(Obj::ArchiveEntry);
        const TReplyOutcome outcome = Link.LastReplyOutcome;
        if (outcome == TReplyOutcome::NotAnswered) {
            ++result.Failures;
        } else {
            if (outcome == TReplyOutcome::AnsweredNotDelivered) {
                ++result.Failures;
                result.Damaged.push_back(stored + 1);
            }
            std::memcpy(ArchiveBuffer + size_t(stored) * ArchiveSlotSize, &ArchiveEntry,
                        ArchiveSlotSize);
            ++stored;
        }
        if (hooks.Progress) hooks.Progress(position, stored, result.Failures);
        if (stored == ArchiveSlotCount) break;
    }
    result.Completed = stored == ArchiveSlotCount;
    ArchiveLoaded = result.Completed;
    ArchiveDamagedSlots = result.Damaged;
    return result;
}

bool EraseArchive() {
    DeviceCommand = 2;
    if (WriteObject(Obj::DeviceCommand) != 1) return false;
    CurrentPage = 0;
    PageCount = 1;
    return true;
}
