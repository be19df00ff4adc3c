#pragma once
#include <cstdint>

// Dialogue states.
enum : uint32_t {
    AwaitingBanner = 0,
    AwaitingVersion = 1,
    AwaitingPrompt = 2,
    AwaitingErased = 3,
    AwaitingDone = 4,
};
