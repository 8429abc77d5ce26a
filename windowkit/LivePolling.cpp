#include "LivePolling.h"

#include "datamodule/core/ItemCatalogue.h"
#include "datamodule/core/iodata.h"

#include <QTimer>

namespace wkit {
namespace {

void poll(TStreamDati& data, std::int32_t item, bool timerRuns)
{
    data.SetPollItem(item);
    if (!data.TimerIO)
        return;
    if (timerRuns)
        data.TimerIO->start();
    else
        data.TimerIO->stop();
}

} // namespace

void LivePollingOn(TStreamDati& data) { poll(data, dm::kLiveBlock, false); }

void LivePollingOff(TStreamDati& data) { poll(data, dm::kIdentityCode, true); }

void IdlePollingByWindow(TStreamDati& data) { poll(data, dm::kIdentityCode, false); }

} // namespace wkit
