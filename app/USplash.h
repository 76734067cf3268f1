// TSplash: the small "wait..." window shown while the program starts.
#pragma once

#include <QWidget>

class QLabel;

class TSplash : public QWidget {
    Q_OBJECT
public:
    explicit TSplash(QWidget* parent = nullptr);

    QLabel* Panel1 = nullptr;
};
