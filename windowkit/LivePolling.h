#pragma once
// Which item the data module's poll step reads, and who runs the step: the
// data module's own timer (TimerIO) or the window on top.
class TStreamDati;

namespace wkit {

// The live frame polled, TimerIO stopped: the window's own tick runs the poll
// step from now on.
void LivePollingOn(TStreamDati& data);

// The identity polled again and TimerIO started: the data module watches the
// link by itself, as before any live window opened.
void LivePollingOff(TStreamDati& data);

// The identity polled with TimerIO stopped: a window that reads its own items
// (the diagnostics window) and still runs the poll step on its tick.
void IdlePollingByWindow(TStreamDati& data);

} // namespace wkit
