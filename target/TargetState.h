// The chosen chip and memory and the delays and write mode in force, read by every
// device operation.
#pragma once

#include <cstdint>

#include "target/ChipEntry.h"

enum class WriteMode : uint8_t {
    Normal,        // every byte read back, a failed one rewritten one rung slower
    Differential,  // only the bytes the chip does not already hold are written
    Fast,          // only the first 15 bytes are read back
};

struct TargetState {
    const ChipEntry* chip = nullptr;  // null until a chip is chosen
    MemoryKind memory = MemoryKind::Flash;
    int32_t writeDelay = 0;         // ms after each byte (or page) write; the ladder adds to it
    int32_t restoreWriteDelay = 0;  // writeDelay after a failed programming run
    WriteMode writeMode = WriteMode::Normal;

    bool eepromSelected() const { return memory == MemoryKind::Eeprom; }
    // The chosen memory, null with no chip.
    const MemorySpec* selectedMemory() const { return chip ? &chip->memory(memory) : nullptr; }
    // The byte count of the chosen memory: what a read reads and what an image may
    // fill; 0 with no chip.
    int32_t selectedCapacity() const { return chip ? chip->memory(memory).size : 0; }
    int32_t capacity(MemoryKind kind) const { return chip ? chip->memory(kind).size : 0; }
};
