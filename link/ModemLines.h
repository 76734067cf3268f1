// The whole hardware surface of the programmer cable: two outputs and one input,
// and whether a call on them has failed.
#pragma once

#include <QString>

class ModemLines {
public:
    virtual ~ModemLines() = default;
    virtual void setDtr(bool asserted) = 0;  // DTR carries MOSI (asserted = 0 on the target)
    virtual void setRts(bool asserted) = 0;  // RTS carries SCK (asserted = clock low)
    virtual bool cts() = 0;                  // true while CTS is asserted (MISO = 0)
    // Both outputs in one call where the port can (on a USB adapter each call is a round
    // trip). Where both change, DTR takes effect before RTS: MOSI is in place before the
    // clock edge. The default makes the two calls in that order.
    virtual void setLines(bool dtrAsserted, bool rtsAsserted)
    {
        setDtr(dtrAsserted);
        setRts(rtsAsserted);
    }

    // True once a line call has failed (a USB adapter pulled mid-run): the bits read
    // since then mean nothing. It stays set for the life of the port. Callers check it
    // after each byte rather than after each bit, so the per-bit path costs nothing.
    bool failed() const { return failed_; }
    // The system's reason for the first failure ("Input/output error"); empty before.
    const QString& failureReason() const { return failureReason_; }

    // A device operation has ended and let the target go: whatever stands behind the
    // lines may settle now (a simulated chip saves its state, as a real one keeps it).
    virtual void operationEnded() {}

protected:
    // Called by an implementation when a line call fails; only the first reason is kept.
    void recordFailure(const QString& reason)
    {
        if (failed_)
            return;
        failed_ = true;
        failureReason_ = reason;
    }

private:
    bool failed_ = false;
    QString failureReason_;
};
