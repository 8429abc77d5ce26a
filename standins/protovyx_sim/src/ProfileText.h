#pragma once
// The pieces of the profile text ("key=value;..."), shared by the profile's
// parser (Profile.cpp) and the fault rules (Faults.cpp).
#include "protovyx/Simulator.h"

#include <string>
#include <string_view>
#include <vector>

namespace protovyx::detail {

// Without the blanks around it.
std::string trim(std::string_view s);
// Decimal or 0x-hexadecimal, with an optional minus.
bool parseInt(std::string_view s, int& out);
// Every piece between the separators, empty ones too.
std::vector<std::string_view> split(std::string_view s, char sep);

// One fail= rule (Faults.cpp).
// fail=<op>:<code|item:N>[:row<r>][:skip<n>][:times<n>][:status<s>][:lose]
bool parseFault(std::string_view text, FaultSpec& f);

} // namespace protovyx::detail
