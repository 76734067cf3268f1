// The ATmega8 fuse bytes and the sixteen check boxes of "Fuse bits (AVR)".
#pragma once

class DeviceRunner;
enum class RunOutcome;

// Both fuse bytes into the view's boxes ("F.B. read").
RunOutcome ReadFuseBits(DeviceRunner& runner);
// The boxes into both fuse bytes ("F.B. programmed"); nothing is read back.
// With a chip other than the ATmega8 selected both send nothing and return Cancelled.
RunOutcome WriteFuseBits(DeviceRunner& runner);
