#pragma once
// The link to the ECU: the poll step with the live block it reads, the
// diagnostic-error check, the transfer progress and the reconnect. A family
// of TStreamDati (see iodata.h); defined in iodata_link.cpp, the check in
// iodata.cpp.
#include "StreamFamily.h"

#include "LiveFrame.h"

#include <cstdint>

class QObject;

class TStreamLink : public TStreamFamily<TStreamLink> {
public:
    // The step of TimerIO: reads the identity (idle) or the live block of
    // PollItem, reconnects once when the read fails, notices another ECU.
    void TimerIOTimer(QObject* sender = nullptr);
    inline void SetPollItem(std::int32_t code); // defined in iodata.h
    inline std::uint8_t* GetLiveBlock();
    inline dm::TLiveFrame DecodedLiveBlock() const;
    // Posts event 9 when the diagnostic-error state changes.
    void CheckDiagnosticErrors();
    void AddProgress(std::int32_t code, std::uint32_t total, bool notify);

    bool Reconnect(int timeoutMs);
    bool WaitEcuReady(int timeoutMs);

private:
    void showDisconnectedBox(bool error);
};
