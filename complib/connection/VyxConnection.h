#pragma once
// TVyxConnection: loads the ECU protocol library, checks its version, creates
// the one protocol object the whole program talks through, and releases both
// at the end. QtCore only; the library is reached through the platform's
// LibraryLoader and its failure box through the platform's Prompts.
#include "complib/EcuProtocol.h"

#include <QObject>
#include <QString>
#include <memory>
#include <mutex>

namespace plat {
class DynamicLibrary;
}

class TVyxConnection : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString DllName READ DllName WRITE SetDllName)

public:
    // DllName "ProtoVyx.dll", nothing loaded.
    explicit TVyxConnection(QObject* owner = nullptr);
    // Unloads the library when it is loaded.
    ~TVyxConnection() override;

    TVyxConnection(const TVyxConnection&) = delete;
    TVyxConnection& operator=(const TVyxConnection&) = delete;

    QString DllName() const { return dllName_; }
    // Ignored while the library is loaded.
    void SetDllName(const QString& name);

    // True between a successful LoadDll and the unload.
    bool LibraryLoaded() const { return loaded_; }

    // The protocol object. Never null: while no library is loaded this is the
    // null protocol object (NullProtocol), whose every operation fails, so the
    // paths that still run after a failed load cannot crash. Read it afresh at
    // every call.
    TEcuProtocol* Protocol() const { return protocol_ ? protocol_ : NullProtocol(); }

    // Loads the library named DllName and creates the protocol object. A
    // second call after a success returns true and loads nothing. Before the
    // file is mapped, the probe makes the start-up calls on it in a process of
    // its own (_GetDLLVersion, then _CreateClassInstance and
    // _DestroyClassInstance; no port is opened). Every failure (library
    // missing, refused by the probe, an export missing, version too old, no
    // object created) frees the library, shows "ZID dll not found or out of
    // date!" (caption "Connection", error icon) and returns false.
    bool LoadDll();
    // Announces the library to the probe ahead of LoadDll, so that the
    // libraries announced together are probed by one process. Nothing while loaded.
    void PrepareDll();
    // The version rule: major >= 5 for exactly "SerVyxDL.dll", >= 1 for any
    // other name; a false _GetDLLVersion fails. False when no library is
    // being loaded or loaded.
    bool CheckDllVersion();
    // Disconnect when connected, else Shutdown; then destroys the object and
    // frees the library. Does nothing while unloaded.
    void UnloadDll();

    // The shared object that stands for "no protocol library": false from
    // every bool operation, IsConnected false, GetLastStatus a link failure
    // (1), the programming operations a non-zero error code, GetItemFormat 0.
    // Buffers passed to it are left untouched.
    static TEcuProtocol* NullProtocol();

    // The probe kind of the protocol library (plat/LibraryProbe.h).
    static constexpr const char* kProbeKind = "protocol";

    // The texts of the failure box.
    static constexpr const char* kLoadFailedText = "ZID dll not found or out of date!";
    static constexpr const char* kLoadFailedCaption = "Connection";

private:
    void releaseLibrary();

    QString dllName_;
    TEcuProtocol* protocol_ = nullptr;
    bool loaded_ = false;
    std::unique_ptr<plat::DynamicLibrary> library_;
    CreateClassInstanceFn create_ = nullptr;
    DestroyClassInstanceFn destroy_ = nullptr;
    GetDLLVersionFn getVersion_ = nullptr;
    std::mutex lock_;
};
