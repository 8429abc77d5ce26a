#include "TransferSupport.h"

#include "datamodule/files/SaveFile.h"
#include "datamodule/files/Scrambler.h"

#include <QDir>

namespace tx {

TransferRig::TransferRig(const rig::Options& options) : rig::DataModuleRig(options)
{
    dm().LoadMessageTexts();
}

void TransferRig::writeConfig(const QString& file, const QByteArray& plain)
{
    ASSERT_TRUE(qz::files::SaveFileAtomically(file, qz::files::ScrambleBytes(WithFlag1(plain), dm().FileKey())));
}

QByteArray WithFlag1(const QByteArray& plain)
{
    const qz::files::TIniDocument doc = qz::files::TIniDocument::Parse(plain);
    if (doc.Contains("Generale", "Flag1"))
        return plain;
    const QByteArray section = "[Generale]\r\n";
    const qsizetype at = plain.indexOf(section);
    if (at >= 0)
        return QByteArray(plain).insert(at + section.size(), "Flag1=1044\r\n");
    return section + "Flag1=1044\r\n" + plain;
}

std::optional<QByteArray> TransferRig::plainOf(const QString& file) const
{
    const qz::files::TReadResult r = qz::files::ReadWholeFile(file);
    if (!r.Ok())
        return std::nullopt;
    return qz::files::DescrambleBytes(r.data, const_cast<TransferRig*>(this)->dm().FileKey(),
                                      qz::files::TScrambledSource::File);
}

qz::files::TIniDocument TransferRig::readConfig(const QString& file) const
{
    const auto plain = plainOf(file);
    return qz::files::TIniDocument::Parse(plain ? *plain : QByteArray());
}

bool TransferRig::transfer(std::uint32_t flags, const QString& file, int resource, std::int32_t mask, bool progress)
{
    return dm().TransferData(flags, file, resource, mask, progress ? 1 : 0, 0);
}

std::vector<std::int32_t> TransferRig::image() const
{
    const auto all = const_cast<TransferRig*>(this)->dm().Image.All();
    return {all.begin(), all.end()};
}

QStringList TransferRig::scratchFiles() const
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

std::vector<std::int32_t> ecuItem(const protovyx::Simulator& sim, int item)
{
    std::vector<std::int32_t> v;
    sim.PeekItem(item, v);
    return v;
}

} // namespace tx
