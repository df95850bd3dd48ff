#pragma once

namespace ordalis {

class CTavrinApp;

// Rebuilds DisplayList for the current ConnectionKind. Emptying the list destroys every
// record's connection. Serial: no records. One LAN connection (or wireless): one record for
// Monitor ID 1 at the "IP Address" setting. One connection per display: a record per
// display with its IpTable address, or the "IP Address" setting where the table has none;
// a selection in CommandTarget beyond the wall then becomes display 1 (the all-displays
// bit is kept). New records have status 255 and no connection.
void BuildDisplayList(CTavrinApp& app);

} // namespace ordalis
