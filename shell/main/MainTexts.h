#pragma once
// The main window's texts (string numbers), shared by its source files.

namespace mainrules {

// Connecting, and what follows a connect.
inline constexpr int kTextCannotConnect = 17;       // "Impossibile connettersi."
inline constexpr int kTextCheckLink = 19;           // "Controllare il collegamento."
inline constexpr int kTextReprogram = 366;          // "Riprogrammare la centralina e caricare \nuna nuova ..."
inline constexpr int kTextIncompatibleEcu = 33;     // "La centralina attualmente connessa non è compatibile."
inline constexpr int kTextAskForUpdate = 34;        // "Richiedere al fornitore una versione software più aggiornata."
inline constexpr int kTextInitialising = 51;        // "Inizializzazione centralina in corso"
inline constexpr int kTextLoading = 30;             // "Caricamento dati in corso"
inline constexpr int kTextLoadErrorsPossible = 35;  // "Possono verificarsi errori nel caricamento di alcuni dati."
inline constexpr int kTextThreeFourCylinders = 247; // "3-4 cilindri"
inline constexpr int kTextFiveToTenCylinders = 248; // "5-6-8-10 cilindri"
inline constexpr int kTextSaveToFile = 36;          // "Salvare i dati in memoria in un file?"
inline constexpr int kTextSaving = 32;              // "Salvataggio dati in corso"

// Firmware programming.
inline constexpr int kTextFirmwareFilesThreeFour = 243; // "Files programmazione 3-4 cilindri"
inline constexpr int kTextFirmwareFilesFiveToTen = 244; // "Files programmazione 5-6-8-10 cilindri"
inline constexpr int kTextCannotProgram = 42;           // "Impossibile effettuare la programmazione."
inline constexpr int kTextWrongFirmware = 347;          // "Attenzione! Il firmware selezionato non è adatto a ..."
inline constexpr int kTextProgramming = 43;             // "Programmazione in corso"
inline constexpr int kTextLowBattery = 52;              // "ATTENZIONE: tensione di batteria insufficiente: Riprovare?"
inline constexpr int kTextWritingConfiguration = 241;   // "Scrittura dati di configurazione in corso"
inline constexpr int kTextRestoreFailed = 242;          // "Impossibile scaricare i dati di configurazione ..."
inline constexpr int kTextIdentificationError = 18;     // "Errore nell'identificazione della centralina connessa."

// The captions of the eight buttons, in the order of the buttons.
inline constexpr int kTextButtonCaptions[8] = {
    3,   // "Configura"
    4,   // "Autotaratura"
    5,   // "Visualizza"
    6,   // "Lingua"
    7,   // "Carica dati"
    8,   // "Salva dati"
    9,   // "Nuovo firmware"
    535, // "Schemi"
};

// The menus, the labels and the messages the window takes in the current
// language.
inline constexpr int kTextElectricalLpg = 536;        // "Schemi elettrici LPG"
inline constexpr int kTextElectricalCng = 537;        // "Schemi elettrici CNG"
inline constexpr int kTextPneumaticLpg = 538;         // "Schemi pneumatici LPG"
inline constexpr int kTextPneumaticCng = 539;         // "Schemi pneumatici CNG"
inline constexpr int kTextConfiguration = 12;         // "Configurazione"
inline constexpr int kTextFirmwareVersion = 13;       // "Versione firmware ECU"
inline constexpr int kTextSoftwareVersion = 14;       // "Versione software PC"
inline constexpr int kTextResetQuestion = 55;         // "Sei sicuro di resettare tutti i dati della centralina?"
inline constexpr int kTextResetFailed = 56;           // "Impossibile effettuare il reset della centralina."
inline constexpr int kTextLpg = 190;                  // "GPL"
inline constexpr int kTextCng = 191;                  // "Metano"
inline constexpr int kTextNotConnected = 20;          // "ATTENZIONE: non è stata rilevata la connessione con la ..."
inline constexpr int kTextChangesNotInEcu = 21;       // "le modifiche apportate non avranno effetto in centralina"
inline constexpr int kTextConnectFirst = 22;          // "prima di modificare i parametri stabilire la connessione ..."
inline constexpr int kTextPreviousAttemptFailed = 45; // "Il tentativo di programmazione precedente è fallito."
inline constexpr int kTextRemoveBattery = 46;         // "Togliere i 12V batteria e riprovare entro 10 secondi."

} // namespace mainrules
