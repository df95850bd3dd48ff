#pragma once

#include <QStringList>

namespace ordalis {

// The IPv4 addresses of this computer, in dotted form.
class HostAddresses
{
public:
    virtual ~HostAddresses() = default;
    virtual QStringList ipv4Addresses() = 0;
};

} // namespace ordalis
