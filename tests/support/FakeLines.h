// A cable stand-in for tests of the line driver and the window: it records every
// line change in order and answers CTS from a setting. Device operations are tested
// against the simulated chips instead.
#pragma once

#include <string>
#include <vector>

#include "link/ModemLines.h"

class FakeLines : public ModemLines {
public:
    explicit FakeLines(bool* destroyed = nullptr) : destroyed_(destroyed) {}
    ~FakeLines() override
    {
        if (destroyed_)
            *destroyed_ = true;
    }
    void setDtr(bool asserted) override
    {
        dtr = asserted;
        events.push_back(asserted ? "DTR+" : "DTR-");
    }
    void setRts(bool asserted) override
    {
        rts = asserted;
        events.push_back(asserted ? "RTS+" : "RTS-");
    }
    bool cts() override
    {
        events.push_back("CTS?");
        return ctsAsserted;
    }

    bool dtr = false;
    bool rts = false;
    bool ctsAsserted = false;
    std::vector<std::string> events;

private:
    bool* destroyed_;
};
