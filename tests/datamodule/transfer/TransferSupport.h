#pragma once
// The data module on the simulated ECU, with a scratch folder for
// configuration files and helpers to write and read them as plain INI text.
#include "tests/support/rig/DataModuleRig.h"

#include "datamodule/files/IniDocument.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <optional>
#include <vector>

namespace tx {

constexpr std::int32_t kAll = TStreamDati::TRANSFER_ALL_GROUPS;

class TransferRig : public rig::DataModuleRig {
public:
    explicit TransferRig(const rig::Options& options = {});

    QString path(const QString& name) const { return dir.filePath(name); }
    // A scrambled configuration file holding plain (with the module's key),
    // completed by WithFlag1.
    void writeConfig(const QString& file, const QByteArray& plain);
    // The plain text of a scrambled file; none when it cannot be read.
    std::optional<QByteArray> plainOf(const QString& file) const;
    qz::files::TIniDocument readConfig(const QString& file) const;

    bool transfer(std::uint32_t flags, const QString& file = {}, int resource = 0, std::int32_t mask = kAll,
                  bool progress = false);

    std::vector<std::int32_t> image() const;
    // Files left in the scratch folder and the system's temporary folder
    // that a pass may have made.
    QStringList scratchFiles() const;

    QTemporaryDir dir;
};

// A configuration of this system holds Flag1 in section Generale; a test
// text without it gets the default (1044), so that a test names only the
// keys it is about.
QByteArray WithFlag1(const QByteArray& plain);

// Elements of an item in the simulated ECU.
std::vector<std::int32_t> ecuItem(const protovyx::Simulator& sim, int item);

} // namespace tx
