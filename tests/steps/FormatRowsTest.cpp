// The rows after the six on both routes, judged by the streams in the saved
// file: its height, its codecs, no video in an audio file.
#include "SessionAgainstService.h"
#include "service/FormatTable.h"

#include <QProcess>

namespace {

class FormatRows : public ExtractorRoute
{
protected:
    // "h264 2160" for a video stream, "aac" for an audio one, in the file's order.
    static QStringList streamsOf(const QString &file)
    {
        QProcess probe;
        probe.start(QStringLiteral("ffprobe"),
                    {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                     QStringLiteral("stream=codec_name,height"), QStringLiteral("-of"),
                     QStringLiteral("csv=p=0"), file});
        probe.waitForFinished(30000);
        QStringList streams;
        for (QString line : QString::fromUtf8(probe.readAllStandardOutput())
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            line.replace(QLatin1Char(','), QLatin1Char(' '));
            streams << line.trimmed();
        }
        return streams;
    }

    struct Case
    {
        const char *link;
        int row;
        QString saved;
        QStringList streams;
    };
    void runTable(const QString &program, std::initializer_list<Case> cases)
    {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::to_string(c.row) + ' ' + c.link);
            for (const QString &file : savedFiles())
                QFile::remove(saved(file));
            EXPECT_EQ(run(program, c.link, c.row), JobOutcome::Completed)
                << window.calls.join(QLatin1Char('\n')).toStdString();
            // An audio row keeps the audio alone: the video it came from is gone.
            EXPECT_EQ(savedFiles(), QStringList{c.saved});
            EXPECT_EQ(streamsOf(saved(c.saved)), c.streams);
        }
    }
};

const QStringList Video2160{QStringLiteral("h264 2160"), QStringLiteral("aac")};

TEST_F(FormatRows, TheBuiltInRouteTakesTheFourKCodeAndTheBestStream)
{
    const char *fourK = "http://www.youtube.com/watch?v=vidlark0010";
    runTable(QString(),
             {{fourK, 6, QStringLiteral("Four K Sample_(2160p).mp4"), Video2160},
              // 1440p has no code of its own: the 4K stream comes, and names the file.
              {fourK, 7, QStringLiteral("Four K Sample_(2160p).mp4"), Video2160},
              {fourK, 8, QStringLiteral("Four K Sample_(2160p).mp4"), Video2160},
              {fourK, 9, QStringLiteral("Four K Sample_(audio).m4a"), {QStringLiteral("aac")}},
              {fourK, 10, QStringLiteral("Four K Sample_(audio).mp3"), {QStringLiteral("mp3")}},
              // The best of this one is an FLV with MP3 audio: encoded to AAC.
              {"http://www.youtube.com/watch?v=vidlark0002",
               9,
               QStringLiteral("Two Streams Only_(audio).m4a"),
               {QStringLiteral("aac")}}});
}

TEST_F(FormatRows, TheExtractorRouteTakesTheBandsAndTheAudio)
{
    ASSERT_FALSE(ytDlp.isEmpty());
    const QString title = QStringLiteral("Sample HTML5 Video (1)");
    runTable(
        ytDlp,
        {{ProgressivePage, 6, title + QStringLiteral("_(2160p).mp4"), Video2160},
         {ProgressivePage,
          7,
          title + QStringLiteral("_(1440p).mp4"),
          {QStringLiteral("h264 1440"), QStringLiteral("aac")}},
         {ProgressivePage, 8, title + QStringLiteral("_(2160p).mp4"), Video2160},
         // No audio alone on the page: taken out of the smallest video.
         {ProgressivePage, 9, title + QStringLiteral("_(audio).m4a"), {QStringLiteral("aac")}},
         {ProgressivePage, 10, title + QStringLiteral("_(audio).mp3"), {QStringLiteral("mp3")}}});

    // Audio alone: saved as it comes for M4A, made into MP3.
    const QString info = scratch.filePath(QStringLiteral("info.json"));
    QFile json(info);
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(R"({"title": "Song", "formats": [
        {"format_id": "a", "ext": "m4a", "vcodec": "none", "acodec": "mp4a.40.2",
         "url": "http://media.sample.test/media/audio.m4a", "protocol": "http"},
        {"format_id": "v", "ext": "mp4", "height": 240, "acodec": "mp4a.40.2",
         "url": "http://media.sample.test/media/progressive-240.mp4", "protocol": "http"}]})");
    json.close();
    ::setenv("STAND_IN_INFO", info.toLocal8Bit().constData(), 1);
    runTable(StandIn, {{"info", 9, QStringLiteral("Song_(audio).m4a"), {QStringLiteral("aac")}},
                       {"info", 10, QStringLiteral("Song_(audio).mp3"), {QStringLiteral("mp3")}}});
    ::unsetenv("STAND_IN_INFO");
}

// A row the link lacks offers the next lower one, the chain as long as the user says Yes.
TEST_F(FormatRows, FourKStepsDownThrough1440pTo1080p)
{
    window.stepDownAnswers = {true, true};
    EXPECT_EQ(run(QString(), "http://www.youtube.com/watch?v=vidlark0001", 8),
              JobOutcome::Completed);
    EXPECT_EQ(window.calls.filter(QStringLiteral("question ")),
              QStringList({QStringLiteral("question ") + formatAt(8)->StepDownQuestion +
                               QStringLiteral(" -> Yes"),
                           QStringLiteral("question ") + formatAt(7)->StepDownQuestion +
                               QStringLiteral(" -> Yes")}));
    EXPECT_EQ(window.format, 5);
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("Vidlark Sample Clip_(1080p).mp4")});
}

// Subtitles come beside the video as NAME.LANG.srt; a language it lacks is a note.
TEST_F(FormatRows, SubtitlesAreSavedBesideTheVideo)
{
    ASSERT_FALSE(ytDlp.isEmpty());
    JobSettings settings;
    settings.extractor = ytDlp;
    settings.subtitles = QStringLiteral("en,de");
    session.apply(settings);
    window.link = QString::fromLatin1(ProgressivePage);
    window.format = 4;
    EXPECT_EQ(session.controller().StartButtonClick(), JobOutcome::Completed);
    const QString name = QStringLiteral("Sample HTML5 Video (1)_(720p)");
    EXPECT_EQ(savedFiles(),
              QStringList({name + QStringLiteral(".en.srt"), name + QStringLiteral(".mp4")}));
    EXPECT_TRUE(contentsOf(saved(name + QStringLiteral(".en.srt"))).contains("A sample subtitle"));
    EXPECT_EQ(window.statusLine, QStringLiteral("Download is complete: ") + name +
                                     QStringLiteral(".mp4 - no subtitles in de"));
}

} // namespace
