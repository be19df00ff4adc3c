#pragma once
#include "serial/Discovery.h"

#include <cstdio>
#include <string>
#include <vector>

// `qz7-updater --list`: the serial ports the updater sees, one per line with its name, path and
// what the system knows of the adapter, the one the choice rule would take marked with "*", and
// a last line saying why (or why none). Returns the exit status: 0, or 1 when the ports could not
// be listed.
int ListPorts(const ServiceLister& lister, std::FILE* out);

// `qz7-updater --list --json`: one JSON object a line per port: its path, name, what is known of
// the adapter, and whether --all takes it and why. Returns the exit status as ListPorts.
int ListPortsJson(const ServiceLister& lister, std::FILE* out);

// What is known of one port's adapter, as one line ("FT232R USB UART, FTDI, 0403:6001, serial
// A1B2"); empty when nothing is.
std::string DescribeService(const SerialService& service);
