// The windows keep their controls to themselves; tests find them as a user finds them
// by sight, by objectName. A name that is not there throws, so the test fails saying
// which control it missed instead of crashing on a null pointer.
#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

template <typename T>
T* findNamed(const QObject& window, const QString& name)
{
    if (T* found = window.findChild<T*>(name))
        return found;
    throw std::runtime_error(std::string("no ") + T::staticMetaObject.className() + " named \"" + name.toStdString()
                             + "\" in " + window.objectName().toStdString());
}
