#include "app/FormLifecycle.h"

#include "app/IniFile.h"
#include "app/StartUpEnvironment.h"
#include "job/ConverterCopy.h"
#include "job/JobController.h"
#include "job/ProgramPlaces.h"
#include "service/ExtractorFailures.h"
#include "service/SubtitleLanguages.h"
#include "steps/ExtractorProgram.h"
#include "steps/Transfer.h"
#include "window/DesktopNotifications.h"
#include "window/MainForm.h"
#include "window/TaskbarProgress.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString Section = QStringLiteral("Main");
const QString Key = QStringLiteral("SavePath");
const QString NotifyKey = QStringLiteral("Notify");
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

void FormLifecycle::FormCreate(TMainForm &form, const StartUpEnvironment &env)
{
    // The job's controller starts idle; no job runs before the window is shown.
    ProgramState &state = form.state();
    form.Button1()->setText(Button1Caption(env.randomDigit()));

    const QString appDir = QFileInfo(env.executablePath).absolutePath();
    if (env.decidePlaces)
        StartProgramState(state, appDir, env.tempPath, env.decidePlaces(appDir));
    else
        StartProgramState(state, appDir, env.tempPath);

    const bool busAvailable = env.sessionBusAvailable();
    if (busAvailable)
        form.setTaskbar(env.makeTaskbar ? env.makeTaskbar() : nullptr);
    if (busAvailable && env.makeNotifications && NotificationsWanted(SettingsFile(state)))
        form.setNotifications(env.makeNotifications());

    LoadSettings(form);
    const QString folder = form.DirectoryEdit()->text();
    // An empty text names no folder (it would otherwise mean the current one).
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        form.DirectoryEdit()->setText(env.defaultSaveFolder());

    // A converter copy left behind by an earlier run.
    RemoveConverterCopy(ConverterFolder(state));
}

void FormLifecycle::FormCloseQuery(TMainForm &form)
{
    if (JobController *job = form.job())
        job->cancel(Cancel::Close);
    form.EndTaskbarProgress();
    const QString error = SaveSettings(form);
    if (error.isEmpty())
        return;
    // Nobody may be there to answer a box when the session ends the program.
    if (form.closingUnattended())
        qWarning("%s", qUtf8Printable(error));
    else
        form.showError(error);
}

bool FormLifecycle::NotificationsWanted(const QString &settingsPath)
{
    const auto value = IniFile::readValue(settingsPath, Section, NotifyKey);
    return !value || value->trimmed() != QStringLiteral("0");
}

void FormLifecycle::LoadSettings(TMainForm &form)
{
    const QString path = SettingsFile(form.state());
    if (!QFileInfo::exists(path))
        return;
    form.DirectoryEdit()->setText(IniFile::readValue(path, Section, Key).value_or(QString()));
}

std::optional<QString> FormLifecycle::ExtractorSetting(const QString &settingsPath)
{
    return IniFile::readValue(settingsPath, Section, QStringLiteral("Extractor"));
}

JobSettings FormLifecycle::JobSettingsOf(const QString &settingsPath,
                                         const QString &managedExtractor)
{
    JobSettings settings;
    const std::optional<QString> extractor = ExtractorSetting(settingsPath);
    settings.extractor = ChooseExtractorProgram(extractor, managedExtractor);
    settings.extractorNamed = ExtractorSettingNamesOne(extractor);
    settings.managedExtractor = managedExtractor;
    settings.extractorReleases =
        IniFile::readValue(settingsPath, Section, QStringLiteral("ExtractorReleases"))
            .value_or(QString())
            .trimmed();
    // A browser the extractor does not know asks for no cookies rather than fail every job.
    settings.cookiesFromBrowser = CookieBrowserArgument(
        IniFile::readValue(settingsPath, Section, QStringLiteral("CookiesFromBrowser"))
            .value_or(QString()));
    // A list that is no list of languages asks for none rather than for a wrong one.
    const QString subtitles =
        IniFile::readValue(settingsPath, Section, QStringLiteral("Subtitles")).value_or(QString());
    if (IsSubtitleLanguageList(subtitles))
        settings.subtitles = SubtitleLanguageList(subtitles);
    // A number out of bounds keeps each route's own.
    bool number = false;
    const int connections = IniFile::readValue(settingsPath, Section, QStringLiteral("Connections"))
                                .value_or(QString())
                                .trimmed()
                                .toInt(&number);
    if (number && connections >= 1 && connections <= MaxConnections)
        settings.connections = connections;
    return settings;
}

QString FormLifecycle::SaveSettings(TMainForm &form)
{
    const QString path = SettingsFile(form.state());
    // The installed mode's folder under $XDG_CONFIG_HOME may not exist yet.
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString error = IniFile::writeValue(path, Section, Key, form.DirectoryEdit()->text());
    if (error.isEmpty())
        return {};
    return QStringLiteral("The save folder could not be written to the settings file \"%1\":\n%2")
        .arg(QDir::toNativeSeparators(path), error);
}
