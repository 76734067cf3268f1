// The main window with its modal parts answered by the test: message boxes are
// recorded instead of shown, and the cable is a FakeLines on the ports the test lists
// (SIM: names give the simulated chips, as in the program).
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "app/MainWindow.h"
#include "app/StatusPanel.h"
#include "sim/SimulatedPorts.h"
#include "tests/app/FindNamed.h"
#include "tests/support/FakeLines.h"
#include "tests/support/RecordingView.h"

class TestWindow : public MainWindow {
public:
    struct Cable {
        QSet<QString> ports{QStringLiteral("COM1")};  // names that open
        QStringList opened;                           // every name asked for
        FakeLines* lines = nullptr;                   // the open one
        bool lastClosed = false;
    };

    TestWindow(const QString& executablePath, std::shared_ptr<Cable> cable)
        : MainWindow(makeOptions(executablePath, cable)), cable_(std::move(cable))
    {
    }

    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override
    {
        messages.push_back({icon, caption, text});
    }

protected:
    bool askQuestion(MessageIcon icon, const QString& caption, const QString& text, Answers) override
    {
        questions.push_back({icon, caption, text});
        if (onQuestion)
            onQuestion();
        return questionAnswers.isEmpty() ? defaultAnswer : questionAnswers.takeFirst();
    }
    QString askOpenFileName(const QString& filter) override
    {
        openFilters << filter;
        return takeAnswer(openAnswers);
    }
    QString askSaveFileName(const QString& filter, const QString& suffix) override
    {
        saveFilters << filter;
        saveSuffixes << suffix;
        return takeAnswer(saveAnswers);
    }

public:
    void eraseStarted() override
    {
        MainWindow::eraseStarted();
        eraseButtonStates.push_back(button("ButtonErase")->isEnabled());
    }
    void eraseEnded() override
    {
        MainWindow::eraseEnded();
        eraseButtonStates.push_back(button("ButtonErase")->isEnabled());
    }
    void showPhase(const QString& text) override
    {
        MainWindow::showPhase(text);
        statusHistory << text;
    }
    void showResult(const QString& text, bool failed) override
    {
        MainWindow::showResult(text, failed);
        statusHistory << text;
    }
    void showProgress(int done, int total, const QString& text) override
    {
        MainWindow::showProgress(done, total, text);
        progressDone = done;
    }
    void processEvents() override
    {
        MainWindow::processEvents();
        if (onEvents)
            onEvents();
    }

    // Controls by their objectNames.
    template <typename T>
    T* child(const QString& name) const
    {
        return findNamed<T>(*this, name);
    }
    QPushButton* button(const char* name) const { return child<QPushButton>(QLatin1String(name)); }
    QAction* item(const char* name) const { return child<QAction>(QLatin1String(name)); }
    QMenu* menu(const char* name) const { return child<QMenu>(QLatin1String(name)); }
    QRadioButton* radio(const char* name) const { return child<QRadioButton>(QLatin1String(name)); }
    // The whole text, however much of it the panel's width shows.
    QString panelText(int panel) const
    {
        return child<StatusPanel>(QStringLiteral("StatusPanel%1").arg(panel))->fullText();
    }
    QString runPanelText() const { return child<StatusPanel>(QStringLiteral("StatusPanelRun"))->fullText(); }
    QCheckBox* fuseBox(int bit, bool high) const
    {
        return child<QCheckBox>(QStringLiteral("CheckboxFuse%1%2").arg(bit).arg(high ? 'h' : 'l'));
    }
    QCheckBox* lockBox(int bit) const { return child<QCheckBox>(QStringLiteral("CheckBoxLock%1").arg(bit)); }
    // The chip menu's entries, in the order of the "CHIP" values.
    QList<QAction*> chipItems() const { return child<QMenu>(QStringLiteral("MenuChip"))->actions(); }
    QAction* chipItem(int index) const { return chipItems().at(index); }
    QTimer* closeTimer() const { return child<QTimer>(QStringLiteral("CloseTimer")); }

    std::vector<RecordingView::Message> messages;
    std::vector<RecordingView::Message> questions;  // every OK/Cancel or Yes/No box, in order
    QList<bool> questionAnswers;                    // the next answers (true: OK or Yes)
    bool defaultAnswer = true;                      // once those are used up
    std::function<void()> onQuestion;               // runs while a question is up
    std::vector<bool> eraseButtonStates;            // the "Erase" button after each change
    QStringList statusHistory;                      // every phase and result the first panel showed, in order
    int progressDone = 0;                           // the last progress the gauge was given
    std::function<void()> onEvents;                 // runs at each event pass of an operation
    QStringList openAnswers, saveAnswers;           // an empty answer = the user cancelled
    QStringList openFilters, saveFilters, saveSuffixes;

private:
    static QString takeAnswer(QStringList& answers) { return answers.isEmpty() ? QString() : answers.takeFirst(); }
    static Options makeOptions(const QString& executablePath, const std::shared_ptr<Cable>& cable)
    {
        Options options;
        options.executablePath = executablePath;
        options.startupPauseMs = 0;  // the splash pause only costs the tests time
        options.opener = [cable](const QString& name, PortError* error) -> std::unique_ptr<ModemLines> {
            cable->opened << name;
            if (name.startsWith(QLatin1String("SIM:")))
                return openSimulatedPort(name, error);
            if (!cable->ports.contains(name))
                return nullptr;
            cable->lastClosed = false;
            auto lines = std::make_unique<FakeLines>(&cable->lastClosed);
            cable->lines = lines.get();
            return lines;
        };
        return options;
    }
    std::shared_ptr<Cable> cable_;
};

// A folder standing in for the one the executable sits in.
struct InstallFolder {
    QTemporaryDir dir;
    QString executable() const { return dir.filePath(QStringLiteral("kestova")); }
    // The port a user chose before: without one nothing is opened at start-up.
    void storePort(const char* port = "COM1") const
    {
        writeIni(QByteArray("[CONFIG]\r\nCHIP=0\r\nPORTA=") + port + "\r\n");
    }
    QString ini() const { return dir.filePath(QStringLiteral("kestova.ini")); }
    void writeIni(const QByteArray& text) const
    {
        QFile f(ini());
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
    }
    QByteArray iniText() const
    {
        QFile f(ini());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
