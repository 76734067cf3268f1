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

void ConsoleView::showPhase(const QString& text)
{
    if (!text.isEmpty())
        lastPhase_ = text;
    if (echoStatus_ && !text.isEmpty() && text != lastPrinted_)
        printStatus(text);
}

void ConsoleView::showResult(const QString& text, bool failed)
{
    if (text == QLatin1String(Str::kCancelled)) {
        cancelShown_ = true;
        return;
    }
    // The failures are what a script needs to see, whether or not it asked for the rest.
    if (failed)
        failed_ = true;
    if ((failed || echoStatus_) && !text.isEmpty() && text != lastPrinted_)
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

void ConsoleView::showProgress(int done, int total, const QString& text)
{
    if (!text.isEmpty())
        progressText_ = text;
    progressDone_ = done;
    progressTotal_ = total;
    if (!progressBar_)
        return;
    const int percent = total > 0 ? static_cast<int>(done * 100LL / total) : 100;
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
