#pragma once
// The demo wiring diagrams that the build lays into the program folder's
// "Schematics" folders: simple drawings of a generic gas-injection kit, one
// A4 landscape page each. They exist to show and test the diagram browser;
// a workshop installs the real diagrams of its kits in their place.
#include <QString>
#include <vector>

namespace pdfgen {

enum class Drawing { Electrical, Pneumatic };
enum class Fuel { Lpg, Cng };

struct Diagram {
    // Path below the "Schematics" folder, e.g. "ElectricalLPG/LPG 4 cylinders.pdf".
    QString name;
    Drawing drawing;
    Fuel fuel;
    int cylinders;
};

const std::vector<Diagram>& Catalogue();
const Diagram* Find(const QString& name);

// Writes the diagram as a PDF file; false (and why in error) when it cannot.
bool write(const Diagram& diagram, const QString& path, QString* error = nullptr);

} // namespace pdfgen
