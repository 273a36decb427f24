// morvane-img verbs of the disk filesystems: catalogues, Hobeta and SCL export, CP/M file
// extraction and new images, adding files to TR-DOS and CP/M images. Each takes the whole argument
// list (the verb first).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace morvane {

int RunCat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunExportHobeta(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunExportScl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunCpmGet(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunAdd(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunCpmPut(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunNewImage(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace morvane
