// Lock bits: the 89S lock level of the "Lock bits (89S):" group and the AVR lock
// byte of the "Lock bits (AVR):" check boxes. A programmed bit is 0.
#pragma once

#include <cstdint>

class DeviceRunner;
enum class RunOutcome;

// Programs lock level 1, 2 or 3 on the chosen 89S chip and shows "L.B. programmed";
// nothing is read back. Any other level (the list's first item reads as 0), or a chip
// without lock levels, does nothing at all and returns Cancelled.
RunOutcome writeLockBits89S(DeviceRunner& runner, int level);

// The AVR lock byte into *lock ("L.B. read"), the bits the chip lacks set; *lock is
// only written when the outcome is Done. And the byte into the chip, the bits it lacks
// left unprogrammed ("L.B. programmed"). With a chip without an AVR lock byte they send
// nothing and return Cancelled: a four-byte instruction would knock a three-byte chip
// out of step until its reset is pulsed.
RunOutcome readAvrLockBits(DeviceRunner& runner, uint8_t* lock);
RunOutcome writeAvrLockBits(DeviceRunner& runner, uint8_t lock);
