// Vidlark: saves videos of an online video service into a folder.
#include "app/CloseOnSignal.h"
#include "app/FormLifecycle.h"
#include "app/StartUpEnvironment.h"
#include "app/WindowProgram.h"
#include "job/ProgramState.h"
#include "window/DesktopEntry.h"
#include "window/FreedesktopNotifications.h"
#include "window/TaskbarProgress.h"

#include <QApplication>
#include <QDBusConnection>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidlark"));
    // Docks and notifications match the window to the installed desktop entry,
    // whose icon they show and whose launcher carries the progress.
    QGuiApplication::setDesktopFileName(QLatin1String(DesktopEntryId));

    WindowProgram program;
    TMainForm &form = program.form();
    // Before start-up reaches the session bus: whoever waits for that may ask us to end.
    CloseOnSignal closeOnSignal([&form] { form.closeUnattended(); });
    QApplication::setWindowIcon(form.windowIcon());
    FormLifecycle::FormCreate(
        form, StartUpEnvironment::system([] { return TaskbarProgress::Create(); },
                                         [&form] {
                                             return FreedesktopNotifications::Create(
                                                 QDBusConnection::sessionBus(),
                                                 [&form](const QString &folder) {
                                                     form.OpenFolder(folder);
                                                 });
                                         }));
    program.session().apply(
        FormLifecycle::JobSettingsOf(SettingsFile(form.state()), ManagedExtractor(form.state())));
    form.setCloseQuery([&form] { FormLifecycle::FormCloseQuery(form); });
    form.centreOnScreen();
    form.show();
    return app.exec();
}
