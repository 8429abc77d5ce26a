#pragma once
// The acquisition file's text: 8-bit, CR LF breaks, TAB between fields, "."
// as decimal separator whatever the locale. Line 1 is the header, line 2 the
// column line, then one data line per 20 ms tick. The break is written at the
// start of every data line, so the column line ends with the first data
// line's break and the last line has none.
#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstdint>

#include "datamodule/core/LiveFrame.h"

namespace qz::live {

// Texts the recording and reading windows show, by string number.
inline constexpr int kAcqStringCannotOverwrite = 178;  // "Il file esistente non può essere sovrascritto."
inline constexpr int kAcqStringChooseOtherName = 179;  // "Assegnare un nome differente al nuovo file."
inline constexpr int kAcqStringCannotSave = 800;       // "Impossibile salvare i dati acquisiti."
inline constexpr int kAcqStringBadPath = 473;          // "Impossibile caricare i dati dal file impostato, ..."
inline constexpr int kAcqStringBadFormat = 474;        // "Impossibile caricare i dati dal file corrente, ..."
inline constexpr int kAcqStringFilter = 477;           // "Acquisizioni in tempo reale"
inline constexpr int kAcqStringSaveTitle = 475;        // "Salva dati acquisiti con nome"
inline constexpr int kAcqStringOpenTitle = 476;        // "Apri file con dati acquisiti"
inline constexpr int kAcqStringRecordings = 494;       // "Acquisizioni"
inline constexpr const char* kAcqFilterPattern = "*.txt";
inline constexpr const char* kAcqDefaultExtension = "txt";

// The values of one tick as the recording window decoded them from the live
// frame. The file's own rules (truncations, the zero pressure) are applied
// when the line is written.
struct TAcquisitionSample {
    std::int32_t Rpm = 0;
    double Lambda1Volts = 0;
    double GasMs1 = 0;
    double PetrolMs1 = 0;
    std::int32_t GasPressureHundredths = 0;   // hundredths of a bar
    std::int32_t MapPressureHundredths = 0;
    double ReducerTempC = 0;                  // 0 = not available
    double GasTempC = 0;                      // 0 = not available
    double Lambda2Volts = 0;
    double GasMs2 = 0;
    double PetrolMs2 = 0;
};

// The sample of a tick's live values (temperatures in degrees C, 0 when not
// available).
TAcquisitionSample SampleOfLive(const dm::TLiveValues& values);

// The start's date and time: the long date, a space and the long time of
// locale, in the translator's 8-bit code page, Windows-1252 (a character
// outside it becomes "?").
QByteArray AcquisitionStamp(const QDateTime& local, const QLocale& locale);
// The same for now in the system locale.
QByteArray CurrentAcquisitionStamp();

// A real number as the general notation with 6 significant digits writes it
// (0.45, 3.27936, 0, 1e-06, 1e+06).
QByteArray AcquisitionReal(double value);

// Probe voltage truncated to hundredths: trunc(volts x 100) x 0.01.
double AcquisitionLambda(double volts);
// Pressure in bar from hundredths: hundredths x 0.01, 0 for 0.
double AcquisitionPressure(std::int32_t hundredths);

// Line 1 with its CR LF and the column line without a break. bankCount is 1
// or 2 (anything else counts as 1).
QByteArray AcquisitionHeader(int bankCount, const QByteArray& stamp);

// One data line with its leading CR LF: elapsed ms, then 9 fields, or 12 when
// bankCount is 2.
QByteArray AcquisitionDataLine(std::uint32_t elapsedMs, const TAcquisitionSample& sample, int bankCount);

} // namespace qz::live
