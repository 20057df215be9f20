#pragma once

#include "xmegausbnotifierbase.h"

// The notifier for one device class: passes the set-up objects, as that
// class, to a delegate (on the thread the base reports from).
template <class DeviceType>
class XmegaUSBNotifierTemplate : public XmegaUSBNotifierBase
{
public:
    class Delegate
    {
    public:
        virtual ~Delegate() = default;
        virtual void onDeviceAdded(DeviceType* device) = 0;
        virtual void onDeviceRemoved(DeviceType* device) = 0;
    };

    // delegate is borrowed and must outlive the notification.
    bool startWithDelegate(Delegate* delegate, bool checkBooted)
    {
        m_delegate = delegate;
        setCheckBooted(checkBooted);
        return startNotification();
    }

    void onDeviceAdded(XmegaUSBDevice* device) override
    {
        if (m_delegate)
            m_delegate->onDeviceAdded(static_cast<DeviceType*>(device));
    }
    void onDeviceRemoved(XmegaUSBDevice* device) override
    {
        if (m_delegate)
            m_delegate->onDeviceRemoved(static_cast<DeviceType*>(device));
    }

private:
    Delegate* m_delegate = nullptr;
};
