// A selected chip behind a tapped cable, as the window or kestova-cli would hold it:
// the simulated chip, the wire tap, the target state, a recording view and a runner.
#pragma once

#include <functional>
#include <memory>

#include "link/LineDriver.h"
#include "sim/SimChipCatalogue.h"
#include "sim/SimulatedTarget.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "tests/support/RecordingView.h"
#include "tests/support/WireTap.h"

using Bytes = std::vector<uint8_t>;

struct ChipBench {
    // emptySocket: the cable leads to no chip at all.
    ChipBench(const char* keyword, bool eeprom = false, bool emptySocket = false)
    {
        applyChipState(target, chipForName(QLatin1String(keyword)));  // the ATmega8515 selects the ATmega8
        applyMemoryChoice(target, eeprom);
        auto sim = std::make_unique<SimulatedTarget>(
            emptySocket ? nullptr : makeChipModel(*simChipTypeForKeyword(QLatin1String(keyword))));
        this->sim = sim.get();
        // Nothing here puts the chip out of step on purpose, so no stall of a loaded
        // machine may count as the reset pulse either.
        sim->setResyncIdle(std::chrono::minutes(1));
        auto tapped = std::make_unique<WireTap>(std::move(sim));
        tap = tapped.get();
        line.attach(std::move(tapped), QStringLiteral("SIM:") + QLatin1String(keyword));
    }

    ChipMemories& chip() { return sim->chip()->memories(); }
    // The bytes that went out while `work` ran.
    Bytes sentBy(const std::function<void()>& work)
    {
        const size_t before = tap->sent.size();
        work();
        return Bytes(tap->sent.begin() + static_cast<std::ptrdiff_t>(before), tap->sent.end());
    }
    // Whole-memory reads at the ladder's 5 µs cost seconds per test; the simulated
    // chip follows any clock, so these run with no wait between edges.
    void clockAsFastAsTheSimulationAllows() { line.setClockDelay(0); }

    RecordingView view;
    LineDriver line{nullptr};
    TargetState target;
    DeviceRunner runner{line, target, view};
    SimulatedTarget* sim = nullptr;
    WireTap* tap = nullptr;
};
