// LineFailure: why the cable stopped answering in the middle of an operation, as a
// code and its facts. The user's text is made above this library (errorText).
#pragma once

#include <QString>
#include <QtGlobal>

struct LineFailure {
    enum class Code {
        None,            // no failure (yet)
        System,          // a line call or USB transfer failed: reason in the system's or libftdi's words
        ShortWrite,      // the adapter took done of expected pin states, without an error
        MissingSamples,  // the adapter returned done of expected pin samples before its time was up
    };

    Code code = Code::None;
    QString reason;
    qint64 done = 0;
    qint64 expected = 0;

    bool failed() const { return code != Code::None; }
};
