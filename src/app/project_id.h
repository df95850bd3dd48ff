#pragma once

namespace ordalis {

class CTavrinApp;

// Sets "Project ID" to 24, the value assumed until the displays report theirs. Returns true.
bool ResetProjectId(CTavrinApp& app);

// The stop box for a function the connected displays do not offer.
void ShowNotAvailable(CTavrinApp& app);

} // namespace ordalis
