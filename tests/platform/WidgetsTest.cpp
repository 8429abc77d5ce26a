#include "plat/AnimationPlayer.h"
#include "plat/Colors.h"
#include "plat/PictureButton.h"
#include "plat/ScreenCursor.h"
#include "plat/Shape.h"

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace plat;

TEST(Colors, LayoutColourNumbersAreBlueGreenRed)
{
    const std::pair<std::uint32_t, QColor> cases[] = {
        {2498529, QColor(225, 31, 38)},    {9396256, QColor(32, 96, 143)},
        {14671839, QColor(223, 223, 223)}, {14732184, QColor(152, 203, 224)},
        {0x000000FF, QColor(255, 0, 0)},   {0x00FF0000, QColor(0, 0, 255)},
    };
    for (const auto& [number, colour] : cases)
        EXPECT_EQ(FromTColor(number), colour) << number;
    EXPECT_EQ(FromTColor(0xFF00000F), QApplication::palette().color(QPalette::Button)); // button face
    EXPECT_FALSE(FromTColor(0x1FFFFFFF).isValid()); // "no colour"
}

namespace {

QImage renderOf(QWidget& w)
{
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

TEST(Shape, PenOnTheEdgeBrushInsideCornersOfARoundRectLeftOpen)
{
    const QColor pen(32, 96, 143), fill(223, 223, 223);
    Shape shape;
    shape.resize(80, 40);
    shape.setPen(QPen(pen, 2));
    shape.setBrush(fill);

    QImage r = renderOf(shape);
    EXPECT_EQ(r.pixelColor(0, 0), pen);
    EXPECT_EQ(r.pixelColor(79, 39), pen);
    EXPECT_EQ(r.pixelColor(1, 20), pen);
    EXPECT_EQ(r.pixelColor(2, 20), fill);
    EXPECT_EQ(r.pixelColor(40, 20), fill);

    shape.setBrush(Qt::NoBrush); // a frame
    r = renderOf(shape);
    EXPECT_EQ(r.pixelColor(40, 20).alpha(), 0);
    EXPECT_EQ(r.pixelColor(0, 20), pen);

    shape.setKind(Shape::Kind::RoundRect);
    shape.setBrush(fill);
    EXPECT_DOUBLE_EQ(shape.cornerRadius(), 38.0 / 8);
    r = renderOf(shape);
    EXPECT_EQ(r.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(r.pixelColor(40, 20), fill);
    EXPECT_EQ(r.pixelColor(40, 0).rgb(), pen.rgb());
}

TEST(Shape, AFrameOverAPictureLetsTheClickThrough)
{
    QWidget window;
    window.resize(300, 200);
    auto* picture = new PictureButton(&window);
    picture->setGeometry(50, 50, 150, 120);
    picture->setPictures(10005, 10006);
    auto* frame = new Shape(&window); // created later: on top
    frame->setGeometry(40, 40, 170, 140);
    frame->setBrush(Qt::NoBrush);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(picture, &PictureButton::clicked);
    // through the window, as the window system delivers it
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(125, 110));
    EXPECT_EQ(clicks.count(), 1);
}

class PictureButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        button.setPictures(10005, 10006);
        button.resize(button.sizeHint());
        button.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    }
    PictureButton button;
    QPoint centre() const { return button.rect().center(); }
};

TEST_F(PictureButtonTest, PressShowsThePressedPictureAndReleaseClicks)
{
    EXPECT_EQ(button.sizeHint(), QSize(150, 120)) << "pictures are drawn at twice their layout size";
    QSignalSpy clicks(&button, &PictureButton::clicked);
    QTest::mousePress(&button, Qt::LeftButton, {}, centre());
    EXPECT_EQ(button.currentId(), 10006);
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, centre());
    EXPECT_EQ(button.currentId(), 10005);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(PictureButtonTest, NoClickForAReleaseOutsideOrAnotherButton)
{
    QSignalSpy clicks(&button, &PictureButton::clicked);
    QTest::mousePress(&button, Qt::LeftButton, {}, centre());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(400, 400));
    EXPECT_EQ(button.currentId(), 10005);

    QTest::mousePress(&button, Qt::RightButton, {}, centre());
    EXPECT_EQ(button.currentId(), 10006) << "any button shows the pressed picture";
    QTest::mouseRelease(&button, Qt::RightButton, {}, centre());
    EXPECT_EQ(button.currentId(), 10005);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(PictureButtonTest, DoubleClickIsOneClickAndOneDoubleClick)
{
    QSignalSpy clicks(&button, &PictureButton::clicked);
    QSignalSpy doubles(&button, &PictureButton::doubleClicked);
    QTest::mouseDClick(button.windowHandle(), Qt::LeftButton, {}, centre());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(button.currentId(), 10005);
}

TEST_F(PictureButtonTest, HoverAndTag)
{
    QSignalSpy hovers(&button, &PictureButton::hovered);
    QTest::mouseMove(&button, QPoint(10, 10));
    QTest::mouseMove(&button, QPoint(20, 20));
    EXPECT_GE(hovers.count(), 1);
    button.setTag(7);
    EXPECT_EQ(button.tag(), 7);
}

TEST_F(PictureButtonTest, PictureFitsTheWidgetKeepingItsProportions)
{
    button.resize(300, 120);
    EXPECT_EQ(button.pictureRect(), QRect(75, 0, 150, 120));
    button.resize(300, 240); // the screen scaling made it twice as large
    EXPECT_EQ(button.pictureRect(), QRect(0, 0, 300, 240));
    button.setPicture(10007);
    EXPECT_EQ(button.currentId(), 10007);
    EXPECT_EQ(button.pressedId(), 10006);
}

TEST_F(PictureButtonTest, DisabledLooksFadedToGreyAndEnabledLooksAsItsPicture)
{
    auto colours = [](const QImage& image) {
        int grey = 0, coloured = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                (qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) ? grey : coloured) += 1;
            }
        return std::pair{grey, coloured};
    };
    // What the screen holds: a change of state repaints without being asked.
    auto onScreen = [&] {
        QTest::qWait(20);
        return button.screen()->grabWindow(button.winId()).toImage();
    };
    const QImage enabled = button.grab().toImage();
    ASSERT_GT(colours(enabled).second, 0) << "the test picture has colours";
    const QImage enabledOnScreen = onScreen();
    button.setEnabled(false);
    EXPECT_NE(onScreen(), enabledOnScreen) << "the screen kept the enabled look";
    const QImage disabled = button.grab().toImage();
    EXPECT_EQ(colours(disabled).second, 0);
    EXPECT_NE(disabled, enabled);
    // Lighter overall: it stands back.
    auto lightness = [](const QImage& image) {
        long long sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += qGray(image.pixel(x, y));
        return sum;
    };
    EXPECT_GT(lightness(disabled), lightness(enabled));
    // Enabled again, it paints its picture exactly as before.
    button.setEnabled(true);
    EXPECT_EQ(onScreen(), enabledOnScreen);
    EXPECT_EQ(button.grab().toImage(), enabled);
}

TEST(Pictures, MissingPictureIsNullAndDrawsNothing)
{
    EXPECT_TRUE(LoadPicture(10012).isNull());
    PictureButton b;
    b.setPictures(10012, 0);
    EXPECT_EQ(b.sizeHint(), QSize(0, 0));
    EXPECT_TRUE(b.pictureRect().isNull());
}

TEST(AnimationPlayer, PlaysFramesUpToTheLastFrameInALoop)
{
    AnimationPlayer player;
    EXPECT_FALSE(player.open(12345));
    player.play();
    EXPECT_FALSE(player.isPlaying());

    player.setLastFrame(6);
    ASSERT_TRUE(player.open(10000));
    EXPECT_EQ(player.frameCount(), 7);
    EXPECT_EQ(player.lastFrame(), 6);
    EXPECT_EQ(player.sizeHint(), QSize(130, 100));
    std::vector<int> seen;
    for (int i = 0; i < 8; ++i) {
        seen.push_back(player.frame());
        player.advance();
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 0}));

    player.setLastFrame(2);
    seen.clear();
    for (int i = 0; i < 4; ++i) {
        seen.push_back(player.frame());
        player.advance();
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 0, 1}));
    player.setLastFrame(40);
    EXPECT_EQ(player.lastFrame(), 6) << "clipped to the strip";
}

TEST(AnimationPlayer, TheTimerMovesItWhileEventsAreProcessed)
{
    AnimationPlayer player;
    ASSERT_TRUE(player.open(10000));
    player.setInterval(1);
    player.play();
    EXPECT_TRUE(player.isPlaying());
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.frame() > 0; }, 2000));
    player.stop();
    const int stoppedAt = player.frame();
    EXPECT_GT(stoppedAt, 0);
    QTest::qWait(20);
    EXPECT_EQ(player.frame(), stoppedAt) << "stopped on the frame on show";
}

TEST(ScreenCursor, OneLevelNotAStack)
{
    SetScreenCursor(ScreenCursor::Hourglass);
    SetScreenCursor(ScreenCursor::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetScreenCursor(ScreenCursor::AppStart);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    EXPECT_EQ(CurrentScreenCursor(), ScreenCursor::AppStart);
    SetScreenCursor(ScreenCursor::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    SetScreenCursor(ScreenCursor::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        ScopedScreenCursor busy;
        EXPECT_EQ(CurrentScreenCursor(), ScreenCursor::Hourglass);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
