// The whole hardware surface of the programmer cable: two outputs and one input.
#pragma once

class ModemLines {
public:
    virtual ~ModemLines() = default;
    virtual void setDtr(bool asserted) = 0;   // DTR carries MOSI (asserted = 0 on the target)
    virtual void setRts(bool asserted) = 0;   // RTS carries SCK (asserted = clock low)
    virtual bool cts() = 0;                   // true while CTS is asserted (MISO = 0)
};
