// What the tests of morvane-img's verbs share: a folder of their own for each test, the tool
// run in-process with its standard output and error caught, whole files read and written,
// and images loaded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "MorvaneImg.h"
#include "imagefiles/ImageFiles.h"
#include "model/Bytes.h"
#include "model/DiskImage.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace morvane::test {

class MorvaneImgFixture : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return folder_.Path(name); }
    // Temporary files of writes left in the test's folder.
    std::vector<std::string> TemporaryFiles() const { return folder_.TemporaryFiles(); }

    // Runs `morvane-img args...`; out and err hold what this run printed.
    int Run(const std::vector<std::string>& args) {
        out.str("");
        err.str("");
        return RunMorvaneImg(args, out, err);
    }

    // Runs `morvane-img args...` in a child process, after before() there; the child's
    // text is what the run printed on its standard error.
    std::unique_ptr<ChildProcess> RunInChild(std::vector<std::string> args,
                                             std::function<void()> before = {}) {
        return std::make_unique<ChildProcess>([this, args, before](std::string& said) {
            if (before) before();
            const int status = Run(args);
            said = err.str();
            return status;
        });
    }

    Bytes Read(const std::string& path) {
        Bytes bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
        return bytes;
    }
    void Write(const std::string& path, const Bytes& bytes) {
        ASSERT_TRUE(WriteFileAtomically(path, bytes)) << path;
    }
    static std::unique_ptr<DiskImage> Load(const std::string& path) {
        auto disk = std::make_unique<DiskImage>();
        EXPECT_TRUE(LoadImageFile(path, *disk)) << path << ": " << disk->LastError;
        return disk;
    }

    std::ostringstream out;
    std::ostringstream err;

  private:
    TempFolder folder_{"morvane-img"};
};

}  // namespace morvane::test
