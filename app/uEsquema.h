// TForm3: the "schematic" window, the wiring diagram of the programmer cable with
// a white note on power over its top-left corner.
#pragma once

#include <QWidget>

class QLabel;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
};
