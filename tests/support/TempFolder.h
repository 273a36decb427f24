// A folder of one test's own under the system's temporary folder: named after the test, so
// a failed test's files are easy to find while it runs, and after the process, so parallel
// runs of one test stay apart. Made empty, and removed with the object.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace morvane::test {

class TempFolder {
  public:
    explicit TempFolder(std::string_view prefix) : dir_(std::filesystem::temp_directory_path() /
                                                         (std::string(prefix) + Suffix())) {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Dir() const { return dir_; }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    // The names in the folder that end as a write's temporary file does (".tmp~").
    std::vector<std::string> TemporaryFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
            std::string name = entry.path().filename().string();
            if (name.ends_with(".tmp~")) names.push_back(std::move(name));
        }
        return names;
    }

  private:
    // "-<pid>-<suite>-<test>", the test's names with '/' made '_'; outside a test only the
    // process id.
    static std::string Suffix() {
        std::string suffix(1, '-');
        suffix += std::to_string(::getpid());
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        if (info == nullptr) return suffix;
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        return suffix + "-" + name;
    }

    std::filesystem::path dir_;
};

}  // namespace morvane::test
