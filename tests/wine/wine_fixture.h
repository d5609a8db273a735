// The one fixture of the Wine tests: a prefix per machine, named after the
// test; a failing test keeps it and says where Wine's output went.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <memory>

#include "wine_harness.h"

namespace winetest {

class WineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Missing({"setup.exe", "answerer.exe", "recorder.exe", "backend_probe.exe"}), ""); }
    void TearDown() override { KeepIfFailed(); }
    void KeepIfFailed() {
        if (!HasFailure() || !prefix_) return;
        prefix_->Keep();
        std::cout << "Wine prefix kept: " << prefix_->root() << "\nWine output: " << prefix_->Log() << "\n";
    }

    // A fresh machine reporting `version`; the one before it goes unless kept.
    Prefix& Machine(const std::string& version) {
        KeepIfFailed();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        prefix_ = std::make_unique<Prefix>(std::string(test->test_suite_name()) + "." + test->name() + "." +
                                               std::to_string(++machines_), version);
        return *prefix_;
    }

    // Runs `program` to a clean end with the rules answering, `started` done
    // once Wine is up; the dialogs seen.
    std::vector<Dialog> RunAnswered(const std::string& program, const std::vector<std::string>& args, const Rules& rules,
                                    const std::string& cwd = "C:\\", const Env& env = {},
                                    const std::function<void()>& started = {}) {
        Answerer answerer(*prefix_, rules);
        if (started) started();
        EXPECT_EQ(prefix_->Run(program, args, cwd, env), std::optional<int>(0)) << "did not end, or failed";
        std::vector<Dialog> dialogs = answerer.Stop();
        EXPECT_TRUE(prefix_->Shutdown()) << "programs were still running in the prefix";
        return dialogs;
    }

    std::unique_ptr<Prefix> prefix_;
    int machines_ = 0;
};

}  // namespace winetest
