// openPort: a port opened for the front ends, with the user told what became of it:
// the port's name shown on success, an error box saying why on failure.
#pragma once

#include <QString>

class LineDriver;
class OperationView;

// Replaces the line's port by the named one. On failure the box (caption the
// program's name) gives the product's line, then the port, the reason and the cure.
bool openPort(LineDriver& line, const QString& portName, OperationView& view);
