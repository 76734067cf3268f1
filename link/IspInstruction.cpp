// IspInstruction: the one part that cannot be constexpr.
#include "link/IspInstruction.h"

#include <stdexcept>

void IspInstruction::badPattern() { throw std::invalid_argument("not an ISP instruction pattern"); }
