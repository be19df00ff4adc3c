#pragma once
#include <cstdint>

// The stages of the dialogue with the device, in the order it goes through them. The values are
// the dialogue's own state numbers (the transcript and the status texts name them), and the
// order matters: a stage at or after AwaitingErased means the device may have no firmware left.
enum class Stage : std::uint32_t {
    AwaitingBanner = 0,   // the boot loader's greeting
    AwaitingVersion = 1,  // the line with the version
    AwaitingPrompt = 2,   // "E or P?"
    AwaitingErased = 3,   // "Erased", after the erase was asked for
    AwaitingDone = 4,     // the image is being sent; then "Done"
};

// The stage after `stage`; the last one has none and stays.
constexpr Stage Next(Stage stage)
{
    return stage == Stage::AwaitingDone ? stage : static_cast<Stage>(static_cast<std::uint32_t>(stage) + 1);
}

// Whether a dialogue stopped at `stage` may have left the device without firmware: the erase has
// been asked for, so it may have begun.
constexpr bool MayBeEmpty(Stage stage)
{
    return stage >= Stage::AwaitingErased;
}
