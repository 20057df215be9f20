// The mDNS reply parser and the TXT unpacker under libFuzzer. The reply's
// own id is the expected one, so the whole message is parsed.
#include <cstdint>

#include <QString>

#include "bonjourinfo.h"
#include "dnsreplytoquery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > 65535)
        return 0;
    const unsigned short id = (unsigned short)(data[0] << 8 | data[1]);
    DNSReplyToQuery reply;
    if (!reply.parse(data, int(size), id))
        return 0;
    QString serviceType, domain;
    reply.getDomain(serviceType, domain);
    reply.getServiceName();
    BonjourInfo info;
    if (const char* text = reply.getAdditionalText())
        info.unpackTextRecord(text, reply.getAdditionalTextLength());
    // The TXT unpacker on its own, over the raw bytes.
    BonjourInfo raw;
    raw.unpackTextRecord(reinterpret_cast<const char*>(data), int(size));
    return 0;
}
