// named: gives a widget or action its objectName on creation. The names are how
// tests, and anyone inspecting a running window, find a control.
#pragma once

#include <QString>

template <typename T>
T* named(T* object, const QString& name)
{
    object->setObjectName(name);
    return object;
}
