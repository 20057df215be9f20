#pragma once

#include <memory>

class Device;

// What the controller shows its devices through. update is called from any
// thread (GUI, hot-plug, worker); the view moves the work to its own thread.
class UpdateView
{
public:
    virtual ~UpdateView() = default;
    virtual void update(std::shared_ptr<Device> device) = 0;
};
