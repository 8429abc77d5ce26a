#pragma once
// The status lamps of the live windows: the five gas-level lamps lit by
// dm::LevelLamps from the stored sensor thresholds, and the diagnosis lamp
// lit by the rule the window gives.
#include <array>
#include <cstdint>
#include <functional>

class QWidget;
class TStreamDati;

namespace plat {
class Shape;
} // namespace plat

namespace wkit {

class StatusLamps {
public:
    // Whether the diagnosis lamp is lit (dm::DiagnosisLampOn, or the
    // window's own rule).
    using DiagnosisRule = std::function<bool(TStreamDati&)>;

    // The level lamps' names, in the order of dm::LevelLamps: the reserve,
    // then the quarters.
    static constexpr std::array<const char*, 5> kLevelNames = {"ShapeRiserva", "ShapeUnQuarto", "ShapeDueQuarti",
                                                               "ShapeTreQuarti", "ShapeQuattroQuarti"};

    // Makes the five level lamps, hidden, with make(name, reserve).
    void MakeLevelLamps(const std::function<plat::Shape*(const char* name, bool reserve)>& make);

    // The diagnosis lamp: on shows while lit, off (may be none) while dark.
    void SetDiagnosisLamp(QWidget* on, QWidget* off, DiagnosisRule rule);

    // Lights the level lamps for the status flags and level of a live frame;
    // only a lamp that changes is touched.
    void ShowLevel(const TStreamDati& data, std::int32_t statusFlags, std::int32_t level);
    // Lights the level lamps as given (the reserve, then the quarters).
    void ShowLevelLamps(const std::array<bool, 5>& lamps);

    // Asks the rule and shows the answer; returns it.
    bool ShowDiagnosis(TStreamDati& data);

    plat::Shape* Level(std::size_t i) const { return level_[i]; }

private:
    std::array<plat::Shape*, 5> level_{};
    QWidget* diagnosisOn_ = nullptr;
    QWidget* diagnosisOff_ = nullptr;
    DiagnosisRule rule_;
};

} // namespace wkit
