#include "NoProxyEnvironment.h"
#include "SampleService.h"
#include "cli/CliOptions.h"
#include "cli/CliProgram.h"
#include "cli/TerminalJobWindow.h"
#include "job/Clock.h"
#include "job/ProgramState.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

// Status texts worded otherwise, as a translation would word them.
class Reworded final : public StatusTexts
{
public:
    explicit Reworded(StatusTexts &inner)
        : m_inner(inner)
    {}
    QString lastLine;
    void setStatusLine(const QString &text) override
    {
        lastLine = text;
        QString line = text;
        line.replace(QStringLiteral("Download is complete"), QStringLiteral("Fertig"));
        line.replace(QStringLiteral("Download is stopped by the user"),
                     QStringLiteral("Angehalten"));
        m_inner.setStatusLine(QStringLiteral("> ") + line);
    }

private:
    StatusTexts &m_inner;
};

// vidlark-cli's job against the sample service: its exit status follows how
// the job ended, whatever its status texts say.
TEST(CliJobTest, ExitStatusDoesNotHangOnTheWordingOfTheTexts)
{
    QTemporaryDir saveDir;
    ASSERT_TRUE(saveDir.isValid());
    clearProxyEnvironment();
    SampleService service;
    service.start();
    ::setenv("http_proxy", service.baseUrl().toLatin1().constData(), 1);

    const struct
    {
        const char *link;
        bool pressCtrlC;
        int exitStatus;
        const char *lastOut;
    } cases[]{
        {"http://www.youtube.com/watch?v=vidlark0001", false, ExitComplete,
         "> Fertig: Vidlark Sample Clip_(360p).flv\n"},
        {"http://www.youtube.com/watch?v=NoSuchVideo", false, ExitError, "> Angehalten\n"},
        {"http://www.youtube.com/watch?v=vidlark0008", true, ExitStopped, "> Angehalten\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        CliOptions options;
        options.folder = saveDir.path();
        options.link = QString::fromLatin1(c.link);
        ProgramState state;
        StartProgramState(state, saveDir.path(), QDir::tempPath());
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        SteadyClock clock;
        TerminalJobWindow terminal(state, options, {&outStream, &errStream, false, false, {}},
                                   clock);
        Reworded status(terminal);
        // Ctrl+C once the transfer shows its progress.
        terminal.takeInterrupts = [&] {
            return c.pressCtrlC && status.lastLine.startsWith(QStringLiteral("Downloading... "))
                       ? 1
                       : 0;
        };
        const JobWindow plain = terminal.jobWindow();
        const JobWindow roles{plain.inputs,   plain.lock,  status,
                              plain.progress, plain.boxes, plain.messages};

        EXPECT_EQ(RunCliJob(state, roles, terminal, options), c.exitStatus) << err.toStdString();
        EXPECT_TRUE(out.endsWith(QString::fromUtf8(c.lastOut))) << out.toStdString();
        EXPECT_FALSE(out.contains(QStringLiteral("Download is "))) << out.toStdString();
    }
    ::unsetenv("http_proxy");
}

} // namespace
