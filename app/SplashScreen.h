// SplashScreen: the small "wait..." window shown while the program starts.
#pragma once

#include <QWidget>

class QLabel;

class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);

private:
    QLabel* message_ = nullptr;  // the raised panel with the text
};
