#pragma once
// The control side of the simulated hidapi library (libhidapi-hidraw.so.0 built from
// SimHidApi.cpp). A program that loads that library in place of the system one talks to a
// simulated module through its real HID layer; tests and benchmarks reach that module with
// the functions below, found at run time (they exist only in the simulated library).
//
//   sim::OnSimModule([&](sim::SimModule& m, sim::SimHid&) { m.Config().apn = "internet"; });
//
// The module lives on a thread of its own with its own event loop, like a device that
// answers by itself; the function given runs there while the caller waits.
#include "support/SimHid.h"
#include "support/SimModule.h"

#include <dlfcn.h>

#include <functional>
#include <stdexcept>

extern "C" {
using veqsim_fn = void (*)(void* ctx, sim::SimModule* module, sim::SimHid* hid);
// Runs fn on the module's thread and waits for it.
void veqsim_call(veqsim_fn fn, void* ctx);
// From now on the next `ok` opens of any device succeed (as far as the device allows) and
// every later one fails with errno `error`; error 0 ends the failing.
void veqsim_fail_opens(int ok, int error);
}

namespace sim {

// True when the simulated hidapi library is the one loaded.
inline bool SimHidApiLoaded()
{
    return dlsym(RTLD_DEFAULT, "veqsim_call") != nullptr;
}

inline void OnSimModule(const std::function<void(SimModule&, SimHid&)>& f)
{
    auto call = reinterpret_cast<void (*)(veqsim_fn, void*)>(dlsym(RTLD_DEFAULT, "veqsim_call"));
    if (call == nullptr) {
        throw std::runtime_error("the simulated hidapi library is not loaded");
    }
    auto trampoline = [](void* ctx, SimModule* m, SimHid* h) {
        (*static_cast<const std::function<void(SimModule&, SimHid&)>*>(ctx))(*m, *h);
    };
    call(trampoline, const_cast<void*>(static_cast<const void*>(&f)));
}

inline void SimHidApiFailOpens(int ok, int error)
{
    auto fail = reinterpret_cast<void (*)(int, int)>(dlsym(RTLD_DEFAULT, "veqsim_fail_opens"));
    if (fail == nullptr) {
        throw std::runtime_error("the simulated hidapi library is not loaded");
    }
    fail(ok, error);
}

} // namespace sim
