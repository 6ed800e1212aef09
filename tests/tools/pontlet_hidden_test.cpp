// A transfer without a progress window: what it leaves not copied is told
// once at its end, through the prompts seam.
#include "hidden_run.h"
#include "pontlet_support.h"
#include "scripted_prompts.h"
#include "support/test_application.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace pontlet;
using namespace pontlettest;

TEST(HiddenRun, WhatIsNotCopiedIsToldOnceAtTheEndWithTheExitCodeUnchanged)
{
    testsupport::TestApplication();
    const fs::path from = Fresh("h-from"), to = Fresh("h-to");
    Put(from / "differs", "new");
    Put(to / "differs", "older");
    Put(from / "d" / "inside", "x");
    Put(to / "d", "a file where the folder goes");
    struct Case {
        Overwrite policy;
        bool dryRun;
        std::string refusal;
        bool display;
        int exit;
        QString told;  // the start of the one report, empty for none
    };
    const Case cases[] = {
        {Overwrite::Skip, false, "", true, kExitNotCopied, "1 item could not be copied.\n\n" + QString::fromStdString((from / "d").string())},
        {Overwrite::Ask, false, "", true, kExitNotCopied, "2 items could not be copied.\n\n"},
        {Overwrite::Ask, true, "", true, kExitNotCopied, ""},
        {Overwrite::Ask, false, "", false, kExitNotCopied, ""},
        {Overwrite::Skip, false, "the server folder is the root folder", true, kExitUsage,
         "the server folder is the root folder"},
        {Overwrite::Skip, true, "the server folder is the root folder", true, kExitUsage, ""},
    };
    for (const Case& c : cases) {
        TransferOptions o;
        o.serverPath = from;
        o.clientPath = to;
        o.overwrite = c.policy;
        o.hide = true;
        o.dryRun = c.dryRun;
        ScriptedPrompts prompts;
        std::vector<int> opened;  // the exit code each display open was given
        std::ostringstream out, err;
        const int exit = RunHidden(o, c.refusal, out, err, [&](int code) -> Prompts* {
            opened.push_back(code);
            return c.display ? &prompts : nullptr;
        });
        const std::string at = std::to_string(int(c.policy)) + " " + c.refusal + (c.dryRun ? " dry" : "");
        EXPECT_EQ(exit, c.exit) << at;
        ASSERT_EQ(prompts.told.size(), c.told.isEmpty() ? 0 : 1) << at;
        if (!c.told.isEmpty()) {
            EXPECT_TRUE(prompts.told[0].startsWith(c.told)) << at << ": " << prompts.told[0].toStdString();
        }
        EXPECT_EQ(opened, c.dryRun || c.exit == kExitDone ? std::vector<int>{} : std::vector<int>{c.exit}) << at;
    }
    EXPECT_EQ(Slurp(to / "differs"), "older");
}

TEST(HiddenRun, ATransferThatGoesWellOpensNoDisplay)
{
    const fs::path from = Fresh("hw-from"), to = Fresh("hw-to");
    Put(from / "a", "a");
    TransferOptions o;
    o.serverPath = from;
    o.clientPath = to;
    o.hide = true;
    std::ostringstream out, err;
    EXPECT_EQ(RunHidden(o, "", out, err, [](int) -> Prompts* {
                  ADD_FAILURE() << "display opened";
                  return nullptr;
              }),
              kExitDone);
    EXPECT_EQ(Slurp(to / "a"), "a");
    EXPECT_EQ(err.str(), "");
}
