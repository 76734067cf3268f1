// The close protocol: the first request only cancels, the timer closes the window,
// and closing releases the port.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/KestovaApplication.h"
#include "tests/app/TestWindow.h"

namespace {

TEST(Close, FirstRequestCancelsAndTheTimerClosesTheWindow)
{
    InstallFolder folder;
    auto cable = std::make_shared<TestWindow::Cable>();
    folder.storePort();
    TestWindow w(folder.executable(), cable);
    w.start({});
    w.show();
    ASSERT_TRUE(w.link().isOpen());

    w.button("ButtonExit")->click();
    EXPECT_TRUE(w.isVisible());  // refused
    EXPECT_TRUE(w.cancelRequested());
    EXPECT_TRUE(w.closeTimer()->isActive());
    EXPECT_EQ(w.closeTimer()->interval(), 100);
    EXPECT_FALSE(cable->lastClosed);

    // The timer's 100 ms, with room for a loaded machine; the wait ends when it closes.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 10000));
    EXPECT_TRUE(cable->lastClosed);
    EXPECT_FALSE(w.link().isOpen());
    EXPECT_FALSE(w.closeTimer()->isActive());
}

TEST(Close, CancelButtonOnlySetsTheFlag)
{
    InstallFolder folder;
    TestWindow w(folder.executable(), std::make_shared<TestWindow::Cable>());
    w.start({});
    w.button("ButtonCancel")->click();
    EXPECT_TRUE(w.cancelRequested());
    EXPECT_FALSE(w.closeTimer()->isActive());
}

TEST(TopLevelHandler, UncaughtErrorIsShownAndTheProgramGoesOn)
{
    QStringList shown;
    KestovaApplication::setErrorSink([&](const QString& text) { shown << text; });
    bool after = false;
    KestovaApplication::guarded([] { throw std::runtime_error("Invalid .HEX file"); });
    after = true;
    KestovaApplication::setErrorSink({});
    EXPECT_TRUE(after);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Invalid .HEX file")});
}

}  // namespace
