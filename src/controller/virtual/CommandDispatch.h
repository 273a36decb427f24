// What the controller's firmware does with one command frame: the WD1793 operations it
// runs and the answers and error records it sends back, in order.
#pragma once

#include <string_view>
#include <vector>

#include "controller/virtual/CommandFrame.h"
#include "controller/virtual/Wd1793.h"

namespace morvane::virt {

inline constexpr std::string_view kIdentificationText = "Morvane virtual WD1793 controller 1.0";

// Replies in the order the device sends them, each stamped with its emulated send time.
// A code outside the command table gets no reply.
std::vector<WdReply> ExecuteCommand(Wd1793& fdc, const CommandFrame& frame);

}  // namespace morvane::virt
