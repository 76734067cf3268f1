// eraseChip: the chip-erase instruction, as the "Erase" button's own operation and in
// the form the programming run calls inside its frame.
#pragma once

class DeviceRunner;
class DeviceSession;
enum class RunOutcome;

// The "Erase" button: a whole framed operation that ends with "Erased".
RunOutcome eraseChip(DeviceRunner& runner);
// The programming run's form, inside the run's own frame: no second enable, a fresh
// checkSync, and no status text of its own (the run shows "Erasing memory..."). False
// when that checkSync failed ("Communication error" is shown, the erase skipped).
bool eraseChip(DeviceSession& session);
