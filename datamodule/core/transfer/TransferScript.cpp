// The hex script of the whole image: its header records, a block's item as
// an F0, F3 or F4 record, and the script steps of the diagnostic states and
// the pressure-difference coefficients. The script is built in memory and
// saved when the pass ends.
#include "TransferWalk.h"

#include "product/constants/BuildConstants.h"

// The script's header records: C0, L0 and the two sensor tables (T0, T1).
void TStreamDati::TransferWalk::WriteScriptHeader() const
{
    const dm::SensorTable& gas = s.GasTable;
    const dm::SensorTable& engine = s.EngineTable;
    const std::int32_t tipo = *s.Item(0x24);
    const bool inverted = (tipo & 0x80) != 0;
    const std::int32_t* rif = s.Item(0x4125);
    const std::array<int, 4> levels = {inverted ? 255 - rif[0] : rif[0], inverted ? 255 - rif[1] : rif[1],
                                       inverted ? 255 - rif[2] : rif[2], inverted ? 255 - rif[3] : rif[3]};
    qz::files::WriteScriptC0(hex, qz::CustomerId(), qz::DefaultEcuCustomerCode());
    qz::files::WriteScriptL0(hex, inverted, levels);
    qz::files::WriteScriptT0(hex, gas.first, gas.step,
                             std::span<const int>(gas.counts.data(), static_cast<std::size_t>(gas.points)));
    qz::files::WriteScriptT1(hex, engine.first, engine.step,
                             std::span<const int>(engine.counts.data(), static_cast<std::size_t>(engine.points)));
}

void TStreamDati::TransferWalk::WriteRecord(const Block& b, std::int32_t code, const std::int32_t* v, int rows,
                                            int stride) const
{
    const auto ucode = static_cast<std::uint32_t>(code);
    switch (b.record) {
    case Record::F0: qz::files::WriteScriptF0(hex, ucode, b.scriptZero ? 0 : *v); break;
    case Record::F3:
        qz::files::WriteScriptF3(hex, ucode,
                                 std::span<const std::int32_t>(v, static_cast<std::size_t>(dm::CodeElements(code))));
        break;
    case Record::F4:
        for (int r = 0; r < rows; ++r)
            qz::files::WriteScriptF4(
                hex, ucode, r,
                std::span<const std::int32_t>(v + r * stride, static_cast<std::size_t>(dm::CodeElements(code))));
        break;
    case Record::None: break;
    }
}

void TStreamDati::TransferWalk::ScriptDiagStates(const Block& b, std::int32_t* v) const
{
    std::fill_n(v, 5, 0);
    v[1] = s.Item(dm::kDiagnosticEnablesCode)[1] & 1;
    WriteRecord(b, dm::kDiagnosticStatesCode, v, 1, 0);
}

void TStreamDati::TransferWalk::ScriptCoeffPressDiff(const Block& b, std::int32_t* v) const
{
    CoeffPressDiffToWord(v);
    WriteRecord(b, dm::kCoeffPressDiffWord, v, 1, 0);
}
