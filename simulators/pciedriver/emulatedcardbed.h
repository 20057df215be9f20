#pragma once

#include "emulatedcard.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;

// A umockdev test bed holding emulated card nodes under /dev/morvane and the
// driver that answers their ioctl requests. Creating it sets UMOCKDEV_DIR;
// programs started under the umockdev preload library (see
// preloadEnvironment) then see the nodes. Requests are answered on
// umockdev's own thread, so the process that owns the bed may also use the
// nodes itself when it runs under the preload.
class EmulatedCardBed {
public:
    // One request as it reached the emulated driver.
    struct Request {
        std::string node;       // "dv0"
        unsigned long request;  // ioctl request number
        int selector;           // request number translated back, or -1
        uint32_t scalarInputs;
    };

    EmulatedCardBed();
    ~EmulatedCardBed();
    EmulatedCardBed(const EmulatedCardBed&) = delete;
    EmulatedCardBed& operator=(const EmulatedCardBed&) = delete;

    bool addCard(const EmulatedCard& card, std::string* error);
    bool addCards(const std::vector<EmulatedCard>& cards, std::string* error);

    // Changes the answers of a node already added (the node name is kept).
    bool updateCard(const EmulatedCard& card);

    std::string rootDirectory() const;
    std::vector<Request> requests() const;
    unsigned requestCount(const std::string& node) const;
    void clearRequests();

    // The LD_PRELOAD value that puts a program into this bed.
    static std::string preloadEnvironment();

private:
    struct Node;
    static int onIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    bool handle(UMockdevIoctlClient* client);
    bool writeSharedData(const EmulatedCard& card);

    UMockdevTestbed* m_testbed = nullptr;
    UMockdevIoctlBase* m_handler = nullptr;
    mutable std::mutex m_mutex;
    std::map<std::string, std::unique_ptr<Node>> m_nodes; // by /dev path
    std::vector<Request> m_requests;
    unsigned m_nextMinor = 0;
};
