#pragma once

#include "platform/host_addresses.h"

namespace ordalis {

// The IPv4 addresses of the interfaces that are up, loopback left out.
class NetworkHostAddresses final : public HostAddresses
{
public:
    QStringList ipv4Addresses() override;
};

} // namespace ordalis
