// A second program on the same card set, for the cross-process tests: loads
// the simulator library and runs one command a line from standard input,
// answering one line each (notices arrive as "notice <topic> <item>" lines).
//
//   set PEID ITEM TEXT   sets a text setting in the card's one session
//   store PEID | release PEID | get PEID ITEM | watch PEID | count

#include "zeltraapi.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>

namespace {

std::mutex outputMutex;

void say(const std::string &line)
{
    std::lock_guard<std::mutex> lock(outputMutex);
    std::cout << line << std::endl;
}

std::string code(uint64_t id)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += char((id >> shift) & 0xff);
    return text;
}

uint32_t code(const std::string &text)
{
    uint32_t id = 0;
    for (size_t i = 0; i < 4; ++i)
        id = id << 8 | (i < text.size() ? uint8_t(text[i]) : uint8_t(' '));
    return id;
}

class Watcher final : public IZeltraNotificationCallback
{
public:
    int32_t QueryInterface(IID, void **out) override { *out = nullptr; return kZeltraNoInterface; }
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    int32_t Notify(uint32_t topic, uint64_t param, uint64_t) override
    {
        say("notice " + code(topic) + " " + code(param));
        return 0;
    }
};

} // namespace

int main()
{
    void *library = dlopen(CARDSIM_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    auto createIterator = library ? reinterpret_cast<CreateZeltraIteratorInstanceFunc>(dlsym(library, "CreateZeltraIteratorInstance_0003")) : nullptr;
    if (!createIterator) {
        say("error: cannot load the library");
        return 1;
    }
    auto devices = [&] {
        std::map<int64_t, IZeltra *> byId;
        IZeltraIterator *iterator = createIterator();
        IZeltra *device = nullptr;
        while (iterator && iterator->Next(&device) == kZeltraOk) {
            IZeltraAttributes *attributes = nullptr;
            int64_t id = 0;
            if (device->QueryInterface(IID_IZeltraAttributes, reinterpret_cast<void **>(&attributes)) == kZeltraOk) {
                attributes->GetInt(zeltraCode("peid"), &id);
                attributes->Release();
            }
            byId[id] = device;
        }
        if (iterator)
            iterator->Release();
        return byId;
    };
    std::map<int64_t, IZeltraConfiguration *> sessions;
    std::map<int64_t, IZeltraNotification *> watching;
    Watcher watcher;
    say("ready");
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command, peid, item, text;
        words >> command >> peid >> item;
        std::getline(words >> std::ws, text);
        if (command == "count") {
            auto present = devices();
            say(std::to_string(present.size()));
            for (auto &[id, device] : present)
                device->Release();
            continue;
        }
        const int64_t id = int64_t(std::strtoull(peid.c_str(), nullptr, 0));
        auto present = devices();
        IZeltra *device = present.count(id) ? present[id] : nullptr;
        IZeltraConfiguration *&session = sessions[id];
        if (device && !session)
            device->QueryInterface(IID_IZeltraConfiguration, reinterpret_cast<void **>(&session));
        if (!device) {
            say("error: no card " + peid);
        } else if (command == "set") {
            say(std::to_string(session->SetString(code(item), text.c_str())));
        } else if (command == "store") {
            say(std::to_string(session->StoreToPreferences()));
        } else if (command == "release") {
            session->Release();
            session = nullptr;
            say("0");
        } else if (command == "get") {
            const char *value = nullptr;
            if (session->GetString(code(item), &value) == kZeltraOk) {
                say(value);
                std::free(const_cast<char *>(value));
            } else {
                say("?");
            }
        } else if (command == "watch") {
            IZeltraNotification *&notification = watching[id];
            if (!notification)
                device->QueryInterface(IID_IZeltraNotification, reinterpret_cast<void **>(&notification));
            say(std::to_string(notification->Subscribe(kZeltraTopicPreferences, &watcher)));
        } else {
            say("error: unknown command");
        }
        for (auto &[key, d] : present)
            d->Release();
    }
    for (auto &[id, notification] : watching) {
        notification->Unsubscribe(kZeltraTopicPreferences, &watcher);
        notification->Release();
    }
    for (auto &[id, session] : sessions) {
        if (session)
            session->Release();
    }
    return 0;
}
