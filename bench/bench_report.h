#pragma once

// What every benchmark shares, whatever it measures: its arguments, its
// figures, and the processes it measures apart from itself (a baseline in
// python3, its own peak memory in a fresh child).

#include "exception.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

// The count given as argument `index`, or `fallback` without one. Anything
// but a positive number ends the program with its usage, so that a mistyped
// option is not taken for a run of no rows.
inline int RowCountArgument(int argc, char **argv, int index, int fallback)
{
    if (argc <= index)
        return fallback;
    char *end = nullptr;
    errno = 0;
    const long count = std::strtol(argv[index], &end, 10);
    if (errno != 0 || end == argv[index] || *end != '\0' || count <= 0 || count > 100000000) {
        std::fprintf(stderr, "%s: \"%s\" is not a count; usage: %s [COUNT...] (see the comment at the top of its source)\n",
                     argv[0], argv[index], argv[0]);
        std::exit(2);
    }
    return int(count);
}

inline long PeakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

inline void PrintBench(const char *name, double value, const char *unit)
{
    std::printf("BENCH %s %.1f %s\n", name, value, unit);
    std::fflush(stdout);
}

inline void PrintRatio(const char *name, double value)
{
    std::printf("RATIO %s %.3f\n", name, value);
    std::fflush(stdout);
}

// Starts a program with the arguments and returns what it printed on standard
// output; its standard error goes where ours goes. Children are started with
// posix_spawn, not QProcess: on the virtual machines these benchmarks run on,
// a process that has started a child through QProcess copies small, freshly
// written buffers (every QString made from characters) about seven times
// slower from then on, which would charge the harness to whatever is measured
// after it.
inline QByteArray RunChild(const QString &program, const QStringList &arguments)
{
    std::vector<QByteArray> encoded{program.toLocal8Bit()};
    for (const QString &argument : arguments)
        encoded.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0)
        throw Exception(QStringLiteral("%1: no pipe: %2").arg(program, QString::fromLocal8Bit(std::strerror(errno))));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    QByteArray output;
    if (spawned == 0) {
        char buffer[4096];
        for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) != 0;) {
            if (n > 0)
                output.append(buffer, n);
            else if (errno != EINTR)
                break;
        }
    }
    close(out[0]);
    if (spawned != 0)
        throw Exception(QStringLiteral("%1 did not start: %2").arg(program, QString::fromLocal8Bit(std::strerror(spawned))));
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Exception(QStringLiteral("%1 failed (its messages are above)").arg(program));
    return output;
}

// Runs the benchmark program itself again with the arguments; the child's
// only output is its peak memory in KiB, which is returned. A peak measured
// in a child of its own holds nothing of what the parent did before.
inline long ChildPeakRssKb(const QStringList &arguments)
{
    return QString::fromLatin1(RunChild(QCoreApplication::applicationFilePath(), arguments)).trimmed().toLong();
}

// Runs a python3 script with the arguments and returns what it printed. The
// Debian interpreter is named by its path: the modules the baselines use are
// Debian packages, which another python3 first on the PATH may not see.
inline QByteArray RunPython(const char *script, const QStringList &arguments)
{
    return RunChild(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), QString::fromUtf8(script)} + arguments);
}
