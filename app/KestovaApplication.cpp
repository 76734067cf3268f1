// KestovaApplication: the top-level handler that shows an uncaught error and goes on,
// and the sink that tests put in place of its "Error" box.
#include "app/KestovaApplication.h"

#include <QIcon>
#include <QMessageBox>
#include <exception>

#include "target/ErrorText.h"
#include "view/LineBreaks.h"
#include "view/Strings.h"

KestovaApplication::KestovaApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("kestova"));
    // The platform's own style and palette (a dark desktop theme included) stay as
    // they are; only the icon is ours, at every size so it is crisp at any scale.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icon/kestova-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
}

bool KestovaApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

namespace {
std::function<void(const QString&)>& errorSink()
{
    static std::function<void(const QString&)> sink;
    return sink;
}
}  // namespace

void KestovaApplication::setErrorSink(std::function<void(const QString&)> sink) { errorSink() = std::move(sink); }

void KestovaApplication::reportError(const QString& message)
{
    if (errorSink())
        errorSink()(message);
    else
        QMessageBox::critical(activeWindow(), Str::kErrorCaption, withLineBreaks(message));
}

void KestovaApplication::guarded(const std::function<void()>& work)
{
    try {
        work();
    } catch (const std::exception& e) {
        reportError(errorText(e));
    } catch (...) {
        reportError(QString::fromLatin1(Str::kUnexpectedError));
    }
}
