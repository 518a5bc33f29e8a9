#pragma once

#include <firebird/Interface.h>

#include <cstdio>
#include <exception>

// Runs a benchmark's body and turns its failures into a message and exit status 1.
template<class Body>
int RunBenchmark(const char *name, Body body)
{
    try {
        body();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        return 1;
    } catch (const Firebird::FbException &e) {
        char text[1024];
        Firebird::fb_get_master_interface()->getUtilInterface()->formatStatus(text, sizeof text, e.getStatus());
        std::fprintf(stderr, "%s: %s\n", name, text);
        return 1;
    }
    return 0;
}
