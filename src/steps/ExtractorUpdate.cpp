#include "steps/ExtractorUpdate.h"

#include "job/JobPulse.h"
#include "job/JobReport.h"
#include "net/HttpClient.h"
#include "service/ExtractorRelease.h"
#include "steps/ExtractorProgram.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

QString inFolder(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The client's request settings for the release server alone, given back afterwards.
class ReleaseRequests
{
public:
    explicit ReleaseRequests(HttpClient &client)
        : m_client(client)
        , m_saved(client.Request)
        , m_redirects(client.HandleRedirects)
        , m_cookies(client.AllowCookies)
    {
        client.Request = HttpRequestSettings();
        client.Request.Accept = QStringLiteral("*/*");
        client.Request.UserAgent = QStringLiteral("Vidlark/" VIDLARK_VERSION);
        // The release pages send their files from another host.
        client.HandleRedirects = true;
        client.AllowCookies = false;
    }
    ~ReleaseRequests()
    {
        m_client.Request = m_saved;
        m_client.HandleRedirects = m_redirects;
        m_client.AllowCookies = m_cookies;
    }
    ReleaseRequests(const ReleaseRequests &) = delete;
    ReleaseRequests &operator=(const ReleaseRequests &) = delete;

private:
    HttpClient &m_client;
    HttpRequestSettings m_saved;
    bool m_redirects;
    bool m_cookies;
};

// The work events of a release request: the program's body is reported as a
// download's; a Stop or a close ends any of them.
class Receiver final : public HttpProgress
{
public:
    Receiver(JobReport &report, JobPulse &pulse, bool reports)
        : m_report(report)
        , m_pulse(pulse)
        , m_reports(reports)
    {}
    void workBegins(qint64 announced, qint64, WorkBody body) override
    {
        m_counts = m_reports && body == WorkBody::Answer;
        if (m_counts)
            m_report.transferBegins(qMax(announced, qint64(0)));
    }
    WorkAnswer workStep(qint64 received) override
    {
        if (m_counts)
            m_report.transferProgress(received);
        return quietSlice();
    }
    WorkAnswer quietSlice() override
    {
        return m_pulse.windingDown() ? WorkAnswer::Stop : WorkAnswer::GoOn;
    }

private:
    JobReport &m_report;
    JobPulse &m_pulse;
    bool m_reports;
    bool m_counts = false;
};

// The program's body into the new file, hashed as it comes.
class HashingSink final : public HttpBodySink
{
public:
    HashingSink(QFile &file, qint64 limit)
        : m_file(file)
        , m_limit(limit)
    {}
    bool bodyBegins(qint64 announced) override
    {
        if (announced > m_limit) {
            tooLarge = true;
            return false;
        }
        m_hash.reset();
        m_written = 0;
        return m_file.seek(0) && m_file.resize(0);
    }
    bool write(const char *data, qint64 size) override
    {
        if (m_written + size > m_limit) {
            tooLarge = true;
            return false;
        }
        if (m_file.write(data, size) != size) {
            error = m_file.errorString();
            return false;
        }
        m_hash.addData(QByteArrayView(data, size));
        m_written += size;
        return true;
    }
    QByteArray digest() const { return m_hash.result().toHex(); }

    bool tooLarge = false;
    QString error;

private:
    QFile &m_file;
    qint64 m_limit;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    qint64 m_written = 0;
};

// A new file of a fresh name, removed again unless kept.
class StagedFile final : public QFile
{
public:
    explicit StagedFile(const QString &prefix)
        : m_prefix(prefix)
    {}
    ~StagedFile() override
    {
        close();
        if (!m_kept && m_created)
            QFile::remove(fileName());
    }
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    bool openNew()
    {
        for (int attempt = 0; attempt < 16; ++attempt) {
            setFileName(m_prefix + QString::number(QRandomGenerator::global()->generate(), 36));
            if (QFile::open(QIODevice::ReadWrite | QIODevice::NewOnly)) {
                m_created = true;
                return true;
            }
            if (exists())
                continue;
            return false;
        }
        return false;
    }
    void keep() { m_kept = true; }

private:
    QString m_prefix;
    bool m_created = false;
    bool m_kept = false;
};

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result().toHex();
}

ExtractorUpdateReport ended(ExtractorUpdateReport report, ExtractorUpdateOutcome outcome,
                            const QString &detail = {})
{
    report.outcome = outcome;
    report.detail = detail;
    return report;
}

// A request that failed: the user's Stop, the disk, or the network.
ExtractorUpdateReport requestFailed(const ExtractorUpdateReport &report, const HttpResult &result,
                                    const QString &url, const JobPulse &pulse)
{
    if (result.failure == HttpFailure::Stopped || result.stopped || pulse.windingDown())
        return ended(report, ExtractorUpdateOutcome::Stopped);
    return ended(report, ExtractorUpdateOutcome::NetworkFailed,
                 url + QStringLiteral(": ") + result.error);
}

} // namespace

ExtractorUpdate::ExtractorUpdate(HttpClient &client, JobReport &report, JobPulse &pulse)
    : m_client(client)
    , m_report(report)
    , m_pulse(pulse)
{}

ExtractorUpdateReport ExtractorUpdate::run(const QString &releases, const QString &target)
{
    ExtractorUpdateReport report;
    report.path = target;
    report.releases = releases;
    const QFileInfo targetInfo(target);
    const bool present = targetInfo.isFile();
    if (present)
        report.oldVersion = ExtractorVersion(target, &m_pulse);
    if (m_pulse.windingDown())
        return ended(report, ExtractorUpdateOutcome::Stopped);

    const ReleaseRequests requests(m_client);
    const QString sumsUrl = inFolder(releases, ReleaseChecksumsName);
    Receiver quiet(m_report, m_pulse, false);
    const HttpBytes sums = m_client.GetBytes(sumsUrl, ChecksumsLimit, &quiet);
    if (!sums.result.ok())
        return requestFailed(report, sums.result, sumsUrl, m_pulse);
    const std::optional<QByteArray> expected =
        ReleaseChecksum(sums.bytes, ReleaseProgramName.toLatin1());
    if (!expected)
        return ended(report, ExtractorUpdateOutcome::ChecksumRefused,
                     QStringLiteral("it has no line for ") + ReleaseProgramName);
    if (present && fileDigest(target) == *expected) {
        report.newVersion = report.oldVersion;
        return ended(report, ExtractorUpdateOutcome::Current);
    }

    const QString folder = targetInfo.absolutePath();
    if (!QDir().mkpath(folder))
        return ended(report, ExtractorUpdateOutcome::DiskFailed,
                     QStringLiteral("its folder could not be made"));
    // Beside the copy, on its file system: one rename puts it in place. Its
    // own file, closed before it runs (a file open for writing cannot run).
    StagedFile staged(folder + QStringLiteral("/.") + targetInfo.fileName() +
                      QStringLiteral(".new-"));
    if (!staged.openNew())
        return ended(report, ExtractorUpdateOutcome::DiskFailed, staged.errorString());

    const QString programUrl = inFolder(releases, ReleaseProgramName);
    HashingSink sink(staged, ProgramLimit);
    Receiver receiver(m_report, m_pulse, true);
    const HttpResult got = m_client.Get(programUrl, sink, &receiver);
    if (!got.ok() && got.failure == HttpFailure::Storage && !sink.tooLarge &&
        !m_pulse.windingDown())
        return ended(report, ExtractorUpdateOutcome::DiskFailed, sink.error);
    if (!got.ok() && sink.tooLarge)
        return ended(report, ExtractorUpdateOutcome::NetworkFailed,
                     programUrl + QStringLiteral(": larger than %1 MiB").arg(ProgramLimit >> 20));
    if (!got.ok() || got.stopped)
        return requestFailed(report, got, programUrl, m_pulse);
    const QByteArray digest = sink.digest();
    if (digest != *expected)
        return ended(report, ExtractorUpdateOutcome::ChecksumRefused,
                     QStringLiteral("SHA-256 %1, the list says %2")
                         .arg(QString::fromLatin1(digest), QString::fromLatin1(*expected)));

    // Whole on the disk before it takes the copy's place.
    if (!staged.flush() || ::fsync(staged.handle()) != 0)
        return ended(report, ExtractorUpdateOutcome::DiskFailed,
                     QString::fromLocal8Bit(std::strerror(errno)));
    staged.close();
    if (!staged.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                               QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                               QFile::ExeOther))
        return ended(report, ExtractorUpdateOutcome::DiskFailed, staged.errorString());

    report.newVersion = ExtractorVersion(staged.fileName(), &m_pulse);
    if (m_pulse.windingDown())
        return ended(report, ExtractorUpdateOutcome::Stopped);
    if (report.newVersion.isEmpty())
        return ended(report, ExtractorUpdateOutcome::NotRunnable,
                     QStringLiteral("it names no version"));

    if (std::rename(QFile::encodeName(staged.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        return ended(report, ExtractorUpdateOutcome::DiskFailed,
                     QString::fromLocal8Bit(std::strerror(errno)));
    staged.keep();
    return ended(report, ExtractorUpdateOutcome::Updated);
}
