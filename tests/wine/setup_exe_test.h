// What every end-to-end test of setup.exe shares: the programs must be
// there, each test gets a prefix named after it, and a failing test keeps its
// prefix and shows what Wine printed.
#pragma once

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <string>

#include "harness.h"

namespace winetest {

class SetupExeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string missing = MissingPrerequisites({SetupExe(), RecorderExe(), AnswererExe()});
        ASSERT_TRUE(missing.empty()) << missing;
    }

    void TearDown() override {
        if (HasFailure() && prefix_) {
            prefix_->KeepForInspection();
            std::cout << "Wine prefix kept: " << prefix_->root() << "\nWine output: " << prefix_->OutputLog()
                      << "\n";
        }
    }

    // A fresh prefix reporting `version`, named after the running test.
    WinePrefix& NewPrefix(const std::string& version) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        prefix_ = std::make_unique<WinePrefix>(std::string(test->test_suite_name()) + "." + test->name(), version);
        return *prefix_;
    }

    std::unique_ptr<WinePrefix> prefix_;
};

}  // namespace winetest
