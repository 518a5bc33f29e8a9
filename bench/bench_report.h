#pragma once

// What every benchmark shares, whatever it measures: its arguments, its
// figures, and the processes it measures apart from itself (a baseline in
// python3, its own peak memory in a fresh child).

#include "exception.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

inline int RowCountArgument(int argc, char **argv, int index, int fallback)
{
    return argc > index ? std::atoi(argv[index]) : fallback;
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

// Runs the benchmark program itself again with the arguments; the child's
// only output is its peak memory in KiB, which is returned. A peak measured
// in a child of its own holds nothing of what the parent did before.
inline long ChildPeakRssKb(const QStringList &arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        throw Exception(QStringLiteral("the memory run failed: %1").arg(QString::fromLocal8Bit(child.readAllStandardError())));
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed().toLong();
}

// Runs a python3 script with the arguments and returns what it printed. The
// Debian interpreter is named by its path: the modules the baselines use are
// Debian packages, which another python3 first on the PATH may not see.
inline QByteArray RunPython(const char *script, const QStringList &arguments)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), QString::fromUtf8(script)} + arguments);
    if (!python.waitForFinished(-1) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
        throw Exception(QStringLiteral("python3 failed: %1").arg(QString::fromLocal8Bit(python.readAllStandardError())));
    return python.readAllStandardOutput();
}
