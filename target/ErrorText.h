// errorText: the one place where the errors of the libraries below (files, the
// Intel HEX codec, serial ports) become the texts the user reads. The front ends and
// the device operations show what it gives; the libraries themselves know no text.
#pragma once

#include <QString>
#include <exception>

struct PortError;

// The user's text for any error a command may throw: FileError and HexFileError by
// their codes, anything else by its what().
QString errorText(const std::exception& error);
// Why a port did not open, one line starting with the device ("cannot open ...").
QString errorText(const PortError& error);
