#pragma once
#include <QString>

namespace plat {

// The folder that holds the executable and the libraries loaded at run time.
QString ProgramFolder();
// Tests point it elsewhere; an empty text restores the default.
void SetProgramFolder(const QString& folder);

} // namespace plat
