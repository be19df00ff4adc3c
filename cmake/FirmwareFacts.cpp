// Run by the build when it is configured (cmake/Firmware.cmake), with the path of the image to be
// built in: checks it with the program's own image check and counts the lines the transfer will
// send with the program's own line rule, so the figures the program states come from the code
// that sends the image. Prints "lines N" and ends with 0 for a good image; prints what is wrong
// with it and ends with 1 otherwise.
#include "hex/ImageLines.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cout << "usage: FirmwareFacts IMAGE\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cout << "the image cannot be read\n";
        return 1;
    }
    std::ostringstream content;
    content << file.rdbuf();
    const std::string image = content.str();
    if (std::string why = CheckFirmwareImage(image); !why.empty()) {
        std::cout << why << "\n";
        return 1;
    }
    std::cout << "lines " << CountImageLines(image) << "\n";
    return 0;
}
