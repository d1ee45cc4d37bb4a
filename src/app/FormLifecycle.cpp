#include "app/FormLifecycle.h"

#include "app/IniFile.h"
#include "app/StartUpEnvironment.h"
#include "job/ConverterCopy.h"
#include "window/MainForm.h"
#include "window/TaskbarProgress.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString Section = QStringLiteral("Main");
const QString Key = QStringLiteral("SavePath");
} // namespace

QString FormLifecycle::Button1Caption(int randomDigit)
{
    if (randomDigit <= 2)
        return QStringLiteral("Download from Vimeo");
    if (randomDigit <= 7)
        return QStringLiteral("Download multiple videos at a time");
    if (randomDigit == 8)
        return QStringLiteral("Download Facebook Video");
    return QStringLiteral("Download Dailymotion Video");
}

QString FormLifecycle::settingsPath(const QString &appDir)
{
    return appDir + QStringLiteral("Vidlark.ini");
}

void FormLifecycle::FormCreate(TMainForm &form, const StartUpEnvironment &env)
{
    ProgramState &state = form.state();
    state.DownloadState = dsIdle;
    form.Button1()->setText(Button1Caption(env.randomDigit()));

    if (env.sessionBusAvailable())
        form.setTaskbar(env.makeTaskbar ? env.makeTaskbar() : nullptr);

    StartProgramState(state, QFileInfo(env.executablePath).absolutePath(), env.tempPath);

    LoadSettings(form);
    const QString folder = form.DirectoryEdit()->text();
    // An empty text names no folder (it would otherwise mean the current one).
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        form.DirectoryEdit()->setText(env.documentsFolder());

    // A converter copy left behind by an earlier run.
    RemoveConverterCopy(state.AppDir);
}

void FormLifecycle::FormCloseQuery(TMainForm &form)
{
    form.state().DownloadState = dsClosing;
    form.EndTaskbarProgress();
    if (const QString error = SaveSettings(form); !error.isEmpty())
        form.showError(error);
}

void FormLifecycle::LoadSettings(TMainForm &form)
{
    const QString path = settingsPath(form.state().AppDir);
    if (!QFileInfo::exists(path))
        return;
    form.DirectoryEdit()->setText(IniFile::readValue(path, Section, Key).value_or(QString()));
}

QString FormLifecycle::SaveSettings(TMainForm &form)
{
    const QString path = settingsPath(form.state().AppDir);
    const QString error = IniFile::writeValue(path, Section, Key, form.DirectoryEdit()->text());
    if (error.isEmpty())
        return {};
    return QStringLiteral("The save folder could not be written to the settings file \"%1\":\n%2")
        .arg(QDir::toNativeSeparators(path), error);
}
