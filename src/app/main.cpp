// Vidlark: saves videos of an online video service into a folder.
#include "app/FormLifecycle.h"
#include "app/StartUpEnvironment.h"
#include "app/WindowProgram.h"
#include "window/TaskbarProgress.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidlark"));
    // Docks match the window to vidlark.desktop, whose entry carries the launcher progress.
    QGuiApplication::setDesktopFileName(QStringLiteral("vidlark"));

    WindowProgram program;
    TMainForm &form = program.form();
    FormLifecycle::FormCreate(form,
                              StartUpEnvironment::system([] { return TaskbarProgress::Create(); }));
    form.setCloseQuery([&form] { FormLifecycle::FormCloseQuery(form); });
    form.centreOnScreen();
    form.show();
    return app.exec();
}
