#pragma once
#include <optional>
#include <string>

// Resource path of the firmware image that ships inside the program.
inline constexpr const char* kFirmwareResource = ":/QZ-7-2_007.hex";

// Reads the shipped image as strict 7-bit ASCII; absent when missing or undecodable.
std::optional<std::string> LoadShippedFirmware();

// Makes the compiled-in resources (image, picture, icons) available; called once before use.
void InitUpdaterResources();
