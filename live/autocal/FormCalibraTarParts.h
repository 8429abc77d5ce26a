#pragma once
// Shared by the window's source files: the pictures of the start/stop button
// that both the idle window and the calibration's sequence put on it, and the
// window's texts.

namespace calibratar {

// Released and pressed pictures of the button while it stops a calibration.
inline constexpr int kPicInitStop = 10069, kPicInitStopDown = 10070;

// The window's texts (string numbers).
inline constexpr int kTextRpm = 166;                // "GIRI"
inline constexpr int kTextGasTemp = 171;            // "T. GAS."
inline constexpr int kTextReducerTemp = 172;        // "T. RID."
inline constexpr int kTextGasTime = 167;            // "Tempo GAS"
inline constexpr int kTextPetrolTime = 170;         // "Tempo BENZ"
inline constexpr int kTextGasPressure = 192;        // "P. GAS"
inline constexpr int kTextMap = 326;                // "MAP"
inline constexpr int kTextExtraInjections = 169;    // "EXTRAINIETTATE"
inline constexpr int kTextCutoff = 173;             // "CUT-OFF"
inline constexpr int kTextDiagnosis = 495;          // "DIAGNOSI"
inline constexpr int kTextNowOnPetrol = 290;        // "Il sistema è ora a benzina, come dopo un normale avviamento"
inline constexpr int kTextRpmUnit = 89;             // "rpm"
inline constexpr int kTextDisconnectLoads = 562;    // "Scollegare l'eventuale variatore di anticipo \nDisinserire ..."
inline constexpr int kTextPressEnter = 271;         // "Premere invio per avviare l'autotaratura"
inline constexpr int kTextPetrol = 174;             // "BENZINA"
inline constexpr int kTextBringEngineTo = 275;      // "Portare il motore tra i"
inline constexpr int kTextRpmAtIdle = 276;          // "giri in folle"
inline constexpr int kTextIdleOnPetrol = 561;       // "Lasciare la vettura al minimo a benzina "
inline constexpr int kTextMeasured = 558;           // "Valore acquisito: "
inline constexpr int kTextCheckingParameters = 274; // "Attendere: verifica parametri"
inline constexpr int kTextLinkError = 273;          // "Impossibile procedere, errore di comunicazione"
inline constexpr int kTextWarming = 681;            // "Attesa riscaldamento"
inline constexpr int kTextSeconds = 682;            // "sec."
inline constexpr int kTextCalibrationDone = 281;    // "Taratura terminata correttamente"
inline constexpr int kTextDiagnosisError = 288;     // "Impossibile procedere, errore di diagnosi"

} // namespace calibratar
