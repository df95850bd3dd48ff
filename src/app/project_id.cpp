#include "app/project_id.h"

#include "app/ctavrin_app.h"
#include "platform/prompts.h"

namespace ordalis {

namespace {

constexpr std::uint8_t kAssumedProjectId = 24;
constexpr char kNotAvailableText[] = "The function is not available for this display.";

} // namespace

bool ResetProjectId(CTavrinApp& app)
{
    app.settings.ProjectId.current = kAssumedProjectId;
    return true;
}

void ShowNotAvailable(CTavrinApp& app)
{
    if (app.services.prompts)
        app.services.prompts->message(QString::fromLatin1(kNotAvailableText), PromptIcon::Stop);
}

} // namespace ordalis
