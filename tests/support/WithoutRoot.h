#pragma once
// Runs a piece of a test in a child process that cannot write where the file permissions forbid it. The
// super-user ignores permissions, so as root the child first becomes "nobody"; as anyone else it runs as is.
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

constexpr uid_t kNobody = 65534;

// The child's exit status: action's result, or -1 when the child could not be run or did not exit.
inline int RunWithoutRoot(const std::function<int()>& action)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(126);
        ::_exit(action());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
