#include "app/ctavrin_app.h"

namespace ordalis {

CTavrinApp::CTavrinApp(Services services) : services(services)
{
}

CTavrinApp::~CTavrinApp() = default;

} // namespace ordalis
