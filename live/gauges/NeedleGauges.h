#pragma once
// The live view's needle gauges: engine speed, reducer temperature and gas
// temperature on circular dials, the injector size rating on a smaller
// scale. The dial faces are pictures; the needles are lines drawn over them,
// and a needle that moves leaves the dial as it was.
#include <QColor>
#include <QLine>
#include <QPoint>
#include <QRect>

class QPainter;

namespace qz::live {

enum class TGaugeDial { EngineSpeed, ReducerTemp, GasTemp, InjectorSize };

// Bounds of the four dial pictures in client pixels (after screen scaling).
struct TGaugeLayout {
    QRect Giri;        // ImageGiri
    QRect TempRid;     // ImageTempRid
    QRect TempGas;     // ImageTempGas
    QRect Iniettori;   // ImageIniettori
    bool operator==(const TGaugeLayout&) const = default;
};

struct TGaugeGeometry {
    QPoint Centre;
    int InnerRadius = 0;
    int OuterRadius = 0;
    int PenWidth = 0;
};

// Centre from the dial's own picture; the three circular dials take their
// radii from the width of the injector picture, the injector dial from its
// own height.
TGaugeGeometry GaugeGeometry(const TGaugeLayout& layout, TGaugeDial dial);

// Needle angle in radians (0 points left, pi/2 up, pi right).
double GaugeAngle(TGaugeDial dial, int value);

// From the inner point to the outer point of a needle at angle.
QLine NeedleLine(const TGaugeGeometry& g, double angle);

// The hub arc of a temperature dial in QPainter terms (1/16 degree,
// counter-clockwise positive): from the radial through the start point to
// the radial through the end point, counter-clockwise.
struct TArcSpan {
    int Start16 = 0;
    int Span16 = 0;
};
TArcSpan TemperatureHubArc(const QRect& picture, QPoint centre);

inline const QColor kGaugeNeedleColour{0, 0, 255};

// Draws the needle of the dial at value: the engine-speed and temperature
// needles with their hub (the engine-speed hub filled with windowColour),
// the injector-size needle alone.
void DrawGaugeNeedle(QPainter& painter, const TGaugeLayout& layout, TGaugeDial dial, int value,
                     const QColor& windowColour);
// The hub of the engine-speed or a temperature dial without its needle.
void DrawGaugeHub(QPainter& painter, const TGaugeLayout& layout, TGaugeDial dial, const QColor& windowColour);

// Every pixel that DrawGaugeNeedle may paint for the dial at value, hub
// included; GaugeHubArea the same for the hub alone (empty for the injector
// dial).
QRect GaugeNeedleArea(const TGaugeLayout& layout, TGaugeDial dial, int value);
QRect GaugeHubArea(const TGaugeLayout& layout, TGaugeDial dial);

} // namespace qz::live
