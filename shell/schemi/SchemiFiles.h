#pragma once
// What the wiring-diagram browser lists: the diagram folder of each kind and
// the rows of a folder's PDF files. QtCore only, so it is tested without a
// window.
#include <QDateTime>
#include <QString>
#include <vector>

// The diagram kinds, as the main window's wiring-diagram menu numbers them.
enum TSchemiKind : int {
    SchemiElectricalCNG = 0,
    SchemiElectricalLPG = 1,
    SchemiPneumaticCNG = 2,
    SchemiPneumaticLPG = 3,
};

// The folder of a kind below the application folder, "/"-separated:
// "Schematics/ElectricalCNG", "Schematics/ElectricalLPG",
// "Schematics/PneumaticCNG", "Schematics/PneumaticLPG"; any other kind gives
// the electrical LPG diagrams.
QString SchemiSubFolder(int kind);
// applicationFolder + "/" + SchemiSubFolder(kind), cleaned.
QString SchemiFolder(const QString& applicationFolder, int kind);

// Creates the folder and every missing parent. True when it exists afterwards.
bool ForceSchemiFolder(const QString& folder);

// A file counts as a diagram when its name ends with ".pdf" in any case.
bool IsPdfFileName(const QString& fileName);
// What the list shows of a file: its name without the last four characters
// ("Fiat Punto.pdf" -> "Fiat Punto", "a.b.pdf" -> "a.b").
QString PdfCaption(const QString& fileName);
// "dd/MM/yyyy - hh:mm" with the given separators in place of "/" and ":";
// day, month, hour (0-23) and minute with two digits, the year in full.
QString PdfDateText(const QDateTime& localTime, const QString& dateSeparator,
                    const QString& timeSeparator);

struct TPdfRow {
    QString Caption;  // shown in the first column
    QString Date;     // the last change, shown in the second column
    QString FileName; // the file's real name in the folder, opened as it is
};

// The regular files of folder whose names end with suffix in any letter case
// (sub-folders are not listed), each captioned with its name without the
// suffix and dated with its last-write time in local time, sorted by caption
// without regard to case (ties: by case, then by file name). Empty when the
// folder is missing or unreadable.
std::vector<TPdfRow> ListRowsBySuffix(const QString& folder, const QString& suffix, const QString& dateSeparator,
                                      const QString& timeSeparator);

// The diagrams of a folder (regular files only, sub-folders are not listed),
// sorted by caption without regard to case (ties: by case, then by file
// name), each dated with its last-write time in local time. Empty when the
// folder is missing or unreadable.
std::vector<TPdfRow> ListPdfRows(const QString& folder, const QString& dateSeparator,
                                 const QString& timeSeparator);

// The file to open for a row of folder: folder + "/" + the row's real file
// name, or empty when that is no longer a regular file (it vanished since the
// list was filled).
QString PdfPathToOpen(const QString& folder, const TPdfRow& row);
