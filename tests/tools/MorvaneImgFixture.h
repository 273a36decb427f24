// What the tests of morvane-img's verbs share: a folder of their own for each test, the tool
// run in-process with its standard output and error caught, and whole files read and written.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "MorvaneImg.h"
#include "model/Bytes.h"

namespace morvane::test {

class MorvaneImgFixture : public ::testing::Test {
  protected:
    // The folder is named after the test, so a failed test's files are easy to find while
    // it runs, and the process id keeps parallel runs of one test apart.
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir_ = std::filesystem::temp_directory_path() /
               ("morvane-img-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // Runs `morvane-img args...`; out and err hold what this run printed.
    int Run(const std::vector<std::string>& args) {
        out.str("");
        err.str("");
        return RunMorvaneImg(args, out, err);
    }

    Bytes Read(const std::string& path) {
        Bytes bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
        return bytes;
    }
    void Write(const std::string& path, const Bytes& bytes) {
        ASSERT_TRUE(WriteFileAtomically(path, bytes)) << path;
    }

    std::ostringstream out;
    std::ostringstream err;

  private:
    std::filesystem::path dir_;
};

}  // namespace morvane::test
