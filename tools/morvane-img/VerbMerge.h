// morvane-img merge: several images of one disk made into the best one they allow.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace morvane {

int RunMerge(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
std::string MergeUsageText();

}  // namespace morvane
