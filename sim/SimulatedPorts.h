// SIM: port names. registerSimulatedPorts() hands the "SIM:" prefix to the port
// opener; the front ends' main() and the tests' main call it at start-up.
#pragma once

#include <memory>

#include <QString>

#include "link/ModemLines.h"
#include "link/PortError.h"

// A name of the form SIM:KEYWORD[,slow=US][,lose=ADDRESS:COUNT][,unplug=N] attaches
// a simulated chip (KEYWORD: s8252, s8253, s53, s52, s51, atmega8, atmega8515,
// atmega8535, atmega16, atmega32, atmega48(p), atmega88(p), atmega168(p),
// atmega328(p), attiny13, attiny25, attiny45, attiny85, attiny2313, or none for an
// empty socket) whose state persists in simStateDirectory(), saved after each device
// operation and at close; slow= makes it a target that needs SCK half periods of at
// least US µs, lose= loses the first COUNT writes to that flash byte address,
// unplug= pulls the adapter after N line calls (every later call fails). One program
// at a time has a chip: while another holds it (a lock file beside the state), the
// open fails with HeldBy, naming that program and its process. Null for a keyword or
// option it does not know, with the reason in *error.
std::unique_ptr<ModemLines> openSimulatedPort(const QString& portName, PortError* error);

void registerSimulatedPorts();
