#include <QToolButton>
#include <gtest/gtest.h>

#include "browser/task_pane.h"
#include "support/test_application.h"

using browser::TaskPane;

// The pane starts hidden and many sessions never show it: the style's
// images are read when it is first seen, and then every task has one.
TEST(TaskPane, ItsImagesAreReadWhenItIsFirstShown)
{
    testsupport::TestApplication();
    const TaskPane::Task tasks[] = {TaskPane::Task::Open,      TaskPane::Task::Rename, TaskPane::Task::Delete,
                                    TaskPane::Task::NewFolder, TaskPane::Task::Home,   TaskPane::Task::Refresh};
    TaskPane pane;
    for (const TaskPane::Task task : tasks)
        EXPECT_TRUE(pane.button(task)->icon().isNull());
    pane.show();
    for (const TaskPane::Task task : tasks)
        EXPECT_FALSE(pane.button(task)->icon().isNull());
}
