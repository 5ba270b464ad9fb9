#pragma once
// The two HID layers a benchmark measures: the in-memory one, and the real hidapi layer
// over the simulated library. A benchmark gives its Measure routine; each path runs it
// with a way to reach that path's module.
#include "support/SimHid.h"
#include "support/SimModule.h"
#include "support/hidapi/SimHidApi.h"

#include <cstdio>
#include <functional>

// Runs a function on the module of a path (on the module's own thread for hidapi).
using WithModule = std::function<void(const std::function<void(sim::SimModule&)>&)>;

// Measure(path name, module access) returns a negative value when the run failed. The
// result is the program's exit status: 1 when either path failed or hidapi is missing.
inline int MeasureBothPaths(const std::function<double(const char*, const WithModule&)>& Measure)
{
    int rc = 0;
    {
        sim::SimHid hid;
        sim::SimModule module(hid);
        if (Measure("in-memory", [&](const auto& f) { f(module); }) < 0)
            rc = 1;
    }
    if (!sim::SimHidApiLoaded()) {
        std::fprintf(stderr, "hidapi: the simulated hidapi library is not loaded\n");
        return 1;
    }
    if (Measure("hidapi", [](const auto& f) { sim::OnSimModule([&](sim::SimModule& m, sim::SimHid&) { f(m); }); }) < 0)
        rc = 1;
    return rc;
}
