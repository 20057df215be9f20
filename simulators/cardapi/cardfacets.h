#pragma once

#include "simcard.h"
#include "simobject.h"

#include <atomic>
#include <memory>

namespace cardsim {

// The interfaces of one plugged-in card other than IZeltra itself. Each is
// created fresh by the device's QueryInterface and answers for the plug-in
// it was created in: once the card is unplugged, every query fails.
struct CardLink
{
    std::shared_ptr<SimCard> card;
    std::shared_ptr<Attachment> attachment;
};

// Copies text into a malloc'd string the caller frees.
int32_t returnString(const std::string &text, const char **out);

class AttributesObject final : public SimObject<IZeltraAttributes>
{
public:
    explicit AttributesObject(CardLink link) : m_link(std::move(link)) {}

    int32_t GetFlag(uint32_t id, bool *value) override;
    int32_t GetInt(uint32_t id, int64_t *value) override;
    int32_t GetFloat(uint32_t id, double *value) override;
    int32_t GetString(uint32_t id, const char **value) override;

private:
    CardLink m_link;
};

// One configuration session. Changes apply to the card at once; releasing a
// session whose changes were not stored returns the card to its preferences.
class ConfigurationObject final : public SimObject<IZeltraConfiguration>
{
public:
    explicit ConfigurationObject(CardLink link);

    int32_t SetFlag(uint32_t id, bool value) override;
    int32_t GetFlag(uint32_t id, bool *value) override;
    int32_t SetInt(uint32_t id, int64_t value) override;
    int32_t GetInt(uint32_t id, int64_t *value) override;
    int32_t SetFloat(uint32_t id, double value) override;
    int32_t GetFloat(uint32_t id, double *value) override;
    int32_t SetString(uint32_t id, const char *value) override;
    int32_t GetString(uint32_t id, const char **value) override;
    int32_t StoreToPreferences() override;

private:
    void lastReleased() override;
    int32_t set(uint32_t id, ItemValue value);

    CardLink m_link;
    const uint64_t m_session;
    std::atomic<uint64_t> m_lastChange{0};
};

class StatusObject final : public SimObject<IZeltraStatus>
{
public:
    explicit StatusObject(CardLink link) : m_link(std::move(link)) {}

    int32_t GetFlag(uint32_t id, bool *value) override;
    int32_t GetInt(uint32_t id, int64_t *value) override;
    int32_t GetFloat(uint32_t id, double *value) override;
    int32_t GetString(uint32_t id, const char **value) override;
    int32_t GetBytes(uint32_t id, void *buffer, uint32_t *size) override;

private:
    CardLink m_link;
};

// Subscriptions made through one notification object end with it.
class NotificationObject final : public SimObject<IZeltraNotification>
{
public:
    explicit NotificationObject(CardLink link);

    int32_t Subscribe(uint32_t topic, IZeltraNotificationCallback *callback) override;
    int32_t Unsubscribe(uint32_t topic, IZeltraNotificationCallback *callback) override;

private:
    void lastReleased() override;

    CardLink m_link;
    const uint64_t m_owner;
};

} // namespace cardsim
