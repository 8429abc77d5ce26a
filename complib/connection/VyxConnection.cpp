#include "VyxConnection.h"

#include "plat/Services.h"

namespace {

// Stands for the protocol object while no library is loaded: every operation
// fails and leaves the caller's buffers as they were.
class NullEcuProtocol final : public TEcuProtocol {
public:
    std::int32_t GetComPort() override { return 0; }
    void SetComPort(std::int32_t) override {}
    void SetLinkOptionA(std::int32_t) override {}
    void SetLinkOptionB(std::int32_t) override {}
    void SetLinkOptionC(std::int32_t) override {}
    void Shutdown() override {}
    void SetMessageCaption(const char*) override {}
    void SetMessageText(const char*, std::int32_t) override {}
    void SetNotifyWindow(plat::NotifyTarget*) override {}
    void BeginReconnect() override {}
    void EndReconnect() override {}
    void Prepare() override {}
    void SetTimeout(std::int32_t) override {}
    bool GetEcuInfo(TEcuInfo*) override { return false; }
    bool Connect() override { return false; }
    void Disconnect() override {}
    bool SendCommand(std::int32_t, std::uint8_t*, std::int32_t*, std::int32_t) override { return false; }
    bool ReadItem(std::int32_t, std::int32_t*) override { return false; }
    bool ReadRow(std::int32_t, std::int32_t*, std::int32_t) override { return false; }
    bool ReadBlock(std::int32_t, std::uint8_t*, std::int32_t*) override { return false; }
    bool WriteItem(std::int32_t, const std::int32_t*) override { return false; }
    bool WriteValue(std::int32_t, std::int32_t) override { return false; }
    bool WriteElement(std::int32_t, std::int32_t, std::int32_t) override { return false; }
    bool WriteCell(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { return false; }
    bool WriteRow(std::int32_t, const std::int32_t*, std::int32_t) override { return false; }
    std::int8_t GetItemFormat(std::int32_t, std::int32_t) override { return 0; }
    bool DetectEcu(TBootInfo*) override { return false; }
    bool IsApplicationRunning() override { return false; }
    bool IsConnected() override { return false; }
    std::int32_t GetLastStatus() override { return ECU_STATUS_LINK; }
    bool IsWirelessAdapterPresent() override { return false; }
    void ShowWirelessAdapterDialog() override {}
    std::int32_t ProgramFirmwareFile(const char*, std::int32_t, std::int32_t, std::int32_t) override { return -1; }
    std::int32_t ProgramFirmwareImage(const void*, std::int32_t, std::int32_t, std::int32_t) override { return -1; }
};

// The probe's calls: the exports LoadDll and UnloadDll call, in their order;
// the object is destroyed at once, so no port is ever opened.
QString probeProtocolLibrary(plat::DynamicLibrary& library)
{
    for (const char* name : {kExportGetDLLVersion, kExportCreateClassInstance, kExportDestroyClassInstance})
        if (!library.resolve(name))
            return QStringLiteral("no export %1").arg(QLatin1String(name));
    auto getVersion = reinterpret_cast<GetDLLVersionFn>(library.resolve(kExportGetDLLVersion));
    auto create = reinterpret_cast<CreateClassInstanceFn>(library.resolve(kExportCreateClassInstance));
    auto destroy = reinterpret_cast<DestroyClassInstanceFn>(library.resolve(kExportDestroyClassInstance));
    TDllVersion version{};
    if (!getVersion(&version))
        return QStringLiteral("%1 failed").arg(QLatin1String(kExportGetDLLVersion));
    TEcuProtocol* object = create();
    if (!object)
        return QStringLiteral("%1 created no object").arg(QLatin1String(kExportCreateClassInstance));
    destroy(object);
    return {};
}

[[maybe_unused]] const bool kProbeRegistered =
    plat::RegisterLibraryProbe(TVyxConnection::kProbeKind, &probeProtocolLibrary);

} // namespace

TVyxConnection::TVyxConnection(QObject* owner)
    : QObject(owner), dllName_(QStringLiteral("ProtoVyx.dll"))
{
}

TVyxConnection::~TVyxConnection()
{
    if (loaded_)
        UnloadDll();
}

TEcuProtocol* TVyxConnection::NullProtocol()
{
    static NullEcuProtocol null;
    return &null;
}

void TVyxConnection::SetDllName(const QString& name)
{
    if (loaded_)
        return;
    dllName_ = name;
}

bool TVyxConnection::CheckDllVersion()
{
    if (!getVersion_)
        return false;
    // Exactly this name (case-sensitive) needs the newer major.
    const std::uint32_t required = dllName_ == QLatin1String("SerVyxDL.dll") ? 5u : 1u;
    TDllVersion version{};
    if (!getVersion_(&version))
        return false;
    return version.Major >= required;
}

void TVyxConnection::releaseLibrary()
{
    create_ = nullptr;
    destroy_ = nullptr;
    getVersion_ = nullptr;
    library_.reset();
}

bool TVyxConnection::LoadDll()
{
    if (loaded_)
        return true;

    library_ = plat::CurrentServices().libraries->load(dllName_, QString::fromLatin1(kProbeKind));
    if (library_) {
        create_ = reinterpret_cast<CreateClassInstanceFn>(library_->resolve(kExportCreateClassInstance));
        destroy_ = reinterpret_cast<DestroyClassInstanceFn>(library_->resolve(kExportDestroyClassInstance));
        getVersion_ = reinterpret_cast<GetDLLVersionFn>(library_->resolve(kExportGetDLLVersion));
        if (create_ && destroy_ && getVersion_ && CheckDllVersion()) {
            // A library that creates no object has not loaded either.
            if (TEcuProtocol* object = create_()) {
                protocol_ = object;
                loaded_ = true;
                return true;
            }
        }
        releaseLibrary();
    }

    protocol_ = nullptr;
    plat::PromptRequest box;
    box.caption = QString::fromLatin1(kLoadFailedCaption);
    box.text = QString::fromLatin1(kLoadFailedText);
    box.icon = plat::PromptIcon::Error;
    box.buttons = plat::PromptButtons::Ok;
    plat::CurrentPrompts().ask(box);
    return false;
}

void TVyxConnection::PrepareDll()
{
    if (!loaded_)
        plat::CurrentServices().libraries->prepare(dllName_, QString::fromLatin1(kProbeKind));
}

void TVyxConnection::UnloadDll()
{
    if (!loaded_)
        return;
    std::lock_guard<std::mutex> hold(lock_);
    if (protocol_->IsConnected())
        protocol_->Disconnect();
    else
        protocol_->Shutdown();
    destroy_(protocol_);
    protocol_ = nullptr;
    releaseLibrary();
    loaded_ = false;
}
