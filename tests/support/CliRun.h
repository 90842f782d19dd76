#pragma once
// Runs parlanto-cli (PARLANTO_CLI), or any command line, through the shell and collects what it prints.
#include <sys/wait.h>

#include <cstdio>
#include <string>

struct TCliRun {
    int ExitCode = -1;
    std::string Output;   // standard output, and standard error when asked for
};

// Runs a shell command line and collects its standard output.
inline TCliRun RunCommand(const std::string& command)
{
    TCliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        run.Output.append(chunk, n);
    const int status = pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

inline TCliRun RunCli(const std::string& arguments, bool withErrors = false)
{
    return RunCommand(std::string(PARLANTO_CLI) + " " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null"));
}
