#pragma once
#include <optional>
#include <string>

// Reads the shipped image (Firmware::Resource) as strict 7-bit ASCII; absent when missing or
// undecodable.
std::optional<std::string> LoadShippedFirmware();

// Makes the compiled-in resources (the image from the build's firmware.qrc; the picture and the
// icons from resources/resources.qrc) available; called once before use.
void InitUpdaterResources();
