// SchematicWindow: the "schematic" window, the wiring diagram of the programmer
// cable with a white note on power over its top-left corner.
#pragma once

#include <QWidget>

class QLabel;

class SchematicWindow : public QWidget {
    Q_OBJECT
public:
    explicit SchematicWindow(QWidget* parent = nullptr);

private:
    QLabel* picture_ = nullptr;
    QLabel* note_ = nullptr;
};
