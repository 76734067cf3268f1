// Standard error as the status bar: status lines, messages and a progress bar.
#include "cli/ConsoleView.h"

#include <csignal>
#include <cstdio>

#include "cli/CliCommand.h"
#include "view/Strings.h"

namespace {
volatile std::sig_atomic_t interruptFlag = 0;
constexpr int kBarWidth = 40;
}  // namespace

void ConsoleView::interrupt() { interruptFlag = 1; }

bool ConsoleView::interrupted() { return interruptFlag != 0; }

void ConsoleView::setPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel > 2)
        return;
    panels_[panel] = text;
    if (panel != 0)
        return;
    // The failure texts of panel 0 are what a script needs to see.
    const bool failure = text == QLatin1String(Str::kCommunicationError) || text == QLatin1String(Str::kWriteError);
    if (failure)
        failed_ = true;
    if ((failure || echoStatus_) && !text.isEmpty() && text != lastPrinted_)
        printStatus(text);
}

void ConsoleView::showMessage(MessageIcon icon, const QString&, const QString& text)
{
    if (icon == MessageIcon::Error)
        failed_ = true;
    endProgressBar();
    printError(text);
}

void ConsoleView::printStatus(const QString& text)
{
    endProgressBar();
    lastPrinted_ = text;
    printError(text);
}

void ConsoleView::setGauge(int progress, int maximum)
{
    if (!progressBar_)
        return;
    const int percent = maximum > 0 ? static_cast<int>((progress + 1) * 100LL / (maximum + 1)) : 100;
    if (percent == barPercent_)
        return;
    barPercent_ = percent;
    const int filled = percent * kBarWidth / 100;
    char bar[kBarWidth + 1];
    for (int i = 0; i < kBarWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[kBarWidth] = '\0';
    std::fprintf(stderr, "\r[%s] %3d%%", bar, percent);
    std::fflush(stderr);
}

void ConsoleView::endProgressBar()
{
    if (barPercent_ < 0)
        return;
    std::fputc('\n', stderr);
    barPercent_ = -1;
}
