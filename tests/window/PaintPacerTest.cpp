#include "window/PaintPacer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Notes each paint of a label and the text it showed.
class PaintLog : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            painted = static_cast<QLabel *>(watched)->text();
        }
        return false;
    }
    int paints = 0;
    QString painted;
};

class Pacing : public testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(300, 40);
        label->setGeometry(0, 0, 300, 20);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        label->installEventFilter(&log);
    }
    // A transfer's step: a new status text, then one message pass.
    void step(int i, bool paced)
    {
        label->setText(QString::number(i));
        if (paced)
            pacer->pacedPass([] { QCoreApplication::processEvents(); });
        else
            QCoreApplication::processEvents();
    }

    QWidget window;
    QLabel *label = new QLabel(&window);
    PaintPacer *pacer = new PaintPacer(window);
    PaintLog log;
};

TEST_F(Pacing, PassesPaintAtMostOncePerFrameAndTheLastTextIsShown)
{
    constexpr int Steps = 400;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Steps; ++i)
        step(i, true);
    const qint64 elapsed = clock.elapsed();

    EXPECT_GT(pacer->deferredPaints(), 0);
    EXPECT_LE(log.paints, elapsed / PaintPacer::FrameMs + 2) << elapsed << " ms";
    // The paint that waited comes once the frame is over, without another pass.
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.painted == QString::number(Steps - 1); }, 5000))
        << log.painted.toStdString();
}

TEST_F(Pacing, OutsidePassesEveryChangeIsPaintedAtOnce)
{
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        step(i, false);
        EXPECT_EQ(log.painted, QString::number(i));
    }
    EXPECT_EQ(log.paints, 20);
    EXPECT_EQ(pacer->deferredPaints(), 0);
    // repaint() draws at once whatever came before.
    label->setText(QStringLiteral("now"));
    label->repaint();
    EXPECT_EQ(log.painted, QStringLiteral("now"));
}

TEST_F(Pacing, AFirstPassAfterAQuietFramePaintsAtOnce)
{
    step(1, true);
    // Let a frame pass with nothing to do, then a paced pass paints immediately.
    QElapsedTimer quiet;
    quiet.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return quiet.elapsed() > PaintPacer::FrameMs; }, 1000));
    step(2, true);
    EXPECT_EQ(log.painted, QStringLiteral("2"));
}

} // namespace
