// Device commands from the main window against the simulated chips: the "Erase"
// button, and a close request that arrives while an operation runs.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "sim/SimulatedTarget.h"
#include "target/DeviceSession.h"
#include "tests/app/TestWindow.h"
#include "view/Strings.h"

namespace {

class SimWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(simDir_.isValid());
        qputenv("KESTOVA_SIM_DIR", simDir_.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("KESTOVA_SIM_DIR"); }

    std::unique_ptr<TestWindow> openWindow(int chip, const char* port)
    {
        folder_.writeIni(QStringLiteral("[CONFIG]\r\nCHIP=%1\r\nPORTA=%2\r\n").arg(chip).arg(QLatin1String(port)).toLatin1());
        auto w = std::make_unique<TestWindow>(folder_.executable(), std::make_shared<TestWindow::Cable>());
        w->FormCreate({});
        return w;
    }
    static ChipMemories& chipOf(TestWindow& w)
    {
        return dynamic_cast<SimulatedTarget&>(*w.link.lines()).chip()->memories();
    }

    QTemporaryDir simDir_;
    InstallFolder folder_;
};

TEST_F(SimWindow, EraseButtonErasesThreeAndFourByteChipsAndIsOffWhileItRuns)
{
    for (const auto& [chip, port] : {std::pair{0, "SIM:s8252"}, std::pair{5, "SIM:atmega8"}}) {
        SCOPED_TRACE(port);
        auto w = openWindow(chip, port);
        ASSERT_TRUE(w->link.isOpen());
        ChipMemories& memory = chipOf(*w);
        memory.flash[0] = 0x00;
        memory.flash[100] = 0x12;
        memory.eeprom[7] = 0x34;

        w->ButtonErase->click();
        EXPECT_EQ(w->Panels[0]->text(), QLatin1String(Str::kErased));
        EXPECT_EQ(std::count(memory.flash.begin(), memory.flash.end(), 0xFF),
                  static_cast<std::ptrdiff_t>(memory.flash.size()));
        EXPECT_EQ(memory.eeprom[7], 0xFF);
        EXPECT_EQ(w->eraseButtonStates, (std::vector<bool>{false, true}));
        EXPECT_TRUE(w->messages.empty());
    }
}

TEST_F(SimWindow, CloseDuringAnOperationWaitsUntilTheTargetIsReleased)
{
    auto w = openWindow(5, "SIM:atmega8");
    w->show();
    chipOf(*w).flash[0] = 0x42;
    QTimer::singleShot(0, w.get(), [&] { w->close(); });

    bool portStayed = true;
    bool cancelStayed = true;
    uint8_t lastRead = 0;
    const RunOutcome outcome = w->runner.run([&](DeviceSession& session) {
        while (session.step()) {
        }
        // An operation that takes its time to end (the ATmega8 write commits its last
        // page after a cancel): the close timer fires meanwhile, and must wait.
        QElapsedTimer ending;
        ending.start();
        while (ending.elapsed() < 350) {
            session.step();
            portStayed = portStayed && w->link.isOpen() && w->isVisible();
        }
        session.view().setCancelRequested(false);
        cancelStayed = session.view().cancelRequested();
        lastRead = session.readByte(0);
    });
    EXPECT_EQ(outcome, RunOutcome::Cancelled);
    EXPECT_TRUE(portStayed);
    EXPECT_TRUE(cancelStayed) << "a pending close keeps the cancel flag";
    EXPECT_EQ(lastRead, 0x42);

    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }, 2000));
    EXPECT_FALSE(w->link.isOpen());
}

}  // namespace
