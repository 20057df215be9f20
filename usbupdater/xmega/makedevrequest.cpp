#include "makedevrequest.h"

#include "iusbdevice.h"

MakeDevRequest::MakeDevRequest(uint8_t requestType, uint8_t request, uint16_t index)
{
    m_request.requestType = requestType;
    m_request.request = request;
    m_request.index = index;
    m_request.noDataTimeout = kTimeoutMs;
    m_request.completionTimeout = kTimeoutMs;
}

MakeDevRequest& MakeDevRequest::value(uint16_t value)
{
    m_request.value = value;
    return *this;
}

MakeDevRequest& MakeDevRequest::index(uint16_t index)
{
    m_request.index = index;
    return *this;
}

MakeDevRequest& MakeDevRequest::data(uint16_t length, void* buffer)
{
    m_request.length = length;
    m_request.data = buffer;
    return *this;
}

bool MakeDevRequest::sendOK(MVN::USB::IUSBDevice* device)
{
    return doRequest(device) == MVN::USB::kMVNUsbSuccess;
}

bool MakeDevRequest::sendAll(MVN::USB::IUSBDevice* device)
{
    return doRequest(device) == MVN::USB::kMVNUsbSuccess && m_request.lengthDone == m_request.length;
}

MVN::USB::MVNUsbReturn MakeDevRequest::doRequest(MVN::USB::IUSBDevice* device)
{
    if (!device)
        return MVN::USB::kMVNUsbGeneralFailure;
    m_request.lengthDone = 0;
    return device->DeviceRequest(&m_request);
}
