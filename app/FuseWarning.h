// The question the window asks before it writes fuse values that end in-system
// programming: which bits, what each does, and whether to write them anyway.
#pragma once

#include <vector>

class QWidget;
struct FuseHazard;

// True when the user answers Yes; No, Escape and closing the box keep the fuses.
bool confirmFuseHazards(QWidget* parent, const std::vector<FuseHazard>& hazards);
