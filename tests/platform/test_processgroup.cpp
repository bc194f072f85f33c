// SPDX-License-Identifier: GPL-3.0-or-later
// Process groups: a group lives while one of its processes does, also after
// its leader ended, and ending it ends every member.
#include "platform/processgroup.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A group led by a child that starts a grandchild (sleeping long) and ends
// at once; returns the group, with the leader reaped.
pid_t groupOutlivingItsLeader()
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t leader = ::fork();
    if (leader == 0) {
        ::setpgid(0, 0);
        if (::fork() == 0) {
            ::close(ready[0]);
            ::close(ready[1]);
            ::execlp("sleep", "sleep", "300", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::setpgid(leader, leader);  // either side may set it first
    int status = 0;
    ::waitpid(leader, &status, 0);
    char c;
    (void)::read(ready[0], &c, 1);  // the grandchild stands: it closed its copy
    ::close(ready[0]);
    return leader;
}

}  // namespace

TEST(ProcessGroup, LivesWhileAMemberDoesAndEndsAsOne)
{
    const pid_t group = groupOutlivingItsLeader();
    ASSERT_GT(group, 0);
    EXPECT_TRUE(processGroupHasMembers(group));
    EXPECT_TRUE(endProcessGroup(group));
    for (int i = 0; i < 200 && processGroupHasMembers(group); ++i)
        ::usleep(10000);
    EXPECT_FALSE(processGroupHasMembers(group));
    EXPECT_FALSE(endProcessGroup(group));
}

TEST(ProcessGroup, NoGroupHasNoMembers)
{
    EXPECT_FALSE(processGroupHasMembers(0));
    EXPECT_FALSE(processGroupHasMembers(-1));
    EXPECT_FALSE(endProcessGroup(0));
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(processGroupHasMembers(child));  // it never led a group
}
