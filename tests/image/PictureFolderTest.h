#pragma once

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace lumaquill::test {

// A folder of its own for the files one picture test writes, named after
// the test so that parallel runs never share one; removed afterwards.
class PictureFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
        Dir = std::filesystem::temp_directory_path()
            / ("lumaquill-picture-" + std::to_string(unit.random_seed()) + "-" + unit.current_test_info()->name());
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = (Dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::filesystem::path Dir;
};

} // namespace lumaquill::test
