#include "app/ctavrin_app.h"

namespace ordalis {

CTavrinApp::CTavrinApp(Services given) : services(given)
{
}

CTavrinApp::~CTavrinApp() = default;

} // namespace ordalis
