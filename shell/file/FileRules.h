#pragma once
// The rules of the configuration-file dialog that need no window: the name
// proposed for saving, the file a typed name stands for, the folders and the
// listing, and the texts of the mail results. QtCore only.
#include "shell/schemi/SchemiFiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The proposed name of a configuration: the data module's name without full
// stops, slashes, backslashes, double quotes, commas and semicolons
// ("Golf 1.6; GPL" -> "Golf 16 GPL").
QString CleanConfigName(const QString& name);

// A typed name that contains "/" or "\" would reach outside the make folder.
bool NameHasPathSeparator(const QString& name);

// name ends with "." + extension in any letter case.
bool HasConfigExtension(const QString& name, const QString& extension);

// The file name that a typed name stands for when opening or mailing: the
// name as given when folder holds a regular file of that name, else the name
// with "." + extension added unless it already ends with it.
QString FileNameToOpen(const QString& folder, const QString& name, const QString& extension);

// The extension of the end-of-line hex script the dialog exports.
inline constexpr const char* kScriptExtension = "ehcf";

// The path a save writes: folder + name, followed by "." + extension unless
// the name already ends with it (any letter case). The end-of-line export
// passes "ehcf".
QString PathToSave(const QString& folder, const QString& name, const QString& extension);

// The fuel folder below the application folder: "ConfigCNG" or "ConfigLPG".
QString ConfigFuelFolder(const QString& applicationFolder, bool cng);
// The folder of a make: the fuel folder for ".", else fuel folder + make.
QString ConfigMakeFolder(const QString& fuelFolder, const QString& make);
// The sub-folders of folder (the makes), sorted by name without regard to
// case.
QStringList ListMakeFolders(const QString& folder);

// The configuration files of folder whose name ends with "." + extension in
// any letter case (regular files only), captioned without the extension and
// dated with their last-write time, sorted by caption without regard to case.
std::vector<TPdfRow> ListConfigRows(const QString& folder, const QString& extension,
                                    const QString& dateSeparator, const QString& timeSeparator);
// Whether folder holds any such file.
bool AnyConfigFile(const QString& folder, const QString& extension);

// The ECU kinds of the dialog's list: item 0 type 30, 1 type 79, 2 type 31.
int EcuKindItemOfType(int ecuType);
int EcuTypeOfKindItem(int item);

// The message shown for a mail result other than 0 (sent) and 1 (aborted by
// the user); empty for a result without a text.
QString MailResultText(int result);

// The question before a loaded file with damaged values is written into the
// ECU: the text with "%1" the count and "%2" the first three keys (", "
// between them, then ", ..." when there are more).
QString DamagedValuesQuestion(QString text, int count, const std::vector<QByteArray>& keys);
