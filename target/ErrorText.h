// errorText: the one place where the errors of the libraries below (files, the
// Intel HEX codec, serial ports) become the texts the user reads. The front ends and
// the device operations show what it gives; the libraries themselves know no text.
#pragma once

#include <QString>
#include <exception>

struct FtdiAdapterInfo;
struct LineFailure;
struct PortError;

// The user's text for any error a command may throw: FileError and HexFileError by
// their codes, anything else by its what().
QString errorText(const std::exception& error);
// Why a port did not open, one line starting with the device ("cannot open ...").
QString errorText(const PortError& error);
// Why a cable stopped answering mid-run: the system's or libftdi's reason, or what the
// adapter failed to deliver.
QString errorText(const LineFailure& failure);
// One FTDI adapter as lists and messages name it: "FTDI:A50285BI (FT232R USB UART)".
QString adapterText(const FtdiAdapterInfo& adapter);
