// Child process for the notifier tests: one role per run, chosen by the
// first argument. Lines on standard output report what it saw.
//   connect     connect and exit 0, or 1 when refused
//   report      report every device through a plain delegate until stdin closes
//   install     the same through InstallZeltraNotificationCallback (arrivals only)
//   hold-lock   connect, take the shared lock and wait to be killed

#include "izeltradevicediscoverynotifierdelegate.h"
#include "zeltradevicediscoverynotifier.h"
#include "zeltradriver.h"
#include "zeltranotification.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

void say(const std::string& line)
{
    const std::string text = line + "\n";
    ssize_t ignored = write(STDOUT_FILENO, text.data(), text.size());
    (void)ignored;
}

std::string pathOf(ZeltraInstanceRec* instance)
{
    char path[kZeltraPathSize] = {};
    return GetDevicePath(instance, path) ? path + std::strlen("/dev/morvane/") : "?";
}

class PrintingDelegate : public IZeltraDeviceDiscoveryNotifierDelegate {
public:
    void ProcessNotification(ZeltraInstanceRec* instance, bool arrived) override
    {
        say(std::string(arrived ? "arrived " : "removed ") + pathOf(instance));
        CloseDriverConnectionCore(instance);
    }
};

void arrival(ZeltraInstanceRec* instance, void*)
{
    say("arrived " + pathOf(instance));
    CloseDriverConnectionCore(instance);
}

void waitForStdinToClose()
{
    char buffer[64];
    while (read(STDIN_FILENO, buffer, sizeof(buffer)) > 0) {
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::string role = argc > 1 ? argv[1] : "";
    if (role == "connect") {
        ZeltraDeviceDiscoveryNotifier notifier;
        return notifier.connect() ? 0 : 1;
    }
    if (role == "report") {
        ZeltraDeviceDiscoveryNotifier notifier;
        PrintingDelegate delegate;
        if (!notifier.connect() || !notifier.waitForNotifications(&delegate))
            return 1;
        say("ready");
        waitForStdinToClose();
        notifier.disconnect();
        return 0;
    }
    if (role == "install") {
        ZeltraNotificationRec* handle = InstallZeltraNotificationCallback(&arrival, nullptr);
        if (!handle)
            return 1;
        say("ready");
        waitForStdinToClose();
        RemoveZeltraNotificationCallback(handle);
        return 0;
    }
    if (role == "hold-lock") {
        ZeltraDeviceDiscoveryNotifier notifier;
        if (!notifier.connect() || !notifier.lock())
            return 1;
        say("locked");
        for (;;)
            pause();
    }
    std::fprintf(stderr, "usage: pcie-notifier-helper connect|report|install|hold-lock\n");
    return 2;
}
