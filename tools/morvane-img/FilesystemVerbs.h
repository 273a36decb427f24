// morvane-img verbs of the disk filesystems: catalogues, Hobeta, SCL, plain and tape
// export, CP/M file extraction and new images, adding, copying, deleting and renaming
// files, compaction, BASIC listings. Each takes the whole argument
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
int RunExportBin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunExportTap(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunCopy(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunDelete(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunRename(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunCompact(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunList(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunNewImage(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace morvane
