#include "zeltraarrivalnotifierdelegate.h"

#include "zeltradriver.h"

void ZeltraArrivalNotifierDelegate::ProcessNotification(ZeltraInstanceRec* instance, bool arrived)
{
    if (arrived && m_callback) {
        m_callback(instance, m_userData); // the callback now owns the instance
        return;
    }
    CloseDriverConnectionCore(instance);
}
