#pragma once

#include "platform/host_addresses.h"

namespace ordalis {

// The addresses a test gives.
class FakeHostAddresses final : public HostAddresses
{
public:
    QStringList addresses;
    QStringList ipv4Addresses() override { return addresses; }
};

} // namespace ordalis
