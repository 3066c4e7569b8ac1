#include "Services.h"

#include <vector>

namespace {
std::vector<std::function<void()>>& resets()
{
    static std::vector<std::function<void()>> all;
    return all;
}
} // namespace

void OnServiceReset(std::function<void()> reset)
{
    resets().push_back(std::move(reset));
}

void ResetServices()
{
    // A reset may touch a slot not used before, which registers one more: index, not iterate.
    for (size_t i = 0; i < resets().size(); ++i)
        resets()[i]();
}
