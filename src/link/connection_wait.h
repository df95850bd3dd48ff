#pragma once

namespace ordalis {

class CTavrinApp;

// True when every record of the DisplayList has a connection that is usable, whose connect
// failed or that closed, or has none because it could not be made: nothing is still connecting.
bool connectionsSettled(const CTavrinApp& app);

// Runs the event loop, sleeping between events, until connectionsSettled or timeoutMs have
// passed; returns connectionsSettled. For front ends without the home page's timer (the command
// line, tests), which connect once with the connection keeper and then wait for the outcome.
bool waitForConnections(const CTavrinApp& app, int timeoutMs);

} // namespace ordalis
