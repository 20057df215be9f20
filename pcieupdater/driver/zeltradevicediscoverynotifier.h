#pragma once

#include "zeltradevicenode.h"

#include <pthread.h>

class IZeltraDeviceDiscoveryNotifierDelegate;
struct ZeltraDiscoverySegment;

// Client of the machine-wide arrival bulletin "/com_morvane_ZeltraDiscoveryNotifier":
// a shared segment with a robust process-shared mutex, a condition variable,
// a presence bitmap of the card nodes and a ring of the last twenty
// arrivals and removals. The first process to connect creates and seeds it.
// waitForNotifications runs a thread that reports every present device,
// then every later event, to the delegate.
class ZeltraDeviceDiscoveryNotifier {
public:
    static const char* const kSegmentName;

    ZeltraDeviceDiscoveryNotifier() = default;
    ~ZeltraDeviceDiscoveryNotifier();
    ZeltraDeviceDiscoveryNotifier(const ZeltraDeviceDiscoveryNotifier&) = delete;
    ZeltraDeviceDiscoveryNotifier& operator=(const ZeltraDeviceDiscoveryNotifier&) = delete;

    // False when already connected, when the segment cannot be created or
    // mapped, has a foreign size, or its creator died while seeding. A
    // segment whose creator died before seeding (never sized, or still in
    // its first state after the creator wait) is removed and made anew.
    bool connect();
    // Stops the thread, unmaps and closes. The segment itself stays.
    void disconnect();

    // Starts the reporting thread; false without a delegate, when not
    // connected, when already waiting, or when the thread cannot start.
    // The delegate is not owned and must outlive the wait.
    bool waitForNotifications(IZeltraDeviceDiscoveryNotifierDelegate* delegate);
    void cancelWaitForNotifications();

    // Producer side: records an arrival or removal and wakes the readers.
    // A repeated arrival or removal changes nothing and still returns true.
    bool notify(ZeltraDeviceNode* node, bool arrived);

    // The shared mutex; a dead previous owner is recovered.
    bool lock();
    void unlock();

    bool isConnected() const { return m_segment != nullptr; }

    // For tests that stop a process at a chosen point while it holds the
    // shared lock: the hook hears each step of a posting (the lock taken,
    // the presence bit changed, the slot written, the write index advanced;
    // the wake-up follows), and every lock taken over from a dead owner, on
    // whichever thread took it. Set it before connecting; null for none.
    enum class LockStage { kOwnerDied, kLocked, kMarked, kWritten, kAdvanced };
    using LockStageHook = void (*)(LockStage stage, void* context);
    void setLockStageHook(LockStageHook hook, void* context)
    {
        m_hook = hook;
        m_hookContext = context;
    }

private:
    enum WaitState { kIdle = 0, kWaiting = 1, kStopping = 2 };

    void callNotification(ZeltraDeviceNode* node, bool arrived);
    // Returns only when the shared lock can no longer be used: the error.
    int mainLoop();
    // Locks the shared mutex, recovering a dead owner: 0 or the error.
    int acquire();
    static void* ExecMainLoop(void* self);
    enum class Attach { kAttached, kRefused, kAbandoned };
    bool createSegment(int fd);
    Attach attachSegment(int fd);
    // Unlinks a segment left in its first state by a dead creator, unless
    // the name already stands for another one; unmaps in any case.
    void removeAbandoned();
    void unmap();
    void tellHook(LockStage stage) const
    {
        if (m_hook)
            m_hook(stage, m_hookContext);
    }

    pthread_t m_thread{};
    int m_waitState = kIdle;
    ZeltraDiscoverySegment* m_segment = nullptr;
    int m_fd = -1;
    int m_readIndex = -1;
    IZeltraDeviceDiscoveryNotifierDelegate* m_delegate = nullptr;
    LockStageHook m_hook = nullptr;
    void* m_hookContext = nullptr;
};
