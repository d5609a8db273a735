// The one fixture of the Wine tests: a prefix per machine, named after the
// test; a failing test keeps it and says where Wine's output went.
#pragma once

#include <gtest/gtest.h>

#include <iostream>
#include <memory>

#include "wine_harness.h"

namespace winetest {

class WineTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string missing = Missing({"setup.exe", "answerer.exe", "recorder.exe", "backend_probe.exe"});
        ASSERT_TRUE(missing.empty()) << missing;
    }
    void TearDown() override {
        if (HasFailure() && prefix_) {
            prefix_->Keep();
            std::cout << "Wine prefix kept: " << prefix_->root() << "\nWine output: " << prefix_->Log() << "\n";
        }
    }

    // A fresh machine reporting `version`; the one before it goes unless kept.
    Prefix& Machine(const std::string& version) {
        if (prefix_ && HasFailure()) prefix_->Keep();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        prefix_.reset();
        prefix_ = std::make_unique<Prefix>(std::string(test->test_suite_name()) + "." + test->name() + "." +
                                               std::to_string(++machines_), version);
        return *prefix_;
    }

    // Runs `program` to its end with the rules answering; the dialogs seen.
    std::vector<Dialog> RunAnswered(const std::string& program, const std::vector<std::string>& args,
                                    const std::vector<std::pair<std::string, std::string>>& rules,
                                    const std::string& cwd = "C:\\", const std::map<std::string, std::string>& env = {},
                                    bool shots = false) {
        Answerer answerer(*prefix_, rules, shots);
        exit_ = prefix_->Run(program, args, cwd, env);
        std::vector<Dialog> dialogs = answerer.Stop();
        ended_ = prefix_->Shutdown();
        return dialogs;
    }

    void ExpectCleanEnd() const {
        EXPECT_EQ(exit_, std::optional<int>(0)) << "did not end, or failed";
        EXPECT_TRUE(ended_) << "programs were still running in the prefix";
    }

    std::unique_ptr<Prefix> prefix_;
    std::optional<int> exit_;
    bool ended_ = false;
    int machines_ = 0;
};

}  // namespace winetest
