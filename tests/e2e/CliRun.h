#pragma once
// Runs a built tool as a child process and collects its exit status and output.
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

struct CliResult {
    int status = -1; // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

inline CliResult RunTool(const std::string& program, const std::vector<std::string>& args,
                         const std::string& scratchDir) {
    const std::string outPath = scratchDir + "/.stdout";
    const std::string errPath = scratchDir + "/.stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    CliResult r;
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int st = 0;
        if (waitpid(pid, &st, 0) == pid && WIFEXITED(st))
            r.status = WEXITSTATUS(st);
    }
    posix_spawn_file_actions_destroy(&actions);
    auto slurp = [](const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    r.out = slurp(outPath);
    r.err = slurp(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return r;
}
