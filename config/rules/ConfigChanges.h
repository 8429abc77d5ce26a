#pragma once
// The three changes of the Configurazione page that replace the calibration
// with a built-in default set and write it to the ECU: the fuel, the
// injection mode (sequential / full group) and the injector type.
//
// Each change asks first, then runs inside the window's wait frame, drives
// the whole-image transfer and ends with the closing frame, in which the
// configuration label of the main window is refreshed (connection event 2).
// The window supplies the frame (timer, cursor, wait form, cell bounds, page
// reload) through ChangeFrame; everything else happens here.
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class TStreamDati;

namespace cfgrules {

// What the window does around a change. Every hook may be empty.
struct ChangeFrame {
    // Live tick stopped, hourglass, wait form with string 31 shown.
    std::function<void()> beginWait;
    // The five bound builders of the live tracker (map K, emissions, filter,
    // differential pressure, manifold pressure).
    std::function<void()> rebuildBounds;
    // Wait form closed, window to the front, default cursor, page reloaded,
    // live tick restarted.
    std::function<void()> endWait;
};

enum class ChangeResult {
    Unchanged, // the choice is the one already set: nothing asked, nothing done
    Declined,  // the user said No: the combo goes back to the previous entry
    Refused,   // the ECU refused the option write, or stored another value
               // than the one asked: nothing loaded or written, the user told
               // that the change was not made, the combo goes back; no wait
               // form was shown (the window reloads its page)
    NotMade,   // loading the default set failed (the transfer engine told the
               // user why): nothing was written to the ECU, the previous
               // choice was written back and the user told that the change
               // was not made; the closing frame ran
    Done,      // every transfer succeeded
    Failed,    // writing the ECU failed (the transfer engine told the user);
               // the image is marked modified; the closing frame ran
};

// The text that tells the user a change was not made.
constexpr int kChangeNotMadeText = 701;

// The resource number of the built-in default set for the current ECU type,
// fuel, injection mode and configured injector type.
int CurrentDefaultResource(TStreamDati& dm);

// Fuel: index 0 LPG, 1 CNG; previousFuel the index the page showed.
ChangeResult ChangeFuel(TStreamDati& dm, int index, int previousFuel, const ChangeFrame& frame = {});

// Injection mode: index 0 sequential, 1 full group.
ChangeResult ChangeFullGroup(TStreamDati& dm, int index, int previousFullGroup, const ChangeFrame& frame = {});

// The injector-type codes in the order the combo offers them.
std::vector<int> OfferedInjectorTypes();
// The combo's position of the name of an injector-type code, -1 when the
// name is not offered.
int InjectorTypePosition(int code);

// Injector type: index is the combo position chosen; previousInjectorType
// the code stored when the page was filled, updated when the change goes
// ahead. On Declined the combo goes back to InjectorTypePosition(previous).
ChangeResult ChangeInjectorType(TStreamDati& dm, int index, int& previousInjectorType,
                                const ChangeFrame& frame = {});

} // namespace cfgrules
