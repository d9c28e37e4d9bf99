#pragma once
// A port that plays back a scripted reply and records what the link did with it: the bytes
// written and every read asked for. Reads hand out at most what the script still holds.
#include "link/SerialLink.h"

#include <algorithm>
#include <cstring>
#include <vector>

struct TReadCall {
    int Bytes;
    int TimeoutMs;
};

class TScriptPort : public TSerialPort {
  public:
    std::vector<uint8_t> Reply; // what the device sends after the next write
    std::vector<uint8_t> Sent;  // everything written
    std::vector<TReadCall> Reads;
    int Purges = 0;

    void Purge() override {
        ++Purges;
        Pending.clear();
    }
    int Write(const uint8_t* data, int n) override {
        Sent.assign(data, data + n);
        Pending = Reply;
        return n;
    }
    int Read(uint8_t* data, int n, int timeoutMs) override {
        Reads.push_back({n, timeoutMs});
        const int k = std::min<int>(n, static_cast<int>(Pending.size()));
        if (k > 0) std::memcpy(data, Pending.data(), static_cast<size_t>(k));
        Pending.erase(Pending.begin(), Pending.begin() + k);
        return k;
    }
    void Close() override {}

  private:
    std::vector<uint8_t> Pending;
};

// Installs a TScriptPort as port `number` for the life of the object and opens it.
class TScriptedLink {
  public:
    explicit TScriptedLink(uint8_t number = 1) {
        SetPortOpener([this, number](uint8_t n) -> std::unique_ptr<TSerialPort> {
            if (n != number) return nullptr;
            auto port = std::make_unique<TScriptPort>();
            Port = port.get();
            return port;
        });
        OpenPort(number);
    }
    ~TScriptedLink() {
        ClosePort();
        SetPortOpener(nullptr);
    }
    TScriptPort* Port = nullptr;
};
