#pragma once
// parlanto-cli run in a child process, measured as /usr/bin/time -v measures it.
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace bench {

struct TRun {
    bool ok = false;
    double peakMegabytes = 0.0;
    double cpuSeconds = 0.0;
};

// The command-line program beside this benchmark's build tree: <build>/bin/parlanto-cli.
inline std::string CliPath()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return (exe.parent_path().parent_path() / "bin" / "parlanto-cli").string();
}

// parlanto-cli recognize on one file with a model folder, in a child process: its CPU time and peak memory.
inline TRun RecognizeInChild(const std::string& wav, const std::string& models)
{
    const std::string cli = CliPath();
    const pid_t pid = fork();
    if (pid == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        execl(cli.c_str(), cli.c_str(), "recognize", "--models", models.c_str(), wav.c_str(), nullptr);
        _exit(127);
    }
    TRun run;
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return run;
    run.ok = true;
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;   // ru_maxrss is in kilobytes
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

}  // namespace bench
