// The selected chip and memory, read by every device operation.
#pragma once

#include <cstdint>

struct TargetState {
    // 0 none, 1 AT89S8252 EEPROM, 2 AT89S8252/AT89S53 flash, 3 AT89S52/AT89S51 flash,
    // 4 AT89S8253 EEPROM, 5 AT89S8253 flash, 6 ATmega8 EEPROM, 7 ATmega8 flash.
    int32_t TargetKind = 0;
    int32_t FlashCapacity = 0;      // bytes
    int32_t EepromCapacity = 0;     // bytes
    int32_t FlashPageWords = 0;     // 16-bit words per ATmega8 page
    int32_t WriteDelay = 0;         // ms after each byte (or page) write
    int32_t EepromWriteDelay = 0;   // ms after each ATmega8 EEPROM byte write
    int32_t RestoreWriteDelay = 0;  // WriteDelay after a failed programming run
    uint8_t WriteMode = 0;          // 0 Normal, 1 Differential, 2 Fast
};
