#pragma once

#include "simobject.h"

#include <memory>
#include <mutex>
#include <vector>

namespace cardsim {

class Simulator;

// Walks the cards present when it was created.
class ZeltraIteratorObject final : public SimObject<IZeltraIterator>
{
public:
    explicit ZeltraIteratorObject(std::vector<IZeltra *> devices) : m_devices(std::move(devices)) {}
    ~ZeltraIteratorObject() override;

    int32_t Next(IZeltra **device) override;

private:
    std::mutex m_mutex;
    std::vector<IZeltra *> m_devices; // one reference each, handed on by Next
    size_t m_next = 0;
};

class APIInformationObject final : public SimObject<IZeltraAPIInformation>
{
public:
    explicit APIInformationObject(std::string version) : m_version(std::move(version)) {}

    int32_t GetFlag(uint32_t id, bool *value) override;
    int32_t GetInt(uint32_t id, int64_t *value) override;
    int32_t GetFloat(uint32_t id, double *value) override;
    int32_t GetString(uint32_t id, const char **value) override;

private:
    const std::string m_version;
};

class VideoConversionObject final : public SimObject<IZeltraVideoConversion>
{
};

// One host's subscription to arrivals and removals.
class DiscoveryObject final : public SimObject<IZeltraDiscovery>
{
public:
    explicit DiscoveryObject(std::shared_ptr<Simulator> simulator) : m_simulator(std::move(simulator)) {}

    int32_t InstallDeviceNotifications(IZeltraDeviceNotificationCallback *callback) override;
    int32_t UninstallDeviceNotifications() override;

private:
    // A host that forgets to uninstall is uninstalled with its last reference.
    void lastReleased() override { UninstallDeviceNotifications(); }

    const std::shared_ptr<Simulator> m_simulator;
    std::mutex m_mutex;
    uint64_t m_client = 0;
};

} // namespace cardsim
