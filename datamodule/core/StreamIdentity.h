#pragma once
// Who the connected ECU and the configuration in the image are: the ECU's
// identity and type, the customer code, the official mark, the configuration
// name, note and vehicle description. A family of TStreamDati (see
// iodata.h); defined in iodata_link.cpp (the ECU), iodata.cpp (the official
// mark) and iodata_options.cpp (the texts).
#include "StreamFamily.h"

#include <QString>
#include <cstdint>
#include <string_view>

class TStreamIdentity : public TStreamFamily<TStreamIdentity> {
public:
    // ---- The ECU --------------------------------------------------------------
    // Reads the customer code and the ECU information.
    bool ReadEcuIdentity();
    int SetEcuType(std::uint8_t type);
    void WriteEcuType(std::uint8_t value);
    void SetPers(std::uint32_t value);

    // ---- The configuration ----------------------------------------------------
    // Bit 7 of element 0 of item 0x1e135.
    bool GetUfficiale() const;
    void SetUfficiale(bool on);
    const char* GetNomeConfigurazione(); // at most 28 characters
    bool SetNomeConfigurazione(std::string_view text);
    inline const char* GetNoteConfig() const; // at most 64 characters (defined in iodata.h)
    bool SetNoteConfig(std::string_view text);
    // 1 DescrizAuto, 2 Euro, 3 Motore, 4 Centralina, 5 Cambio; image only.
    bool SetDescription(int kind, std::string_view text);
    // Saves the image into a configuration file (a whole-image pass with
    // progress) under a new name: the file holds the name as its vehicle
    // description and no official mark. Only after the save has succeeded
    // does the image take them (configuration name, official mark cleared,
    // description); a failed save leaves the image as it was. The save's
    // result.
    bool SaveConfigurationAs(const QString& fileName, std::string_view name);
};
