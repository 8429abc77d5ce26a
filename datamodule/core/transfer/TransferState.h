#pragma once
// What the data module keeps for its configuration-file container, and the
// copy of its state that a whole-image pass works on.
#include "datamodule/core/iodata.h"

#include "datamodule/files/ConfigContainer.h"

struct TStreamDati::ContainerState {
    qz::files::TConfigContainer files;
};

// Everything a pass may change in the data module: the image (the time base
// with it), the K-map size, the item-present flags, the identity, the note,
// the vehicle description, the version texts and the two sensor tables built
// from the image. A try of the pass takes it from the data module, works on
// it alone and hands it back when it ends; a read that fails hands nothing
// back, so the data module keeps exactly what it held. Fixed-size members
// only: taking and handing back copy a few KiB and allocate nothing.
struct TStreamDati::WorkingCopy {
    dm::ParameterImage Image;
    decltype(TStreamDati::NumeroRighe) NumeroRighe{};
    decltype(TStreamDati::NumeroColonne) NumeroColonne{};
    decltype(TStreamDati::TargetObdPresent) TargetObdPresent{};
    decltype(TStreamDati::CoeffPressDiffByte) CoeffPressDiffByte{};
    decltype(TStreamDati::VariatorePresent) VariatorePresent{};
    decltype(TStreamDati::RifMapVariatorePresent) RifMapVariatorePresent{};
    decltype(TStreamDati::RifDelayGasTempPresent) RifDelayGasTempPresent{};
    decltype(TStreamDati::ItemB5Present) ItemB5Present{};
    decltype(TStreamDati::IniettateGasCutoffPresent) IniettateGasCutoffPresent{};
    decltype(TStreamDati::Flag34Present) Flag34Present{};
    decltype(TStreamDati::ItemBCPresent) ItemBCPresent{};
    decltype(TStreamDati::Item264Present) Item264Present{};
    decltype(TStreamDati::TipiLambdaPresent) TipiLambdaPresent{};
    decltype(TStreamDati::NoteConfig) NoteConfig{};
    decltype(TStreamDati::Identity) Identity{};
    decltype(TStreamDati::DescrizAuto) DescrizAuto{};
    decltype(TStreamDati::Euro) Euro{};
    decltype(TStreamDati::CentCubici) CentCubici{};
    decltype(TStreamDati::Valvole) Valvole{};
    decltype(TStreamDati::NCilindri) NCilindri{};
    decltype(TStreamDati::Potenza) Potenza{};
    decltype(TStreamDati::Motore) Motore{};
    decltype(TStreamDati::Centralina) Centralina{};
    decltype(TStreamDati::Cambio) Cambio{};
    decltype(TStreamDati::AnnoVettura) AnnoVettura{};
    decltype(TStreamDati::VersioneFirmware) VersioneFirmware{};
    decltype(TStreamDati::VersioneProgramma) VersioneProgramma{};
    decltype(TStreamDati::VersioneWindows) VersioneWindows{};
    dm::SensorTable GasTable;
    dm::SensorTable EngineTable;

    void TakeFrom(const TStreamDati& d)
    {
        copyFields(d, *this);
        GasTable = dm::GasSensorTable();
        EngineTable = dm::EngineSensorTable();
    }
    void HandTo(TStreamDati& d) const
    {
        copyFields(*this, d);
        dm::GasSensorTable() = GasTable;
        dm::EngineSensorTable() = EngineTable;
    }

    // The same reads the data module offers, on the copy.
    std::int32_t* Item(std::int32_t code) { return Image.Item(code); }
    const std::int32_t* Item(std::int32_t code) const { return Image.Item(code); }
    std::int32_t GetTimeBase() const { return *Item(dm::kTimeBaseCode); }
    std::int32_t GetItem15() const { return *Item(0x15); }
    void BuildTemperaturaGasTable(int type) { dm::BuildGasSensorTable(GasTable, type); }
    void BuildTempMotoreTable(bool useVehicleSensor)
    {
        dm::BuildEngineSensorTable(EngineTable, useVehicleSensor, Item(0x558a), Item(0x1e18b));
    }

private:
    // One list of the fields for both directions: the data module and the
    // copy name them alike.
    template <class From, class To>
    static void copyFields(const From& f, To& t)
    {
        t.Image = f.Image;
        t.NumeroRighe = f.NumeroRighe;
        t.NumeroColonne = f.NumeroColonne;
        t.TargetObdPresent = f.TargetObdPresent;
        t.CoeffPressDiffByte = f.CoeffPressDiffByte;
        t.VariatorePresent = f.VariatorePresent;
        t.RifMapVariatorePresent = f.RifMapVariatorePresent;
        t.RifDelayGasTempPresent = f.RifDelayGasTempPresent;
        t.ItemB5Present = f.ItemB5Present;
        t.IniettateGasCutoffPresent = f.IniettateGasCutoffPresent;
        t.Flag34Present = f.Flag34Present;
        t.ItemBCPresent = f.ItemBCPresent;
        t.Item264Present = f.Item264Present;
        t.TipiLambdaPresent = f.TipiLambdaPresent;
        t.NoteConfig = f.NoteConfig;
        t.Identity = f.Identity;
        t.DescrizAuto = f.DescrizAuto;
        t.Euro = f.Euro;
        t.CentCubici = f.CentCubici;
        t.Valvole = f.Valvole;
        t.NCilindri = f.NCilindri;
        t.Potenza = f.Potenza;
        t.Motore = f.Motore;
        t.Centralina = f.Centralina;
        t.Cambio = f.Cambio;
        t.AnnoVettura = f.AnnoVettura;
        t.VersioneFirmware = f.VersioneFirmware;
        t.VersioneProgramma = f.VersioneProgramma;
        t.VersioneWindows = f.VersioneWindows;
    }
};
