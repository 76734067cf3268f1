// The Tools menu's HEX -> BIN and BIN -> HEX converters, and the file-to-file
// conversions underneath that kestova-cli runs without the dialogs.
#pragma once

#include <QString>

class OperationView;

// Menu handlers: ask for the input and output through the view's dialogs, show
// nothing on success, throw on errors (the window's top-level handler shows them).
void HexToBinConvert(OperationView& view);
void BinToHexConvert(OperationView& view);

// The binary image starts at address 0 and ends at the highest used address; gaps hold 0xFF.
void convertHexToBin(const QString& in, const QString& out, OperationView* owner);
// 16 data bytes per record from address 0000; inputs above 65,536 bytes are refused.
void convertBinToHex(const QString& in, const QString& out, OperationView* owner);
