// MainWindow: the main window. It owns the target state, the serial line and the
// configuration file, turns clicks into calls on the library, and implements the
// view through which device operations and file commands report. Its parts live in
// MainWindow.cpp (start-up, chip and write-mode choice, closing),
// MainWindowLayout.cpp, MainWindowCommands.cpp (the buttons and menu items that
// call the library), MainWindowView.cpp and MainWindowOtherWindows.cpp.
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "app/RecentFiles.h"
#include "link/LineDriver.h"
#include "settings/ConfigFile.h"
#include "target/DeviceRunner.h"
#include "target/FuseBits.h"
#include "target/TargetState.h"
#include "view/OperationView.h"

class AvrLockGroup;
class FileDialog;
class FuseBitsGroup;
class HexEditorWindow;
class PortDialog;
class StatusPanel;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

class MainWindow : public QMainWindow, public OperationView {
    Q_OBJECT
public:
    struct Options {
        QString executablePath;                      // kestova.ini sits beside it
        PortOpener::Open opener = PortOpener::open;  // what stands behind a port name
        int startupPauseMs = 800;                    // the pause that lets the splash be read
    };

    explicit MainWindow(Options options, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Configuration, priority, stored chip and port, English captions, then the
    // command line (arguments without the program name).
    void start(const QStringList& arguments);

    static QString usageMessage(const QString& executableFileName);

    // The windows that the Help button and the menus open, created after this one.
    struct Windows {
        QWidget* help = nullptr;
        QWidget* schematic = nullptr;
        HexEditorWindow* hexEditor = nullptr;
        PortDialog* portDialog = nullptr;
    };
    void setWindows(const Windows& windows) { windows_ = windows; }

    // What the port dialog stores and opens, and what tests look at.
    ConfigFile& config() { return config_; }
    LineDriver& link() { return link_; }
    const TargetState& target() const { return target_; }
    DeviceRunner& runner() { return runner_; }
    // The chosen file: what the next "Write" writes without asking. It stays chosen
    // after a run (one file, many chips) until another is chosen.
    const QString& autoRunFile() const { return autoRunFile_; }
    // Makes a file the chosen one (the File menu, a drop, --open): nothing is written.
    // False, after saying why, for a name that is no readable file.
    bool chooseFile(const QString& path);
    const RecentFiles& recentFiles() const { return recentFiles_; }

    // OperationView: the phase and result in the first status panel, the progress in
    // the second and the gauge, the port in the third.
    void showPhase(const QString& text) override;
    void showResult(const QString& text, bool failed) override;
    void showProgress(int done, int total, const QString& text) override;
    void showPort(const QString& name) override;
    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override;
    void processEvents() override;
    bool cancelRequested() const override { return cancelRequested_; }
    // A pending close keeps the flag set: the running operation must not clear it.
    void setCancelRequested(bool requested) override { cancelRequested_ = requested || closeRequested_; }
    // The "Erase" button is disabled while an erase runs.
    void eraseStarted() override;
    void eraseEnded() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // A question with two answers (OK/Cancel or Yes/No); true for OK or Yes. Escape
    // and closing the box answer Cancel or No.
    enum class Answers { OkCancel, YesNo };
    virtual bool askQuestion(MessageIcon icon, const QString& caption, const QString& text, Answers answers);
    // The shared file dialogs; an empty answer means the user cancelled. Filters are
    // written "Description|*.ext|..."; an empty filter or suffix keeps what the dialog
    // was last given.
    virtual QString askOpenFileName(const QString& filter);
    virtual QString askSaveFileName(const QString& filter, const QString& defaultSuffix);

private:
    // MainWindowLayout.cpp
    void buildLayout();  // with the layout's Portuguese captions
    void buildStatusBar();
    void buildMenus();
    void applyEnglishCaptions();

    // MainWindowCommands.cpp
    void connectCommands();
    // Runs a command; a file or Intel HEX error it did not catch ends here, in an
    // "Error" box, and the program goes on.
    void runGuarded(const std::function<void()>& command);
    void writeChip();
    void readChipIntoFile();
    void compareChipWithFile();
    void readFuses();
    void writeFuses();
    void readAvrLock();
    void eraseAfterAsking();
    void readChipIntoEditor();
    void detectChip();
    // Opens bytes read from the chip in the hex editor, the caret at an address.
    void showChipBytes(const QByteArray& bytes, qint64 caret);
    void convertHexToBinFile();
    void convertBinToHexFile();

    // MainWindowRun.cpp: the frame the window puts around each device operation.
    enum class Running { Nothing, Write, Erase, Other };
    // Clears the values of the last run, locks the controls, runs, shows the summary.
    RunOutcome runDevice(Running what, const std::function<RunOutcome()>& operation);
    void updateControls();  // what is usable for the chip chosen and while a run goes
    void showRunTime();     // elapsed and time left beside the byte count
    void showRunSummary(RunOutcome outcome);
    bool askToStopRun();  // a close during a write or erase

    // MainWindowFiles.cpp
    void buildFileMenu();
    void connectFileCommands();
    void chooseFileByDialog();
    void showChosenFile();
    void rebuildRecentMenu();
    // The chosen file as it is now: true, and the note said, when it changed on disk.
    bool chosenFileChanged();
    void rememberFolder();
    void showConversion(const QString& out);
    void showPortMissing();

    // MainWindowOtherWindows.cpp
    void connectOtherWindows();
    QString aboutText() const;  // the "Information" box of Help > About...

    // MainWindow.cpp
    void connectChoices();
    void startFromCommandLine(const QStringList& arguments);
    void selectChip(int index);
    void memoryChoiceChanged();
    void normalModeChosen() { chooseWriteMode(WriteMode::Normal); }
    void differentialModeChosen() { chooseWriteMode(WriteMode::Differential); }
    void fastModeChosen() { chooseWriteMode(WriteMode::Fast); }
    void chooseWriteMode(WriteMode mode);
    void reportIfConfigFailed(bool written);
    void raiseProcessPriority();

    // MainWindowView.cpp
    void setUpProgressPainting();
    void progressChanged();
    void showProgressNow();

    TargetState target_;
    LineDriver link_;
    ConfigFile config_;
    DeviceRunner runner_;  // frames every device command; one at a time
    Options options_;
    QString autoRunFile_;
    QDateTime chosenModified_;  // the chosen file's time and size when it was chosen
    qint64 chosenSize_ = -1;
    RecentFiles recentFiles_{config_};
    Running running_ = Running::Nothing;
    QElapsedTimer runClock_;
    QTimer* runTimeTimer_ = nullptr;  // repaints the elapsed time while a run goes
    QString runNote_;                 // said before the summary ("read afresh")
    bool fusesRead_ = false;          // the chosen chip's fuses were read in this session
    FuseBytes lastFuses_;
    bool cancelRequested_ = false;
    bool closeRequested_ = false;  // a close came during an operation
    Windows windows_;

    // The progress panel and the gauge are given every byte's values but show them at
    // most this often.
    static constexpr int kProgressPaintMs = 40;
    QElapsedTimer progressShown_;
    QTimer* progressPaintTimer_ = nullptr;  // shows what is left once an operation pauses or ends
    QString progressText_;
    int progressDone_ = 0;
    int progressTotal_ = 0;
    bool progressTextPending_ = false;
    bool gaugePending_ = false;

    QLabel* titleLabel_ = nullptr;
    QPushButton* writeButton_ = nullptr;
    QPushButton* readButton_ = nullptr;
    QPushButton* compareButton_ = nullptr;
    QPushButton* eraseButton_ = nullptr;
    QRadioButton* flashRadio_ = nullptr;
    QRadioButton* eepromRadio_ = nullptr;
    QComboBox* lockLevelList_ = nullptr;  // the 89S lock level
    QPushButton* lockLevelButton_ = nullptr;
    AvrLockGroup* avrLockBits_ = nullptr;
    FuseBitsGroup* fuseBits_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    std::array<StatusPanel*, 3> statusPanels_{};  // phase or result, progress, port
    StatusPanel* runPanel_ = nullptr;             // elapsed and time left; the summary afterwards
    QLabel* chosenFileLabel_ = nullptr;

    QMenu* fileMenu_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* chooseFileItem_ = nullptr;
    QAction* writeItem_ = nullptr;
    QAction* readItem_ = nullptr;
    QAction* readToEditorItem_ = nullptr;
    QAction* compareItem_ = nullptr;
    QAction* eraseItem_ = nullptr;
    QAction* exitItem_ = nullptr;
    QAction* detectItem_ = nullptr;
    QAction* cancelItem_ = nullptr;
    QMenu* chipMenu_ = nullptr;
    QMenu* moreChipsMenu_ = nullptr;  // the chips after the first six
    QMenu* writeModeMenu_ = nullptr;
    QMenu* toolsMenu_ = nullptr;
    QMenu* portMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    std::vector<QAction*> chipItems_;  // index = the chip table's; the first six are the "CHIP" values
    QAction* normalModeItem_ = nullptr;
    QAction* differentialModeItem_ = nullptr;
    QAction* fastModeItem_ = nullptr;
    QAction* hexToBinItem_ = nullptr;
    QAction* binToHexItem_ = nullptr;
    QAction* hexEditorItem_ = nullptr;
    QAction* choosePortItem_ = nullptr;
    QAction* helpItem_ = nullptr;
    QAction* schematicItem_ = nullptr;
    QAction* aboutItem_ = nullptr;

    QTimer* closeTimer_ = nullptr;  // asks for the close again once a cancel took effect
    // The shared file dialogs keep their folders and filters between commands.
    std::unique_ptr<FileDialog> openDialog_;
    std::unique_ptr<FileDialog> saveDialog_;
};
