// What device operations and file commands need from the window that runs them.
// The main window implements it with widgets, kestova-cli with the console, tests
// with a recorder. Nothing below app/ talks to a widget any other way.
#pragma once

#include <QString>
#include <cstdint>

enum class MessageIcon { None, Information, Warning, Error };

class OperationView {
public:
    virtual ~OperationView() = default;

    // Status bar: panel 0 phase or result, panel 1 progress, panel 2 port name.
    virtual void setPanelText(int panel, const QString& text) = 0;
    virtual void setGauge(int progress, int maximum) = 0;
    // Lets pending window events run once (keeps the gauge and the cancel button live).
    virtual void processEvents() = 0;

    virtual bool cancelRequested() const = 0;
    virtual void setCancelRequested(bool requested) = 0;

    // A modal message with one OK button.
    virtual void showMessage(MessageIcon icon, const QString& caption, const QString& text) = 0;

    // File dialogs; an empty answer means the user cancelled. Filters are written
    // "Description|*.ext|Description|*.ext"; an empty filter or suffix keeps what the
    // shared dialog was last given.
    virtual QString askOpenFileName(const QString& filter) = 0;
    virtual QString askSaveFileName(const QString& filter, const QString& defaultSuffix) = 0;

    // The "Erase" button, disabled while an erase runs; views without one ignore it.
    virtual void setEraseEnabled(bool) {}

    // The ATmega8 fuse and lock bytes that the AVR check boxes hold: a checked box is
    // a programmed bit, 0. The boxes are the only store of these values, so a view must
    // keep them (the window in its boxes, kestova-cli from its arguments).
    virtual uint8_t avrFuseBits(bool high) const = 0;
    virtual void setAvrFuseBits(uint8_t low, uint8_t high) = 0;
    // Lock bits 0..5 have boxes; bits 6 and 7 read 1 and are ignored when set.
    virtual uint8_t avrLockBits() const = 0;
    virtual void setAvrLockBits(uint8_t lock) = 0;
};
