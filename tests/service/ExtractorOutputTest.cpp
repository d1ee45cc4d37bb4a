#include "service/ExtractorOutput.h"

#include <gtest/gtest.h>

TEST(ExtractorOutput, ReadsOnlyWholeProgressLines)
{
    const struct
    {
        QByteArray line;
        bool progress;
        qint64 received;
        qint64 total;
        bool finished;
    } cases[] = {
        {"vidlark-progress downloading 1024 NA 171456.0", true, 1024, 171456, false},
        {"vidlark-progress downloading 5000 80000 90000.5", true, 5000, 80000, false},
        {"vidlark-progress finished 80000 80000 NA", true, 80000, 80000, true},
        {"vidlark-progress downloading NA NA NA", true, 0, 0, false},
        {"  vidlark-progress downloading 7 NA 174213.33333333334\r", true, 7, 174213, false},
        {"[download] Destination: out.mp4", false, 0, 0, false},
        {"vidlark-progress downloading 10 NA", false, 0, 0, false},
        {"vidlark-progress downloading 10 NA 20 30", false, 0, 0, false},
        {"vidlark-progress downloading -5 NA 20", false, 0, 0, false},
        {"vidlark-progress downloading ten NA 20", false, 0, 0, false},
        {"vidlark-progress downloading inf NA 20", false, 0, 0, false},
        {"vidlark-progress downloading nan NA 20", false, 0, 0, false},
        {"vidlark-progress downloading 1e300 NA 20", false, 0, 0, false},
        {"", false, 0, 0, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        const std::optional<ExtractorProgress> progress = ParseExtractorProgress(c.line);
        ASSERT_EQ(progress.has_value(), c.progress);
        if (!progress)
            continue;
        EXPECT_EQ(progress->Received, c.received);
        EXPECT_EQ(progress->Total, c.total);
        EXPECT_EQ(progress->Finished, c.finished);
    }
}

TEST(ExtractorOutput, TheReasonIsTheLastErrorLineAlone)
{
    const QString long300(300, QLatin1Char('x'));
    const struct
    {
        QByteArray output;
        QString reason;
    } cases[] = {
        {"", QString()},
        {"[generic] Extracting URL: x\n", QString()},
        {"ERROR: Unsupported URL: http://x/\n", QStringLiteral("Unsupported URL: http://x/")},
        {"WARNING: w\nERROR: first\nsome text\nERROR: [generic] second  \r\n",
         QStringLiteral("[generic] second")},
        {"text with ERROR: inside a line\n", QString()},
        {"ERROR: tab\there\x01 and bell\x07\n", QStringLiteral("tabhere and bell")},
        {"ERROR: " + long300.toLatin1(), QString(197, QLatin1Char('x')) + QStringLiteral("...")},
        {"ERROR: caf\xc3\xa9", QStringLiteral("caf\u00e9")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.output.toStdString());
        EXPECT_EQ(ExtractorErrorLine(c.output), c.reason);
    }
}
