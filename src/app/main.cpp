// Vidlark: saves videos of an online video service into a folder.
#include "app/FormLifecycle.h"
#include "app/StartUpEnvironment.h"
#include "window/MainForm.h"
#include "window/TaskbarProgress.h"

#include <QApplication>

#include <memory>

namespace {

// The launcher-entry backend plugs in here once it exists; until then the
// program runs without launcher progress.
std::unique_ptr<TaskbarProgress> makeLauncherProgress()
{
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidlark"));

    TMainForm form;
    FormLifecycle::FormCreate(form, StartUpEnvironment::system(makeLauncherProgress));
    form.setCloseQuery([&form] { FormLifecycle::FormCloseQuery(form); });
    form.centreOnScreen();
    form.show();
    return app.exec();
}
