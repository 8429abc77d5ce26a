#pragma once
// The other controls of the Configurazione page: the lists by ECU type, the
// cylinder and ignition writes, the configuration note, the personalisation
// and what follows the diagnostics window. Plain writes on the data module.
#include <QChar>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class TStreamDati;

namespace cfgrules {

// A text by string number in the current language.
using TextOf = std::function<QString(int)>;
// The data module's translator (empty texts without one).
TextOf ModuleTexts(TStreamDati& dm);

// ---- Lists ------------------------------------------------------------------
QStringList FuelItems(const TextOf& text);          // "GPL", "Metano"
QStringList FullGroupItems(const TextOf& text);     // "sequenziale", "full group"
QStringList InjectorTypeItems();                    // the offered names, in offer order
// String numbers of the cylinder list: 3 and 4 cylinders, then 5, 6 and 8
// for the eight-cylinder types, then 10 for type 53.
std::vector<int> CylinderTextNumbers(int ecuType);
QStringList CylinderItems(int ecuType, const TextOf& text);
// "monobobina", "bibobina", "contagiri", "contagiri 2".
QStringList IgnitionItems(const TextOf& text);
QStringList PersonalisationItems();

// ---- Cylinders and ignition ---------------------------------------------------
constexpr int kIgnitionRpmCounter = 2;              // "contagiri"

// 3, 4, 5, 6, 8, 10 for the list positions 0..5.
int CylinderCount(int cylinderIndex);
// The value of the ignition / rpm-signal item for a list position.
int IgnitionValue(int ignitionIndex, int cylinderIndex);
// Writes the cylinders (item code 52) and, with the rpm counter chosen, the
// ignition value that depends on them (code 20). The window then clears
// the switch-over page's sequence box, which restores the standard
// injection sequence (SetSequenceAdvance(false)).
void ApplyCylinders(TStreamDati& dm, int cylinderIndex, int ignitionIndex);
void ApplyIgnition(TStreamDati& dm, int ignitionIndex, int cylinderIndex);

// ---- Configuration note -------------------------------------------------------
constexpr int kNoteMaxLength = 64;
constexpr char16_t kBackspace = 8;

// The key filter: Backspace and space.."_" pass, a..z become upper case,
// every other character is dropped (none).
std::optional<QChar> FilterNoteKey(QChar key);
// The same rule over a whole text (what is stored), cut to 64 characters.
QString FilterNoteText(const QString& text);
// Stores the note and answers what the editor shows: the stored note trimmed.
QString CommitNote(TStreamDati& dm, const QString& text);
QString ShownNote(const TStreamDati& dm);

// ---- Personalisation ----------------------------------------------------------
// The chosen position when it lies in 0..65535, else 0.
std::uint32_t PersValue(int index);
// Writes it; with a connection the ECU is told to take it and the link is
// opened again.
void ApplyPers(TStreamDati& dm, int index);
// The list position to show: the stored value, -1 (none) above 65535.
int PersShownIndex(const TStreamDati& dm);

} // namespace cfgrules
