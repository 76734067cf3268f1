// Lock bits: the 89S lock level of the "Lock bits (89S):" group and the ATmega8
// lock byte of the "Lock bits (AVR):" check boxes.
#pragma once

class DeviceRunner;
enum class RunOutcome;

// Programs lock level 1, 2 or 3 on the selected 89S chip and shows "L.B. programmed";
// nothing is read back. Any other level (the list's first item reads as 0), or the
// ATmega8 selected, does nothing at all and returns Cancelled.
RunOutcome WriteLockBits89S(DeviceRunner& runner, int level);

// The ATmega8 lock byte into the view's lock boxes ("L.B. read"), and the boxes into
// the chip with bits 6 and 7 set ("L.B. programmed"). With another chip selected
// they send nothing and return Cancelled: a four-byte instruction would knock a
// three-byte chip out of step until its reset is pulsed.
RunOutcome ReadLockBitsAvr(DeviceRunner& runner);
RunOutcome WriteLockBitsAvr(DeviceRunner& runner);
