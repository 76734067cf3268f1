// The image file of a programming run or a compare, loaded and checked before the
// chip is touched: the "wait..." phase while it loads, which form it was read as,
// and the "Error" boxes for a file too big to load or for the chosen memory.
#pragma once

#include <QString>

#include "image/ImageBuffer.h"

class OperationView;
struct TargetState;

// Loads the file into image; its length, or -1 after the "File size too big" box
// (with the file's size and the limit). Afterwards the phase says which form was read
// ("Intel HEX, 1536 bytes"). File and HEX errors, a file without data included, are
// thrown; the phase is cleared first.
qint32 loadRunImage(OperationView& view, const QString& fileName, ImageBuffer& image);

// "File size too big", then the file's size and the limit (the loader's and the hex
// editor's).
QString fileSizeTooBigText(const QString& fileName);

// True when length bytes fit the memory; else the "File size exceeds ... capacity"
// box, whose second line gives the image's and the memory's sizes.
bool fitsMemory(OperationView& view, const TargetState& target, bool eeprom, const QString& fileName, qint32 length);
