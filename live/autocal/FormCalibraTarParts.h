#pragma once
// Shared by the window's source files: the pictures of the start/stop button
// that both the idle window and the calibration's sequence put on it.

namespace calibratar {

// Released and pressed pictures of the button while it stops a calibration.
inline constexpr int kPicInitStop = 10069, kPicInitStopDown = 10070;

} // namespace calibratar
