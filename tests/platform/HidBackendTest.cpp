#include "platform/HidBackend.h"

#include <QEventLoop>

#include <memory>

#include <gtest/gtest.h>

namespace {

// A layer that only answers the pending-installation question.
class PendingLayer : public platform::HidBackend {
public:
    bool pending = false;
    std::vector<platform::HidDeviceInfo> Enumerate() override { return {}; }
    std::unique_ptr<platform::HidConnection> Open(const QByteArray&, int& error) override
    {
        error = 2;
        return nullptr;
    }
    std::unique_ptr<platform::DeviceChangeWatch> WatchChanges(std::function<void()>) override { return nullptr; }
    bool InstallPending() override { return pending; }
};

} // namespace

TEST(HidBackend, TestLayerReplacesTheRealOneAndPendingInstallFollowsIt)
{
    PendingLayer layer;
    platform::SetHidBackendForTests(&layer);
    EXPECT_EQ(&platform::CurrentHidBackend(), &layer);
    EXPECT_TRUE(platform::NoPendingInstallEvents());
    layer.pending = true;
    EXPECT_FALSE(platform::NoPendingInstallEvents());
    platform::SetHidBackendForTests(nullptr);
    EXPECT_NE(&platform::CurrentHidBackend(), &layer);
}

TEST(HidBackend, RealLayerListsAndWatchesWithoutDevices)
{
    // On a machine without udev or HID devices the real layer still answers sanely.
    platform::HidBackend& real = platform::CurrentHidBackend();
    for (const platform::HidDeviceInfo& info : real.Enumerate()) {
        EXPECT_FALSE(info.path.isEmpty());
        EXPECT_FALSE(info.instanceId.isEmpty());
    }
    int error = 0;
    EXPECT_EQ(real.Open("/dev/hidraw-does-not-exist", error), nullptr);
    EXPECT_NE(error, 0);
    int fired = 0;
    auto watch = real.WatchChanges([&] { ++fired; });
    ASSERT_NE(watch, nullptr);
    platform::SimulateDeviceChangeForTests();
    EXPECT_EQ(fired, 1);
    watch.reset();
    platform::SimulateDeviceChangeForTests();
    EXPECT_EQ(fired, 1);
    (void)platform::NoPendingInstallEvents();
}

TEST(HidBackend, WatchEndedByItsOwnHandlerIsLeftAlone)
{
    // The owner of a watch may be freed from inside the notification (a window closed from
    // a nested event loop there): the handler ends its own watch and goes on running.
    int afterReset = 0;
    std::unique_ptr<platform::DeviceChangeWatch> watch;
    watch = platform::CurrentHidBackend().WatchChanges([&] {
        watch.reset();
        ++afterReset; // the handler's own state, after its watch has gone
    });
    ASSERT_NE(watch, nullptr);
    platform::SimulateDeviceChangeForTests();
    EXPECT_EQ(watch, nullptr);
    EXPECT_EQ(afterReset, 1);
}
