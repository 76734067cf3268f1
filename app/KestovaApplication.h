// The application object: its notify() is the one place where an error that a
// command did not catch (a file or Intel HEX error) ends, shown in an "Error" box.
#pragma once

#include <QApplication>
#include <functional>

class KestovaApplication : public QApplication {
public:
    KestovaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the message of an uncaught error; the program goes on.
    static void reportError(const QString& message);
    // Runs a piece of start-up under the same handler.
    static void guarded(const std::function<void()>& work);
    // Replaces the "Error" box (tests record the message instead of showing a modal box).
    static void setErrorSink(std::function<void(const QString&)> sink);
};
