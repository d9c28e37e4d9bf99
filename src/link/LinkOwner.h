#pragma once
// Who a port link belongs to. The simulator keeps an owner record beside the link it makes
// (the link's path plus ".lock", holding its process id) and keeps a lock on that file for as
// long as it runs; the kernel drops the lock when the process ends, however it ends. A record
// nobody locks therefore marks a link whose simulator is gone.
#include <string>

enum class TLinkOwnerState {
    None,  // no owner record: a link made by hand, or no link
    Alive, // the simulator that made it still runs
    Gone,  // its simulator has ended (perhaps killed) and left the link behind
};

std::string LinkOwnerRecordPath(const std::string& link);
// `pid` (optional) gets the running owner's process id.
TLinkOwnerState LinkOwnerState(const std::string& link, long long* pid = nullptr);

// The record of one running simulator: claimed before it makes its link, removed when it ends.
class TLinkOwnerRecord {
  public:
    TLinkOwnerRecord() = default;
    ~TLinkOwnerRecord(); // removes the record
    TLinkOwnerRecord(const TLinkOwnerRecord&) = delete;
    TLinkOwnerRecord& operator=(const TLinkOwnerRecord&) = delete;

    // Takes `link` for this process. Refused (false, with the reason) while another simulator
    // holds it, and for a working link that no simulator made (the operator's own). A link left
    // by a simulator that has ended may then be replaced.
    bool Claim(const std::string& link, std::string& error);

  private:
    int Fd = -1;
    std::string Path;
};
