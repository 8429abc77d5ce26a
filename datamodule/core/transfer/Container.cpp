// The data module's configuration-file container: one owned
// qz::files::TConfigContainer behind the data module's own operations.
#include "datamodule/core/iodata.h"

#include "TransferState.h"

#include "complib/translator/Translator.h"

#include "datamodule/files/EncryptedContainer.h"

#include <algorithm>
#include <cstring>

TStreamDati::ContainerState& TStreamDati::container() const
{
    if (!containerState_) {
        containerState_ = std::make_shared<ContainerState>();
        // The container's error texts are the data module's message texts.
        containerState_->files.SetTextSource([this](int number) {
            switch (number) {
            case qz::files::kTextFileUnreadable:
                return MessageText(MSG_FILE_READ);
            case qz::files::kTextResourceUnreadable:
                return MessageText(MSG_RESOURCE_READ);
            case qz::files::kTextSaveFailed:
                return MessageText(MSG_TRANSFER_INCOMPLETE);
            default:
                return QString();
            }
        });
    }
    return *containerState_;
}

QString TStreamDati::MessageText(int slot) const
{
    static constexpr int kNumbers[kMessageTextCount] = {301, 302, 303, 304, 296, 342, 343, 17, 47, 181, 261};
    const QString& loaded = MessageTexts[static_cast<std::size_t>(slot)];
    if (!loaded.isEmpty() || !Translator)
        return loaded;
    return Translator->GetString(kNumbers[slot]);
}

void TStreamDati::SetFileName(const QString& name)
{
    container().files.SetFileName(name);
    const QByteArray local = name.toLocal8Bit();
    FileName.fill('\0');
    std::memcpy(FileName.data(), local.constData(),
                static_cast<std::size_t>(std::min<qsizetype>(local.size(), 249)));
}

bool TStreamDati::SetFileKey(QByteArrayView key) { return container().files.SetFileKey(key); }
QByteArray TStreamDati::FileKey() const { return container().files.FileKey(); }
void TStreamDati::OpenFileContainer(bool read) { container().files.OpenFileContainer(read); }
void TStreamDati::CloseFileContainer(bool discard) { container().files.CloseFileContainer(discard); }
void TStreamDati::DeleteTempFile() { container().files.DeleteTempFile(); }
void TStreamDati::DeleteTempFile2() { container().files.DeleteTempFile2(); }
bool TStreamDati::IsContainerOpen() const { return container().files.IsOpen(); }
int TStreamDati::MissingValueCount() const { return container().files.MissingKeyCount(); }
int TStreamDati::DamagedValueCount() const { return container().files.DamagedKeyCount(); }
const std::vector<QByteArray>& TStreamDati::DamagedValueKeys() const { return container().files.DamagedKeys(); }

void TStreamDati::OpenResourceContainer(std::int32_t number)
{
    auto& files = container().files;
    if (files.IsOpen())
        return;
    // The sets of the second format are complete sets too; whichever way
    // they are asked for, their header tells them apart.
    const std::optional<QByteArray> data = qz::files::ReadDefaultSetResource(number);
    if (data && data->startsWith(QByteArrayView(qz::files::kContainerHeader, qz::files::kContainerHeaderLength)))
        files.OpenResourceContainer2(number);
    else
        files.OpenResourceContainer(number);
}

void TStreamDati::OpenResourceContainer2(std::int32_t number) { container().files.OpenResourceContainer2(number); }

void TStreamDati::SetDefaultSetSource(std::function<std::optional<QByteArray>(int number)> source)
{
    container().files.SetResourceSource(std::move(source));
}

void TStreamDati::SetConfigurationFileSource(std::function<qz::files::TReadResult(const QString& fileName)> source)
{
    container().files.SetFileSource(std::move(source));
}

bool TStreamDati::ReadIniInteger(std::int32_t& dest, QAnyStringView key, QAnyStringView section,
                                 const std::function<bool(std::int32_t)>& fits) const
{
    return container().files.ReadIniInteger(dest, key, section, fits);
}

bool TStreamDati::ReadIniBool(std::uint8_t& dest, QAnyStringView key, QAnyStringView section) const
{
    return container().files.ReadIniBool(dest, key, section);
}

bool TStreamDati::ReadIniRow(std::span<char> dest, QAnyStringView key, QAnyStringView section, int maxLength) const
{
    return container().files.ReadIniRow(dest, key, section, maxLength);
}

void TStreamDati::WriteIniByte(std::uint8_t value, QAnyStringView key, QAnyStringView section)
{
    container().files.WriteIniByte(value, key, section);
}

void TStreamDati::WriteIniInteger(std::int32_t value, QAnyStringView key, QAnyStringView section)
{
    container().files.WriteIniInteger(value, key, section);
}

void TStreamDati::WriteIniString(QByteArrayView text, QAnyStringView key, QAnyStringView section)
{
    container().files.WriteIniString(text, key, section);
}
