#include "JobControllerFixture.h"
#include "job/ListArchive.h"

#include <QRegularExpression>

namespace {

QList<QueuedVideo> threeVideos()
{
    return {{QStringLiteral("L1")}, {QStringLiteral("L2")}, {QStringLiteral("L3")}};
}

QStringList boxesOf(const QStringList &calls)
{
    return calls.filter(QRegularExpression(QStringLiteral("^(error|information) box|^question")));
}

} // namespace

// Each video runs as a job of its own; what happens to the second decides the
// rest and the summary.
TEST_F(JobControllerTest, AQueueSavesEachVideoAndEndsWithOneSummary)
{
    enum class Second
    {
        Saved,
        Fails,
        StoppedEndQueue,
        StoppedGoOn,
        WindowClosed
    };
    const struct
    {
        Second second;
        QStringList resolved;
        JobOutcome outcome;
        QStringList boxes;
    } cases[]{
        {Second::Saved,
         {QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3")},
         JobOutcome::Completed,
         {QStringLiteral("information box Saved 3 of 3 videos.")}},
        {Second::Fails,
         {QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3")},
         JobOutcome::Failed,
         {QStringLiteral("error box Saved 2 of 3 videos.\n\rL2: Unable to download this video.")}},
        {Second::StoppedEndQueue,
         {QStringLiteral("L1"), QStringLiteral("L2")},
         JobOutcome::Stopped,
         {QStringLiteral("question Should I go on with the remaining video? -> No"),
          QStringLiteral("information box Saved 1 of 3 videos.")}},
        {Second::StoppedGoOn,
         {QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3")},
         JobOutcome::Stopped,
         {QStringLiteral("question Should I go on with the remaining video? -> Yes"),
          QStringLiteral("information box Saved 2 of 3 videos.")}},
        {Second::WindowClosed,
         {QStringLiteral("L1"), QStringLiteral("L2")},
         JobOutcome::Stopped,
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.second));
        resolver.resolved.clear();
        window.calls.clear();
        window.endings.clear();
        window.questionAnswers = {c.second == Second::StoppedGoOn};
        transfer.during = [&] {
            const bool second = resolver.resolved.size() == 2;
            transfer.result = !(second && c.second == Second::Fails);
            if (second && (c.second == Second::StoppedEndQueue || c.second == Second::StoppedGoOn))
                pressStop();
            if (second && c.second == Second::WindowClosed)
                closeWindow();
        };
        EXPECT_EQ(job.StartQueue(threeVideos()), c.outcome);
        EXPECT_EQ(resolver.resolved, c.resolved);
        EXPECT_EQ(boxesOf(window.calls), c.boxes);
        // The running video says its place; one end is told, never for a stop.
        EXPECT_TRUE(window.calls.contains(
            QStringLiteral("status line Video 2 of 3: Downloading \"Title.flv\"")));
        EXPECT_EQ(window.endings.size(), c.outcome == JobOutcome::Stopped ? 0U : 1U);
        EXPECT_EQ(state.DownloadState, dsIdle);
    }
}

// A link that holds a list: Yes saves it into its subfolder and its archive,
// so that the same list again saves nothing; No saves the one video.
TEST_F(JobControllerTest, AListIsSavedWholeOnceOrAsItsOneVideo)
{
    resolver.list = {{QStringLiteral("E1"), QStringLiteral("id1")},
                     {QStringLiteral("E2"), QStringLiteral("id2")}};
    const QString folder = saveDir.path() + QStringLiteral("/Sample List/");
    const QString question =
        QStringLiteral("question This link holds a list of 2 videos. Download all of them? -> ");

    window.questionAnswers = {true};
    EXPECT_EQ(job.StartButtonClick(), JobOutcome::Completed);
    EXPECT_EQ(resolver.resolved,
              (QStringList{window.link, QStringLiteral("E1"), QStringLiteral("E2")}));
    EXPECT_EQ(transfer.path, folder + QStringLiteral("Title.flv"));
    EXPECT_TRUE(ListArchive(folder).holds(QStringLiteral("id1")));
    EXPECT_TRUE(ListArchive(folder).holds(QStringLiteral("id2")));
    EXPECT_EQ(boxesOf(window.calls),
              (QStringList{question + QStringLiteral("Yes"),
                           QStringLiteral("information box Saved 2 of 2 videos.")}));

    window.calls.clear();
    resolver.resolved.clear();
    window.questionAnswers = {true};
    EXPECT_EQ(job.StartButtonClick(), JobOutcome::Completed);
    EXPECT_EQ(resolver.resolved, QStringList{window.link});
    EXPECT_EQ(boxesOf(window.calls).last(),
              QStringLiteral("information box Nothing new to download: the 2 videos of this list "
                             "were saved before."));

    resolver.resolved.clear();
    window.questionAnswers = {false};
    EXPECT_EQ(job.StartButtonClick(), JobOutcome::Completed);
    EXPECT_EQ(resolver.resolved, (QStringList{window.link, window.link}));
    EXPECT_FALSE(resolver.listsOffered);
    EXPECT_EQ(transfer.path, saveDir.path() + QStringLiteral("/Title.flv"));
}
